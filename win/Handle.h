// Move-only owners of Win32 handles: each closes its handle exactly once.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

template <class Traits>
class CUnique {
public:
    using Type = typename Traits::Type;
    CUnique() = default;
    explicit CUnique(Type h) : m_h(h) {}
    CUnique(const CUnique&) = delete;
    CUnique& operator=(const CUnique&) = delete;
    CUnique(CUnique&& other) noexcept : m_h(other.Release()) {}
    CUnique& operator=(CUnique&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~CUnique() { Reset(); }

    // The handle, still owned.
    Type Get() const { return m_h; }
    bool IsValid() const { return m_h != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    // Gives up ownership.
    Type Release() { return std::exchange(m_h, Traits::Invalid()); }
    // Closes the current handle and owns h.
    void Reset(Type h = Traits::Invalid())
    {
        if (m_h != Traits::Invalid())
            Traits::Close(m_h);
        m_h = h;
    }

private:
    Type m_h = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};

// Events, threads and other kernel objects (null when empty).
using CHandle = CUnique<KernelHandleTraits>;
// CreateFileW results (INVALID_HANDLE_VALUE when empty).
using CFileHandle = CUnique<FileHandleTraits>;
// Brushes, fonts and other GDI objects.
using CGdiObject = CUnique<GdiObjectTraits>;
// FindFirstFileW listings.
using CFindHandle = CUnique<FindHandleTraits>;
// Image lists made with ImageList_Create.
using CImageList = CUnique<ImageListTraits>;
// Icons that the caller must destroy (SHGetFileInfoW, CreateIconIndirect).
using CIcon = CUnique<IconTraits>;
// Open registry keys.
using CRegKey = CUnique<RegKeyTraits>;

} // namespace win
