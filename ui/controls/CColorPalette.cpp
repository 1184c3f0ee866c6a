#include "CColorPalette.h"

#include <cwctype>

#include "CColorButton.h"
#include "MEdit.h"
#include "MPalette.h"
#include "MSpinButton.h"
#include "MText.h"

namespace {

const unsigned long kPresets[CColorPalette::kPresetCount] = {0x001B55, 0x23A2F9, 0x31FEFE, 0x29FF4C,
                                                              0xFEFF50, 0xFC1517, 0x7F007C, 0xFC00F7};
const wchar_t* const kLabels[4] = {L"R", L"G", L"B", L"#"};

} // namespace

CColorPalette::CColorPalette(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible) {}

CString CColorPalette::HexText(unsigned long color)
{
    CString text;
    text.Format(L"%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

bool CColorPalette::ParseHexText(const wchar_t* text, unsigned long& color)
{
    if (!text || wcslen(text) != 6)
        return false;
    int value[3] = {};
    for (int i = 0; i < 6; ++i) {
        const wchar_t c = text[i];
        if (!iswxdigit(c) || c > 0x7F)
            return false;
        const int digit = c <= L'9' ? c - L'0' : (towupper(c) - L'A' + 10);
        value[i / 2] = value[i / 2] * 16 + digit;
    }
    color = RGB(value[0], value[1], value[2]);
    return true;
}

void CColorPalette::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_palette)
        return;
    const int enabled = m_enabled;
    for (int k = 0; k < kPresetCount; ++k) {
        auto* preset = new CColorButton(this, kFirstPresetId + k, CRect(), 1, enabled);
        preset->SetGroupName(L"clr_palette_group");
        preset->SetColor(kPresets[k]);
        m_presets[k] = preset;
        AddControl(preset);
    }
    m_palette = new MPalette(this, kPaletteId, CRect(), 1);
    AddControl(m_palette);
    m_palette->SetThumbImage(L"img_palette_thumb.png");

    m_preview = new CColorButton(this, kPreviewId, CRect(), 1, enabled);
    m_preview->SetGroupName(L"clr_sel_group");
    m_preview->SetColor(kStartColor);
    m_preview->SetControlCheck(1);
    AddControl(m_preview);

    for (int k = 0; k < 4; ++k) {
        auto* label = new MText(this, kFirstLabelId + k, CRect(), kLabels[k], 1);
        label->SetTextColor(Gdiplus::Color(0xFE050505));
        label->SetAlignment(2);
        m_labels[k] = label;
        AddControl(label);
    }
    for (int k = 0; k < 3; ++k) {
        auto* spin = new MSpinButton(this, kFirstSpinId + k, CRect(), 1, enabled);
        spin->SetRange(0, 255);
        spin->SetCurValue(255);
        m_spins[k] = spin;
        AddControl(spin);
    }
    m_hex = new MEdit(this, kHexEditId, CRect(), L"", 1, enabled);
    m_hex->SetFontWidth(12);
    m_hex->SetEditBKColor(0xDADADA);
    m_hex->SetLimitText(6);
    AddControl(m_hex);

    Layout();
    // Every part starts at the preview's colour.
    ShowInSpins(kStartColor);
    m_palette->SetSelectColor(kStartColor);
    ShowInHexEdit(kStartColor);
}

void CColorPalette::Layout()
{
    if (!m_palette)
        return;
    const int l = m_rect.left, t = m_rect.top, b = m_rect.bottom;
    for (int k = 0; k < kPresetCount; ++k)
        m_presets[k]->SetRect(CRect(l + 25 * k, t + 5, l + 25 * k + 20, t + 25));
    m_palette->SetPalletHeight(b - 4 - (t + 27) - 2);
    m_palette->SetRect(CRect(l, t + 27, l + 233, b - 4));
    m_preview->SetRect(CRect(l + 235, t + 5, l + 320, t + 57));
    for (int k = 0; k < 4; ++k) {
        const int top = t + 62 + 28 * k;
        m_labels[k]->SetRect(CRect(l + 235, top, l + 255, top + 24));
        MControl* field = k < 3 ? static_cast<MControl*>(m_spins[k]) : m_hex;
        field->SetRect(CRect(l + 260, top, l + 320, top + 24));
    }
}

void CColorPalette::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    Layout();
}

