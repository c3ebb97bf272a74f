// Moving and centring top-level windows.
#pragma once
#include <windows.h>

namespace win {

// Keeps the window's left, top and height and sets its width in pixels, repainting.
void SetWindowWidth(HWND hwnd, int width);

// Centres the window on its owner, or on the work area of its monitor when it has none.
void CenterWindow(HWND hwnd);

} // namespace win
