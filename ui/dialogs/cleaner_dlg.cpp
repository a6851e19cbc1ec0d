#include "ui/dialogs/cleaner_dlg.h"

#include "engine/win32/utf.h"
#include "ui/app/notice.h"
#include "ui/app/own_patterns.h"
#include "ui/dialogs/cleaner_jobs.h"
#include "ui/dialogs/target_entry_dlg.h"
#include "ui/dialogs/target_list_dlg.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shellapi.h>

#include <utility>

namespace {

// The commands that start a worker, disabled while one runs.
constexpr int kWorkerCommands[] = {IDC_SCAN,           IDC_PLAIN_DELETE,   IDC_FORCED_DELETE,
                                   IDC_SHRED_DELETE,   IDC_RECYCLE_DELETE, IDC_RESTART_DELETE};

constexpr char kRecentSection[] = "Recent";
constexpr char kSearchEntry[] = "Search";

}  // namespace

CCleanerDlg::CCleanerDlg(SettingsStore& settings)
    : Dialog(IDD_CLEANER_DIALOG),
      settings_(settings),
      results_(rows_),
      icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP))),
      worker_(progress_.State()) {}

bool CCleanerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (message == WM_DESTROY) {
    // The progress window goes first; then the standard handling runs.
    OnDestroy();
    return false;
  }
  // Menu items and the list's keys (no control sends them).
  if (message == WM_COMMAND && lParam == 0 && OnListCommand(LOWORD(wParam))) {
    result = TRUE;
    return true;
  }
  static const CommandRoute<CCleanerDlg> commands[] = {
      {IDC_BROWSE, BN_CLICKED, &CCleanerDlg::OnBrowse},
      {IDC_SCAN, BN_CLICKED, &CCleanerDlg::OnScan},
      {IDC_LOCATE, BN_CLICKED, &CCleanerDlg::OnLocate},
      {IDC_OPEN, BN_CLICKED, &CCleanerDlg::OnOpenFile},
      {IDC_CHECK_ALL, BN_CLICKED, &CCleanerDlg::OnCheckAll},
      {IDC_CHECK_NONE, BN_CLICKED, &CCleanerDlg::OnCheckNone},
      {IDC_PLAIN_DELETE, BN_CLICKED, &CCleanerDlg::OnPlainDelete},
      {IDC_FORCED_DELETE, BN_CLICKED, &CCleanerDlg::OnForcedDelete},
      {IDC_SHRED_DELETE, BN_CLICKED, &CCleanerDlg::OnShredDelete},
      {IDC_RECYCLE_DELETE, BN_CLICKED, &CCleanerDlg::OnRecycleDelete},
      {IDC_RESTART_DELETE, BN_CLICKED, &CCleanerDlg::OnRestartDelete},
      {IDC_SUPER_DELETE, BN_CLICKED, &CCleanerDlg::OnSuperDelete},
      {IDC_WHO_IS_USING, BN_CLICKED, &CCleanerDlg::OnWhoIsUsing},
      {IDC_TARGET_CUSTOM, BN_CLICKED, &CCleanerDlg::OnCustomTargets},
      {IDC_TARGET_QUICK, BN_CLICKED, &CCleanerDlg::OnQuickSearch},
      {IDC_FILTER, EN_CHANGE, &CCleanerDlg::OnFilterChange},
  };
  static const MessageRoute<CCleanerDlg> messages[] = {
      {WM_PAINT, &CCleanerDlg::OnPaint},
      {WM_QUERYDRAGICON, &CCleanerDlg::OnQueryDragIcon},
      {WM_TIMER, &CCleanerDlg::OnTimer},
      {WM_NOTIFY, &CCleanerDlg::OnNotify},
      {WM_SIZE, &CCleanerDlg::OnSize},
      {WM_GETMINMAXINFO, &CCleanerDlg::OnGetMinMaxInfo},
      {WM_CONTEXTMENU, &CCleanerDlg::OnContextMenu},
      {WM_DROPFILES, &CCleanerDlg::OnDropFiles},
      {WorkerThread::kFinishedMessage, &CCleanerDlg::OnWorkerFinished},
      {NarrowingThread::kDoneMessage, &CCleanerDlg::OnNarrowed},
  };
  return RouteMessage(*this, commands, messages, message, wParam, lParam, result);
}

