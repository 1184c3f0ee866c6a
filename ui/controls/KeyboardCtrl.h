#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <map>
#include <vector>

#include "MPanel.h"

class CKeyboardTips;
class MThreadInvoker;

// One key of the keyboard control. The control owns these records; the application reads
// and changes them through the control's operations (GetKeyItems hands out pointers that
// stay valid until ClearItem or the control's destruction).
struct KEY_INFO {
    int index = 0;           // position in the key list at insertion
    DWORD keyValue = 0;      // the application's code of the key; per-key operations find the first match
    CString name;            // caption drawn on the key in none mode
    CString text;            // first line of the tip balloon
    CString tipTitle;        // second line of the tip balloon (SetTipKey)
    CString tipText;         // third line of the tip balloon (SetTipKey)
    CRect rect;              // key area relative to the keyboard picture's origin
    int check = 0;           // key is in the multi-selection
    DWORD color = 0x00E1FF;  // 0x00BBGGRR; amber by default
    Gdiplus::Image* icon = nullptr; // optional icon under the caption; owned by the control
    int iconWidth = 0, iconHeight = 0;
};

// The on-screen keyboard: a picture of the keyboard with one clickable area per key and,
// depending on the mode, captions, selection marks, per-key colours or an animated
// lighting preview over it. Reports clicks to its owner (code 2 left click, 5 right click,
// 24 end of a right-button frame selection) and shows a tip balloon over the key under
// the mouse.
//
// Threads: every operation is for the window's thread. The periodic tick arrives on the
// multimedia timer thread; there it only queues a tick for the window's thread (at most
// one at a time), so the control's state changes on the window's thread alone.
class ZUNTUI_API KeyboardCtrl : public MPanel {
public:
    enum Mode {
        KB_MODE_NONE = 100,       // captions on black keys, no picture
        KB_MODE_CUSTOM = 101,     // picture with white marks on checked, hovered and selected keys
        KB_MODE_LIGHT = 102,      // picture with the animated brightness preview
        KB_MODE_USER_LIGHT = 103, // picture with each key outlined in its colour; clicks toggle colours
        KB_MODE_MUSIC = 104,      // picture with each key outlined in its colour
    };

    KeyboardCtrl(MObject* parent, UINT id, CRect rect, int visible);
    ~KeyboardCtrl() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlRButtonDown(UINT flags, CPoint pt) override;
    int OnControlRButtonUp(UINT flags, CPoint pt) override;

    // ---- keys ----
    // Appends a key; an icon file (relative to the skin folder) that loads gives it an
    // icon. Returns the new index.
    int AddKeyItem(const wchar_t* name, const wchar_t* text, DWORD keyValue, CRect rect, CString iconFile);
    // Deletes every key and icon; the hover and selected key become -1, a frame selection
    // ends and the lighting data is dropped.
    void ClearItem();
    // The key records in order (owned by the control).
    std::vector<KEY_INFO*> GetKeyItems();
    int GetKeyCount();
    void SetKeyDesc(DWORD key, CString desc);
    void SetTipKey(DWORD key, CString title, CString text);
    void ResetTipKey();
    // These two change one key without a repaint request (the owner calls UpdateControl).
    void SetKeyCheck(DWORD key, int check);
    void SetKeyColor(DWORD key, DWORD color);
    // The key's colour; 0 when no key has that value.
    DWORD GetKeyColor(DWORD key);
    int GetCheckItemCount();
    void ResetAllItemCheck();
    void ResetAllItemCheck(int check);
    void ResetAllItemsColor(DWORD color);
    void SetAllSelectColor(DWORD color);
    void SetLightModeColor(int white, DWORD color);
    // The selected key (no repaint); an index outside -1..count-1 is ignored.
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selectedKey; }
    int GetHoverItem() const { return m_hoverKey; }

    // ---- looks and modes ----
    // The keyboard picture, a file relative to the skin folder (not shared with the
    // window's image cache).
    void SetKeyboardImage(CString file);
    // The drawn size of the picture; with a non-empty rect the picture is centred
    // horizontally at the top of the control.
    void SetWidthAndHeight(int w, int h);
    // A key rect shifted by the picture's offset (control-relative).
    CRect GetRealRect(CRect keyRect);
    CPoint GetImageOffset() const { return CPoint(m_offsetX, m_offsetY); }
    void SetKeyboardCtrlMode(int mode);
    int GetKeyboardCtrlMode() const { return m_mode; }
    // Copies the frames of per-key brightness (frame count = length / key count).
    void SetLightModeData(const BYTE* data, int length);
    // Ticks per frame: speed 0 -> 5, 1 -> 4, 2 -> 3, 3 -> 2, other values -> 1.
    void SetLightSpeed(int speed);
    void SetMusicBrightness(int brightness);
    void SetCustomColor(DWORD color);
    int GetLightFrameIndex() const { return m_frameIndex; }
    int GetLightFrameCount() const { return m_frameCount; }
    // Brightness the light mode draws for key `index` in the current frame: the data byte,
    // or 255 without a whole frame of data or past its end.
    BYTE GetLightBrightness(int index);

    // ---- interaction ----
    void EnableFrameSelect(int enable);
    void EnableKBTips(bool enable);
    DWORD GetCurrentKeyValue() const { return m_currentKeyValue; }
    bool IsFrameShown() const { return m_frameShown; }
    // The tip window (null until the first tip); owned by the control.
    CKeyboardTips* GetTipsWindow() const { return m_tips; }

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;
    // Mode faces, painted into the face cache (cx x cy) under the key lock.
    void DrawNoneMode(int cx, int cy);
    void DrawCustomMode(int cx, int cy);
    void DrawLightMode(int cx, int cy);
    void DrawUserLightMode(int cx, int cy);
    void DrawMusicMode(int cx, int cy);
    // Checks exactly the keys whose hit-test rect meets the frame (press point to current
    // point); a frame narrower or lower than 6 pixels checks none.
    void CalFrameSelect();
    // Shows the tip of the hover key, or hides the tip without one.
    void SetTips();

