#pragma once

#include <windows.h>

namespace lsg::win {

// Functions that Windows versions after 7 added, found at run time: the program must still
// start on Windows 7 SP1, where an import of any of them would stop it before main.

// The window's DPI (GetDpiForWindow, Windows 10 1607); 0 where the system lacks it.
UINT dpiForWindow(HWND window);

// AdjustWindowRectExForDpi (Windows 10 1607) where the system has it, else
// AdjustWindowRectEx, which uses the metrics of the system's own DPI.
bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

}  // namespace lsg::win
