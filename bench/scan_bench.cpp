// Times a full scan (the build-workspace sweep and four patterns) of a large synthetic tree
// against a bare recursive enumeration of the same tree, and the engine's two ways of asking
// the file system against each other, side by side in one run:
//   scan_bench [TREE_DIRECTORY [ROUNDS]]
// The tree (about 20,000 directories and 200,000 files) is generated on the first run, the same
// every time, and reused while its completion marker is present.
#include "bench/median.h"
#include "engine/scan_worker.h"
#include "engine/win32/utf.h"
#include "engine/win32/win32_file_enumeration.h"
#include "tests/win32/memory_scan_window.h"
#include "tests/win32/seeded_random.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t kTreeSeed = 0x7EE5CA11;
// Changing the layout must change this text, so that an old tree is not taken for a new one.
const char kLayout[] = "scan_bench tree layout 2";
const wchar_t kMarkerName[] = L"tree-complete.marker";

const char* const kCustomPattern = "*.bak";
const char* const kQuickPattern = "report*.txt";

// Subdirectories per directory at each depth: 16, 128, 1,024 and 18,432 directories.
const int kFanOut[] = {16, 8, 8, 18, 0};

// About one name in twenty is not ASCII.
const char* const kStems[] = {"report", "Report", "notes", "IMG", "DSC", "main", "util",
                              "setup", "readme", "Budget 2019", "invoice", "photo", "draft",
                              "backup", "config", "index"};
const char* const kWideStems[] = {"报告", "新建文件夹", "Übersicht", "données", "сводка", "データ"};
const char* const kExtensions[] = {"txt", "jpg", "png", "cpp", "h", "html", "xml", "json", "dll",
                                   "log", "pdf", "docx", "doc", "xlsx", "tmpl", "md"};
const char* const kDirectoryStems[] = {"src", "docs", "Pictures", "project", "old", "data",
                                       "build", "Archive", "lib", "temp files", "misc"};
const char* const kWideDirectoryStems[] = {"资料", "照片", "Ablage"};

struct TreeCounts {
  long directories = 0;
  long files = 0;
};

class TreeBuilder {
 public:
  explicit TreeBuilder(const std::wstring& root) : root_(root), random_(kTreeSeed) {}

  TreeCounts Build() {
    MakeDirectory(root_);
    Populate(root_, 0);
    return counts_;
  }

 private:
  void MakeDirectory(const std::wstring& path) {
    CreateDirectoryW(path.c_str(), nullptr);
    ++counts_.directories;
  }

