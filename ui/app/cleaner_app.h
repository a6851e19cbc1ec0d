#pragma once

#include "ui/app/settings_store.h"

#include <windows.h>

#include <string>

// The application name: the executable's file name without directory and extension.
std::string ApplicationNameFromPath(const std::wstring& executablePath);
// The help file: the executable's path with its extension replaced by ".HLP".
std::wstring HelpFilePathFromPath(const std::wstring& executablePath);

// The application object: one per process. It fixes the application name (the executable's
// base name, which also titles every message box), the settings root and the help file path,
// and runs the main window modally, handing it the settings.
class CCleanerApp {
 public:
  static CCleanerApp& Instance();

  // Roots the settings at HKEY_CURRENT_USER\Software\<companyKey>\<application name>.
  void SetRegistryRoot(const std::string& companyKey);

  // The start-up routine: runs the main window modally and returns when it has closed.
  int Run();
  // F1: asks the help viewer for the topic of the given dialog template, on behalf of the main
  // window (null when there is none); when the viewer cannot be started, says so in a message
  // box.
  void ShowHelp(int templateId, HWND mainWindow) const;

 private:
  CCleanerApp();

  std::string applicationName_;
  std::string helpFilePath_;
  SettingsStore settings_;
};
