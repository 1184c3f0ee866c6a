#include "MControlFont.h"

#include <algorithm>
#include <cwchar>

#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled,
                           int response)
    : MControl(parent, id, rect, visible, enabled, response),
      m_title(title),
      m_fontName(Manager::GetFontName()),
      m_fontSize(Manager::GetFontWidth())
{
}

MControlFont::~MControlFont()
{
    ClearGDIFont();
    delete m_textBrush;
}

void MControlFont::SetTextFont(const wchar_t* name) { m_fontName = CString(name); }

void MControlFont::SetTextColor(Gdiplus::Color color)
{
    m_textColor = color.GetValue();
    delete m_textBrush;
    m_textBrush = nullptr; // rebuilt with the new colour on next use
}

Gdiplus::SolidBrush* MControlFont::GetTextBrush()
{
    if (!m_textBrush)
        m_textBrush = new Gdiplus::SolidBrush(Gdiplus::Color(m_textColor));
    return m_textBrush;
}

int MControlFont::SetImage(UINT resourceId, CString resourceType, int count)
{
    if (!m_manager)
        return 0;
    ImgResInfo* info = m_manager->AddImgResInfo(resourceId, resourceType, count, 0);
    if (!info)
        return 0;
    m_image = info->image;
    m_frameW = info->frameWidth;
    m_frameH = info->frameHeight;
    m_imageCount = info->count;
    m_imagePath.clear();
    UpdateControl(1);
    return 1;
}

int MControlFont::SetImage(const wchar_t* file, int count)
{
    if (!m_manager || !file || !*file)
        return 0;
    ImgResInfo* info = m_manager->AddImgResInfo(file, count);
    if (!info)
        return 0;
    m_image = info->image;
    m_frameW = info->frameWidth;
    m_frameH = info->frameHeight;
    m_imageCount = info->count;
    m_imagePath = CString(file);
    UpdateControl(1);
    return 1;
}

void MControlFont::SetControlTitle(const wchar_t* title) { m_title = CString(title); }

const wchar_t* MControlFont::GetControlTitle() { return m_title.c_str(); }

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    SetControlTitle(title);
    UpdateControl(1);
}

void MControlFont::SetAlignment(UINT h)
{
    if (h == m_hAlign)
        return;
    m_hAlign = h;
    UpdateControl(1);
}

void MControlFont::SetVAlignment(UINT v)
{
    if (v == m_vAlign)
        return;
    m_vAlign = v;
    UpdateControl(1);
}

void MControlFont::SetAlignment(UINT h, UINT v)
{
    if (h == m_hAlign && v == m_vAlign)
        return;
    m_hAlign = h;
    m_vAlign = v;
    UpdateControl(1);
}

void MControlFont::SetFont(const wchar_t* name, int size, Gdiplus::FontStyle style)
{
    m_fontName = CString(name);
    m_fontSize = size;
    m_fontStyle = style;
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* name)
{
    if (!m_manager)
        return nullptr;
    m_fontFamily = m_manager->FindTempFont(name);
    return m_fontFamily;
}

HFONT MControlFont::GetGDIFont()
{
    if (m_gdiFont)
        return m_gdiFont;
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    // The face name field holds 31 characters and the terminator: longer names are cut.
    wcsncpy(lf.lfFaceName, Manager::GetFontName(), LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    lf.lfHeight = -m_fontSize;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (m_fontStyle & Gdiplus::FontStyleBold)
        lf.lfWeight += 700;
    lf.lfItalic = (m_fontStyle & Gdiplus::FontStyleItalic) ? 1 : 0;
    lf.lfUnderline = (m_fontStyle & Gdiplus::FontStyleUnderline) ? 1 : 0;
    m_gdiFont = CreateFontIndirectW(&lf);
    return m_gdiFont;
}

void MControlFont::ClearGDIFont()
{
    if (m_gdiFont) {
        DeleteObject(m_gdiFont);
        m_gdiFont = nullptr;
    }
}

void MControlFont::SetImageCount(int count) { m_imageCount = std::max(count, 1); }

int MControlFont::DrawImageState(Gdiplus::Graphics& g, const CRect& dest, int frame, int corner)
{
    if (!m_image || m_frameW <= 0 || m_frameH <= 0 || frame < 0)
        return 0;
    frame = std::min(frame, std::max(m_imageCount, 1) - 1);
    MRender::DrawImageFrame(g, m_image, dest, frame * m_frameW, 0, m_frameW, m_frameH, corner);
    return 1;
}

void MControlFont::DrawTitleText(Gdiplus::Graphics& g, const wchar_t* text, const CRect& layout,
                                 Gdiplus::ARGB color, int multiLine)
{
    if (!text || !*text || layout.IsRectEmpty())
        return;
    Gdiplus::FontFamily* family = GetFontFamily(Manager::GetFontName());
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(), static_cast<Gdiplus::REAL>(m_fontSize),
                       m_fontStyle, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(multiLine ? Gdiplus::StringFormatFlagsNoClip | Gdiplus::StringFormatFlagsMeasureTrailingSpaces
                                           : Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    auto align = [](UINT a, UINT centre, UINT farEnd) {
        return a == centre ? Gdiplus::StringAlignmentCenter
                           : a == farEnd ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear;
    };
    format.SetAlignment(align(m_hAlign, 1, 2));
    format.SetLineAlignment(align(m_vAlign, 4, 8));
    g.SetTextRenderingHint(m_renderingHint);
    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(layout.left), static_cast<Gdiplus::REAL>(layout.top),
                       static_cast<Gdiplus::REAL>(layout.Width()), static_cast<Gdiplus::REAL>(layout.Height()));
    if (color == m_textColor) {
        g.DrawString(text, -1, &font, box, &format, GetTextBrush());
    } else {
        Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
        g.DrawString(text, -1, &font, box, &format, &brush);
    }
}

void MControlFont::RenderFrameSlots(HDC& dc, int slots, int corner, const CRect& textRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (!PrepareFaceSlots(dc, slots))
        return;
    MBitsGraphics bitsGraphics(m_cacheBits, w * slots, h);
    if (!bitsGraphics.ok())
        return;
    Gdiplus::Graphics& g = *bitsGraphics;
    UINT h0 = m_hAlign, v0 = m_vAlign;
    m_hAlign = 1;
    m_vAlign = 4;
    for (int i = 0; i < slots; ++i) {
        CRect slot(i * w, 0, (i + 1) * w, h);
        DrawImageState(g, slot, i, corner);
        CRect text = slot;
        if (!textRect.IsRectEmpty()) {
            text = textRect;
            text.OffsetRect(slot.left, 0);
        }
        if (i == 2)
            text.OffsetRect(1, 1);
        DrawTitleText(g, m_title, text, i == 3 ? 0xFF808080 : m_textColor);
    }
    m_hAlign = h0;
    m_vAlign = v0;
}
