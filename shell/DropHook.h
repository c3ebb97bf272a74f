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
    // onDrop receives each WM_DROPFILES's drop handle and must release it (what it throws is
    // dropped here, never thrown into the window procedure); onDestroy, when given, learns that
    // the window is being destroyed, before the window itself does.
    explicit CDropHook(std::function<void(HDROP)> onDrop, std::function<void()> onDestroy = nullptr)
        : m_onDrop(std::move(onDrop)), m_onDestroy(std::move(onDestroy)) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void(HDROP)> m_onDrop;
    std::function<void()> m_onDestroy;
};
