#include "ControlFactory.h"

#include <cwchar>

#include "CArea.h"
#include "CColorButton.h"
#include "CColorPalette.h"
#include "CColorSelect.h"
#include "CComboBoxList.h"
#include "CGifPicture.h"
#include "CirclePalette.h"
#include "CPhotoFrame.h"
#include "CSliderPicture.h"
#include "CRecordList.h"
#include "CSpinButton.h"
#include "DListBox.h"
#include "KeyFuncControl.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MEdit.h"
#include "MEditEx.h"
#include "MLevelCtrl.h"
#include "MListBox.h"
#include "MPalette.h"
#include "MPicture.h"
#include "MProgress.h"
#include "MRichEdit.h"
#include "MScroll.h"
#include "MSlider.h"
#include "MSpinButton.h"
#include "MTabCtrl.h"
#include "MTabLayout.h"
#include "MText.h"
#include "MenuItem.h"
#include "CCheckButton.h"
#include "CHelpButton.h"
#include "CIconButton.h"
#include "CImageButton.h"
#include "CRadioButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "MButton.h"

namespace {

// Which constructor arguments a class takes from the factory call.
enum Args {
    kVisible,              // visible
    kVisibleForceEnabled,  // visible; enabled forced to 1
    kVisibleEnabled,       // visible, enabled
    kTitleVisible,         // title, visible
    kTitleVisibleEnabled,  // title, visible, enabled
    kTitleVisibleForceEnabled, // title, visible; enabled forced to 1
};

using Maker = MControl* (*)(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

struct ClassEntry {
    const wchar_t* name;
    Args args;
    bool panel;  // offered by a panel's factory
    bool window; // offered by a window's factory (neither: only a part a control makes itself)
    Maker make;  // null: the class is not part of this build
};

MControl* MakeArea(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CArea(parent, id, rect, visible, enabled);
}

MControl* MakeScrollVertical(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CScrollVertical(parent, id, rect, visible);
}

MControl* MakeScrollHorizontal(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CScrollHorizontal(parent, id, rect, visible);
}

MControl* MakeSlider(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MSlider(parent, id, rect, visible, enabled);
}

MControl* MakeSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MSpinButton(parent, id, rect, visible, enabled);
}

MControl* MakeRichSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CSpinButton(parent, id, rect, visible, enabled);
}

MControl* MakeEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return new MEdit(parent, id, rect, title, visible, enabled);
}

MControl* MakeRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return new MRichEdit(parent, id, rect, title, visible, enabled);
}

MControl* MakeEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return new MEditEx(parent, id, rect, title, visible, enabled);
}

MControl* MakeText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int)
{
    return new MText(parent, id, rect, title, visible);
}

MControl* MakePicture(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MPicture(parent, id, rect, visible, enabled);
}

MControl* MakePhotoFrame(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CPhotoFrame(parent, id, rect, visible, enabled);
}

MControl* MakeSliderPicture(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CSliderPicture(parent, id, rect, visible, enabled);
}

MControl* MakeGifPicture(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CGifPicture(parent, id, rect, visible, enabled);
}

MControl* MakeProgress(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MProgress(parent, id, rect, visible, enabled);
}

MControl* MakeLevelCtrl(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MLevelCtrl(parent, id, rect, visible, enabled);
}

MControl* MakeMenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return new MenuItem(parent, id, rect, title, visible, enabled);
}

MControl* MakeKeyboardCtrl(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new KeyboardCtrl(parent, id, rect, visible);
}

MControl* MakeComboBox(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MComboBox(parent, id, rect, visible, enabled);
}

MControl* MakeComboBoxList(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CComboBoxList(parent, id, rect, visible);
}

MControl* MakeTabCtrl(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new MTabCtrl(parent, id, rect, visible, enabled);
}

MControl* MakeTabLayout(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new MTabLayout(parent, id, rect, visible);
}

MControl* MakePalette(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new MPalette(parent, id, rect, visible);
}

MControl* MakeCirclePalette(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CirclePalette(parent, id, rect, visible, enabled);
}

MControl* MakeColorButton(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CColorButton(parent, id, rect, visible, enabled);
}

MControl* MakeColorPalette(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CColorPalette(parent, id, rect, visible);
}

MControl* MakeColorSelect(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CColorSelect(parent, id, rect, visible);
}

MControl* MakeSwitchButton(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int enabled)
{
    return new CSwitchButton(parent, id, rect, visible, enabled);
}

// The classes constructed from (parent, id, rect, title, visible, enabled).
template <class T>
MControl* MakeTitled(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return new T(parent, id, rect, title, visible, enabled);
}

MControl* MakeKeyFuncControl(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new KeyFuncControl(parent, id, rect, visible);
}

MControl* MakeDListBox(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new DListBox(parent, id, rect, visible);
}

MControl* MakeMListBox(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new MListBox(parent, id, rect, visible);
}

MControl* MakeRecordList(MObject* parent, UINT id, CRect rect, const wchar_t*, int visible, int)
{
    return new CRecordList(parent, id, rect, visible);
}

