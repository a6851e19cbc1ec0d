// The user interface's pieces inside this process: the dialog base, the progress window, and
// the start-up's application name, own patterns and notice.
#include "ui/app/cleaner_app.h"
#include "ui/app/notice.h"
#include "ui/app/own_patterns.h"
#include "ui/app/settings_store.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Each test may run alone, in a process of its own.
const bool kControlsReady = [] {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  return InitCommonControlsEx(&controls) != FALSE;
}();

// A dialog on any template with nothing of its own but a hook into its initialisation.
class ProbeDialog : public Dialog {
 public:
  explicit ProbeDialog(int templateId) : Dialog(templateId) {}
  std::function<void()> onInit;

 protected:
  bool OnInitDialog() override { return onInit ? (onInit(), true) : true; }
};

// A modal run whose window goes by other means than End ends all the same.
TEST(Dialog, DestroyingTheWindowEndsTheModalRun) {
  ProbeDialog dialog(IDD_TARGET_ENTRY);
  dialog.onInit = [&] {
    SetTimer(dialog.Handle(), 1, 0, [](HWND window, UINT, UINT_PTR, DWORD) { DestroyWindow(window); });
  };
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

// F1 names the dialog it was pressed in, from a control or a modeless dialog over the modal one
// too, and only without Shift, Ctrl and Alt.
TEST(Dialog, F1AsksForHelpOnTheDialogItWasPressedIn) {
  enum Where { kDialog, kControl, kModeless };
  const struct { int heldKey; Where where; std::vector<int> asked; } cases[] = {  // heldKey 0: none
      {0, kDialog, {IDD_TARGET_ENTRY}}, {0, kControl, {IDD_TARGET_ENTRY}}, {0, kModeless, {IDD_PROGRESS}},
      {VK_SHIFT, kDialog, {}},          {VK_CONTROL, kDialog, {}},          {VK_MENU, kDialog, {}}};
  for (const auto& c : cases) {
    std::vector<int> asked;
    Dialog::SetHelpHandler([&](int templateId) { asked.push_back(templateId); });
    BYTE keyboard[256];
    GetKeyboardState(keyboard);
    keyboard[c.heldKey] = 0x80;
    SetKeyboardState(keyboard);
    ProbeDialog modeless(IDD_PROGRESS);
    ProbeDialog dialog(IDD_TARGET_ENTRY);
    dialog.onInit = [&] {
      HWND target = c.where == kControl ? dialog.Item(IDCANCEL) : dialog.Handle();
      if (c.where == kModeless) target = modeless.Create(dialog.Handle()) ? modeless.Handle() : nullptr;
      PostMessageW(target, WM_KEYDOWN, VK_F1, 1);
      PostMessageW(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
    };
    dialog.DoModal(nullptr);
    keyboard[c.heldKey] = 0;
    SetKeyboardState(keyboard);
    Dialog::SetHelpHandler(nullptr);
    EXPECT_EQ(asked, c.asked) << "key " << c.heldKey << " where " << c.where;
  }
}

// The entry dialog's six combo box entries are there once at each start; no id repeats within a
// dialog.
TEST(Dialog, TemplatesGiveComboEntriesOnceAndUniqueControlIds) {
  for (int templateId : {IDD_TARGET_ENTRY, IDD_TARGET_ENTRY, IDD_TARGET_LIST, IDD_PROGRESS, IDD_CLEANER_DIALOG}) {
    ProbeDialog dialog(templateId);
    dialog.onInit = [&] {
      EXPECT_EQ(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_EDIT, CB_GETCOUNT, 0, 0),
                templateId == IDD_TARGET_ENTRY ? 6 : 0);
      std::set<int> ids;
      for (HWND child = GetWindow(dialog.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = LOWORD(GetDlgCtrlID(child));
        EXPECT_TRUE(id == 0xFFFF || ids.insert(id).second) << templateId << ": " << id;
      }
      dialog.End(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK) << templateId;
  }
}

// The window shows where the worker's calls ended, once the window thread takes them. However
// the user puts it away, it hides at once and stays hidden until the worker shows it again; only
// the cancels ask the worker to stop, until its next show or start. A closing request stays.
TEST(ProgressWindow, ShowsWhatTheWorkerPublishedAndStaysAwayOnceTheUserPutsItAway) {
  const struct { const char* what; UINT message; WPARAM wParam; bool cancelled; } cases[] = {
      {"Cancel or Esc", WM_COMMAND, IDCANCEL, true}, {"close box", WM_CLOSE, 0, true},
      {"Enter", WM_COMMAND, IDOK, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CProgressDlg window;
    ASSERT_TRUE(window.Create(nullptr));
    HWND shown = window.Handle();
    HWND bar = window.Item(IDC_PROGRESS_BAR);
    PublishedProgress& worker = window.State();
    const auto shownAfterSync = [&] { return window.ShowPublishedState(), IsWindowVisible(shown) != FALSE; };
    worker.SetCaption("正在删除...");
    worker.ShowProgressBar(true);
    worker.StartProgress(10, 70000, 2);
    for (int row = 0; row < 1000; ++row) worker.SetStatusText("C:\\临时\\" + std::to_string(row));
    for (int step = 0; step < 3; ++step) worker.StepProgress();
    worker.ShowProgress();
    EXPECT_FALSE(IsWindowVisible(shown)) << "shown by the window thread only";
    window.ShowPublishedState();
    EXPECT_TRUE(IsWindowVisible(shown) && IsWindowVisible(bar));
    EXPECT_EQ(window.Caption() + " " + window.ItemText(IDC_PROGRESS_TEXT), "正在删除... C:\\临时\\999");
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0) * 100000 + SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 1070000);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 16);
    SendMessageW(shown, c.message, c.wParam, 0);
    EXPECT_FALSE(IsWindowVisible(shown));
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);
    worker.SetStatusText("C:\\late");
    EXPECT_FALSE(shownAfterSync());
    worker.HideProgress();
    EXPECT_FALSE(shownAfterSync());
    EXPECT_EQ(worker.CancelRequested(), c.cancelled);
    worker.ShowProgress();
    EXPECT_TRUE(shownAfterSync());
    EXPECT_FALSE(worker.CancelRequested());
    EXPECT_EQ(window.ItemText(IDC_PROGRESS_TEXT), "C:\\late");
    worker.CancelFlag() = 1;
    worker.StartProgress(0, 1, 1);
    EXPECT_FALSE(worker.CancelRequested());
    worker.RequestClose();
    worker.StartProgress(0, 1, 1);
    worker.ShowProgress();
    EXPECT_TRUE(worker.CancelRequested());
    worker.HideProgress();
    EXPECT_FALSE(shownAfterSync());
  }
}

