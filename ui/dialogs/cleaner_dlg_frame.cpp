// The main window's frame: it grows with the user's wishes, keeps its place between runs and
// takes a folder dropped on it.
#include "ui/dialogs/cleaner_dlg.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/window_geometry.h"
#include "ui/framework/single_selection_list.h"

#include <shellapi.h>

#include <string>

namespace {

using Anchor = AnchorLayout::Anchor;
constexpr unsigned kDown = Anchor::kMoveY;
constexpr unsigned kDownRight = Anchor::kMoveY | Anchor::kMoveX;

// The list takes what the window gains; the controls below it keep their distance from the
// bottom edge, those on the right from the right edge; whatever spans the width stretches with
// it, so that nothing leaves its frame. The option boxes and the icon stay where they are.
constexpr AnchorLayout::Rule kLayout[] = {
    {IDC_NOTICE_FRAME, Anchor::kStretchX},
    {IDC_NOTICE, Anchor::kStretchX},
    {IDC_DIRECTORY_GROUP, Anchor::kStretchX},
    {IDC_DIRECTORY, Anchor::kStretchX},
    {IDC_BROWSE, Anchor::kMoveX},
    {IDC_TARGET_GROUP, Anchor::kStretchX},
    {IDC_SCAN, Anchor::kMoveX},
    {IDC_FILTER, Anchor::kStretchX},
    {IDC_RESULT_LIST, Anchor::kStretchX | Anchor::kStretchY},
    {IDC_CHECK_ALL, kDown},
    {IDC_CHECK_NONE, kDown},
    {IDC_LOCATE, kDown},
    {IDC_OPEN, kDown},
    {IDC_RECYCLE_DELETE, kDown},
    {IDC_PLAIN_DELETE, kDown},
    {IDC_SHRED_DELETE, kDown},
    {IDC_FORCED_DELETE, kDown},
    {IDC_RESTART_DELETE, kDown},
    {IDC_SUPER_DELETE, kDownRight},
    {IDC_WHO_IS_USING, kDownRight},
    {IDCANCEL, kDownRight},
};

}  // namespace

void CCleanerDlg::InitFrame() {
  layout_.Capture(Handle(), kLayout);
  // A maximised list shows many rows to page through.
  KeepSelectionMovesCheap(results_.Handle());
  DragAcceptFiles(Handle(), TRUE);
  // A program run as administrator would otherwise never hear of a drop from Explorer, which
  // runs with less; 0x0049 is the private message the shell's drop carries its data in.
  for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), 0x0049u}) {
    ChangeWindowMessageFilterEx(Handle(), message, MSGFLT_ALLOW, nullptr);
  }
  RestoreWindowGeometry(settings_, Handle(), results_.Handle(), layout_.MinimumWindowSize());
  framed_ = true;
}

void CCleanerDlg::SaveFrame() const {
  if (framed_) SaveWindowGeometry(settings_, Handle(), results_.Handle());
}

INT_PTR CCleanerDlg::OnSize(WPARAM, LPARAM lParam) {
  // The status bar places itself along the bottom edge when told of a new size.
  SendMessageW(Item(IDC_STATUS_BAR), WM_SIZE, 0, 0);
  layout_.Apply(LOWORD(lParam), HIWORD(lParam));
  return 0;
}

INT_PTR CCleanerDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  layout_.LimitTracking(*reinterpret_cast<MINMAXINFO*>(lParam));
  return 0;
}

// A folder becomes the directory to scan; a file brings its folder. Of several, the first counts.
INT_PTR CCleanerDlg::OnDropFiles(WPARAM drop, LPARAM) {
  const auto files = reinterpret_cast<HDROP>(drop);
  const UINT length = DragQueryFileW(files, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  const bool got = length > 0 && DragQueryFileW(files, 0, path.data(), length + 1) == length;
  DragFinish(files);
  if (!got) return 0;
  path.resize(length);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return 0;
    // A file at a drive's root keeps the root's "\".
    path.resize(separator > 0 && path[separator - 1] == L':' ? separator + 1 : separator);
  }
  SetItemText(IDC_DIRECTORY, Narrow(path));
  return 0;
}
