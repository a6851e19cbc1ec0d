#pragma once

#include "engine/win32/utf.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Runs a copy of the built program in another process under a name of its own (which titles its
// message boxes and names its settings key, removed before the start and after the end) and
// drives its windows from outside as a user or an outside tool would. Every wait has a limit,
// so a window that never shows makes a caller fail instead of hang.
class ProgramDriver {
 public:
  using Clock = std::chrono::steady_clock;

  // beforeStart runs once the old settings are gone, to store those the program starts with.
  ProgramDriver(const std::wstring& program, const std::string& name, const std::function<void()>& beforeStart = {})
      : copy_(program.substr(0, program.find_last_of(L"\\/") + 1) + Widen(name) + L".exe"),
        settingsKey_(L"Software\\Software by Quorvane\\" + Widen(name)),
        name_(name) {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
    if (beforeStart) beforeStart();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + copy_ + L"\"";
    if (!CopyFileW(program.c_str(), copy_.c_str(), FALSE) ||
        !CreateProcessW(copy_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
      return;
    }
    main_ = WaitForDialog(IDC_RESULT_LIST, WC_LISTVIEWW);
    remote_ = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMW) + kTextCapacity * 2, MEM_COMMIT | MEM_RESERVE,
                             PAGE_READWRITE);
  }
  // Exits as a user would if the program still runs (closing first what a caller that failed
  // left open over the main window), then removes the copy and its settings.
  ~ProgramDriver() {
    if (process_.hProcess != nullptr) {
      for (HWND open; (open = FindVisibleDialog([&](HWND window) { return window != main_; })) != nullptr;) {
        PostMessageW(open, WM_COMMAND, open == FindMessageBox() ? IDNO : IDCANCEL, 0);
        if (!WaitUntil([&] { return !IsWindowVisible(open); }, 2000)) break;
      }
      if (!Exit(std::chrono::seconds(600))) TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 10000);
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    DeleteFileW(copy_.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
  }
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  static bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(10)) {
      if (GetTickCount64() > deadline) return false;
    }
    return true;
  }

  HWND Main() const { return main_; }  // null when the window did not show
  HANDLE Process() const { return process_.hProcess; }
  // A visible dialog with a control of this id and class (ids repeat across dialogs).
  HWND FindDialog(int controlId, const wchar_t* controlClass) const {
    return FindVisibleDialog([&](HWND window) { return ClassOf(GetDlgItem(window, controlId)) == controlClass; });
  }
  HWND WaitForDialog(int controlId, const wchar_t* controlClass) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(controlId, controlClass)) != nullptr; });
    return found;
  }
  HWND FindMessageBox() const { return FindVisibleDialog([&](HWND window) { return Text(window) == name_; }); }
  // Presses button in the message box to come; its text once the command that asked has gone on.
  std::optional<std::string> AnswerMessageBox(int button) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; })) return std::nullopt;
    const std::string text = ItemText(box, 0xFFFF);  // the id of a message box's text
    CloseWith(box, button);
    return text;
  }
  // True once the dialog has gone and the command that opened it has gone on.
  bool CloseWith(HWND dialog, int button) const {
    Click(dialog, button);
    const bool closed = WaitUntil([&] { return !IsWindow(dialog); });
    SendMessageW(main_, WM_NULL, 0, 0);  // handled once that command has returned
    return closed;
  }

  // A click that may open a modal window returns at once; Press once the command has run.
  static void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  void Press(int button, HWND dialog = nullptr) const {
    SendMessageW(GetDlgItem(dialog ? dialog : main_, button), BM_CLICK, 0, 0);
  }
  static std::string Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return Narrow(text.data(), static_cast<std::size_t>(copied));
  }
  static std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
  static void SetItemText(HWND dialog, int id, const std::string& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
  }
  void SetDirectory(const std::string& path) const { SetItemText(main_, IDC_DIRECTORY, path); }
  // An option box that opens nothing when ticked.
  void SetBox(int box, bool ticked) const {
    if ((SendDlgItemMessageW(main_, box, BM_GETCHECK, 0, 0) == BST_CHECKED) != ticked) Press(box);
  }
  // Presses button on owner (the quick-search box, Add) and enters pattern in the dialog it opens.
  bool EnterPattern(HWND owner, int button, const std::string& pattern) const {
    Click(owner, button);
    HWND entry = WaitForDialog(IDC_PATTERN_EDIT, WC_COMBOBOXW);
    if (entry == nullptr) return false;
    SetItemText(entry, IDC_PATTERN_EDIT, pattern);
    return CloseWith(entry, IDOK);
  }
  bool SetQuickSearch(const std::string& pattern) const {
    SetBox(IDC_TARGET_QUICK, false);
    return EnterPattern(main_, IDC_TARGET_QUICK, pattern);
  }
  HWND OpenOwnPatterns() const {
    SetBox(IDC_TARGET_CUSTOM, false);
    Click(main_, IDC_TARGET_CUSTOM);
    return WaitForDialog(IDC_PATTERN_LIST, WC_LISTBOXW);
  }
  // A button whose command asks first: the moment of the answer, once the command has gone on.
  std::optional<Clock::time_point> PressAndAnswer(int button, int answer) const {
    Click(main_, button);
    if (!WaitUntil([&] { return FindMessageBox() != nullptr; })) return std::nullopt;
    const Clock::time_point answered = Clock::now();
    AnswerMessageBox(answer);
    return answered;
  }
  // The end of a worker as a user sees it: Scan enabled, no progress window, the row count still.
  // Gives the moment that began, polled finely; while Scan is disabled only that is asked, and
  // seldom, since every question of ours takes the program's turn at the server.
  std::optional<Clock::time_point> WaitUntilIdle(std::chrono::seconds limit) const {
    const Clock::time_point deadline = Clock::now() + limit;
    std::optional<Clock::time_point> stillSince;
    int count = -1;
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
      if (!IsWindowEnabled(GetDlgItem(main_, IDC_SCAN))) {
        stillSince.reset();
        Sleep(5);
        continue;
      }
      if (FindDialog(IDC_PROGRESS_BAR, PROGRESS_CLASSW) != nullptr) {
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
  int RowCount() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
  std::string CellText(int row, int column) const {
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<LVITEMW*>(remote_) + 1);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = kTextCapacity;
    std::wstring text(static_cast<std::size_t>(SendRemote(LVM_GETITEMTEXTW, row, item)), L'\0');
    ReadProcessMemory(process_.hProcess, remoteText, text.data(), text.size() * 2, nullptr);
    return Narrow(text);
  }
  bool IsTicked(int row) const {
    const LRESULT state = SendMessageW(List(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  }
  void SetTick(int row, bool ticked) const {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    SendRemote(LVM_SETITEMSTATE, row, item);
  }
  // Selects and focuses the row; -1: no row.
  void Select(int row) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendRemote(LVM_SETITEMSTATE, -1, item);
    item.state = item.stateMask;
    if (row >= 0) SendRemote(LVM_SETITEMSTATE, row, item);
  }
  // A part of a row (LVIR_LABEL, ...) on the screen.
  RECT RowRect(int row, int part) const {
    RECT rect{part, 0, 0, 0};
    SendRemote(LVM_GETITEMRECT, row, rect);
    MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  // True once the tick has changed.
  bool ClickTickBox(int row) const {
    RECT icon{LVIR_ICON, 0, 0, 0};  // the box lies just left of the row's icon
    SendRemote(LVM_GETITEMRECT, row, icon);
    const LPARAM at = MAKELPARAM(icon.left - 8, (icon.top + icon.bottom) / 2);
    const bool before = IsTicked(row);
    PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(List(), WM_LBUTTONUP, 0, at);
    return WaitUntil([&] { return IsTicked(row) != before; });
  }
  // A click on a column's header, once the program has handled it (a sort is done then).
  void ClickHeader(int column) const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    RECT box{};
    WriteProcessMemory(process_.hProcess, remote_, &box, sizeof(box), nullptr);
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_.hProcess, remote_, &box, sizeof(box), nullptr);
    const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    SendMessageW(header, WM_NULL, 0, 0);
    SendMessageW(main_, WM_NULL, 0, 0);
  }
  // Messages posted to the program's windows are handled in order: once a mark posted after them
  // has come through (a list view property nothing here uses), so have they, or the modal window
  // one of them opened is running.
  void Settle() const {
    static LRESULT mark = 0;
    PostMessageW(List(), LVM_SETHOVERTIME, 0, ++mark);
    WaitUntil([&] { return SendMessageW(List(), LVM_GETHOVERTIME, 0, 0) == mark; });
  }
  // A key pressed in the list as the keyboard would, Ctrl and Shift held as asked: the program's
  // thread shares this one's keyboard state while the key goes through its message loop.
  void PressListKey(UINT key, bool control = false, bool shift = false) const {
    AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(List(), WM_KEYDOWN, key, 1);
    Settle();
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, FALSE);
  }
  // The row menu, opened by the menu key; null when none shows.
  HWND OpenRowMenu() const {
    PostMessageW(List(), WM_KEYDOWN, VK_APPS, 1);
    PostMessageW(List(), WM_KEYUP, VK_APPS, 0xC0000001);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindOwnWindow(L"#32768", nullptr)) != nullptr; }, 5000);
    return menu;
  }
  // Picks an item of the open menu by its underlined letter; a disabled one only closes the menu.
  bool ChooseMenuItem(HWND menu, wchar_t letter) const {
    PostMessageW(menu, WM_CHAR, letter, 1);
    const bool closed = WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
    Settle();
    return closed;
  }
  // The visible window of the program's thread owned by owner (a question over a dialog).
  HWND FindOwnWindow(const wchar_t* windowClass, HWND owner) const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr;) {
      if (GetWindowThreadProcessId(window, nullptr) == process_.dwThreadId && IsWindowVisible(window) &&
          (owner == nullptr || GetWindow(window, GW_OWNER) == owner)) {
        return window;
      }
    }
    return nullptr;
  }
  // A file or folder dropped on the main window, as Explorer drops it: the list of names in the
  // program's memory, where it reads it.
  void Drop(const std::string& path) const {
    const std::wstring name = Widen(path);
    std::vector<char> drop(sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t), '\0');
    auto* header = reinterpret_cast<DROPFILES*>(drop.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy_n(reinterpret_cast<const char*>(name.c_str()), name.size() * sizeof(wchar_t), drop.data() + sizeof(DROPFILES));
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, drop.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process_.hProcess, remote, drop.data(), drop.size(), nullptr);
    SendMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  }
  // The system's Save dialog: types path into its file name field and presses Save.
  HWND WaitForSaveDialog() const {
    HWND save = nullptr;
    WaitUntil([&] {
      return (save = FindVisibleDialog([](HWND w) { return GetDlgItem(w, kFileNameBox) != nullptr; })) != nullptr;
    });
    return save;
  }
  static void SaveAs(HWND save, const std::string& path) {
    HWND edit = GetDlgItem(save, kFileNameBox);
    while (GetWindow(edit, GW_CHILD) != nullptr) edit = GetWindow(edit, GW_CHILD);  // the edit inside
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(path).c_str()));
    Click(save, IDOK);
  }
  static std::string ClipboardText() {
    std::string text = "<none>";
    if (!OpenClipboard(nullptr)) return "<busy>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }
  // The text of a part of the main window's status bar.
  std::string StatusText(int part) const {
    HWND bar = GetDlgItem(main_, IDC_STATUS_BAR);
    auto* remoteText = static_cast<wchar_t*>(remote_);
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remoteText)));
    std::wstring text(length, L'\0');
    ReadProcessMemory(process_.hProcess, remoteText, text.data(), text.size() * 2, nullptr);
    return Narrow(text);
  }
  // True when the process then ended with exit code 0 within the limit.
  bool Exit(std::chrono::seconds limit) const {
    if (main_ == nullptr) return false;
    Click(main_, IDCANCEL);
    DWORD exitCode = 1;
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count() * 1000)) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process_.hProcess, &exitCode) && exitCode == 0;
  }

 private:
  static constexpr std::size_t kTextCapacity = 32768;
  static constexpr int kFileNameBox = 0x47c;  // the file dialogs' name field (cmb13)
  // A row count that has not moved for this long belongs to a worker that has ended.
  static constexpr std::chrono::milliseconds kStillFor{300};

  static std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 64)));
  }
  // A dialog of the program's window thread (its windows are all top-level or children of them).
  HWND FindVisibleDialog(const std::function<bool(HWND)>& matches) const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr;) {
      if (GetWindowThreadProcessId(window, nullptr) == process_.dwThreadId && IsWindowVisible(window) &&
          matches(window)) {
        return window;
      }
    }
    return nullptr;
  }
  HWND List() const { return GetDlgItem(main_, IDC_RESULT_LIST); }
  // A list view message whose structure the list view reads and writes in the program's memory.
  template <class T>
  LRESULT SendRemote(UINT message, int row, T& data) const {
    static_assert(sizeof(T) <= sizeof(LVITEMW), "the text follows an LVITEMW");
    WriteProcessMemory(process_.hProcess, remote_, &data, sizeof(data), nullptr);
    const LRESULT result = SendMessageW(List(), message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_.hProcess, remote_, &data, sizeof(data), nullptr);
    return result;
  }

  std::wstring copy_;
  std::wstring settingsKey_;
  std::string name_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  void* remote_ = nullptr;  // a structure and then a text, in the program's memory
};
