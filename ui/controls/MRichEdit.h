#pragma once
#include "MPanel.h"

struct ITextServices;
class RichTextHost;

// A windowless rich-edit box hosted through the system's text services ("CreateTextServices"
// of "Msftedit.dll"). This build keeps it small: the text services object is created with
// the control's style and title and receives the text, and the face shows the text as
// plain text (or the tip text in grey while empty). Codes 1 and 2: press inside, release
// inside after a press. Window thread only.
class ZUNTUI_API MRichEdit : public MPanel {
public:
    MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled);
    ~MRichEdit() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    // Also hands the text to the text services.
    void SetControlTitle(const wchar_t* title) override;

    // Passes a message to the text services; 0 when there are none.
    LRESULT TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    // True once the text services object exists.
    bool HasTextServices() const { return m_services != nullptr; }
    int GetTextLength();
    void SetSel(long start, long end);
    void ReplaceSel(const wchar_t* text);
    void SetLimitText(int limit);
    int GetLimitText() const { return m_limitText; }
    void SetReadOnly(int readOnly);
    int IsReadOnly() const { return m_readOnly; }
    void SetTipInfo(const wchar_t* tip);
    const wchar_t* GetTipInfo() const { return m_tip.c_str(); }
    long GetWindowStyle() const { return m_style; }
    int GetState() const { return m_state; }
    COLORREF GetRichTextColor() const { return m_richTextColor; }
    RECT GetTextPadding() const { return m_padding; }

protected:
    // Face of the box: the skin frame of the state (corner) and the text.
    void DrawFace(HDC& dc, int w, int h) override;
    // The text rect inside the control (window coordinates).
    virtual CRect GetTextArea() const;
    void SetState(int state);

    CString m_tip;
    wchar_t m_passwordChar = 0xA1F1;
    bool m_wantTab = true, m_wantReturn = true, m_wantCtrlReturn = true, m_rich = true;
    bool m_readOnly = false, m_password = false, m_wordWrap = false;
    COLORREF m_richTextColor = 0x141414;
    int m_limitText = 256;
    long m_style = 0x200044;
    RECT m_padding = {5, 5, 5, 5};
    RichTextHost* m_host = nullptr;        // owned (reference counted, released in the destructor)
    ITextServices* m_services = nullptr;   // owned through the host
    int m_state = 0;
    int m_corner = 4;
};