TEST(ApplicationName, IsTheExecutablesFileNameWithoutExtension) {
  const struct { const wchar_t* path; const char* name; const wchar_t* helpFile; } cases[] = {
      {L"C:\\a.b\\My.Tool.exe", "My.Tool", L"C:\\a.b\\My.Tool.HLP"},  // last dot only
      {L"C:\\a.b\\Vellox", "Vellox", L"C:\\a.b\\Vellox.HLP"},          // a dot in a directory
      {L"C:/x/forward.exe", "forward", L"C:/x/forward.HLP"},
      {L"C:drive.exe", "drive", L"C:drive.HLP"},
      {L"C:\\工具\\清理程序.exe", "清理程序", L"C:\\工具\\清理程序.HLP"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplicationNameFromPath(c.path), c.name);
    EXPECT_EQ(HelpFilePathFromPath(c.path), c.helpFile) << c.name;
  }
}

// Whatever Count says, loading takes no time and ends at the last stored pattern that Count
// covers; one missing below it loads empty. A Count that is no 32-bit number loads nothing.
TEST(OwnPatterns, LoadAsFarAsStoredValuesBackTheCount) {
  // A count beyond 32 bits is stored as 8 bytes.
  const struct { std::int64_t count; std::vector<int> stored; std::vector<std::string> loaded; } cases[] = {
      {3, {1, 3, 4}, {"*.1", "", "*.3"}}, {100000, {}, {}}, {2147483647, {1, 3}, {"*.1", "", "*.3"}},
      {-2147483647 - 1, {1}, {}},         {1ll << 32 | 2, {1}, {}}};
  const std::wstring key = L"Software\\Vellox Tests\\own patterns";
  SettingsStore settings;
  settings.SetRegistryRoot("Vellox Tests", "own patterns");
  for (const auto& tested : cases) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    settings.WriteInt("UserType", "Count", static_cast<std::int32_t>(tested.count));
    if (tested.count > INT32_MAX) {
      RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\UserType").c_str(), L"Count", REG_BINARY,
                      &tested.count, sizeof tested.count);
    }
    for (int k : tested.stored) {
      settings.WriteString("UserType", "FileType" + std::to_string(k), "*." + std::to_string(k));
    }
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(LoadOwnPatterns(settings), tested.loaded) << tested.count;
    EXPECT_LT(GetTickCount64() - start, 1000u) << tested.count;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vellox Tests");
}

// The notice deciphers to text for a multi-line edit (lines end in CR LF); any change fails.
TEST(Notice, DeciphersToCrLfTextAndAnyChangeFailsTheCheck) {
  const auto notice = LoadNoticeResource();
  ASSERT_TRUE(notice.has_value());
  EXPECT_NE(notice->find("回收站"), std::string::npos);
  const auto lineFeeds = std::count(notice->begin(), notice->end(), '\n');
  EXPECT_GE(lineFeeds, 2);
  EXPECT_EQ(std::count(notice->begin(), notice->end(), '\r'), lineFeeds);
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, L"IDR_MY_MEMO", L"ENCRYPT");
  const std::string original(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                             SizeofResource(module, resource));
  const struct { const char* change; void (*apply)(std::string&); } changes[] = {
      {"format mark", [](std::string& s) { s[0] ^= 0x01; }},
      {"length grown", [](std::string& s) { s[4] = static_cast<char>(s[4] + 1); }},
      {"text byte", [](std::string& s) { s[s.size() / 2] ^= 0x01; }},
      {"tag", [](std::string& s) { s.back() ^= 0x01; }},
      {"nothing left", [](std::string& s) { s.clear(); }},
  };
  for (const auto& change : changes) {
    std::string tampered = original;
    change.apply(tampered);
    EXPECT_EQ(DecipherNotice(tampered), std::nullopt) << change.change;
  }
}

}  // namespace
