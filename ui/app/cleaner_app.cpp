#include "ui/app/cleaner_app.h"

#include "engine/win32/utf.h"
#include "ui/dialogs/cleaner_dlg.h"
#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

#include <commctrl.h>

namespace {

const char kCompanyKey[] = "Software by Quorvane";
// Help topics of dialogs are numbered from here by template id.
constexpr DWORD kDialogHelpContextBase = 0x20000;

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: a long path
  }
}

// Where the file name starts: after the last "\", "/" or ":".
std::size_t FileNameStart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? 0 : separator + 1;
}

// Where the extension's "." is, or the end when the file name has none; a "." in a
// directory name is not an extension.
std::size_t ExtensionStart(const std::wstring& path) {
  const std::size_t dot = path.rfind(L'.');
  return dot == std::wstring::npos || dot < FileNameStart(path) ? path.size() : dot;
}

}  // namespace

std::string ApplicationNameFromPath(const std::wstring& executablePath) {
  const std::size_t start = FileNameStart(executablePath);
  return Narrow(executablePath.substr(start, ExtensionStart(executablePath) - start));
}

std::wstring HelpFilePathFromPath(const std::wstring& executablePath) {
  return executablePath.substr(0, ExtensionStart(executablePath)) + L".HLP";
}

CCleanerApp& CCleanerApp::Instance() {
  static CCleanerApp application;
  return application;
}

CCleanerApp::CCleanerApp() {
  const std::wstring executable = ExecutablePath();
  applicationName_ = ApplicationNameFromPath(executable);
  helpFilePath_ = Narrow(HelpFilePathFromPath(executable));
}

void CCleanerApp::SetRegistryRoot(const std::string& companyKey) {
  settings_.SetRegistryRoot(companyKey, applicationName_);
}

int CCleanerApp::Run() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  Dialog::SetMessageBoxTitle(applicationName_);
  SetRegistryRoot(kCompanyKey);

  CCleanerDlg mainWindow(settings_);
  Dialog::SetHelpHandler(
      [this, &mainWindow](int templateId) { ShowHelp(templateId, mainWindow.Handle()); });
  mainWindow.DoModal(nullptr);
  Dialog::SetHelpHandler(nullptr);
  return 0;
}

void CCleanerApp::ShowHelp(int templateId, HWND mainWindow) const {
  // No help file ships with the program. Without one the viewer is not started at all: it
  // could only complain about the missing file in a window of its own and stay running after
  // the program has ended. The viewer belongs to the main window; a failure is reported over
  // the window in which help was asked for, which is the active one.
  const std::wstring helpFile = Widen(helpFilePath_);
  const DWORD topic = kDialogHelpContextBase + static_cast<DWORD>(templateId);
  if (GetFileAttributesW(helpFile.c_str()) != INVALID_FILE_ATTRIBUTES &&
      WinHelpW(mainWindow, helpFile.c_str(), HELP_CONTEXT, topic)) {
    return;
  }
  HWND owner = GetActiveWindow();
  if (owner == nullptr) owner = mainWindow;
  MessageBoxW(owner, Widen(LoadResourceString(IDS_HELP_START_FAILED)).c_str(),
              Widen(applicationName_).c_str(), MB_OK | MB_ICONEXCLAMATION);
}
