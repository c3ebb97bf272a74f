// Hands a window's dropped files to a handler before the window itself sees them. It sits on the
// window as a subclassing hook, so every other message costs a function call and a map look-up.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <utility>

#include "shell/SubclassWnd.h"

class CDropHook : public CSubclassWnd {
public:
    // onDrop receives each WM_DROPFILES's drop handle and must release it; it must not throw
    // into the window procedure (what it throws is dropped here).
    explicit CDropHook(std::function<void(HDROP)> onDrop) : m_onDrop(std::move(onDrop)) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void(HDROP)> m_onDrop;
};
