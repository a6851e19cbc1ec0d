#include "engine/win32/utf.h"
#include "ui/app/dialog_init_data.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;  // null: not compared
};

struct ExpectedTemplate {
  int id;
  const char* caption;
  std::vector<ExpectedControl> controls;  // in template order, which is the tab order
};

// The icon control holds the icon's id as its text.
const ExpectedTemplate kTemplates[] = {
    {IDD_CLEANER_DIALOG, "Vellox磁盘清理/文件查找程序 - ",
     {{IDC_RESULT_LIST, "SysListView32", "List1"}, {IDC_DIRECTORY, "Edit", ""},
      {IDC_BROWSE, "Button", "浏览(&B)"}, {-1, "Button", "选择清理目标"},
      {IDC_TARGET_VC6, "Button", "VC6工程临时Obj文件"}, {IDC_CHECK_ALL, "Button", "全选(&A)"},
      {IDC_PLAIN_DELETE, "Button", "直接删除"}, {IDC_LOCATE, "Button", "定位(&F)"},
      {IDC_OPEN, "Button", "打开(&O)"}, {IDCANCEL, "Button", "退出(&X)"},
      {IDC_CHECK_NONE, "Button", "全否(&N)"}, {-1, "Static", ""}, {IDC_NOTICE, "Edit", ""},
      {IDC_TARGET_CUSTOM, "Button", "选择这里,进行自定义目标文件..."},
      {-1, "Button", "选择目标目录"}, {IDC_TARGET_QUICK, "Button", "选择这里,进行快速文件查找..."},
      {IDC_SCAN, "Button", "扫描(&S)"}, {IDC_TARGET_WORD, "Button", "Word暂存文档~$*.doc"},
      {IDC_TARGET_THUMBS, "Button", "图像预览Thumbs.db"}, {IDC_FORCED_DELETE, "Button", "强制删除"},
      {IDC_SUPER_DELETE, "Button", "超强删除"}, {IDC_SHRED_DELETE, "Button", "粉碎删除"},
      {IDC_RESTART_DELETE, "Button", "重起删除"}, {IDC_RECYCLE_DELETE, "Button", "去回收站"},
      {IDC_WHO_IS_USING, "Button", "谁在使用"}}},
    {IDD_PROGRESS, "正在执行...",
     {{IDC_PROGRESS_BAR, "msctls_progress32", "Progress1"},
      {IDC_PROGRESS_TEXT, "Static", "Doing..."}, {IDCANCEL, "Button", "取消(&C)"}}},
    {IDD_TARGET_LIST, "自定义目标文件",
     {{-1, "Button", "目标文件/类型列表"}, {IDC_PATTERN_LIST, "ListBox", ""},
      {IDC_ADD_PATTERN, "Button", "添加(&A)"}, {IDC_REMOVE_PATTERN, "Button", "删除(&D)"},
      {IDOK, "Button", "确定(&O)"}, {IDCANCEL, "Button", "取消(&C)"}, {-1, "Static", nullptr}}},
    {IDD_TARGET_ENTRY, "目标文件/类型",
     {{-1, "Button", "目标文件或文件类型名"}, {IDC_PATTERN_EDIT, "ComboBox", ""},
      {IDOK, "Button", "确定(&O)"}, {IDCANCEL, "Button", "取消(&C)"}}},
};

std::vector<unsigned char> ResourceBytes(LPCWSTR name, LPCWSTR type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return {};
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
  return std::vector<unsigned char>(data, data + SizeofResource(module, resource));
}

INT_PTR CALLBACK ApplyInitData(HWND window, UINT message, WPARAM, LPARAM templateId) {
  if (message == WM_INITDIALOG) ApplyDialogInitData(window, static_cast<int>(templateId));
  return message == WM_INITDIALOG;
}

using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;

// A dialog created from its template with WS_VISIBLE taken off, so that no test shows a window,
// and with its initialisation data applied as every dialog procedure applies it.
Window HiddenDialog(int templateId) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  auto bytes = ResourceBytes(MAKEINTRESOURCEW(templateId), RT_DIALOG);
  if (bytes.size() < 16) return Window(nullptr, DestroyWindow);
  bytes.resize(bytes.size() + 3);
  std::vector<DWORD> aligned(bytes.size() / 4);  // templates must be DWORD-aligned
  std::memcpy(aligned.data(), bytes.data(), aligned.size() * sizeof(DWORD));
  // The style is the first DWORD, or the fourth in an extended template.
  aligned[aligned[0] == 0xFFFF0001u ? 3 : 0] &= ~static_cast<DWORD>(WS_VISIBLE);
  return Window(CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                           nullptr, ApplyInitData, templateId),
                DestroyWindow);
}

std::string Read(int(WINAPI* get)(HWND, LPWSTR, int), HWND window) {
  wchar_t text[512] = {};
  get(window, text, 512);
  return Narrow(text);
}

// Direct children in template order.
std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

