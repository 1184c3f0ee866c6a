#include "CComboBoxWnd.h"

#include "CComboBoxList.h"

namespace {
const UINT kListId = 88;
const LPARAM kListCommit = 19;
const UINT kPopupGone = 22;
}

CComboBoxWnd::CComboBoxWnd()
{
    m_pm.SetBackColor(0x130D09, 0x0000FF);
}

const wchar_t* CComboBoxWnd::GetClassName() { return L"CComboBoxWnd"; }

void CComboBoxWnd::SetListScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollV = vertical;
    m_scrollH = horizontal;
}

void CComboBoxWnd::InitUI(CRect client)
{
    // The manager's Init chose its own ids; the combo's, when it has any, replace them
    // before the list's bars load their images.
    if (m_scrollV || m_scrollH)
        m_pm.SetScrollResID(m_scrollV, m_scrollH);
    const CRect rect(client.left + 3, client.top + 6, client.right - 3, client.bottom - 6);
    m_list = static_cast<CComboBoxList*>(CreateControl(L"CComboBoxList", kListId, rect, L"", 1, 1));
}

LRESULT CComboBoxWnd::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (id == kListId && code == MN_CLICKED && lparam == kListCommit) {
        SendMessageToParent(MN_CLICKED, wparam, kListCommit);
        CloseWindow();
    }
    return 0;
}

void CComboBoxWnd::OnDestroyMessage(HWND hwnd)
{
    m_list = nullptr; // deleted with the manager's controls
    MPopupWnd::OnDestroyMessage(hwnd);
    SendMessageToParent(kPopupGone, 0, 0);
}
