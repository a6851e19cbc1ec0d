// Compares the delete worker's plain delete with a bare loop of DeleteFileW, and ShredFile with
// a bare overwrite of the same file, side by side in one run. Prints times and ratios.
//   delete_bench [DIRECTORY [ROUNDS]]   (default: the temp directory, 3 rounds)
#include "engine/delete_mode.h"
#include "engine/delete_worker.h"
#include "engine/win32/utf.h"
#include "engine/win32/win32_removal_operations.h"
#include "tests/win32/silent_progress.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr int kDirectories = 100;
constexpr int kFilesPerDirectory = 100;  // many files in one directory are slow under Wine
constexpr LONGLONG kShredLength = 256LL << 20;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A list and progress window that cost next to nothing, so the run measures the worker and
// the removals. Every row is ticked; rows go from the front, which a deque erases in O(1).
class BenchWindow final : public DeleteWindow, ResultList {
 public:
  BenchWindow(const std::vector<std::string>& paths, RemovalOperations& removal)
      : rows_(paths.begin(), paths.end()), removal_(removal) {}

  ResultList& Results() override { return *this; }
  ProgressOperations& Progress() override { return progress_; }
  RemovalOperations& Removal() override { return removal_; }
  std::atomic<std::int32_t>& BusyFlag() override { return busy_; }
  std::atomic<std::int32_t>& DeleteModeWord() override { return mode_; }

  int RowCount() override { return static_cast<int>(rows_.size()); }
  int AppendRow(const std::string&) override { return -1; }
  void SetRowPath(int, const std::string&) override {}
  bool IsRowTicked(int) override { return true; }
  std::string RowPath(int row) override { return rows_[static_cast<std::size_t>(row)]; }
  void RemoveRow(int row) override { rows_.erase(rows_.begin() + row); }
  void SetRedraw(bool) override {}

  std::size_t Remaining() const { return rows_.size(); }

 private:
  std::deque<std::string> rows_;
  RemovalOperations& removal_;
  SilentProgress progress_;
  std::atomic<std::int32_t> busy_{0};
  std::atomic<std::int32_t> mode_{ModePlain};
};

// The real operations, with a bare DeleteFileW of a twin file timed next to every plain
// delete, alternately just before and just after it. Both sides then see the same moment's
// load on a busy machine, which separate runs of seconds each do not.
class TwinTimedRemoval final : public RemovalOperations {
 public:
  explicit TwinTimedRemoval(const std::vector<std::wstring>& twins) : twins_(twins) {}

  bool PlainDelete(const std::string& path) override {
    const bool twinFirst = next_ % 2 == 0;
    if (twinFirst) DeleteTwin();
    const bool deleted = real_.PlainDelete(path);
    if (!twinFirst) DeleteTwin();
    return deleted;
  }
  bool ForcedDelete(const std::string& path) override { return real_.ForcedDelete(path); }
  bool ShredFile(const std::string& path) override { return real_.ShredFile(path); }
  bool RecycleFile(const std::string& path) override { return real_.RecycleFile(path); }
  bool DeleteAtRestart(const std::string& path) override { return real_.DeleteAtRestart(path); }

  double twinSeconds = 0;
  int twinsLeft = 0;

 private:
  void DeleteTwin() {
    const Clock::time_point start = Clock::now();
    const bool deleted = DeleteFileW(twins_[next_++].c_str()) != 0;
    twinSeconds += SecondsSince(start);
    twinsLeft += deleted ? 0 : 1;
  }

  Win32RemovalOperations real_;
  const std::vector<std::wstring>& twins_;
  std::size_t next_ = 0;
};

std::vector<std::wstring> CreateSmallFiles(const std::wstring& root) {
  std::vector<std::wstring> paths;
  CreateDirectoryW(root.c_str(), nullptr);
  for (int d = 0; d < kDirectories; ++d) {
    const std::wstring directory = root + L"\\d" + std::to_wstring(d);
    CreateDirectoryW(directory.c_str(), nullptr);
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      const std::wstring path = directory + L"\\junk" + std::to_wstring(f) + L".tmp";
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      DWORD written = 0;
      WriteFile(file, "junk", 4, &written, nullptr);
      CloseHandle(file);
      paths.push_back(path);
    }
  }
  return paths;
}

void RemoveDirectories(const std::wstring& root) {
  for (int d = 0; d < kDirectories; ++d) RemoveDirectoryW((root + L"\\d" + std::to_wstring(d)).c_str());
  RemoveDirectoryW(root.c_str());
}

