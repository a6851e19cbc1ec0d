// Times the program's works as its user meets them: a copy of the built program with its windows
// shown, driven from outside (a click, then until the worker has ended: Scan enabled again, the
// progress window hidden, the rows holding still), against the bare system calls on the same
// files in the same run. The sides take turns at going first, round by round.
//   program_bench PROGRAM TREES ROUNDS PLACEMENT
// TREES is the directory that scripts/bench-trees filled for at least ROUNDS rounds; PLACEMENT
// says where Wine ran, for the printout. scripts/bench makes the trees and runs this.
#include "bench/median.h"
#include "engine/win32/utf.h"
#include "tests/support/program_driver.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = ProgramDriver::Clock;

constexpr auto kWorkLimit = 3600s;

double SecondsSince(Clock::time_point start, std::optional<Clock::time_point> end) {
  if (!end) {
    std::printf("  the program did not come to rest in time\n");
    return -1;
  }
  return std::chrono::duration<double>(*end - start).count();
}

template <typename Work>
double Seconds(Work work) {
  const Clock::time_point start = Clock::now();
  work();
  return SecondsSince(start, Clock::now());
}

// The longest time the window took to answer a WM_NULL sent every 20 milliseconds from a
// thread of its own between construction and Stop: how long a user would find it frozen.
class StallSampler {
 public:
  explicit StallSampler(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            const Clock::time_point sent = Clock::now();
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, nullptr);
            const std::chrono::duration<double, std::milli> waited = Clock::now() - sent;
            longestMs_ = std::max(longestMs_, waited.count());
            Sleep(20);  // often enough to see a stall of 100 ms, seldom enough not to cause one
          }
        }) {}
  ~StallSampler() { Stop(); }

  double Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return longestMs_;
  }

 private:
  std::atomic<bool> stop_{false};
  double longestMs_ = 0;
  std::thread thread_;
};

// Under Wine the peak working set of another process is the high-water mark of its resident
// set as Linux counts it (VmHWM).
double PeakWorkingSetMB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0;
}

