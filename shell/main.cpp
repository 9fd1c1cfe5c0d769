// Program entry: everything happens in the application object.
#include <windows.h>

#include "shell/app_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return kst::g_app.Run(instance); }