// ---- Initialisation, painting, ending ---------------------------------------------------

bool CCleanerDlg::OnInitDialog() {
  narrower_.SetWindow(Handle());
  totals_.Attach(Item(IDC_STATUS_BAR));
  results_.onChange = [this] { totals_.Show(rows_.CurrentTotals()); };
  results_.Attach(Item(IDC_RESULT_LIST));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  progress_.Create(Handle());
  if (!LoadNotice()) {
    // The notice has been tampered with: the program goes no further.
    End(IDABORT);
    return false;
  }
  LoadCustomTargets();
  AddToolTips();
  listKeys_ = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_KEYS));
  SetItemText(IDC_DIRECTORY, settings_.ReadString(kRecentSection, kSearchEntry, ""));
  SetCaption(Caption() + LoadResourceString(IDS_CONTACT));
  InitFrame();
  return true;
}

bool CCleanerDlg::LoadNotice() {
  const std::optional<std::string> notice = LoadNoticeResource();
  if (!notice) return false;
  SetItemText(IDC_NOTICE, *notice);
  return true;
}

void CCleanerDlg::AddToolTips() {
  toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolTip_, TTM_ACTIVATE, TRUE, 0);
  static const struct {
    int control;
    UINT text;
  } tips[] = {{IDC_TARGET_VC6, IDS_TIP_VC6},
              {IDC_TARGET_CUSTOM, IDS_TIP_CUSTOM},
              {IDC_TARGET_QUICK, IDS_TIP_QUICK},
              {IDC_TARGET_WORD, IDS_TIP_WORD},
              {IDC_TARGET_THUMBS, IDS_TIP_THUMBS}};
  for (const auto& tip : tips) {
    TOOLINFOW tool{};
    // The version 2 layout is the one every version of the control accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.control));
    tool.hinst = GetModuleHandleW(nullptr);
    tool.lpszText = MAKEINTRESOURCEW(tip.text);
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// The tools are not subclassed: the tip control learns of the mouse through this relay.
bool CCleanerDlg::PreTranslateMessage(MSG& message) {
  if (toolTip_ != nullptr) {
    MSG relayed = message;
    SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  // In the filter box Esc empties it and Enter goes on to the list: neither ends the window, as
  // they would anywhere else.
  if (message.message == WM_KEYDOWN && message.hwnd == Item(IDC_FILTER)) {
    if (message.wParam == VK_ESCAPE) {
      if (!worker_.Running()) SetItemText(IDC_FILTER, "");
      return true;
    }
    if (message.wParam == VK_RETURN) {
      SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(results_.Handle()), TRUE);
      return true;
    }
  }
  return TranslateListKey(message) || Dialog::PreTranslateMessage(message);
}

INT_PTR CCleanerDlg::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  if (IsIconic(Handle())) {
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
  } else {
    auto* large = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 48, 48,
                                                LR_VGACOLOR));
    if (large != nullptr) {
      DrawIconEx(dc, 20, 17, large, 48, 48, 0, nullptr, DI_NORMAL);
      DestroyIcon(large);
    }
  }
  EndPaint(Handle(), &paint);
  return TRUE;
}

INT_PTR CCleanerDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(icon_); }

INT_PTR CCleanerDlg::OnNotify(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  LRESULT result = 0;
  if (header->idFrom != IDC_RESULT_LIST) return 0;
  if (header->code == LVN_COLUMNCLICK) {
    // The rows are still coming or going under a worker: their order waits for its end. A
    // narrowing reads the order: it stops for the sort and starts again in the new order.
    if (worker_.Running()) return 0;
    narrower_.Stop();
    results_.OnNotify(*header, result);
    if (ItemText(IDC_FILTER) != rows_.FilterText()) OnFilterChange();
    return result;
  }
  results_.OnNotify(*header, result);
  return result;
}

void CCleanerDlg::OnDestroy() {
  SaveFrame();
  progress_.Destroy();
}

void CCleanerDlg::OnExit() {
  // During a deletion Exit only asks the worker to stop; the user leaves with a second Exit.
  if (busyFlag_.load() != 0) {
    progress_.State().CancelFlag() = 1;
    return;
  }
  EndWhenIdle(IDCANCEL);
}

void CCleanerDlg::OnOK() { EndWhenIdle(IDOK); }

