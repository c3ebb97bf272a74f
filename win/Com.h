// COM and OLE: move-only owners of an interface pointer and of a thread's OLE start-up.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <utility>

namespace win {

// Owns one reference to an interface.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ~CComPtr() { Reset(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the current pointer and gives the slot for a new one.
    void** Put()
    {
        Reset();
        return reinterpret_cast<void**>(&m_p);
    }
    void Reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }

private:
    T* m_p = nullptr;
};

// OleInitialize on the calling thread; OleUninitialize at the end when it succeeded.
class COleInit {
public:
    COleInit() : m_hr(::OleInitialize(nullptr)) {}
    COleInit(const COleInit&) = delete;
    COleInit& operator=(const COleInit&) = delete;
    ~COleInit()
    {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
    }
    bool Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

} // namespace win