// Every class name the factories know, with the arguments its constructor takes and the
// factories that offer it. A class joins the build by giving its entry a maker (like
// MakeArea); entries without one create nothing.
const ClassEntry kClasses[] = {
    {L"CArea", kVisibleForceEnabled, true, true, MakeArea},
    {L"MText", kTitleVisible, true, true, MakeText},
    {L"MPicture", kVisibleEnabled, true, true, MakePicture},
    {L"CPhotoFrame", kVisibleEnabled, true, true, MakePhotoFrame},
    {L"CSliderPicture", kVisibleEnabled, true, true, MakeSliderPicture},
    {L"CGifPicture", kVisibleEnabled, true, true, MakeGifPicture},
    {L"MProgress", kVisibleEnabled, true, true, MakeProgress},
    {L"MSlider", kVisibleEnabled, true, true, MakeSlider},
    {L"MLevelCtrl", kVisibleEnabled, true, true, MakeLevelCtrl},
    {L"CColorButton", kVisibleEnabled, true, true, MakeColorButton},
    {L"MSpinButton", kVisibleEnabled, true, true, MakeSpinButton},
    {L"CSpinButton", kVisibleEnabled, true, true, MakeRichSpinButton},
    {L"CSwitchButton", kVisibleEnabled, true, true, MakeSwitchButton},
    {L"MComboBox", kVisibleEnabled, true, true, MakeComboBox},
    {L"MTabCtrl", kVisibleEnabled, true, true, MakeTabCtrl},
    {L"MButton", kTitleVisibleEnabled, true, true, MakeTitled<MButton>},
    {L"CImageButton", kTitleVisibleEnabled, true, true, MakeTitled<CImageButton>},
    {L"CTextButton", kTitleVisibleEnabled, true, true, MakeTitled<CTextButton>},
    {L"CCheckButton", kTitleVisibleEnabled, true, true, MakeTitled<CCheckButton>},
    {L"CRadioButton", kTitleVisibleEnabled, true, true, MakeTitled<CRadioButton>},
    {L"CIconButton", kTitleVisibleEnabled, true, true, MakeTitled<CIconButton>},
    {L"CTimerButton", kTitleVisibleEnabled, true, true, MakeTitled<CTimerButton>},
    {L"CHelpButton", kTitleVisibleEnabled, true, true, MakeTitled<CHelpButton>},
    {L"MEdit", kTitleVisibleEnabled, true, true, MakeEdit},
    {L"MRichEdit", kTitleVisibleEnabled, true, true, MakeRichEdit},
    {L"MEditEx", kTitleVisibleEnabled, true, true, MakeEditEx},
    {L"MTabLayout", kVisible, true, true, MakeTabLayout},
    {L"MListBox", kVisible, true, true, MakeMListBox},
    {L"MPalette", kVisible, true, true, MakePalette},
    {L"CColorPalette", kVisible, true, true, MakeColorPalette},
    {L"CColorSelect", kVisible, true, true, MakeColorSelect},
    {L"KeyboardCtrl", kVisible, true, true, MakeKeyboardCtrl},
    {L"KeyFuncControl", kVisible, true, false, MakeKeyFuncControl},
    {L"DListBox", kVisible, true, false, MakeDListBox},
    {L"CRecordList", kVisible, true, false, MakeRecordList},
    {L"CirclePalette", kVisibleForceEnabled, true, true, MakeCirclePalette},
    {L"CDeviceCtrl", kVisibleForceEnabled, true, true, nullptr},
    {L"MenuItem", kTitleVisibleForceEnabled, true, true, MakeMenuItem},
    {L"UpgradeButton", kTitleVisibleForceEnabled, true, false, nullptr},
    {L"DownloadButton", kTitleVisibleForceEnabled, true, false, nullptr},
    {L"CComboBoxList", kVisibleForceEnabled, false, true, MakeComboBoxList},
    {L"BatteryCtrl", kVisibleForceEnabled, false, true, nullptr},
    // Parts: the scroll bars of every panel.
    {L"CScrollVertical", kVisible, false, false, MakeScrollVertical},
    {L"CScrollHorizontal", kVisible, false, false, MakeScrollHorizontal},
};

const ClassEntry* FindClass(const wchar_t* className)
{
    if (!className || !*className)
        return nullptr;
    for (const ClassEntry& c : kClasses)
        if (wcscmp(c.name, className) == 0)
            return &c;
    return nullptr;
}

} // namespace

MControl* ConstructControl(int windowFactory, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                           const wchar_t* title, int visible, int enabled)
{
    if (!className || !*className)
        return nullptr;
    for (const ClassEntry& c : kClasses) {
        if (wcscmp(c.name, className) != 0)
            continue;
        if (!(windowFactory ? c.window : c.panel) || !c.make)
            return nullptr;
        switch (c.args) {
        case kVisible:
            enabled = 1;
            title = L"";
            break;
        case kVisibleForceEnabled:
            enabled = 1;
            title = L"";
            break;
        case kVisibleEnabled:
            title = L"";
            break;
        case kTitleVisible:
            enabled = 1;
            break;
        case kTitleVisibleEnabled:
            break;
        case kTitleVisibleForceEnabled:
            enabled = 1;
            break;
        }
        return c.make(parent, id, rect, title ? title : L"", visible, enabled);
    }
    return nullptr;
}

MControl* ConstructPart(MObject* parent, const wchar_t* className, UINT id, CRect rect, int visible)
{
    const ClassEntry* c = FindClass(className);
    if (!c || !c->make)
        return nullptr;
    return c->make(parent, id, rect, L"", visible, 1);
}