private:
    // One step of the periodic tick, on the window's thread.
    int Tick();
    // True while the light-mode animation repaints the control by itself.
    bool Animating();
    int HitTest(CPoint pt);
    CRect HitRect(const KEY_INFO& key) const;
    KEY_INFO* FindKey(DWORD key);
    void ResetFrame();
    void PlaceImage();
    void DeleteKeys();
    // The picture composited over the cache; false without a picture.
    bool DrawKeyboardPicture(int cx, int cy);
    void PreparePicture();
    // Outline of a key (rounded rectangle, ratio 12, pen 2, no fill) in an ARGB colour.
    void DrawOutline(int cx, int cy, const CRect& keyRect, DWORD argb);
    struct OutlinePixel {
        int x, y;  // relative to the key rect's top-left corner
        BYTE cover; // 1..255
    };
    const std::vector<OutlinePixel>& OutlineMask(int w, int h);

    std::vector<KEY_INFO*> m_keys; // owned
    MLock m_lock;                  // guards the keys and the lighting data
    DWORD m_currentKeyValue = 0;
    DWORD m_customColor = 255;
    bool m_tipsEnabled = false;
    int m_hoverKey = -1;
    int m_selectedKey = -1;
    Gdiplus::Image* m_kbImage = nullptr; // owned
    int m_mode = KB_MODE_NONE;
    int m_offsetX = 6, m_offsetY = 6;
    int m_imageW = 0, m_imageH = 0;
    double m_scale = 1.0;
    std::vector<BYTE> m_lightData;
    int m_frameIndex = 0;
    int m_frameCount = 0;
    int m_musicBrightness = 255;
    int m_tickCount = 0;
    int m_ticksPerFrame = 0;
    int m_frameSelect = 0;
    bool m_frameShown = false;
    CPoint m_pressPt, m_currentPt;
    Gdiplus::StringFormat* m_captionFormat;  // owned
    Gdiplus::SolidBrush* m_captionBrush;     // owned
    Gdiplus::SolidBrush* m_shadowBrush;      // owned
    CKeyboardTips* m_tips = nullptr;         // owned

    MThreadInvoker* m_invoker;               // owned; runs timer-thread ticks on the window's thread
    std::atomic<bool> m_tickQueued{false};   // a tick waits for the window's thread
    // The picture at its drawn size, premultiplied, top-down (made when first drawn).
    std::vector<DWORD> m_picture;
    int m_pictureW = 0, m_pictureH = 0;
    // Per picture row, the opaque run [first, second) copied as it is; the rest is blended.
    std::vector<std::pair<int, int>> m_opaqueRuns;
    // The pixels an outline covers, per key size (the rounded rectangle drawn once).
    std::map<std::pair<int, int>, std::vector<OutlinePixel>> m_masks;
};
