#pragma once
#include <memory>

#include "IconButtonTips.h"
#include "MStateButton.h"

// A nine-grid button (corner 20) of a group: a click inside leaves it down (pressed look)
// and raises the other icon buttons of its group (same group name, same list, visible and
// enabled); checked it shows its disabled frame. Sends code 1 on a press and code 2 on the
// release inside. Optional three-line tips are shown while hovered, in a window made by
// the factory the keyboard control installs (SetTipsFactory). Window thread only.
class ZUNTUI_API CIconButton : public MStateButton {
public:
    CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~CIconButton() override;

    const wchar_t* GetClassName() override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    int GetCheck() const { return m_check; }
    // Stores the check; state 0, not down, rebuild request. Returns 1.
    int SetCheck(int check);
    // Raises the button (state 0, not down) with a rebuild request; the argument is not
    // used. Returns 1.
    int SetDownState(int down);
    int GetDownState() const { return m_down; }
    // Down = `check`, state 2 when set and 0 otherwise, without the group rule.
    void SetControlCheck(int check);
    // Raises every other visible, enabled icon button of the group. 0 without an owner.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_group = CString(name); }
    const wchar_t* GetGroupName() const { return m_group.c_str(); }
    // Stored; the face does not draw the icon.
    int SetIconImage(const wchar_t* file, int count);
    void SetTextRect(CRect rect);
    void SetFrameSize(int size) { m_frameSize = size; }
    void SetShowTips(bool show) { m_showTips = show; }
    void SetTips(CString title, CString line2, CString line3);
    // Shows (above the button's top centre) or hides the tips; only with show tips set.
    void SetTips(bool show);

    // The maker of the tips windows of every icon button (null: no tips are shown).
    static void SetTipsFactory(IconButtonTipsFactory factory);

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;
    int ShownSlot() const override;

    int m_frameSize = 4;
    Gdiplus::Image* m_iconImage = nullptr; // owned
    int m_iconFrameW = 0, m_iconH = 0;
    CRect m_textRect;
    int m_check = 0;
    int m_down = 0;
    bool m_pressing = false;
    CString m_group;
    bool m_showTips = false;
    CString m_tips[3];
    std::unique_ptr<IconButtonTips> m_tipsWindow; // owned, made on first use

private:
    static IconButtonTipsFactory s_tipsFactory;
};
