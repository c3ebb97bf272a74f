// Private window messages of the main window.
#pragma once
#include <windows.h>

// Sent by a verification run to the main window when it has ended; lParam is the run.
inline constexpr UINT kMsgCheckEnded = WM_APP + 1;

// Sent by a verification run for the next rows to verify; lParam is a CCheckRowBatch.
inline constexpr UINT kMsgCheckRows = WM_APP + 2;
