#include "ui/app/cleaner_app.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return CCleanerApp::Instance().Run(); }