// One worker run over all rows of the first tree, each delete paired with one of the twin
// tree. Gives the worker's own seconds and the bare loop's.
void WorkerAgainstBareLoop(const std::wstring& directory, double& workerSeconds, double& bareSeconds) {
  const std::vector<std::wstring> files = CreateSmallFiles(directory + L"\\worker");
  const std::vector<std::wstring> twins = CreateSmallFiles(directory + L"\\bare");
  std::vector<std::string> paths;
  for (const std::wstring& file : files) paths.push_back(Narrow(file));
  TwinTimedRemoval removal(twins);
  BenchWindow window(paths, removal);

  const Clock::time_point start = Clock::now();
  DeleteWorker(&window);
  const double total = SecondsSince(start);
  workerSeconds = total - removal.twinSeconds;
  bareSeconds = removal.twinSeconds;
  if (window.Remaining() != 0 || removal.twinsLeft != 0) {
    std::printf("  left: %zu by the worker, %d by the bare loop\n", window.Remaining(), removal.twinsLeft);
  }
  RemoveDirectories(directory + L"\\worker");
  RemoveDirectories(directory + L"\\bare");
}

bool CreateLargeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(1 << 20, 'x');
  DWORD written = 0;
  bool ok = true;
  for (LONGLONG done = 0; ok && done < kShredLength; done += static_cast<LONGLONG>(block.size())) {
    ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written == block.size();
  }
  ok = FlushFileBuffers(file) && ok;
  CloseHandle(file);
  return ok;
}

double Shred(const std::wstring& path) {
  if (!CreateLargeFile(path)) return -1;
  Win32RemovalOperations removal;
  const Clock::time_point start = Clock::now();
  const bool shredded = removal.ShredFile(Narrow(path));
  const double seconds = SecondsSince(start);
  if (!shredded) std::printf("  ShredFile failed\n");
  DeleteFileW(path.c_str());
  return seconds;
}

// The same file overwritten in place with zeros and flushed, without anything else; with
// queryPosition, the position is read back after every block, as ShredFile does.
double BareOverwrite(const std::wstring& path, DWORD blockSize, bool queryPosition = false) {
  if (!CreateLargeFile(path)) return -1;
  std::vector<char> zeros(blockSize, '\0');
  const Clock::time_point start = Clock::now();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  LARGE_INTEGER zero = {};
  LARGE_INTEGER position = {};
  for (LONGLONG done = 0; done < kShredLength; done += blockSize) {
    WriteFile(file, zeros.data(), blockSize, &written, nullptr);
    if (queryPosition) SetFilePointerEx(file, zero, &position, FILE_CURRENT);
  }
  FlushFileBuffers(file);
  CloseHandle(file);
  const double seconds = SecondsSince(start);
  DeleteFileW(path.c_str());
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::wstring directory;
  if (argc > 1) {
    directory = Widen(argv[1]);
  } else {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    directory = temp;
  }
  directory = directory.substr(0, directory.find_last_not_of(L'\\') + 1) + L"\\delete-bench";
  CreateDirectoryW(directory.c_str(), nullptr);
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  std::printf("delete bench in %s, %d rounds, alternating which side goes first\n", Narrow(directory).c_str(), rounds);

  std::vector<double> deleteRatios;
  std::printf("plain delete of %d files in %d directories, the worker's against a bare DeleteFileW loop's:\n",
              kDirectories * kFilesPerDirectory, kDirectories);
  for (int round = 0; round < rounds; ++round) {
    double worker = 0;
    double bare = 0;
    WorkerAgainstBareLoop(directory, worker, bare);
    deleteRatios.push_back(worker / bare);
    std::printf("  round %d: worker %.3f s, bare loop %.3f s, ratio %.2f\n", round + 1, worker, bare, worker / bare);
  }

  std::vector<double> shredRatios;
  std::vector<double> shredToLargeBlockRatios;
  std::printf("256 MiB overwritten with zeros and flushed:\n");
  const std::wstring large = directory + L"\\large.tmp";
  for (int round = 0; round < rounds; ++round) {
    double shred = 0;
    double bare = 0;
    if (round % 2 == 0) {
      shred = Shred(large);
      bare = BareOverwrite(large, 4096);
    } else {
      bare = BareOverwrite(large, 4096);
      shred = Shred(large);
    }
    const double bareLargeBlocks = BareOverwrite(large, 1 << 20);
    const double bareWithQueries = BareOverwrite(large, 4096, true);
    std::printf("  round %d: bare 4 KiB writes with a position query after each: %.3f s\n", round + 1, bareWithQueries);
    shredRatios.push_back(shred / bare);
    shredToLargeBlockRatios.push_back(shred / bareLargeBlocks);
    std::printf("  round %d: ShredFile %.3f s, bare 4 KiB writes %.3f s (ratio %.2f), bare 1 MiB writes %.3f s (ratio %.2f)\n",
                round + 1, shred, bare, shred / bare, bareLargeBlocks, shred / bareLargeBlocks);
  }
  RemoveDirectoryW(directory.c_str());

  std::printf("median ratios: worker/bare delete %.2f, ShredFile/bare 4 KiB overwrite %.2f, ShredFile/bare 1 MiB overwrite %.2f\n",
              Median(deleteRatios), Median(shredRatios), Median(shredToLargeBlockRatios));
  return 0;
}
