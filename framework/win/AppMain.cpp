// The entry point of a program built on the framework: the application object
// (a global of a class derived from CWinApp) is already constructed.
#include "framework/win/WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
