#include "engine/win32/utf.h"
#include "ui/app/dialog_init_data.h"
#include "ui/resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  int x, y, width, height;  // dialog units
};

// Template order, which is also the tab order.
const ExpectedControl kMainWindow[] = {
    {IDC_RESULT_LIST, "SysListView32", "List1", 7, 179, 347, 134},
    {IDC_DIRECTORY, "Edit", "", 17, 80, 277, 13},
    {IDC_BROWSE, "Button", "浏览(&B)", 302, 79, 45, 16},
    {-1, "Button", "选择清理目标", 7, 105, 347, 70},
    {IDC_TARGET_VC6, "Button", "VC6工程临时Obj文件", 22, 122, 103, 11},
    {IDC_CHECK_ALL, "Button", "全选(&A)", 7, 316, 40, 15},
    {IDC_PLAIN_DELETE, "Button", "直接删除", 48, 333, 40, 15},
    {IDC_LOCATE, "Button", "定位(&F)", 89, 316, 40, 15},
    {IDC_OPEN, "Button", "打开(&O)", 130, 316, 40, 15},
    {IDCANCEL, "Button", "退出(&X)", 314, 333, 40, 15},
    {IDC_CHECK_NONE, "Button", "全否(&N)", 48, 316, 40, 15},
    {-1, "Static", "", 7, 7, 347, 57},
    {IDC_NOTICE, "Edit", "", 57, 12, 290, 45},
    {IDC_TARGET_CUSTOM, "Button", "选择这里,进行自定义目标文件...", 22, 139, 139, 11},
    {-1, "Button", "选择目标目录", 7, 68, 347, 32},
    {IDC_TARGET_QUICK, "Button", "选择这里,进行快速文件查找...", 22, 156, 139, 11},
    {IDC_SCAN, "Button", "扫描(&S)", 302, 154, 45, 16},
    {IDC_TARGET_WORD, "Button", "Word暂存文档~$*.doc", 131, 122, 103, 11},
    {IDC_TARGET_THUMBS, "Button", "图像预览Thumbs.db", 240, 122, 103, 11},
    {IDC_FORCED_DELETE, "Button", "强制删除", 130, 333, 40, 15},
    {IDC_SUPER_DELETE, "Button", "超强删除", 272, 315, 40, 15},
    {IDC_SHRED_DELETE, "Button", "粉碎删除", 89, 333, 40, 15},
    {IDC_RESTART_DELETE, "Button", "重起删除", 171, 333, 40, 15},
    {IDC_RECYCLE_DELETE, "Button", "去回收站", 7, 333, 40, 15},
    {IDC_WHO_IS_USING, "Button", "谁在使用", 314, 315, 40, 15},
};

const ExpectedControl kProgress[] = {
    {IDC_PROGRESS_BAR, "msctls_progress32", "Progress1", 7, 31, 194, 15},
    {IDC_PROGRESS_TEXT, "Static", "Doing...", 7, 7, 249, 21},
    {IDCANCEL, "Button", "取消(&C)", 205, 31, 51, 15},
};

// The icon control sizes itself to the icon and holds the icon's id as its text; neither is
// compared (width 0, no text).
const ExpectedControl kTargetList[] = {
    {-1, "Button", "目标文件/类型列表", 7, 7, 171, 221},
    {IDC_PATTERN_LIST, "ListBox", "", 15, 21, 152, 199},
    {IDC_ADD_PATTERN, "Button", "添加(&A)", 185, 33, 45, 17},
    {IDC_REMOVE_PATTERN, "Button", "删除(&D)", 185, 55, 45, 17},
    {IDOK, "Button", "确定(&O)", 185, 11, 45, 17},
    {IDCANCEL, "Button", "取消(&C)", 185, 77, 45, 17},
    {-1, "Static", nullptr, 193, 194, 0, 0},
};

