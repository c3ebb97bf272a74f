// Paths of loaded modules.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// The full path of module (null: the running executable), however long; empty on failure.
std::wstring GetModulePath(HMODULE module = nullptr);

} // namespace win
