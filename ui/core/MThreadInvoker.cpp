#include "MThreadInvoker.h"

#include "Manager.h"

namespace {
const wchar_t kClassName[] = L"ZuntThreadInvoker";
const UINT kRunMessage = WM_APP + 0x310; // "run the queued work"
} // namespace

MThreadInvoker::MThreadInvoker() : m_thread(GetCurrentThreadId())
{
    HINSTANCE instance = Manager::GetLibraryInstance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc); // a class that already exists is fine
    m_hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (m_hwnd)
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MThreadInvoker::~MThreadInvoker()
{
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
    MAutoLock guard(m_lock);
    m_queue.clear();
}

bool MThreadInvoker::Post(std::function<void()> work)
{
    if (!m_hwnd || !work)
        return false;
    bool wake;
    {
        MAutoLock guard(m_lock);
        wake = m_queue.empty(); // one wake-up message covers everything queued behind it
        m_queue.push_back(std::move(work));
    }
    if (wake && !PostMessageW(m_hwnd, kRunMessage, 0, 0)) {
        MAutoLock guard(m_lock);
        m_queue.clear();
        return false;
    }
    return true;
}

void MThreadInvoker::RunPending()
{
    for (;;) {
        std::function<void()> work;
        {
            MAutoLock guard(m_lock);
            if (m_queue.empty())
                return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work(); // no lock held: the work may post again
    }
}

size_t MThreadInvoker::PendingCount()
{
    MAutoLock guard(m_lock);
    return m_queue.size();
}

LRESULT CALLBACK MThreadInvoker::WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == kRunMessage) {
        if (auto* self = reinterpret_cast<MThreadInvoker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            self->RunPending();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}
