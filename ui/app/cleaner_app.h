#pragma once

#include "ui/app/settings_store.h"

#include <windows.h>

#include <string>

// The application object: one per process. It fixes the application name (the executable's
// base name, which also titles every message box), the settings root and the help file path,
// and runs the main window modally.
class CCleanerApp {
 public:
  static CCleanerApp& Instance();

  const std::string& ApplicationName() const { return applicationName_; }
  const std::string& HelpFilePath() const { return helpFilePath_; }
  SettingsStore& Settings() { return settings_; }
  void SetRegistryRoot(const std::string& companyKey);

  // The main window while it exists, else null (the recycle bin's owner falls back to the
  // desktop then).
  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND window) { mainWindow_ = window; }

  // The start-up routine: runs the main window modally and returns when it has closed.
  int Run();
  // F1: asks the help viewer for the topic of the given dialog template.
  void ShowHelp(int templateId) const;

 private:
  CCleanerApp();

  std::string applicationName_;
  std::string helpFilePath_;
  SettingsStore settings_;
  HWND mainWindow_ = nullptr;
};