// A closed drop-down combo box is one line high; the template's height includes its list
// (height 0: not compared).
const ExpectedControl kTargetEntry[] = {
    {-1, "Button", "目标文件或文件类型名", 7, 7, 212, 49},
    {IDC_PATTERN_EDIT, "ComboBox", "", 22, 27, 180, 0},
    {IDOK, "Button", "确定(&O)", 58, 66, 50, 14},
    {IDCANCEL, "Button", "取消(&C)", 117, 66, 50, 14},
};

struct ExpectedTemplate {
  int id;
  const char* caption;
  int width, height;
  const ExpectedControl* controls;
  std::size_t controlCount;
};

template <std::size_t N>
ExpectedTemplate Template(int id, const char* caption, int width, int height,
                          const ExpectedControl (&controls)[N]) {
  return {id, caption, width, height, controls, N};
}

const ExpectedTemplate kTemplates[] = {
    Template(IDD_CLEANER_DIALOG, "Vellox磁盘清理/文件查找程序 - ", 361, 355, kMainWindow),
    Template(IDD_PROGRESS, "正在执行...", 263, 53, kProgress),
    Template(IDD_TARGET_LIST, "自定义目标文件", 237, 235, kTargetList),
    Template(IDD_TARGET_ENTRY, "目标文件/类型", 226, 87, kTargetEntry),
};

std::vector<unsigned char> ResourceBytes(LPCWSTR name, LPCWSTR type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return {};
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
  return std::vector<unsigned char>(data, data + SizeofResource(module, resource));
}

struct TemplateItem {
  int id;
  DWORD style;
  DWORD exStyle;
};

// What a dialog template says, extended or not.
struct DialogTemplate {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  int width = 0, height = 0;
  std::string caption;
  int pointSize = 0;
  std::string typeface;
  int charset = -1;  // extended templates only
  std::vector<TemplateItem> items;
};

class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
  std::uint16_t Word() {
    const unsigned low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | static_cast<std::uint32_t>(Word()) << 16;
  }
  unsigned Byte() { return offset_ < bytes_.size() ? bytes_[offset_++] : 0; }
  std::string Text() {
    std::wstring text;
    for (wchar_t c = Word(); c != 0; c = Word()) text += c;
    return Narrow(text);
  }
  // A menu or class field: an ordinal (0xFFFF, number), a text, or nothing (0).
  void SkipTextOrOrdinal() {
    const std::uint16_t first = Word();
    if (first == 0xFFFF) {
      Word();
    } else if (first != 0) {
      Text();
    }
  }
  void Skip(std::size_t count) { offset_ += count; }
  void AlignToDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }

 private:
  const std::vector<unsigned char>& bytes_;
  std::size_t offset_ = 0;
};

DialogTemplate ReadTemplate(int templateId) {
  const auto bytes = ResourceBytes(MAKEINTRESOURCEW(templateId), RT_DIALOG);
  TemplateReader reader(bytes);
  DialogTemplate header;
  const std::uint32_t first = reader.Dword();
  header.extended = first == 0xFFFF0001u;  // version 1, signature 0xFFFF
  if (header.extended) {
    reader.Dword();  // help id
    header.exStyle = reader.Dword();
    header.style = reader.Dword();
  } else {
    header.style = first;
    header.exStyle = reader.Dword();
  }
  const int itemCount = reader.Word();
  reader.Word();
  reader.Word();
  header.width = static_cast<std::int16_t>(reader.Word());
  header.height = static_cast<std::int16_t>(reader.Word());
  reader.SkipTextOrOrdinal();  // menu
  reader.SkipTextOrOrdinal();  // window class
  header.caption = reader.Text();
  header.pointSize = reader.Word();
  if (header.extended) {
    reader.Word();  // weight
    reader.Byte();  // italic
    header.charset = static_cast<int>(reader.Byte());
  }
  header.typeface = reader.Text();

  for (int i = 0; i < itemCount; ++i) {
    reader.AlignToDword();
    TemplateItem item{};
    if (header.extended) {
      reader.Dword();  // help id
      item.exStyle = reader.Dword();
      item.style = reader.Dword();
      reader.Skip(8);  // place
      item.id = static_cast<int>(reader.Dword());
    } else {
      item.style = reader.Dword();
      item.exStyle = reader.Dword();
      reader.Skip(8);
      item.id = static_cast<std::int16_t>(reader.Word());
    }
    reader.SkipTextOrOrdinal();  // class
    reader.SkipTextOrOrdinal();  // text
    reader.Skip(reader.Word());  // creation data
    header.items.push_back(item);
  }
  return header;
}

