// Reading the paths of a shell drop (WM_DROPFILES).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace win {

// How many items the drop holds.
inline UINT DroppedCount(HDROP drop)
{
    return ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
}

// The path of one dropped item, whole: its length is asked for first.
inline std::wstring DroppedPath(HDROP drop, UINT index)
{
    const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(::DragQueryFileW(drop, index, path.data(), length + 1));
    return path;
}

} // namespace win