// Counts the files below root, and gathers their paths when asked; opens each directory once
// with the cheapest listing there is.
std::size_t BareWalk(const std::wstring& root, std::vector<std::wstring>* paths) {
  WIN32_FIND_DATAW data;
  const HANDLE search = FindFirstFileExW((root + L"\\*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return 0;
  std::size_t files = 0;
  std::vector<std::wstring> subdirectories;
  do {
    const std::wstring name = data.cFileName;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      ++files;
      if (paths != nullptr) paths->push_back(root + L"\\" + name);
    } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && name != L"." &&
               name != L"..") {
      subdirectories.push_back(name);
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  for (const std::wstring& name : subdirectories) files += BareWalk(root + L"\\" + name, paths);
  return files;
}

std::vector<std::wstring> FilesBelow(const std::wstring& root) {
  std::vector<std::wstring> paths;
  BareWalk(root, &paths);
  return paths;
}

void RecycleOneByOne(const std::vector<std::wstring>& files) {
  for (const std::wstring& file : files) {
    const std::wstring from = file + L'\0';  // a list of one, ended by an empty name
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&operation);
  }
}

// A figure per round with the target it is held against.
struct Figure {
  const char* name;
  const char* unit;
  double bar;
  double goal;  // 0: none set
  std::vector<double> rounds;
};

enum FigureId {
  FullScan, Listing, MillionListing, Emptying, TickAll, PeakMemory, PlainDelete, Recycle,
  ListingStall, TickAllStall, DeleteStall, SortByPath, SortBySize, SortRealNames, SortStall, TypeKeyMedian,
  TypeKeyWorst, WidenKeyWorst, TypingStall, FilteredMemory, Export, ExportStall, TickByPattern, InvertTicks,
  ScrollStep, ScrollStall, FigureCount
};
Figure figures[FigureCount] = {
    {"full scan / bare enumeration", "x", 1.3, 1.15, {}},
    {"quick *.* listing / bare enumeration", "x", 1.2, 1.05, {}},
    {"quick *.* listing, million tree / bare", "x", 1.3, 1.1, {}},
    {"Scan's emptying, million tree listed", "ms", 100, 20, {}},
    {"Tick all, million tree listed", "ms", 100, 20, {}},
    {"peak working set, million tree listed", "MB", 150, 0, {}},
    {"plain delete / bare DeleteFileW", "x", 2.3, 1.05, {}},
    {"recycle / bare SHFileOperationW", "x", 1.8, 1.1, {}},
    {"longest stall: million listing", "ms", 100, 0, {}},
    {"longest stall: Tick all", "ms", 100, 0, {}},
    {"longest stall: plain delete", "ms", 100, 0, {}},
    {"sort by path, million tree", "ms", 1500, 0, {}},
    {"sort by size, million tree", "ms", 1500, 0, {}},
    {"sort by path, 200K tree's names", "ms", 1500, 0, {}},
    {"longest stall: sorts beyond the sort", "ms", 100, 0, {}},
    {"filter key to painted list, median", "ms", 100, 30, {}},
    {"filter key to painted list, worst", "ms", 100, 30, {}},
    {"filter Backspace to painted, worst", "ms", 200, 0, {}},
    {"longest stall: typing in the filter", "ms", 100, 0, {}},
    {"peak working set, million rows filtered", "MB", 150, 0, {}},
    {"export, million rows: Save's OK to closed", "s", 3, 0, {}},
    {"longest stall: export", "ms", 100, 0, {}},
    {"tick by pattern, million rows", "ms", 300, 0, {}},
    {"invert ticks, million rows", "ms", 300, 0, {}},
    {"maximised PageDown and repaint, slowest", "ms", 100, 0, {}},
    {"longest stall: 50 PageDowns maximised", "ms", 100, 0, {}},
};

void Record(FigureId id, double value) {
  figures[id].rounds.push_back(value);
  std::printf("  %-40s %10.2f %s\n", figures[id].name, value, figures[id].unit);
  std::fflush(stdout);
}

class Round {
 public:
  Round(const std::wstring& program, const std::wstring& trees, int number)
      : driver_(program, "VelloxBench"), trees_(trees), number_(number) {}

  bool Started() const { return driver_.Main() != nullptr; }

  void Run() {
    for (int box : {IDC_TARGET_VC6, IDC_TARGET_WORD, IDC_TARGET_THUMBS}) driver_.SetBox(box, true);
    driver_.SetQuickSearch("*.tmp");
    CompareListing(FullScan, L"scan");
    for (int box : {IDC_TARGET_VC6, IDC_TARGET_WORD, IDC_TARGET_THUMBS}) driver_.SetBox(box, false);
    driver_.SetQuickSearch("*.*");
    CompareListing(Listing, L"scan");
    Record(SortRealNames, SortMs(1));
    driver_.ClickHeader(0);
    CompareDeletion(PlainDelete, L"delete", IDC_PLAIN_DELETE, [](const auto& files) {
      for (const std::wstring& file : files) DeleteFileW(file.c_str());
    });
    CompareDeletion(Recycle, L"recycle", IDC_RECYCLE_DELETE, RecycleOneByOne);

    StallSampler listingStall(driver_.Main());
    CompareListing(MillionListing, L"million");
    Record(ListingStall, listingStall.Stop());
    StallSampler tickStall(driver_.Main());
    Record(TickAll, 1000 * Seconds([&] { driver_.Press(IDC_CHECK_ALL); }));
    Record(TickAllStall, tickStall.Stop());
    {
      // Beyond the sort itself the window must not stall: the sampler's longest wait less the
      // longest sort is what else held it.
      StallSampler sortStall(driver_.Main());
      const double byPath = SortMs(1);
      const double bySize = SortMs(2);
      Record(SortByPath, byPath);
      Record(SortBySize, bySize);
      Record(SortStall, std::max(0.0, sortStall.Stop() - std::max(byPath, bySize)));
      driver_.ClickHeader(0);
    }
    TypeIntoFilter();
    ListWorks();

    CreateDirectoryW(Tree(L"empty").c_str(), nullptr);
    const double overRows = Scan(L"empty");
    const double overNone = Scan(L"empty");
    std::printf("  Scan of an empty directory: %.3f s over those rows, %.3f s over none\n",
                overRows, overNone);
    Record(Emptying, 1000 * (overRows - overNone));

    // The sweep's listings count too.
    driver_.SetBox(IDC_TARGET_VC6, true);
    const double sweepAndListing = Scan(L"million");
    std::printf("  sweep and *.* over the million tree: %.2f s, %d rows\n", sweepAndListing,
                driver_.RowCount());
    Record(PeakMemory, PeakWorkingSetMB(driver_.Process()));
    const double exit = Seconds([&] { driver_.Exit(kWorkLimit); });
    std::printf("  Exit with the rows listed: %.2f s\n", exit);
  }

 private:
  std::wstring Tree(const std::wstring& name) const { return trees_ + L"\\" + name; }

  // A click on a column's header until the list has painted the sorted rows.
  double SortMs(int column) {
    return 1000 * Seconds([&] {
             driver_.ClickHeader(column);
             UpdateWindow(GetDlgItem(driver_.Main(), IDC_RESULT_LIST));
           });
  }

  // Types a word into the filter box a key at a time, each key timed until the status bar
  // shows the narrowed count and the list has painted, then takes it back with Backspace. The
  // word narrows the million tree at every key (digits: its root holds none).
  void TypeIntoFilter() {
    HWND filter = GetDlgItem(driver_.Main(), IDC_FILTER);
    HWND list = GetDlgItem(driver_.Main(), IDC_RESULT_LIST);
    const std::string word = "012345";
    const auto key = [&](wchar_t character) {
      const std::string before = driver_.StatusText(0);
      const Clock::time_point start = Clock::now();
      PostMessageW(filter, WM_CHAR, character, 1);
      if (!ProgramDriver::WaitUntil([&] { return driver_.StatusText(0) != before; }, 60000)) return -1.0;
      UpdateWindow(list);
      return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    StallSampler stall(driver_.Main());
    std::vector<double> typed, widened;
    for (const char c : word) typed.push_back(key(static_cast<wchar_t>(c)));
    std::printf("  filter \"%s\": %d rows shown\n", word.c_str(), driver_.RowCount());
    Record(FilteredMemory, PeakWorkingSetMB(driver_.Process()));
    for (std::size_t i = 0; i < word.size(); ++i) widened.push_back(key(L'\b'));
    Record(TypingStall, stall.Stop());
    std::printf("  keys (ms):");
    for (const double ms : typed) std::printf(" %.0f", ms);
    std::printf("; Backspace (ms):");
    for (const double ms : widened) std::printf(" %.0f", ms);
    std::printf("\n");
    Record(TypeKeyMedian, Median(typed));
    Record(TypeKeyWorst, *std::max_element(typed.begin(), typed.end()));
    Record(WidenKeyWorst, *std::max_element(widened.begin(), widened.end()));
  }

  // The list's own works over the million rows listed. Each is timed until the list has
  // repainted, which the program does for another process's request at once.
  void ListWorks() {
    HWND main = driver_.Main();
    HWND list = GetDlgItem(main, IDC_RESULT_LIST);
    const auto repainted = [&] {
      SendMessageW(main, WM_NULL, 0, 0);
      RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
    };
    // The key's command, sent: it returns once done.
    Record(InvertTicks, 1000 * Seconds([&] {
      SendMessageW(main, WM_COMMAND, IDM_INVERT_TICKS, 0);
      repainted();
    }));

    PostMessageW(main, WM_COMMAND, IDM_TICK_BY_PATTERN, 0);
    HWND entry = driver_.WaitForDialog(IDC_PATTERN_EDIT, WC_COMBOBOXW);
    ProgramDriver::SetItemText(entry, IDC_PATTERN_EDIT, "img_*7.JPG");  // one row in ten
    Record(TickByPattern, 1000 * Seconds([&] {
      SendMessageW(GetDlgItem(entry, IDOK), BM_CLICK, 0, 0);
      while (IsWindow(entry)) Sleep(0);
      repainted();
    }));
    std::printf("  %s\n", driver_.StatusText(1).c_str());

    const std::wstring target = Tree(L"export.csv");
    DeleteFileW(target.c_str());
    PostMessageW(main, WM_COMMAND, IDM_EXPORT_LIST, 0);
    HWND save = driver_.WaitForSaveDialog();
    if (save == nullptr) {
      std::printf("  no Save dialog came\n");
    } else {
      const Clock::time_point ok = Clock::now();
      ProgramDriver::SaveAs(save, Narrow(target));
      while (IsWindow(save)) Sleep(1);
      SendMessageW(main, WM_NULL, 0, 0);  // the worker has started once this returns
      std::printf("  the Save dialog went in %.0f ms\n", 1000 * SecondsSince(ok, Clock::now()));
      StallSampler exportStall(main);
      Record(Export, SecondsSince(ok, driver_.WaitUntilIdle(kWorkLimit)));
      Record(ExportStall, exportStall.Stop());
      WIN32_FILE_ATTRIBUTE_DATA file{};
      GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &file);
      std::printf("  exported %.1f MB\n", static_cast<double>(file.nFileSizeLow + (static_cast<std::uint64_t>(file.nFileSizeHigh) << 32)) / 1048576.0);
      DeleteFileW(target.c_str());
    }

    SendMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    repainted();
    double slowest = 0;
    StallSampler scrollStall(main);
    for (int page = 0; page < 50; ++page) {
      slowest = std::max(slowest, 1000 * Seconds([&] {
        SendMessageW(list, WM_KEYDOWN, VK_NEXT, 0);
        repainted();
      }));
    }
    Record(ScrollStep, slowest);
    Record(ScrollStall, scrollStall.Stop());
    SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  }

  // A Scan of the tree from the click on.
  double Scan(const std::wstring& tree) {
    driver_.SetDirectory(Narrow(Tree(tree)));
    const Clock::time_point clicked = Clock::now();
    driver_.Press(IDC_SCAN);
    return SecondsSince(clicked, driver_.WaitUntilIdle(kWorkLimit));
  }

  // Odd rounds run the program first, even rounds the bare calls; `before` runs, untimed,
  // before each side.
  void Compare(FigureId id, const std::function<double()>& program,
               const std::function<void()>& bare, const std::function<void()>& before = [] {}) {
    double programSeconds = 0;
    double bareSeconds = 0;
    const auto runProgram = [&] { before(), programSeconds = program(); };
    const auto runBare = [&] { before(), bareSeconds = Seconds(bare); };
    if (number_ % 2 == 1) {
      runProgram();
      runBare();
    } else {
      runBare();
      runProgram();
    }
    std::printf("  %s: program %.3f s, bare %.3f s\n", figures[id].name, programSeconds,
                bareSeconds);
    Record(id, programSeconds / bareSeconds);
  }

  // A Scan with the boxes as they are, against one bare walk of the tree.
  void CompareListing(FigureId id, const std::wstring& tree) {
    std::size_t files = 0;
    Compare(id, [&] { return Scan(tree); }, [&] { files = BareWalk(Tree(tree), nullptr); });
    std::printf("  %d rows listed, %zu files in the tree\n", driver_.RowCount(), files);
  }

  // Lists every file of the round's program twin, ticks them all and removes them with button,
  // timed from the answer to the question; the bare side removes the files of the other twin.
  void CompareDeletion(FigureId id, const wchar_t* kind, int button,
                       const std::function<void(const std::vector<std::wstring>&)>& bareRemove) {
    const std::wstring base = std::wstring(kind) + L"-" + std::to_wstring(number_);
    const std::vector<std::wstring> bareFiles = FilesBelow(Tree(base + L"-bare"));
    Compare(
        id,
        [&] {
          Scan(base + L"-program");
          driver_.Press(IDC_CHECK_ALL);
          std::optional<StallSampler> stall;
          if (id == PlainDelete) stall.emplace(driver_.Main());
          const auto answered = driver_.PressAndAnswer(button, IDYES);
          if (!answered) std::printf("  no question came\n");
          const double seconds =
              answered ? SecondsSince(*answered, driver_.WaitUntilIdle(kWorkLimit)) : -1;
          if (stall) Record(DeleteStall, stall->Stop());
          return seconds;
        },
        [&] { bareRemove(bareFiles); },
        // The program asks once per run how full the bin is, which under Wine costs about
        // 0.3 ms per item already in it: each side starts from an empty bin, whichever went first.
        [] { SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND); });
    std::printf("  files left: %zu of the program's, %zu of the bare twin's\n",
                BareWalk(Tree(base + L"-program"), nullptr),
                BareWalk(Tree(base + L"-bare"), nullptr));
  }

  ProgramDriver driver_;
  std::wstring trees_;
  int number_;
};