void CCleanerDlg::EndWhenIdle(INT_PTR result) {
  if (worker_.Running()) {
    worker_.RequestClose();
    if (!pendingEnd_) pendingEnd_ = result;
    return;
  }
  if (result == IDCANCEL) SaveDirectory();
  End(result);
}

void CCleanerDlg::SaveDirectory() const {
  settings_.WriteString(kRecentSection, kSearchEntry, ItemText(IDC_DIRECTORY));
}

// ---- Workers ------------------------------------------------------------------------------

// The filter box holds still while a worker runs: the rows come or go, and no narrowing may
// read them meanwhile. It shows the filter in force, whatever was typed after it.
bool CCleanerDlg::StartWorker(std::function<void()> body) {
  narrower_.Stop();
  if (!worker_.Start(Handle(), std::move(body))) return false;
  refreshes_ = 0;
  SetFilterText(rows_.FilterText());
  SendMessageW(Item(IDC_FILTER), EM_SETREADONLY, TRUE, 0);
  EnableWorkerCommands(false);
  return true;
}

INT_PTR CCleanerDlg::OnWorkerFinished(WPARAM, LPARAM) {
  worker_.Finish();
  ShowWorkerState(true);
  EnableWorkerCommands(true);
  SendMessageW(Item(IDC_FILTER), EM_SETREADONLY, FALSE, 0);
  FinishExport();
  if (pendingEnd_) {
    const INT_PTR result = *pendingEnd_;
    pendingEnd_.reset();
    EndWhenIdle(result);
  }
  return TRUE;
}

INT_PTR CCleanerDlg::OnTimer(WPARAM timer, LPARAM) {
  // Rows change under a running worker only in the recycle mode, where they vanish as their
  // files go. Under Wine each change of the list's row count and its repaint cost the window
  // thread about 15 ms, time taken from the worker on a machine of two cores, so the list
  // follows five times a second while the progress follows at every tick.
  constexpr unsigned kRefreshesPerRowSync = 5;
  if (timer == WorkerThread::kRefreshTimer) ShowWorkerState(++refreshes_ % kRefreshesPerRowSync == 0);
  return TRUE;
}

void CCleanerDlg::ShowWorkerState(bool withRows) {
  progress_.ShowPublishedState();
  if (withRows) {
    results_.Sync();
  } else {
    totals_.Show(rows_.CurrentTotals());
  }
}

void CCleanerDlg::EnableWorkerCommands(bool enable) const {
  HWND focus = GetFocus();
  for (int id : kWorkerCommands) {
    // A disabled button cannot keep the keyboard focus; hand it to the list.
    if (!enable && Item(id) == focus) {
      SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(results_.Handle()), TRUE);
    }
    EnableWindow(Item(id), enable ? TRUE : FALSE);
  }
}

// ---- Commands -----------------------------------------------------------------------------

void CCleanerDlg::OnBrowse() {
  wchar_t savedDirectory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, savedDirectory);
  wchar_t path[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = Handle();
  browse.pszDisplayName = path;
  browse.lpszTitle = L"请选择要清理的磁盘或目录";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
  if (item == nullptr) return;
  if (SHGetPathFromIDListW(item, path)) {
    SetItemText(IDC_DIRECTORY, Narrow(path));
    SetCurrentDirectoryW(savedDirectory);
  }
  CoTaskMemFree(item);
}

void CCleanerDlg::OnScan() {
  if (worker_.Running()) return;
  const std::string root = ItemText(IDC_DIRECTORY);
  if (root.empty()) return;
  narrower_.Stop();
  results_.DeleteAllRows();
  scanRoot_ = root;
  if (!StartWorker(ScanRun(*this, root, CustomTargetList, QuickSearchList, rows_,
                           progress_.State(), scanAnchors_))) {
    ShowMessage("启动查询程序失败,请退出后重新启动...", MB_ICONINFORMATION);
  }
}

void CCleanerDlg::OnLocate() {
  const std::optional<std::string> path = results_.SelectedRowPath();
  if (!path) return;
  ShellOpen("explorer.exe", SW_SHOWDEFAULT, "/n,/select," + *path, "");
}

void CCleanerDlg::OnOpenFile() {
  const std::optional<std::string> path = results_.SelectedRowPath();
  if (!path) return;
  if (!ShellOpen(*path, SW_SHOWNORMAL, "", "")) {
    ShowMessage("没有关联任何程序用于打开该文件", MB_ICONERROR);
  }
}