INT_PTR CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ApplyDialogInitData(window, static_cast<int>(lParam));
    return TRUE;
  }
  return FALSE;
}

// A dialog created from a copy of its template with WS_VISIBLE taken off, so that no test
// shows a window; initialisation data is applied as every dialog procedure must apply it.
class HiddenDialog {
 public:
  explicit HiddenDialog(int templateId) {
    auto bytes = ResourceBytes(MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (bytes.size() < 16) return;
    const bool extended = bytes[2] == 0xFF && bytes[3] == 0xFF;
    DWORD style;
    const std::size_t at = extended ? 12 : 0;
    std::memcpy(&style, bytes.data() + at, sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(bytes.data() + at, &style, sizeof style);
    // Templates must be DWORD-aligned.
    aligned_.resize((bytes.size() + 3) / 4);
    std::memcpy(aligned_.data(), bytes.data(), bytes.size());
    window_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(aligned_.data()),
                                         nullptr, ProbeProcedure, templateId);
  }
  ~HiddenDialog() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  HiddenDialog(const HiddenDialog&) = delete;
  HiddenDialog& operator=(const HiddenDialog&) = delete;
  HWND Handle() const { return window_; }

  // Direct children in template order.
  std::vector<HWND> Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    return children;
  }

 private:
  std::vector<DWORD> aligned_;
  HWND window_ = nullptr;
};

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return Narrow(text);
}

std::string ClassName(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return Narrow(name);
}

RECT RectInParent(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class Resources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
  }
};

TEST_F(Resources, TemplatesCarryCaptionSizeAndFont) {
  for (const auto& expected : kTemplates) {
    SCOPED_TRACE(expected.id);
    const DialogTemplate header = ReadTemplate(expected.id);
    EXPECT_EQ(header.extended, expected.id == IDD_CLEANER_DIALOG);
    EXPECT_EQ(header.caption, expected.caption);
    EXPECT_EQ(header.width, expected.width);
    EXPECT_EQ(header.height, expected.height);
    EXPECT_EQ(header.pointSize, 9);
    EXPECT_EQ(header.typeface, "宋体");
    const DWORD frame = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(header.style & frame, frame);
  }
  const DialogTemplate main = ReadTemplate(IDD_CLEANER_DIALOG);
  EXPECT_EQ(main.style & (WS_VISIBLE | WS_MINIMIZEBOX), DWORD{WS_VISIBLE | WS_MINIMIZEBOX});
  EXPECT_EQ(main.exStyle, DWORD{WS_EX_APPWINDOW});
  EXPECT_EQ(main.charset, DEFAULT_CHARSET);
  // The progress window is created hidden and shown by the workers.
  const DialogTemplate progress = ReadTemplate(IDD_PROGRESS);
  EXPECT_EQ(progress.style & (WS_VISIBLE | DS_CENTER), DWORD{DS_CENTER});
  EXPECT_EQ(ReadTemplate(IDD_TARGET_LIST).style & WS_VISIBLE, 0u);
  EXPECT_EQ(ReadTemplate(IDD_TARGET_ENTRY).style & WS_VISIBLE, 0u);
}

