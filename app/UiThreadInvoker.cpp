#include "app/UiThreadInvoker.h"

namespace {

const wchar_t kClassName[] = L"TastroUiThreadInvoker";
constexpr UINT kInvokeMessage = WM_APP + 0x2A1;

ATOM RegisterInvokerClass(WNDPROC proc)
{
    static ATOM atom = [proc] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

} // namespace

UiThreadInvoker::UiThreadInvoker() : ownerThread_(GetCurrentThreadId())
{
    RegisterInvokerClass(&UiThreadInvoker::WindowProc);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
}

UiThreadInvoker::~UiThreadInvoker()
{
    if (window_)
        DestroyWindow(window_);
}

bool UiThreadInvoker::Invoke(const std::function<void()>& call)
{
    if (GetCurrentThreadId() == ownerThread_) {
        call();
        return true;
    }
    if (!window_)
        return false;
    // The pointer travels in LPARAM (pointer-sized); the reply says the call ran.
    return SendMessageW(window_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&call)) == 1;
}

LRESULT CALLBACK UiThreadInvoker::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == kInvokeMessage) {
        const auto* call = reinterpret_cast<const std::function<void()>*>(lparam);
        (*call)();
        return 1;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}
