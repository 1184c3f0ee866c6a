#pragma once
#include "UITypes.h"

class MControl;

// Root of everything that owns controls (dialogs, panels, pop-up windows). A control
// reports to its owner through OnBaseMessage (notifications) and OnControlUpdate
// (repaint requests).
class ZUNTUI_API MObject {
public:
    virtual ~MObject();

    // 1 when GetClassName() equals name exactly (case-sensitive), else 0.
    virtual int IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassName();
    virtual const wchar_t* GetObjectClass();
    virtual const wchar_t* BaseObjectClassName();

    // A notification of control `id`; the parameters carry pointer-sized values.
    virtual LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam);
    // A repaint request: `rect` in window client coordinates, `rebuild` 1 when the
    // control's cached face is stale.
    virtual LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control);
};

// Notification codes sent by controls to their owner (wparam and lparam per control).
enum MNotifyCode : UINT {
    MN_PRESSED = 1,          // left button pressed on the control / item pressed
    MN_CLICKED = 2,          // clicked (released inside after a press) or value committed
    MN_ITEM_DBLCLK = 3,      // item double-clicked
    MN_RCLICK = 5,           // right button released on an item
    MN_CHECK_BY_KEY = 7,     // check state changed by keyboard or menu
    MN_POSITION = 8,         // scroll or slider position changed
    MN_TAB_BUTTON = 9,       // button inside a tab pressed; edit icon pressed
    MN_KEYDOWN = 14,         // key pressed in the control
    MN_FRAME_SELECT = 24,    // right click ended a frame selection
    MN_EDIT_CHANGED = 26,    // text of an edit box changed
    MN_COLOR_PICKED = 27,    // colour picked
    MN_SPIN_CHANGED = 28,    // spin value changed
    MN_EDIT_END = 29,        // editing ended
    MN_EDIT_START = 30,      // editing started
    MN_EDIT_BUTTON_UP = 31,  // release on the button part of an edit box
};