TEST_F(Resources, EveryControlStandsInTemplateOrderWithItsIdClassTextAndPlace) {
  for (const auto& expected : kTemplates) {
    SCOPED_TRACE(expected.id);
    HiddenDialog dialog(expected.id);
    ASSERT_NE(dialog.Handle(), nullptr);
    const auto children = dialog.Children();
    ASSERT_EQ(children.size(), expected.controlCount);
    for (std::size_t i = 0; i < children.size(); ++i) {
      const ExpectedControl& control = expected.controls[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(LOWORD(GetDlgCtrlID(children[i])), LOWORD(control.id));
      EXPECT_EQ(ClassName(children[i]), control.className);
      if (control.text != nullptr) {
        EXPECT_EQ(WindowText(children[i]), control.text);
      }
      EXPECT_TRUE(GetWindowLongW(children[i], GWL_STYLE) & WS_VISIBLE);

      // The system scales position and size each on its own, as MapDialogRect scales each
      // coordinate; so the template's width and height are mapped as if they were corners.
      RECT scaled{control.x, control.y, control.width, control.height};
      MapDialogRect(dialog.Handle(), &scaled);
      const RECT actual = RectInParent(children[i]);
      EXPECT_EQ(actual.left, scaled.left);
      EXPECT_EQ(actual.top, scaled.top);
      if (control.width != 0) {
        EXPECT_EQ(actual.right - actual.left, scaled.right);
      }
      if (control.height != 0) {
        EXPECT_EQ(actual.bottom - actual.top, scaled.bottom);
      }
    }
  }
}

TEST_F(Resources, ControlIdsAreUniqueWithinEachDialog) {
  for (const auto& expected : kTemplates) {
    SCOPED_TRACE(expected.id);
    HiddenDialog dialog(expected.id);
    ASSERT_NE(dialog.Handle(), nullptr);
    std::set<int> seen;
    for (HWND child : dialog.Children()) {
      const int id = LOWORD(GetDlgCtrlID(child));
      if (id == 0xFFFF) continue;  // never addressed
      EXPECT_TRUE(seen.insert(id).second) << "duplicate id " << id;
    }
  }
}

bool IsContainer(HWND control) {
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (ClassName(control) == "Button") return (style & BS_TYPEMASK) == BS_GROUPBOX;
  return ClassName(control) == "Static" && (style & SS_TYPEMASK) == SS_ETCHEDFRAME;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Controls may only meet where a frame or group box holds them entirely, and all lie inside
// the client area.
TEST_F(Resources, NoControlOverlapsAnotherOrLeavesTheClientArea) {
  for (const auto& expected : kTemplates) {
    SCOPED_TRACE(expected.id);
    HiddenDialog dialog(expected.id);
    ASSERT_NE(dialog.Handle(), nullptr);
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    const auto children = dialog.Children();
    for (std::size_t i = 0; i < children.size(); ++i) {
      const RECT a = RectInParent(children[i]);
      EXPECT_TRUE(Contains(client, a)) << WindowText(children[i]);
      for (std::size_t j = i + 1; j < children.size(); ++j) {
        const RECT b = RectInParent(children[j]);
        RECT common;
        if (!IntersectRect(&common, &a, &b)) continue;
        const bool nested = (IsContainer(children[i]) && Contains(a, b)) ||
                            (IsContainer(children[j]) && Contains(b, a));
        EXPECT_TRUE(nested) << WindowText(children[i]) << " / " << WindowText(children[j]);
      }
    }
  }
}

struct ExpectedStyle {
  int templateId;
  int controlId;
  DWORD required;
  DWORD forbidden;
  bool border;
};

// The styles that behaviour depends on.
const ExpectedStyle kStyles[] = {
    {IDD_CLEANER_DIALOG, IDC_RESULT_LIST,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, 0, true},
    // Long paths scroll in the directory field.
    {IDD_CLEANER_DIALOG, IDC_DIRECTORY, ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE, true},
    {IDD_CLEANER_DIALOG, IDC_NOTICE,
     ES_MULTILINE | ES_READONLY | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP, 0, false},
    {IDD_CLEANER_DIALOG, IDC_TARGET_VC6, BS_AUTOCHECKBOX | WS_TABSTOP, 0, false},
    {IDD_CLEANER_DIALOG, IDC_TARGET_CUSTOM, BS_AUTOCHECKBOX | WS_TABSTOP, 0, false},
    {IDD_CLEANER_DIALOG, IDC_TARGET_QUICK, BS_AUTOCHECKBOX | WS_TABSTOP, 0, false},
    {IDD_CLEANER_DIALOG, IDC_TARGET_WORD, BS_AUTOCHECKBOX | WS_TABSTOP, 0, false},
    {IDD_CLEANER_DIALOG, IDC_TARGET_THUMBS, BS_AUTOCHECKBOX | WS_TABSTOP, 0, false},
    {IDD_PROGRESS, IDC_PROGRESS_BAR, PBS_SMOOTH, 0, true},
    {IDD_PROGRESS, IDC_PROGRESS_TEXT, WS_GROUP, SS_TYPEMASK, false},
    // Patterns keep the order in which the user gave them.
    {IDD_TARGET_LIST, IDC_PATTERN_LIST,
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
     LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL, true},
    {IDD_TARGET_LIST, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, false},
    {IDD_TARGET_LIST, IDCANCEL, WS_TABSTOP, BS_DEFPUSHBUTTON, false},
    // No horizontal scrolling: a pattern wider than the field cannot be typed. (CBS_SIMPLE's
    // bit beside CBS_DROPDOWN's would make it a drop-down list without an edit field.)
    {IDD_TARGET_ENTRY, IDC_PATTERN_EDIT, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP,
     CBS_AUTOHSCROLL | CBS_SORT | CBS_SIMPLE, false},
    {IDD_TARGET_ENTRY, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, false},
    {IDD_TARGET_ENTRY, IDCANCEL, WS_TABSTOP, BS_DEFPUSHBUTTON, false},
};

TemplateItem FindItem(const DialogTemplate& dialog, int id) {
  for (const auto& item : dialog.items) {
    if (item.id == id) return item;
  }
  return {0, 0, 0};
}

// Read from the templates: the system adjusts some styles of live controls (scroll bars come
// and go, borders become edges).
TEST_F(Resources, ControlsCarryTheStylesTheirBehaviourNeeds) {
  for (const auto& expected : kStyles) {
    SCOPED_TRACE(testing::Message() << expected.templateId << "/" << expected.controlId);
    const TemplateItem item = FindItem(ReadTemplate(expected.templateId), expected.controlId);
    ASSERT_EQ(item.id, expected.controlId);
    const DWORD style = item.style | WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(item.style, style) << std::hex << item.style;
    EXPECT_EQ(style & expected.required, expected.required) << std::hex << style;
    EXPECT_EQ(style & expected.forbidden, 0u) << std::hex << style;
    EXPECT_EQ((style & WS_BORDER) != 0, expected.border);
  }
}

// None of the main window's push buttons is the default button, so Enter reaches the window
// as IDOK; each carries a static edge.
TEST_F(Resources, MainWindowPushButtonsHaveStaticEdgesAndNoDefault) {
  HiddenDialog dialog(IDD_CLEANER_DIALOG);
  int pushButtons = 0;
  for (HWND child : dialog.Children()) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (ClassName(child) != "Button") continue;
    const LONG kind = style & BS_TYPEMASK;
    EXPECT_NE(kind, BS_DEFPUSHBUTTON) << WindowText(child);
    if (kind != BS_PUSHBUTTON) continue;
    ++pushButtons;
    EXPECT_TRUE(style & WS_TABSTOP) << WindowText(child);
    EXPECT_TRUE(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_STATICEDGE) << WindowText(child);
  }
  EXPECT_EQ(pushButtons, 14);
  EXPECT_TRUE(GetWindowLongW(dialog.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

std::vector<std::string> ComboEntries(HWND combo) {
  std::vector<std::string> entries;
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(Narrow(text));
  }
  return entries;
}

TEST_F(Resources, PatternEntryComboGetsTheSameSixEntriesEachTime) {
  const std::vector<std::string> expected = {"Temp\\*.tmp", "Temp\\*.*", "Thumbs.db",
                                             "~$*.doc",    "*.~*",     "*.*"};
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    HiddenDialog dialog(IDD_TARGET_ENTRY);
    HWND combo = GetDlgItem(dialog.Handle(), IDC_PATTERN_EDIT);
    EXPECT_EQ(ComboEntries(combo), expected);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(WindowText(combo), "");
  }
}

TEST_F(Resources, DialogsWithoutInitialisationDataAreLeftAlone) {
  HiddenDialog dialog(IDD_TARGET_LIST);
  EXPECT_TRUE(ApplyDialogInitData(dialog.Handle(), IDD_TARGET_LIST));
  EXPECT_EQ(SendDlgItemMessageW(dialog.Handle(), IDC_PATTERN_LIST, LB_GETCOUNT, 0, 0), 0);
}

std::string LoadText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? Narrow(text, static_cast<std::size_t>(length)) : std::string();
}

TEST_F(Resources, StringTableHoldsTheProgramsTexts) {
  const struct {
    UINT id;
    const char* text;
  } kStrings[] = {
      {IDS_TIP_VC6,
       "VC6工程文件目录中的Debug(U)和Release(U)目录下的VC6编译临时文件，*.obj *.res *.pdb...."},
      {IDS_TIP_CUSTOM, "自定义自己常见的垃圾文件，自动保存入注册表中，下次直接使用"},
      {IDS_TIP_QUICK, "选择后直接输入一个文件或一种类型，可用于文件查找"},
      {IDS_TIP_WORD, "WORD编译文件时非法关闭，未删除的隐藏临时文件"},
      {IDS_TIP_THUMBS, "选择预览图片文件夹后在该文件夹中产生的临时文件"},
      {IDS_CONFIRM_FORCED,
       "是否<强制删除>所有选中的文件?\n删除后将无法还原!!\n\n"
       "强制删除:如果为文件为只读或系统文件,同样会删除."},
      {IDS_CONFIRM_PLAIN,
       "是否<删除>所有选中的文件?\n删除后将无法还原!!\n\n"
       "删除文件:只读文件和系统文件等无法删除的文件强被保留."},
      {IDS_DELETE_START_FAILED, "启动删除程序失败,请退出程序后重新启动..."},
      {IDS_CONFIRM_SHRED,
       "是否<粉碎删除>所有选中的文件?\n删除后将永远无法恢复!!\n\n"
       "粉碎删除:尝试将文件全部写0,然后删除(比较花费时间)"},
      {IDS_CONFIRM_RECYCLE, "是否删除所有选中的文件?\n\n去回收站:文件被删去回收站(比较花费时间)"},
      {IDS_CONFIRM_RESTART,
       "是否<重起删除>所有选中的文件?\n\n重起删除:向系统提交删除任务,重新启动系统后删除."},
      {IDS_HELP_START_FAILED, "启动帮助失败。"},
  };
  for (const auto& expected : kStrings) {
    EXPECT_EQ(LoadText(expected.id), expected.text) << expected.id;
  }

  // Both announcements end in the same line, which points at the maker's first address.
  const std::string lastLine = "请关注我们的网站 " + LoadText(IDS_WEB_ADDRESS_1) + " 不久即推出该功能";
  EXPECT_EQ(LoadText(IDS_CONFIRM_SUPER),
            "是否<超强删除>所有选中的文件?\n删除后将无法还原!!\n\n"
            "超强删除:如果文件正在被使用,将尝试断开该文件的链接,然后删除.\n"
            "例如:其它程序正在使用的文件...\n\n" + lastLine);
  EXPECT_EQ(LoadText(IDS_WHO_IS_USING),
            "谁在使用:在系统中查找出正在使用选定文档的进程信息\n\n" + lastLine);

  // The maker's addresses stay under names reserved for examples.
  EXPECT_NE(LoadText(IDS_CONTACT).find('@'), std::string::npos);
  for (UINT id : {IDS_CONTACT, IDS_WEB_ADDRESS_1, IDS_WEB_ADDRESS_2}) {
    const std::string text = LoadText(id);
    const bool reserved = text.find(".example") != std::string::npos ||
                          text.find("example.com") != std::string::npos;
    EXPECT_TRUE(reserved) << text;
  }
  // No application title: the name comes from the executable.
  EXPECT_EQ(LoadText(57344), "");
}

TEST_F(Resources, PatternListIconControlShowsTheApplicationIcon) {
  HiddenDialog dialog(IDD_TARGET_LIST);
  const HWND icon = dialog.Children().back();
  EXPECT_EQ(GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK, SS_ICON);
  EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
}

TEST_F(Resources, ApplicationIconHas48And32And16PixelImagesIn256Colours) {
  const auto group = ResourceBytes(MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  const std::size_t count = group[4] | group[5] << 8;
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::set<int> sizes;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = group.data() + 6 + 14 * i;
    const int width = entry[0] == 0 ? 256 : entry[0];
    EXPECT_EQ(entry[1] == 0 ? 256 : entry[1], width);
    sizes.insert(width);
    // The image itself: a bitmap header with 8 bits per pixel and a palette of 256 entries.
    const auto image = ResourceBytes(MAKEINTRESOURCEW(entry[12] | entry[13] << 8), RT_ICON);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, 2 * width);  // colour and mask
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(image.size(), sizeof header + 256 * 4 + width * width + (width + 31) / 32 * 4 * width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));

  HICON large = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 48, 48, 0));
  ASSERT_NE(large, nullptr);
  DestroyIcon(large);
}

