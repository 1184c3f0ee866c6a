#include "MRichEdit.h"

#include <richedit.h>
#include <textserv.h>

#include <algorithm>

#include "MRender.h"
#include "PaintManager.h"

namespace {

// {8d33f740-cf58-11ce-a89d-00aa006cadc5}
const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

using CreateTextServicesFn = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

CreateTextServicesFn TextServicesFactory()
{
    static HMODULE module = LoadLibraryW(L"Msftedit.dll");
    static auto create =
        module ? reinterpret_cast<CreateTextServicesFn>(GetProcAddress(module, "CreateTextServices")) : nullptr;
    return create;
}

} // namespace

// The host side of the text services: answers their questions from the control's fields.
// Everything that would need a window of its own (caret, scroll bars, capture) is declined.
class RichTextHost : public ITextHost {
public:
    explicit RichTextHost(MRichEdit* owner) : m_owner(owner)
    {
        ZeroMemory(&m_cf, sizeof(m_cf));
        m_cf.cbSize = sizeof(m_cf);
        m_cf.dwMask = CFM_COLOR | CFM_FACE | CFM_SIZE;
        m_cf.crTextColor = owner->GetRichTextColor();
        m_cf.yHeight = owner->GetFontWidth() * 15; // pixels to twips at 96 dpi
        wcsncpy(m_cf.szFaceName, owner->GetFontName(), LF_FACESIZE - 1);
        ZeroMemory(&m_pf, sizeof(m_pf));
        m_pf.cbSize = sizeof(m_pf);
        m_pf.dwMask = PFM_ALIGNMENT;
        m_pf.wAlignment = PFA_LEFT;
    }
    void Detach() { m_owner = nullptr; }
    bool changed = false;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    // ITextHost
    HDC TxGetDC() override { return nullptr; }
    INT TxReleaseDC(HDC) override { return 1; }
    WINBOOL TxShowScrollBar(INT, WINBOOL) override { return FALSE; }
    WINBOOL TxEnableScrollBar(INT, INT) override { return FALSE; }
    WINBOOL TxSetScrollRange(INT, LONG, INT, WINBOOL) override { return FALSE; }
    WINBOOL TxSetScrollPos(INT, INT, WINBOOL) override { return FALSE; }
    void TxInvalidateRect(LPCRECT, WINBOOL) override
    {
        if (m_owner)
            m_owner->UpdateControl(1);
    }
    void TxViewChange(WINBOOL) override {}
    WINBOOL TxCreateCaret(HBITMAP, INT, INT) override { return FALSE; }
    WINBOOL TxShowCaret(WINBOOL) override { return FALSE; }
    WINBOOL TxSetCaretPos(INT, INT) override { return FALSE; }
    WINBOOL TxSetTimer(UINT, UINT) override { return FALSE; }
    void TxKillTimer(UINT) override {}
    void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) override {}
    void TxSetCapture(WINBOOL) override {}
    void TxSetFocus() override {}
    void TxSetCursor(HCURSOR cursor, WINBOOL) override { ::SetCursor(cursor); }
    WINBOOL TxScreenToClient(LPPOINT) override { return FALSE; }
    WINBOOL TxClientToScreen(LPPOINT) override { return FALSE; }
    HRESULT TxActivate(LONG* old) override
    {
        if (old)
            *old = 0;
        return S_OK;
    }
    HRESULT TxDeactivate(LONG) override { return S_OK; }
    HRESULT TxGetClientRect(LPRECT rect) override
    {
        if (!m_owner)
            return E_FAIL;
        *rect = m_owner->GetRect();
        return S_OK;
    }
    HRESULT TxGetViewInset(LPRECT inset) override
    {
        SetRectEmpty(inset);
        return S_OK;
    }
    HRESULT TxGetCharFormat(const CHARFORMATW** cf) override
    {
        *cf = &m_cf;
        return S_OK;
    }
    HRESULT TxGetParaFormat(const PARAFORMAT** pf) override
    {
        *pf = &m_pf;
        return S_OK;
    }
    COLORREF TxGetSysColor(int index) override { return GetSysColor(index); }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override
    {
        *style = TXTBACK_TRANSPARENT;
        return S_OK;
    }
    HRESULT TxGetMaxLength(DWORD* length) override
    {
        *length = m_owner ? static_cast<DWORD>(std::max(m_owner->GetLimitText(), 0)) : 0;
        return S_OK;
    }
    HRESULT TxGetScrollBars(DWORD* bars) override
    {
        *bars = m_owner ? static_cast<DWORD>(m_owner->GetWindowStyle()) & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL) : 0;
        return S_OK;
    }
    HRESULT TxGetPasswordChar(TCHAR* ch) override
    {
        *ch = 0;
        return S_FALSE;
    }
    HRESULT TxGetAcceleratorPos(LONG* pos) override
    {
        *pos = -1;
        return S_OK;
    }
    HRESULT TxGetExtent(LPSIZEL) override { return E_NOTIMPL; }
    HRESULT OnTxCharFormatChange(const CHARFORMATW*) override { return S_OK; }
    HRESULT OnTxParaFormatChange(const PARAFORMAT*) override { return S_OK; }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override
    {
        DWORD b = 0;
        if (m_owner) {
            const long style = m_owner->GetWindowStyle();
            if (style & ES_MULTILINE)
                b |= TXTBIT_MULTILINE;
            if (m_owner->IsReadOnly())
                b |= TXTBIT_READONLY;
        }
        *bits = b & mask;
        return S_OK;
    }
    HRESULT TxNotify(DWORD notify, void*) override
    {
        if (notify == EN_CHANGE)
            changed = true;
        return S_OK;
    }
    HIMC TxImmGetContext() override { return nullptr; }
    void TxImmReleaseContext(HIMC) override {}
    HRESULT TxGetSelectionBarWidth(LONG* width) override
    {
        *width = 0;
        return S_OK;
    }