bool CCleanerDlg::ShellOpen(const std::string& file, int showCommand,
                            const std::string& parameters, const std::string& directory) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"OPEN", Widen(file).c_str(), Widen(parameters).c_str(),
                    Widen(directory).c_str(), showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void CCleanerDlg::OnCheckAll() { results_.SetAllTicks(true); }
void CCleanerDlg::OnCheckNone() { results_.SetAllTicks(false); }

void CCleanerDlg::OnPlainDelete() { RunDeleteCommand(IDS_CONFIRM_PLAIN, ModePlain); }
void CCleanerDlg::OnForcedDelete() { RunDeleteCommand(IDS_CONFIRM_FORCED, ModeForced); }
void CCleanerDlg::OnShredDelete() { RunDeleteCommand(IDS_CONFIRM_SHRED, ModeShred); }
void CCleanerDlg::OnRecycleDelete() { RunDeleteCommand(IDS_CONFIRM_RECYCLE, ModeRecycle); }
void CCleanerDlg::OnRestartDelete() { RunDeleteCommand(IDS_CONFIRM_RESTART, ModeAtRestart); }

void CCleanerDlg::RunDeleteCommand(int questionId, DeleteMode mode) {
  if (worker_.Running()) return;
  if (results_.RowCount() == 0) return;
  if (ShowMessage(LoadResourceString(questionId), MB_YESNO | MB_ICONQUESTION) == IDNO) return;
  deleteMode_ = mode;
  rows_.BeginRemovalRun();
  // The recycle bin's operation belongs to this window; should the window go before the worker
  // ends, the handle is null and the desktop owns it.
  const auto owner = [this] { return Handle(); };
  if (!StartWorker(DeleteRun(scanRoot_, scanAnchors_, owner, rows_, progress_.State(), busyFlag_, deleteMode_))) {
    ShowMessage(LoadResourceString(IDS_DELETE_START_FAILED), MB_ICONINFORMATION);
  }
}

// The two announcements: the answer changes nothing.
void CCleanerDlg::OnSuperDelete() {
  if (results_.RowCount() == 0) return;
  ShowMessage(LoadResourceString(IDS_CONFIRM_SUPER), MB_YESNO | MB_ICONQUESTION);
}

void CCleanerDlg::OnWhoIsUsing() {
  ShowMessage(LoadResourceString(IDS_WHO_IS_USING), MB_YESNO | MB_ICONQUESTION);
}

// ---- The user's patterns ------------------------------------------------------------------

void CCleanerDlg::LoadCustomTargets() {
  CustomTargetList = LoadOwnPatterns(settings_);
}

void CCleanerDlg::SaveCustomTargets() const {
  SaveOwnPatterns(settings_, CustomTargetList);
}

// ---- Narrowing the list as the user types --------------------------------------------------

void CCleanerDlg::OnFilterChange() {
  if (settingFilter_ || worker_.Running()) return;
  narrower_.Request(rows_.PrepareNarrowing(ItemText(IDC_FILTER)));
}

INT_PTR CCleanerDlg::OnNarrowed(WPARAM, LPARAM) {
  std::optional<ResultModel::Narrowing> done = narrower_.TakeFinished();
  // Too late for a sort that came meanwhile: once more, in the new order.
  if (done && !results_.ApplyNarrowing(*done)) OnFilterChange();
  return TRUE;
}

void CCleanerDlg::SetFilterText(const std::string& text) {
  settingFilter_ = true;
  SetItemText(IDC_FILTER, text);
  settingFilter_ = false;
}

void CCleanerDlg::OnCustomTargets() {
  if (!IsItemChecked(IDC_TARGET_CUSTOM)) return;
  CTargetListDlg dialog;
  dialog.TargetList = CustomTargetList;
  if (dialog.DoModal() == IDCANCEL) return;
  CustomTargetList = dialog.TargetList;
  SaveCustomTargets();
}

void CCleanerDlg::OnQuickSearch() {
  if (!IsItemChecked(IDC_TARGET_QUICK)) return;
  CTargetEntryDlg dialog;
  if (dialog.DoModal() == IDCANCEL) return;
  SetItemText(IDC_TARGET_QUICK, "指定文件: " + dialog.PatternText);
  QuickSearchList = {dialog.PatternText};
}