std::string VersionString(const std::vector<unsigned char>& info, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return "";
  return Narrow(static_cast<const wchar_t*>(value));
}

TEST_F(Resources, VersionResourceNamesTheProgram) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD{2008u << 16 | 12});
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD{4u << 16 | 1});
  EXPECT_EQ(fixed->dwProductVersionMS, DWORD{1u << 16 | 0});
  EXPECT_EQ(fixed->dwProductVersionLS, DWORD{0u << 16 | 1});

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);

  EXPECT_EQ(VersionString(info, L"InternalName"), "Vellox");
  EXPECT_EQ(VersionString(info, L"OriginalFilename"), "Vellox.EXE");
  EXPECT_EQ(VersionString(info, L"ProductName"), "Vellox垃圾文件清理");
  EXPECT_EQ(VersionString(info, L"FileVersion"), "2008, 12, 4, 1");
  EXPECT_EQ(VersionString(info, L"ProductVersion"), "1, 0, 0, 1");
}

// The manifest: version 6 of the common controls (only version 6 buttons know their ideal
// size) and a program that scales itself (Wine reports any program as DPI-aware, so the
// declaration itself is read).
TEST_F(Resources, ManifestSelectsCommonControls6AndDeclaresDpiAwareness) {
  HiddenDialog dialog(IDD_CLEANER_DIALOG);
  SIZE ideal{};
  EXPECT_TRUE(SendDlgItemMessageW(dialog.Handle(), IDC_BROWSE, BCM_GETIDEALSIZE, 0,
                                  reinterpret_cast<LPARAM>(&ideal)));
  EXPECT_GT(ideal.cx, 0);
  const auto manifest = ResourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
}

}  // namespace