CColorButton* CColorPalette::GetPreset(int index) const
{
    return index >= 0 && index < kPresetCount ? m_presets[index] : nullptr;
}

MSpinButton* CColorPalette::GetSpin(int channel) const { return channel >= 0 && channel < 3 ? m_spins[channel] : nullptr; }

unsigned long CColorPalette::GetSelectColor() const { return m_palette ? m_palette->GetSelectColor() : 0; }

void CColorPalette::SetSelectColor(unsigned long color)
{
    if (!m_palette)
        return;
    m_palette->SetSelectColor(color);
    ShowInSpins(color);
    ShowInHexEdit(color);
    if (m_preview && m_preview->GetCheck())
        m_preview->SetColor(color);
}

void CColorPalette::SetThumbImage(const wchar_t* file)
{
    if (m_palette)
        m_palette->SetThumbImage(file);
}

void CColorPalette::SetTextColor(Gdiplus::Color color)
{
    MPanel::SetTextColor(color);
    for (MText* label : m_labels)
        if (label)
            label->SetTextColor(color);
    for (MSpinButton* spin : m_spins)
        if (spin)
            spin->SetTextColor(color);
    if (m_hex)
        m_hex->SetTextColor(color);
}

int CColorPalette::SetImage(const wchar_t* file, int count)
{
    for (MSpinButton* spin : m_spins)
        if (spin)
            spin->SetImage(file, count);
    if (m_hex)
        m_hex->SetImage(file, count);
    return 1;
}

void CColorPalette::UpdateControlEx(int rebuild)
{
    UpdateControl(rebuild);
    for (MControl* c : SnapshotChildren())
        c->UpdateControl(rebuild);
}

int CColorPalette::OnControlScroll(int, UINT, CPoint) { return 1; }

void CColorPalette::ShowInSpins(unsigned long color)
{
    const int channels[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int k = 0; k < 3; ++k)
        if (m_spins[k] && m_spins[k]->GetCurValue() != channels[k])
            m_spins[k]->SetCurValue(channels[k]);
}

void CColorPalette::ShowInHexEdit(unsigned long color)
{
    if (m_hex)
        m_hex->SetTitle(HexText(color));
}

void CColorPalette::Select(unsigned long color)
{
    if (m_preview && m_preview->GetCheck() && m_preview->GetColor() != color)
        m_preview->SetColor(color);
    SendMessage(MN_COLOR_PICKED, 0, static_cast<LPARAM>(color));
}

LRESULT CColorPalette::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (!m_palette)
        return MPanel::OnMessage(id, code, wparam, lparam);
    if (id == kPaletteId && code == MN_COLOR_PICKED) {
        const unsigned long color = m_palette->GetSelectColor();
        ShowInSpins(color);
        ShowInHexEdit(color);
        Select(color);
        return 1; // the palette's own code stays inside
    }
    if (id >= kFirstSpinId && id < kFirstSpinId + 3 && code == MN_SPIN_CHANGED) {
        const unsigned long color =
            RGB(m_spins[0]->GetCurValue(), m_spins[1]->GetCurValue(), m_spins[2]->GetCurValue());
        m_palette->SetSelectColor(color);
        ShowInHexEdit(color);
        Select(color);
    } else if (id == kPreviewId && code == MN_PRESSED) {
        const unsigned long color = m_preview->GetColor();
        ShowInSpins(color);
        m_palette->SetSelectColor(color);
        ShowInHexEdit(color);
        Select(color);
    } else if (id >= kFirstPresetId && id < kFirstPresetId + kPresetCount && code == MN_PRESSED) {
        for (CColorButton* preset : m_presets) {
            if (!preset->GetCheck())
                continue;
            const unsigned long color = preset->GetColor();
            if (color != 0) {
                ShowInSpins(color);
                m_palette->SetSelectColor(color);
                ShowInHexEdit(color);
                Select(color);
            }
            break;
        }
    } else if (id == kHexEditId && code == MN_EDIT_CHANGED) {
        unsigned long color = 0;
        if (!ParseHexText(m_hex->GetEditText(), color))
            return 0; // not a whole colour yet: nothing happens, nothing is passed on
        ShowInSpins(color);
        m_palette->SetSelectColor(color);
        Select(color);
    }
    return MPanel::OnMessage(id, code, wparam, lparam);
}
