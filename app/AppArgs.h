// The process-wide holder of the split command line.
#pragma once

class CAppArgs {
public:
    // The one instance, created on the first call (made on the main thread before any worker).
    static CAppArgs* Instance();
    // Deletes the instance; the class-level routines keep working afterwards.
    static void Release();

    wchar_t** argv = nullptr;  // from CommandLineToArgvW; null when splitting failed
    int argc = 0;

private:
    CAppArgs() = default;
    static CAppArgs* s_pInstance;
};
