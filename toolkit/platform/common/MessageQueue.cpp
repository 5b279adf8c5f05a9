#include "toolkit/platform/common/MessageQueue.h"

#include <deque>
#include <map>
#include <string>

namespace {

std::deque<MSG> g_queue;
std::map<std::string, WNDCLASSA> g_classes;

bool Matches(const MSG& msg, HWND window, UINT first, UINT last)
{
    if (window && msg.hwnd != window && msg.message != WM_QUIT)
        return false;
    if (first == 0 && last == 0)
        return true;
    return msg.message >= first && msg.message <= last;
}

} // namespace

namespace TovarCommon {

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    GetCursorPos(&msg.pt);
    g_queue.push_back(msg);
}

bool Peek(MSG& msg, HWND window, UINT first, UINT last, bool remove)
{
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, window, first, last))
            continue;
        msg = *it;
        if (remove)
            g_queue.erase(it);
        return true;
    }
    return false;
}

void Forget(HWND window)
{
    for (auto it = g_queue.begin(); it != g_queue.end();)
        it = it->hwnd == window ? g_queue.erase(it) : it + 1;
}

WNDPROC ClassProcedure(LPCSTR className)
{
    auto found = className ? g_classes.find(className) : g_classes.end();
    return found == g_classes.end() ? nullptr : found->second.lpfnWndProc;
}

} // namespace TovarCommon

HMODULE GetModuleHandleA(LPCSTR)
{
    static char module;
    return reinterpret_cast<HMODULE>(&module);
}

HICON LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }

ATOM RegisterClassA(const WNDCLASSA* lpWndClass)
{
    if (!lpWndClass || !lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc)
        return 0;
    std::string name = lpWndClass->lpszClassName;
    if (g_classes.count(name))
        return 0; // as on Windows: a class is registered once
    g_classes[name] = *lpWndClass;
    return static_cast<ATOM>(g_classes.size());
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    return lpClassName && g_classes.erase(lpClassName) ? TRUE : FALSE;
}

BOOL AdjustWindowRectEx(RECT* lpRect, DWORD, BOOL, DWORD) { return lpRect ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM)
{
    // The one default worth having: closing from the system menu closes.
    if (Msg == WM_CLOSE && hWnd)
        DestroyWindow(hWnd);
    return 0;
}

// Character messages are not used by anything we run; keys arrive as key messages.
BOOL TranslateMessage(const MSG* lpMsg) { return lpMsg ? TRUE : FALSE; }

void PostQuitMessage(int nExitCode) { TovarCommon::Post(nullptr, WM_QUIT, (WPARAM)nExitCode, 0); }