private:
    virtual ~RichTextHost() = default;
    MRichEdit* m_owner; // not owned; cleared when the owner goes away
    ULONG m_refs = 1;
    CHARFORMATW m_cf;
    PARAFORMAT m_pf;
};

MRichEdit::MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled)
    : MPanel(parent, id, rect, visible), m_tip(tipText)
{
    m_enabled = enabled;
    m_state = enabled ? 0 : 3;
}

MRichEdit::~MRichEdit()
{
    if (m_services) {
        m_services->Release();
        m_services = nullptr;
    }
    if (m_host) {
        m_host->Detach();
        m_host->Release();
        m_host = nullptr;
    }
}

void MRichEdit::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_host)
        return;
    CreateTextServicesFn create = TextServicesFactory();
    if (!create)
        return;
    m_host = new RichTextHost(this);
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, m_host, &unknown)) || !unknown)
        return;
    void* services = nullptr;
    unknown->QueryInterface(kIIDTextServices, &services);
    unknown->Release();
    m_services = static_cast<ITextServices*>(services);
    if (!m_services)
        return;
    m_services->TxSetText(m_title.c_str());
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
}

LRESULT MRichEdit::TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (!m_services)
        return 0;
    LRESULT result = 0;
    m_services->TxSendMessage(msg, wparam, lparam, &result);
    return result;
}

int MRichEdit::GetTextLength()
{
    if (!m_services)
        return m_title.GetLength();
    return static_cast<int>(TxSendMessage(WM_GETTEXTLENGTH, 0, 0));
}

void MRichEdit::SetSel(long start, long end) { TxSendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }

void MRichEdit::ReplaceSel(const wchar_t* text)
{
    TxSendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text ? text : L""));
    if (m_services) {
        BSTR all = nullptr;
        if (SUCCEEDED(m_services->TxGetText(&all)) && all) {
            m_title = CString(all);
            SysFreeString(all);
        }
    }
    UpdateControl(1);
}

void MRichEdit::SetLimitText(int limit)
{
    m_limitText = limit;
    TxSendMessage(EM_EXLIMITTEXT, 0, limit);
}

void MRichEdit::SetReadOnly(int readOnly)
{
    m_readOnly = readOnly != 0;
    TxSendMessage(EM_SETREADONLY, m_readOnly ? TRUE : FALSE, 0);
}

void MRichEdit::SetTipInfo(const wchar_t* tip)
{
    m_tip = CString(tip);
    UpdateControl(1);
}

void MRichEdit::SetControlTitle(const wchar_t* title)
{
    MPanel::SetControlTitle(title);
    if (m_services)
        m_services->TxSetText(m_title.c_str());
}

LRESULT MRichEdit::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (id == 1 && code == MN_POSITION && m_services)
        TxSendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(wparam)), 0);
    return MPanel::OnMessage(id, code, wparam, lparam);
}

void MRichEdit::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(1);
}

int MRichEdit::SetControlFocus(int focus)
{
    MPanel::SetControlFocus(focus);
    if (!m_enabled)
        return 0;
    m_focused = focus ? 1 : 0;
    if (m_services)
        TxSendMessage(focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    SetState(focus ? 2 : 0);
    return 1;
}

int MRichEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    if (!m_readOnly)
        SetControlFocus(1);
    SendMessage(MN_PRESSED, 0, 0);
    return 1;
}

int MRichEdit::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    SendMessage(MN_CLICKED, 0, 0);
    return 1;
}

CRect MRichEdit::GetTextArea() const
{
    return CRect(m_rect.left + m_padding.left, m_rect.top + m_padding.top, m_rect.right - m_padding.right,
                 m_rect.bottom - m_padding.bottom);
}

void MRichEdit::DrawFace(HDC& dc, int w, int h)
{
    {
        MBitsGraphics bitsGraphics(m_cacheBits, w, h);
        if (bitsGraphics.ok())
            DrawImageState(*bitsGraphics, CRect(0, 0, w, h), std::min(std::max(m_state, 0), 3), m_corner);
    }
    const bool tip = m_title.IsEmpty();
    const CString& text = tip ? m_tip : m_title;
    if (text.IsEmpty())
        return;
    CRect area = GetTextArea();
    area.OffsetRect(-m_rect.left, -m_rect.top);
    const UINT format = (m_style & ES_MULTILINE) ? (DT_WORDBREAK | DT_EDITCONTROL) : (DT_SINGLELINE | DT_VCENTER);
    MRender::DrawTextW(dc, area, text, tip ? 0x808080 : m_richTextColor, GetGDIFont(), format);
    GdiFlush();
}

void MRichEdit::DrawControl(HDC& dc, CRect clip)
{
    // A panel has no face; this box has one, cached like any control's.
    MControl::DrawControl(dc, clip);
}