TEST(Resources, EveryControlStandsInTemplateOrderWithItsIdClassAndTextAndIdsAreUnique) {
  for (const auto& expected : kTemplates) {
    SCOPED_TRACE(expected.id);
    const Window dialog = HiddenDialog(expected.id);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Read(GetWindowTextW, dialog.get()), expected.caption);
    const auto children = Children(dialog.get());
    ASSERT_EQ(children.size(), expected.controls.size());
    std::set<int> seen;
    for (std::size_t i = 0; i < children.size(); ++i) {
      const ExpectedControl& control = expected.controls[i];
      SCOPED_TRACE(i);
      const int id = LOWORD(GetDlgCtrlID(children[i]));
      EXPECT_EQ(id, LOWORD(control.id));
      EXPECT_EQ(Read(GetClassNameW, children[i]), control.className);
      if (control.text != nullptr) {
        EXPECT_EQ(Read(GetWindowTextW, children[i]), control.text);
      }
      EXPECT_TRUE(id == 0xFFFF || seen.insert(id).second) << "duplicate id " << id;
    }
  }
}

TEST(Resources, PatternEntryComboStartsEmptyWithItsEntriesInOrder) {
  const Window dialog = HiddenDialog(IDD_TARGET_ENTRY);
  HWND combo = GetDlgItem(dialog.get(), IDC_PATTERN_EDIT);
  std::vector<std::string> entries;
  for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(Narrow(text));
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"Temp\\*.tmp", "Temp\\*.*", "Thumbs.db",
                                               "~$*.doc", "*.~*", "*.*"}));
  EXPECT_EQ(Read(GetWindowTextW, combo), "");
}

std::string LoadText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? Narrow(text, static_cast<std::size_t>(length)) : std::string();
}

TEST(Resources, StringTableHoldsTheShownTexts) {
  // Both announcements end in the same line, which points at the maker's first address.
  const std::string comingSoon = "请关注我们的网站 " + LoadText(IDS_WEB_ADDRESS_1) + " 不久即推出该功能";
  const struct {
    UINT id;
    std::string text;
  } kStrings[] = {
      {IDS_TIP_VC6,
       "VC6工程文件目录中的Debug(U)和Release(U)目录下的VC6编译临时文件，*.obj *.res *.pdb...."},
      {IDS_TIP_CUSTOM, "自定义自己常见的垃圾文件，自动保存入注册表中，下次直接使用"},
      {IDS_TIP_QUICK, "选择后直接输入一个文件或一种类型，可用于文件查找"},
      {IDS_TIP_WORD, "WORD编译文件时非法关闭，未删除的隐藏临时文件"},
      {IDS_TIP_THUMBS, "选择预览图片文件夹后在该文件夹中产生的临时文件"},
      {IDS_CONFIRM_FORCED, "是否<强制删除>所有选中的文件?\n删除后将无法还原!!\n\n"
                           "强制删除:如果为文件为只读或系统文件,同样会删除."},
      {IDS_CONFIRM_PLAIN, "是否<删除>所有选中的文件?\n删除后将无法还原!!\n\n"
                          "删除文件:只读文件和系统文件等无法删除的文件强被保留."},
      {IDS_CONFIRM_SHRED, "是否<粉碎删除>所有选中的文件?\n删除后将永远无法恢复!!\n\n"
                          "粉碎删除:尝试将文件全部写0,然后删除(比较花费时间)"},
      {IDS_CONFIRM_RECYCLE, "是否删除所有选中的文件?\n\n去回收站:文件被删去回收站(比较花费时间)"},
      {IDS_CONFIRM_RESTART, "是否<重起删除>所有选中的文件?\n\n"
                            "重起删除:向系统提交删除任务,重新启动系统后删除."},
      {IDS_CONFIRM_SUPER, "是否<超强删除>所有选中的文件?\n删除后将无法还原!!\n\n"
                          "超强删除:如果文件正在被使用,将尝试断开该文件的链接,然后删除.\n"
                          "例如:其它程序正在使用的文件...\n\n" + comingSoon},
      {IDS_WHO_IS_USING, "谁在使用:在系统中查找出正在使用选定文档的进程信息\n\n" + comingSoon},
      {IDS_DELETE_START_FAILED, "启动删除程序失败,请退出程序后重新启动..."},
      {IDS_HELP_START_FAILED, "启动帮助失败。"},
  };
  for (const auto& expected : kStrings) {
    EXPECT_EQ(LoadText(expected.id), expected.text) << expected.id;
  }
}

TEST(Resources, ApplicationIconHas16And32And48PixelImages) {
  const auto group = ResourceBytes(MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  const std::size_t count = group[4] | group[5] << 8;
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::set<int> widths;
  for (std::size_t i = 0; i < count; ++i) widths.insert(group[6 + 14 * i]);
  EXPECT_EQ(widths, (std::set<int>{16, 32, 48}));
}

}  // namespace
