#include "tests/support/program_driver.h"

#include "engine/win32/utf.h"
#include "ui/resources/resource.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kTextCapacity = 32768;
// A row count that has not moved for this long belongs to a worker that has ended.
constexpr auto kStillFor = 300ms;

// The program's main window: its visible dialog whose control 1001 is a list view.
BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(parameter);
  DWORD processId = 0;
  wchar_t listClass[32] = {};
  GetWindowThreadProcessId(window, &processId);
  GetClassNameW(GetDlgItem(window, IDC_RESULT_LIST), listClass, 32);
  if (processId != search->first || std::wstring(listClass) != WC_LISTVIEWW ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  search->second = window;
  return FALSE;
}

}  // namespace

ProgramDriver::ProgramDriver(const std::wstring& program, const std::string& name)
    : copy_(program.substr(0, program.find_last_of(L"\\/") + 1) + Widen(name) + L".exe"),
      settingsKey_(L"Software\\Software by Quorvane\\" + Widen(name)),
      windows_(0, name) {
  RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + copy_ + L"\"";
  if (!CopyFileW(program.c_str(), copy_.c_str(), FALSE) ||
      !CreateProcessW(copy_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process_)) {
    return;
  }
  std::pair<DWORD, HWND> search{process_.dwProcessId, nullptr};
  WindowDriver::WaitUntil(
      [&] { return !EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search)); });
  main_ = search.second;
  windows_ = WindowDriver(GetWindowThreadProcessId(main_, nullptr), name);
  remote_ = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMW) + kTextCapacity * 2,
                           MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

ProgramDriver::~ProgramDriver() {
  if (process_.hProcess != nullptr) {
    if (!Exit(600s)) TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  DeleteFileW(copy_.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
}

void ProgramDriver::SetDirectory(const std::string& path) const {
  WindowDriver::SetItemText(main_, IDC_DIRECTORY, path);
}

void ProgramDriver::SetBox(int box, bool ticked) const {
  if (WindowDriver::IsChecked(main_, box) != ticked) Press(box);
}

bool ProgramDriver::EnterPattern(HWND owner, int button, const std::string& pattern) const {
  WindowDriver::Click(owner, button);
  HWND entry = windows_.WaitForDialog(IDC_PATTERN_EDIT, WC_COMBOBOXW);
  if (entry == nullptr) return false;
  WindowDriver::SetItemText(entry, IDC_PATTERN_EDIT, pattern);
  WindowDriver::Click(entry, IDOK);
  return WindowDriver::WaitUntil([&] { return !IsWindow(entry); });
}

// The box's command goes on after its dialog has gone; the next message waits for it.
bool ProgramDriver::SetQuickSearch(const std::string& pattern) const {
  SetBox(IDC_TARGET_QUICK, false);
  return EnterPattern(main_, IDC_TARGET_QUICK, pattern);
}

bool ProgramDriver::SetOwnPatterns(const std::vector<std::string>& patterns) const {
  SetBox(IDC_TARGET_CUSTOM, false);
  WindowDriver::Click(main_, IDC_TARGET_CUSTOM);
  HWND list = windows_.WaitForDialog(IDC_PATTERN_LIST, WC_LISTBOXW);
  if (list == nullptr) return false;
  bool entered = true;
  for (const std::string& pattern : patterns) {
    entered = entered && EnterPattern(list, IDC_ADD_PATTERN, pattern);
  }
  WindowDriver::Click(list, IDOK);
  return WindowDriver::WaitUntil([&] { return !IsWindow(list); }) && entered;
}

std::optional<ProgramDriver::Clock::time_point> ProgramDriver::PressAndAnswer(int button,
                                                                             int answer) const {
  WindowDriver::Click(main_, button);
  if (!WindowDriver::WaitUntil([&] { return windows_.FindMessageBox() != nullptr; })) {
    return std::nullopt;
  }
  const Clock::time_point answered = Clock::now();
  windows_.AnswerMessageBox(answer);
  WindowDriver::Sync(main_);
  return answered;
}

// Polled finer than WindowDriver::WaitUntil: the moment found is a time measured.
std::optional<ProgramDriver::Clock::time_point> ProgramDriver::WaitUntilIdle(
    std::chrono::seconds limit) const {
  const Clock::time_point deadline = Clock::now() + limit;
  std::optional<Clock::time_point> stillSince;
  int count = -1;
  for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
    // While Scan is disabled a worker runs: only that is asked, and seldom, since every
    // question of ours takes the program's turn at the server.
    if (!IsWindowEnabled(GetDlgItem(main_, IDC_SCAN))) {
      stillSince.reset();
      Sleep(5);
      continue;
    }
    // The progress window is the program's dialog that holds the bar.
    if (windows_.FindDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW) != nullptr) {
      stillSince.reset();
    } else if (const int seen = RowCount(); !stillSince || seen != count) {
      stillSince = now;
      count = seen;
    } else if (now - *stillSince >= kStillFor) {
      return stillSince;
    }
    Sleep(2);
  }
  return std::nullopt;
}

int ProgramDriver::RowCount() const {
  return static_cast<int>(SendMessageW(GetDlgItem(main_, IDC_RESULT_LIST), LVM_GETITEMCOUNT, 0, 0));
}

LRESULT ProgramDriver::SendItem(UINT message, int row, const LVITEMW& item) const {
  WriteProcessMemory(process_.hProcess, remote_, &item, sizeof(item), nullptr);
  return SendMessageW(GetDlgItem(main_, IDC_RESULT_LIST), message, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote_));
}

std::string ProgramDriver::CellText(int row, int column) const {
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<LVITEMW*>(remote_) + 1);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = remoteText;
  item.cchTextMax = kTextCapacity;
  std::wstring text(static_cast<std::size_t>(SendItem(LVM_GETITEMTEXTW, row, item)), L'\0');
  ReadProcessMemory(process_.hProcess, remoteText, text.data(), text.size() * 2, nullptr);
  return Narrow(text);
}

bool ProgramDriver::IsTicked(int row) const {
  const LRESULT state = SendMessageW(GetDlgItem(main_, IDC_RESULT_LIST), LVM_GETITEMSTATE,
                                     static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
  return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void ProgramDriver::SetTick(int row, bool ticked) const {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
  SendItem(LVM_SETITEMSTATE, row, item);
}

bool ProgramDriver::Exit(std::chrono::seconds limit) const {
  if (main_ == nullptr) return false;
  WindowDriver::Click(main_, IDCANCEL);
  DWORD exitCode = 1;
  return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count() * 1000)) ==
             WAIT_OBJECT_0 &&
         GetExitCodeProcess(process_.hProcess, &exitCode) && exitCode == 0;
}
