#pragma once
#include "MPopupWnd.h"

class CComboBoxList;

// The pop-up window of a combo box ("ComboWnd"): one CComboBoxList (id 88) inset 3 pixels
// left and right and 6 top and bottom. A chosen row is passed to the combo as
// (0, 2, index, 19) and closes the pop-up; the window going away for any reason (a chosen
// row, a click elsewhere) passes (0, 22, 0, 0). The combo box owns the object.
// Window thread only.
class ZUNTUI_API CComboBoxWnd : public MPopupWnd {
public:
    CComboBoxWnd();

    const wchar_t* GetClassName() override;
    void InitUI(CRect client) override;
    void OnDestroyMessage(HWND hwnd) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;

    // Scroll-bar image ids handed to the pop-up's manager for its list (0: the manager's own).
    void SetListScrollResID(UINT vertical, UINT horizontal);
    // The list, once the window exists (owned by the window's manager).
    CComboBoxList* GetList() const { return m_list; }

private:
    CComboBoxList* m_list = nullptr; // owned by the paint manager
    UINT m_scrollV = 0, m_scrollH = 0;
};