  void MakeFile(const std::wstring& directory, const std::string& name) {
    const HANDLE file = CreateFileW((directory + L"\\" + Widen(name)).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    ++counts_.files;
  }

  std::string Stem() { return random_.OneIn(20) ? random_.Pick(kWideStems) : random_.Pick(kStems); }

  // Ten files in a directory on average; the targets are rare, as junk is.
  void Populate(const std::wstring& directory, int depth) {
    const std::size_t files = random_.Below(21);
    for (std::size_t i = 0; i < files; ++i) {
      MakeFile(directory, Stem() + std::to_string(i) + "." + random_.Pick(kExtensions));
    }
    if (random_.OneIn(150)) MakeFile(directory, "~$" + Stem() + ".doc");
    if (random_.OneIn(25)) MakeFile(directory, "Thumbs.db");
    if (random_.OneIn(100)) MakeFile(directory, Stem() + ".bak");
    if (depth == 3 && random_.OneIn(40)) MakeWorkspace(directory);
    for (int i = 0; i < kFanOut[depth]; ++i) {
      const char* stem =
          random_.OneIn(20) ? random_.Pick(kWideDirectoryStems) : random_.Pick(kDirectoryStems);
      const std::wstring child = directory + L"\\" + Widen(stem + std::to_string(i));
      MakeDirectory(child);
      Populate(child, depth + 1);
    }
  }

  void MakeWorkspace(const std::wstring& directory) {
    for (const char* name : {"app.dsw", "app.dsp", "app.ncb", "app.plg", "app.opt", "app.aps"}) {
      MakeFile(directory, name);
    }
    for (const char* build : {"Debug", "Release"}) {
      const std::wstring path = directory + L"\\" + Widen(build);
      MakeDirectory(path);
      for (int i = 0; i < 12; ++i) MakeFile(path, "module" + std::to_string(i) + ".obj");
      for (const char* name : {"vc60.pdb", "vc60.idb", "app.pch", "app.ilk", "app.res", "app.exe"}) {
        MakeFile(path, name);
      }
    }
  }

  std::wstring root_;
  SeededRandom random_;
  TreeCounts counts_;
};

std::string ReadMarker(const std::wstring& root) {
  const HANDLE file = CreateFileW((root + L"\\" + kMarkerName).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[256];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

void WriteMarker(const std::wstring& root, const std::string& text) {
  const HANDLE file = CreateFileW((root + L"\\" + kMarkerName).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// The marker is written last: a tree whose generation was cut short is generated again.
TreeCounts EnsureTree(const std::wstring& root) {
  const std::string marker = ReadMarker(root);
  TreeCounts counts;
  if (marker.rfind(kLayout, 0) == 0 &&
      std::sscanf(marker.c_str() + sizeof kLayout - 1, "%ld %ld", &counts.directories,
                  &counts.files) == 2) {
    std::printf("tree: reused\n");
    return counts;
  }
  std::printf("tree: generating...\n");
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  counts = TreeBuilder(root).Build();
  WriteMarker(root, std::string(kLayout) + " " + std::to_string(counts.directories) + " " +
                        std::to_string(counts.files));
  std::printf("tree: generated in %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return counts;
}

struct WalkCount {
  long directories = 0;
  long entries = 0;
};

// What the scan cannot do with less: open every directory once and read all its entries.
void BareWalk(const std::wstring& directory, FINDEX_INFO_LEVELS level, WalkCount& count) {
  ++count.directories;
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileExW((directory + L"\\*").c_str(), level, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> subdirectories;
  do {
    ++count.entries;
    const std::wstring name = data.cFileName;
    const DWORD attributes = data.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && name != L"." && name != L"..") {
      subdirectories.push_back(name);
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  for (const std::wstring& name : subdirectories) BareWalk(directory + L"\\" + name, level, count);
}

// Counts what a scan asks of the file system, to tell the cost of a design from its calls.
class CountingEnumeration final : public FileEnumeration {
 public:
  std::vector<FoundEntry> Enumerate(const std::string& search) override {
    const bool listing = search.size() >= 3 &&
                         search.compare(search.size() - 3, 3, "*.*") == 0;
    ++(listing ? listings : searches);
    std::vector<FoundEntry> entries = files_.Enumerate(search);
    if (!listing && entries.empty()) ++emptySearches;
    return entries;
  }
  long listings = 0;
  long searches = 0;
  long emptySearches = 0;  // asked in vain: what a sharper pre-filter could spare

 private:
  Win32FileEnumeration files_;
};

struct ScanResult {
  std::vector<std::string> rows;
  long listings = 0;
  long searches = 0;
  long emptySearches = 0;
};

ScanResult Scan(const std::string& root, ScanStrategy strategy) {
  CountingEnumeration files;
  MemoryScanWindow window(files);
  window.directory = root;
  window.ticked = {TargetBox::Vc6, TargetBox::Custom, TargetBox::Quick, TargetBox::Word,
                   TargetBox::Thumbs};
  window.customTargets = {kCustomPattern};
  window.quickSearch = {kQuickPattern};
  window.Scan(strategy);
  return {window.paths, files.listings, files.searches, files.emptySearches};
}

template <typename Work>
double Seconds(Work work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

enum Design { BareBasic, BareStandard, ScanShared, ScanPerPattern, DesignCount };
const char* const kDesignNames[] = {
    "bare enumeration (FindExInfoBasic)", "bare enumeration (FindExInfoStandard, short names)",
    "full scan, shared listing + pre-filter", "full scan, one search per pattern"};

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring root = argc > 1 ? argv[1] : std::wstring(current) + L"\\scan-bench-tree";
  const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  const std::string rootText = Narrow(root);

  const TreeCounts counts = EnsureTree(root);
  std::printf("tree: %s: %ld directories, %ld files\n", rootText.c_str(), counts.directories,
              counts.files);
  std::printf("patterns: sweep, \"%s\", \"%s\", \"~$*.doc\", \"Thumbs.db\"\n", kCustomPattern,
              kQuickPattern);

  WalkCount warm;
  BareWalk(root, FindExInfoBasic, warm);  // fills the caches, timed by nobody
  std::printf("bare walk: %ld directories, %ld entries (with . and ..)\n", warm.directories,
              warm.entries);

  std::vector<double> times[DesignCount];
  std::vector<double> ratios[DesignCount];
  ScanResult shared;
  ScanResult perPattern;
  for (int round = 1; round <= rounds; ++round) {
    double t[DesignCount];
    WalkCount basic;
    WalkCount standard;
    // The two bare walks take turns at going first, so neither always finds the other's cache.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + round) % 2 == 0) {
        t[BareBasic] = Seconds([&] { BareWalk(root, FindExInfoBasic, basic); });
      } else {
        t[BareStandard] = Seconds([&] { BareWalk(root, FindExInfoStandard, standard); });
      }
    }
    t[ScanShared] = Seconds([&] { shared = Scan(rootText, ScanStrategy::SharedListing); });
    t[ScanPerPattern] =
        Seconds([&] { perPattern = Scan(rootText, ScanStrategy::EnumeratePerPattern); });
    std::printf("round %d:", round);
    for (int d = 0; d < DesignCount; ++d) {
      times[d].push_back(t[d]);
      ratios[d].push_back(t[d] / t[BareBasic]);
      std::printf(" %.2f s (%.2fx)%s", t[d], t[d] / t[BareBasic], d + 1 < DesignCount ? "," : "\n");
    }
    std::fflush(stdout);
  }

  std::printf("median of %d rounds, ratio to the bare enumeration (FindExInfoBasic):\n", rounds);
  for (int d = 0; d < DesignCount; ++d) {
    std::printf("  %-52s %7.2f s  %5.2fx\n", kDesignNames[d], Median(times[d]), Median(ratios[d]));
  }

  // The walks pause 1 ms every 51 directories; what that costs here, for reading the figures.
  const int pauses = 100;
  const double pause = Seconds([&] {
                         for (int i = 0; i < pauses; ++i) {
                           std::this_thread::sleep_for(std::chrono::milliseconds(1));
                         }
                       }) / pauses;
  std::printf("pauses: 2 walks x %ld directories / 51 = %ld pauses of %.2f ms = %.2f s per scan\n",
              counts.directories, 2 * counts.directories / 51, pause * 1000,
              2.0 * counts.directories / 51 * pause);

  for (const ScanResult* scan : {&shared, &perPattern}) {
    std::printf("%s: %ld \"*.*\" listings and %ld pattern searches (%ld of them empty), "
                "%.2f per directory\n",
                scan == &shared ? "with the pre-filter" : "one search per pattern", scan->listings,
                scan->searches, scan->emptySearches,
                static_cast<double>(scan->listings + scan->searches) / counts.directories);
  }
  const bool identical = shared.rows == perPattern.rows;
  std::printf("rows: %zu with the pre-filter, %zu with one search per pattern, %s\n",
              shared.rows.size(), perPattern.rows.size(), identical ? "identical" : "DIFFERENT");
  return identical ? 0 : 1;
}
