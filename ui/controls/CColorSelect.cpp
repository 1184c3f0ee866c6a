#include "CColorSelect.h"

#include "CColorButton.h"

namespace {

const unsigned long kPresets[CColorSelect::kSwatchCount] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                                             0xFF00FF, 0xFFFF00, 0xFFFFFF};

} // namespace

CColorSelect::CColorSelect(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible) {}

void CColorSelect::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_swatches[0])
        return;
    for (int i = 0; i < kSwatchCount; ++i) {
        auto* swatch = new CColorButton(this, kFirstSwatchId + i, CRect(), 1, m_enabled);
        swatch->SetGroupName(L"clr_palette_group");
        swatch->SetColor(kPresets[i]);
        swatch->SetVisibleBorder(i == kSwatchCount - 1);
        m_swatches[i] = swatch;
        AddControl(swatch);
    }
    LayoutSwatches();
}

void CColorSelect::LayoutSwatches()
{
    for (int i = 0; i < kSwatchCount; ++i)
        if (m_swatches[i])
            m_swatches[i]->SetRect(CRect(m_rect.left, m_rect.top + 5 + 25 * i, m_rect.left + 20, m_rect.top + 25 + 25 * i));
}

void CColorSelect::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    LayoutSwatches();
}

CColorButton* CColorSelect::GetSwatch(int index) const
{
    return index >= 0 && index < kSwatchCount ? m_swatches[index] : nullptr;
}

void CColorSelect::SetColorIndex(int index)
{
    if (index == -1) {
        for (CColorButton* swatch : m_swatches)
            if (swatch)
                swatch->SetControlCheck(0);
        return;
    }
    if (CColorButton* swatch = GetSwatch(index))
        swatch->SetCheck(1);
}

LRESULT CColorSelect::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (code == MN_PRESSED && id >= kFirstSwatchId && id < kFirstSwatchId + kSwatchCount) {
        for (int i = 0; i < kSwatchCount; ++i) {
            CColorButton* swatch = m_swatches[i];
            if (!swatch || !swatch->GetCheck())
                continue;
            if (swatch->GetColor() != 0)
                SendMessage(MN_COLOR_PICKED, static_cast<WPARAM>(i), static_cast<LPARAM>(swatch->GetColor()));
            break;
        }
    }
    return MPanel::OnMessage(id, code, wparam, lparam);
}

int CColorSelect::OnControlScroll(int, UINT, CPoint) { return 1; }