void PrintSummary(int rounds) {
  std::printf("\nmedians of %d rounds (range), against the bar and the goal:\n", rounds);
  for (const Figure& figure : figures) {
    if (figure.rounds.empty()) continue;
    const auto [low, high] = std::minmax_element(figure.rounds.begin(), figure.rounds.end());
    std::printf("  %-40s %9.2f %-2s (%.2f - %.2f)   bar %g%s", figure.name, Median(figure.rounds),
                figure.unit, *low, *high, figure.bar, figure.unit);
    if (figure.goal != 0) std::printf(", goal %g%s", figure.goal, figure.unit);
    std::printf("%s\n", Median(figure.rounds) > figure.bar ? "   OVER THE BAR" : "");
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 5) {
    std::printf("usage: program_bench PROGRAM TREES ROUNDS PLACEMENT\n");
    return 2;
  }
  const int rounds = std::max(1, _wtoi(argv[3]));
  std::printf("program %s, trees %s, %d rounds, Wine %s\n", Narrow(argv[1]).c_str(),
              Narrow(argv[2]).c_str(), rounds, Narrow(argv[4]).c_str());
  BareWalk(argv[2], nullptr);  // fills the caches, timed by nobody
  for (int number = 1; number <= rounds; ++number) {
    std::printf("round %d (%s first):\n", number, number % 2 == 1 ? "program" : "bare calls");
    Round round(argv[1], argv[2], number);
    if (!round.Started()) {
      std::printf("  the program's window did not show\n");
      return 1;
    }
    round.Run();
  }
  PrintSummary(rounds);
  return 0;
}
