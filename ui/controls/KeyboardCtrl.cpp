#include "KeyboardCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "CKeyboardTips.h"
#include "MRender.h"
#include "MScroll.h"
#include "MThreadInvoker.h"
#include "Manager.h"
#include "PaintManager.h"

namespace {

const int kDragSlop = 20;     // a drag must leave this distance from the last point to move the frame
const int kMinFrameSide = 6;  // a thinner frame selects nothing
const float kOutlineRatio = 12.0f;
const float kOutlinePen = 2.0f;
const int kMaskMargin = 2;    // the outline pen reaches this far outside the key rect
const DWORD kWhite = 0xFFFFFFFF;
const DWORD kCyan = 0x0000FFFF; // ARGB without alpha
const DWORD kFrameColor = 0xFF4CFF29;

// Rounded x * y / 255 for bytes.
inline DWORD Mul255(DWORD x, DWORD y)
{
    const DWORD t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

// Premultiplied source-over of one pixel (two channels per multiply, rounded like Mul255).
inline DWORD Over(DWORD src, DWORD dst)
{
    const DWORD a = src >> 24;
    if (a == 255)
        return src;
    const DWORD inv = 255 - a;
    DWORD rb = (dst & 0x00FF00FF) * inv + 0x00800080;
    rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    DWORD ag = ((dst >> 8) & 0x00FF00FF) * inv + 0x00800080;
    ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
    return src + rb + ag;
}

// ARGB of a 0x00BBGGRR key colour, opaque.
inline DWORD OpaqueArgb(DWORD bgr)
{
    return 0xFF000000 | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

} // namespace

KeyboardCtrl::KeyboardCtrl(MObject* parent, UINT id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible),
      m_captionFormat(new Gdiplus::StringFormat),
      m_captionBrush(new Gdiplus::SolidBrush(Gdiplus::Color(0xFFFFFFFF))),
      m_shadowBrush(new Gdiplus::SolidBrush(Gdiplus::Color(0xFF505050))),
      m_invoker(new MThreadInvoker)
{
    m_captionFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_captionFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    // The panel's scroll bars are never placed: the keyboard does not scroll.
    m_vbar->SetControlVisible(0);
    m_hbar->SetControlVisible(0);
}

KeyboardCtrl::~KeyboardCtrl()
{
    if (m_manager)
        m_manager->ForgetControl(this); // from here on no periodic tick runs on this control
    delete m_invoker;                   // ticks still queued for the window's thread are dropped
    delete m_tips;
    DeleteKeys();
    delete m_kbImage;
    delete m_captionFormat;
    delete m_captionBrush;
    delete m_shadowBrush;
}

void KeyboardCtrl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    AddMTimer();
    SetControlRect(m_rect);
}

void KeyboardCtrl::DeleteKeys()
{
    MAutoLock guard(m_lock);
    for (KEY_INFO* key : m_keys) {
        delete key->icon;
        delete key;
    }
    m_keys.clear();
}

// ---------------------------------------------------------------- geometry

void KeyboardCtrl::PlaceImage()
{
    m_scale = 1.0;
    m_offsetY = 0;
    m_offsetX = (m_rect.Width() - m_imageW) / 2;
}

void KeyboardCtrl::SetControlRect(CRect rect)
{
    m_rect = rect; // the panel's scroll bars stay where they are (never placed)
    if (!rect.IsRectEmpty() && m_imageW && m_imageH)
        PlaceImage();
    UpdateControl(1);
}

void KeyboardCtrl::SetWidthAndHeight(int w, int h)
{
    m_imageW = w;
    m_imageH = h;
    if (!m_rect.IsRectEmpty())
        PlaceImage();
    m_picture.clear();
    UpdateControl(1);
}

CRect KeyboardCtrl::GetRealRect(CRect keyRect)
{
    keyRect.OffsetRect(m_offsetX, m_offsetY);
    return keyRect;
}

CRect KeyboardCtrl::HitRect(const KEY_INFO& key) const
{
    CRect r = key.rect;
    r.OffsetRect(m_offsetX + m_rect.left, m_offsetY + m_rect.top);
    return r;
}

int KeyboardCtrl::HitTest(CPoint pt)
{
    MAutoLock guard(m_lock);
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (HitRect(*m_keys[i]).PtInRect(pt))
            return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------- keys

int KeyboardCtrl::AddKeyItem(const wchar_t* name, const wchar_t* text, DWORD keyValue, CRect rect, CString iconFile)
{
    auto* key = new KEY_INFO;
    key->keyValue = keyValue;
    key->name = CString(name);
    key->text = CString(text);
    key->rect = rect;
    if (!iconFile.IsEmpty()) {
        key->icon = MRender::LoadImageFromFile(Manager::GetSkinFolder() + iconFile);
        if (key->icon) {
            key->iconWidth = static_cast<int>(key->icon->GetWidth());
            key->iconHeight = static_cast<int>(key->icon->GetHeight());
        }
    }
    MAutoLock guard(m_lock);
    key->index = static_cast<int>(m_keys.size());
    m_keys.push_back(key);
    return key->index;
}

void KeyboardCtrl::ClearItem()
{
    DeleteKeys();
    {
        MAutoLock guard(m_lock);
        m_hoverKey = -1;
        m_selectedKey = -1;
        m_lightData.clear();
        m_frameIndex = 0;
        m_frameCount = 0;
        m_tickCount = 0;
    }
    ResetFrame();
    if (m_tips)
        m_tips->HideTips();
    UpdateControl(1);
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems()
{
    MAutoLock guard(m_lock);
    return m_keys;
}

int KeyboardCtrl::GetKeyCount()
{
    MAutoLock guard(m_lock);
    return static_cast<int>(m_keys.size());
}

KEY_INFO* KeyboardCtrl::FindKey(DWORD key)
{
    for (KEY_INFO* k : m_keys)
        if (k->keyValue == key)
            return k;
    return nullptr;
}

void KeyboardCtrl::SetKeyDesc(DWORD key, CString desc)
{
    MAutoLock guard(m_lock);
    if (KEY_INFO* k = FindKey(key)) {
        k->name = desc;
        k->text = desc;
    }
}

void KeyboardCtrl::SetTipKey(DWORD key, CString title, CString text)
{
    MAutoLock guard(m_lock);
    if (KEY_INFO* k = FindKey(key)) {
        k->tipTitle = title;
        k->tipText = text;
    }
}

void KeyboardCtrl::ResetTipKey()
{
    MAutoLock guard(m_lock);
    for (KEY_INFO* k : m_keys) {
        k->tipTitle.Empty();
        k->tipText.Empty();
    }
}

void KeyboardCtrl::SetKeyCheck(DWORD key, int check)
{
    MAutoLock guard(m_lock);
    if (KEY_INFO* k = FindKey(key))
        k->check = check;
}

void KeyboardCtrl::SetKeyColor(DWORD key, DWORD color)
{
    MAutoLock guard(m_lock);
    if (KEY_INFO* k = FindKey(key))
        k->color = color;
}

DWORD KeyboardCtrl::GetKeyColor(DWORD key)
{
    MAutoLock guard(m_lock);
    KEY_INFO* k = FindKey(key);
    return k ? k->color : 0;
}

int KeyboardCtrl::GetCheckItemCount()
{
    MAutoLock guard(m_lock);
    return static_cast<int>(std::count_if(m_keys.begin(), m_keys.end(), [](const KEY_INFO* k) { return k->check != 0; }));
}

void KeyboardCtrl::ResetAllItemCheck() { ResetAllItemCheck(0); }

void KeyboardCtrl::ResetAllItemCheck(int check)
{
    {
        MAutoLock guard(m_lock);
        for (KEY_INFO* k : m_keys)
            k->check = check;
        m_selectedKey = -1;
    }
    UpdateControl(1);
}

void KeyboardCtrl::ResetAllItemsColor(DWORD color)
{
    {
        MAutoLock guard(m_lock);
        for (KEY_INFO* k : m_keys)
            k->color = color;
    }
    UpdateControl(1);
}

void KeyboardCtrl::SetAllSelectColor(DWORD color)
{
    {
        MAutoLock guard(m_lock);
        for (size_t i = 0; i < m_keys.size(); ++i)
            if (m_keys[i]->check || static_cast<int>(i) == m_selectedKey)
                m_keys[i]->color = color;
    }
    UpdateControl(1);
}

void KeyboardCtrl::SetLightModeColor(int white, DWORD color)
{
    ResetAllItemsColor(white ? 0xFFFFFF : color);
}

void KeyboardCtrl::SetSelectItem(int index)
{
    MAutoLock guard(m_lock);
    if (index < -1 || index >= static_cast<int>(m_keys.size()))
        return; // a stale index would be read on the next mouse move
    m_selectedKey = index;
}

// ---------------------------------------------------------------- looks and modes

void KeyboardCtrl::SetKeyboardImage(CString file)
{
    Gdiplus::Image* image = file.IsEmpty() ? nullptr : MRender::LoadImageFromFile(Manager::GetSkinFolder() + file);
    delete m_kbImage;
    m_kbImage = image;
    m_picture.clear();
    UpdateControl(1);
}

void KeyboardCtrl::SetKeyboardCtrlMode(int mode)
{
    {
        MAutoLock guard(m_lock);
        m_mode = mode;
    }
    UpdateControl(1);
}

void KeyboardCtrl::SetLightModeData(const BYTE* data, int length)
{
    {
        MAutoLock guard(m_lock);
        if (data && length > 0)
            m_lightData.assign(data, data + length);
        else
            m_lightData.clear();
        m_frameIndex = 0;
        const int keys = static_cast<int>(m_keys.size());
        m_frameCount = length > 0 && keys > 0 ? length / keys : 0;
    }
    UpdateControl(1);
}

void KeyboardCtrl::SetLightSpeed(int speed)
{
    static const int kTicks[] = {5, 4, 3, 2};
    MAutoLock guard(m_lock);
    m_ticksPerFrame = speed >= 0 && speed <= 3 ? kTicks[speed] : 1;
}

void KeyboardCtrl::SetMusicBrightness(int brightness)
{
    {
        MAutoLock guard(m_lock);
        if (brightness == m_musicBrightness)
            return;
        for (KEY_INFO* k : m_keys)
            k->color = 0xFFFF00;
        m_musicBrightness = brightness;
    }
    UpdateControl(1);
}

void KeyboardCtrl::SetCustomColor(DWORD color) { m_customColor = color; }

BYTE KeyboardCtrl::GetLightBrightness(int index)
{
    MAutoLock guard(m_lock);
    if (m_frameCount <= 0 || index < 0)
        return 255;
    const size_t at = static_cast<size_t>(m_frameIndex) * m_keys.size() + static_cast<size_t>(index);
    return at < m_lightData.size() ? m_lightData[at] : 255;
}

// ---------------------------------------------------------------- interaction

void KeyboardCtrl::EnableFrameSelect(int enable) { m_frameSelect = enable; }

void KeyboardCtrl::EnableKBTips(bool enable)
{
    m_tipsEnabled = enable;
    if (!enable && m_tips)
        m_tips->HideTips();
}

void KeyboardCtrl::SetControlVisible(int visible)
{
    MPanel::SetControlVisible(visible);
    if (!visible && m_tips)
        m_tips->HideTips();
}

void KeyboardCtrl::ResetFrame()
{
    m_frameShown = false;
    m_pressPt = CPoint();
    m_currentPt = CPoint();
}

bool KeyboardCtrl::Animating()
{
    MAutoLock guard(m_lock);
    return m_controlFlag && m_mode == KB_MODE_LIGHT && m_frameCount > 0;
}

void KeyboardCtrl::CalFrameSelect()
{
    CRect frame(std::min(m_pressPt.x, m_currentPt.x), std::min(m_pressPt.y, m_currentPt.y),
                std::max(m_pressPt.x, m_currentPt.x), std::max(m_pressPt.y, m_currentPt.y));
    if (frame.Width() < kMinFrameSide || frame.Height() < kMinFrameSide)
        frame.SetRectEmpty();
    MAutoLock guard(m_lock);
    for (KEY_INFO* k : m_keys)
        k->check = HitRect(*k).Intersects(frame) ? 1 : 0;
}

void KeyboardCtrl::SetTips()
{
    if (!m_tipsEnabled)
        return;
    CString line1, line2, line3;
    CRect hit;
    {
        MAutoLock guard(m_lock);
        if (m_hoverKey < 0 || m_hoverKey >= static_cast<int>(m_keys.size())) {
            if (m_tips)
                m_tips->HideTips();
            return;
        }
        const KEY_INFO& key = *m_keys[m_hoverKey];
        hit = HitRect(key);
        line1 = key.text;
        if (!key.tipTitle.IsEmpty() || !key.tipText.IsEmpty()) {
            line2 = key.tipTitle;
            line3 = key.tipText;
        } else {
            line2 = m_title;
            line3 = key.text;
        }
    }
    HWND owner = m_manager ? m_manager->GetPaintWnd() : nullptr;
    if (!owner)
        return;
    if (!m_tips) {
        m_tips = new CKeyboardTips;
        m_tips->CreateTips(owner);
    }
    POINT anchor = {(hit.left + hit.right) / 2, hit.top};
    ClientToScreen(owner, &anchor);
    m_tips->SetAirBladderMsg(line1, line2, line3, anchor.x, anchor.y);
    m_tips->ShowTips();
}

int KeyboardCtrl::OnControlMouseMove(UINT flags, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (m_frameSelect && (flags & (MK_LBUTTON | MK_RBUTTON)) && inside) {
        if (std::abs(pt.x - m_currentPt.x) <= kDragSlop && std::abs(pt.y - m_currentPt.y) <= kDragSlop)
            return 1;
        m_currentPt = pt;
        m_frameShown = true;
        CalFrameSelect();
        UpdateControl(1);
        return 1;
    }
    const int oldHover = m_hoverKey;
    if (inside) {
        bool still;
        {
            MAutoLock guard(m_lock);
            still = m_hoverKey >= 0 && m_hoverKey < static_cast<int>(m_keys.size()) &&
                    HitRect(*m_keys[m_hoverKey]).PtInRect(pt);
        }
        if (still) {
            SetTips();
            return 1;
        }
        m_hoverKey = HitTest(pt);
        if (m_hoverKey >= 0)
            SetTips();
        else if (m_tips)
            m_tips->HideTips();
    } else {
        m_hoverKey = -1;
        if (m_tips)
            m_tips->HideTips();
    }
    // Only the custom face marks the hovered key; a running animation repaints anyway.
    if (m_hoverKey != oldHover && m_mode == KB_MODE_CUSTOM && !Animating())
        UpdateControl(1);
    return inside ? 1 : 0;
}

int KeyboardCtrl::OnControlLButtonDown(UINT, CPoint pt)
{
    bool rebuild = false;
    if (m_frameShown) {
        m_frameShown = false;
        rebuild = true;
    }
    const bool inside = m_rect.PtInRect(pt) != 0;
    const int oldSelected = m_selectedKey;
    if (inside) {
        m_pressPt = pt;
        m_currentPt = pt;
        m_selectedKey = m_hoverKey;
    } else {
        ResetFrame();
    }
    if (m_selectedKey != oldSelected && !Animating())
        rebuild = true;
    if (rebuild)
        UpdateControl(1);
    return inside ? 1 : 0;
}

int KeyboardCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    bool rebuild = false;
    if (m_frameShown) {
        ResetFrame();
        rebuild = true;
    }
    if (!m_rect.PtInRect(pt)) {
        if (rebuild)
            UpdateControl(1);
        return 0;
    }
    m_currentKeyValue = 0;
    int index = -1;
    DWORD value = 0;
    {
        MAutoLock guard(m_lock);
        if (m_selectedKey >= 0 && m_selectedKey < static_cast<int>(m_keys.size())) {
            KEY_INFO& key = *m_keys[m_selectedKey];
            index = m_selectedKey;
            value = key.keyValue;
            m_currentKeyValue = value;
            if (m_mode == KB_MODE_USER_LIGHT) {
                key.color = key.color ? 0 : m_customColor;
                rebuild = true;
            }
        }
    }
    if (rebuild)
        UpdateControl(1);
    SendMessage(MN_CLICKED, static_cast<WPARAM>(static_cast<UINT>(index)), static_cast<LPARAM>(value));
    return 1;
}

int KeyboardCtrl::OnControlRButtonDown(UINT, CPoint pt)
{
    if (!m_frameSelect)
        return 0;
    if (!m_rect.PtInRect(pt)) {
        ResetFrame();
        return 0;
    }
    // The drag distance counts from the press (the current point may be left from an
    // earlier drag).
    m_pressPt = pt;
    m_currentPt = pt;
    return 1;
}

int KeyboardCtrl::OnControlRButtonUp(UINT, CPoint pt)
{
    if (m_frameShown) {
        ResetFrame();
        SendMessage(MN_FRAME_SELECT, 0, 0);
        UpdateControl(1);
        return 1;
    }
    if (!m_rect.PtInRect(pt))
        return 0;
    const int oldSelected = m_selectedKey;
    int index = -1;
    DWORD value = 0;
    {
        MAutoLock guard(m_lock);
        if (m_hoverKey >= 0 && m_hoverKey < static_cast<int>(m_keys.size())) {
            index = m_hoverKey;
            value = m_keys[index]->keyValue;
        }
        m_selectedKey = index;
    }
    m_currentKeyValue = value;
    SendMessage(MN_RCLICK, static_cast<WPARAM>(static_cast<UINT>(index)), static_cast<LPARAM>(value));
    if (m_selectedKey != oldSelected)
        UpdateControl(1);
    return 1;
}

// ---------------------------------------------------------------- periodic tick

int KeyboardCtrl::OnControlTimer()
{
    if (m_invoker->IsOwnerThread())
        return Tick();
    // The multimedia timer thread: the step itself runs on the window's thread. Nothing is
    // queued when the tick would change nothing (the control is already ticking and no
    // animation runs), and never more than one tick at a time: a busy window thread slows
    // the animation down instead of piling ticks up.
    if (m_controlFlag) {
        if (!m_visible)
            return 0;
        MAutoLock guard(m_lock);
        if (m_mode != KB_MODE_LIGHT || m_frameCount <= 0)
            return 0;
    }
    if (!m_tickQueued.exchange(true)) {
        if (!m_invoker->Post([this] {
                m_tickQueued = false;
                Tick();
            }))
            m_tickQueued = false;
    }
    return 0;
}

int KeyboardCtrl::Tick()
{
    m_controlFlag = 1;
    if (!m_visible)
        return 0;
    bool stepped = false;
    {
        MAutoLock guard(m_lock);
        if (m_mode != KB_MODE_LIGHT || m_frameCount <= 0)
            return 0;
        if (++m_tickCount >= std::max(m_ticksPerFrame, 1)) {
            m_frameIndex = (m_frameIndex + 1) % m_frameCount;
            m_tickCount = 0;
            stepped = true;
        }
    }
    if (stepped)
        UpdateControl(1);
    return stepped ? 1 : 0;
}

// ---------------------------------------------------------------- drawing

void KeyboardCtrl::DrawControl(HDC& dc, CRect clip)
{
    MControl::DrawControl(dc, clip);
    if (m_mode != KB_MODE_CUSTOM || !m_frameShown)
        return;
    // The rubber band goes straight onto the window, over the cached face.
    Gdiplus::Graphics g(dc);
    Gdiplus::Pen pen(Gdiplus::Color(kFrameColor), 2.0f);
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    const int l = std::min(m_pressPt.x, m_currentPt.x), t = std::min(m_pressPt.y, m_currentPt.y);
    g.DrawRectangle(&pen, l, t, std::abs(m_currentPt.x - m_pressPt.x), std::abs(m_currentPt.y - m_pressPt.y));
}

void KeyboardCtrl::DrawFace(HDC&, int cx, int cy)
{
    MAutoLock guard(m_lock);
    switch (m_mode) {
    case KB_MODE_NONE:
        DrawNoneMode(cx, cy);
        break;
    case KB_MODE_CUSTOM:
        DrawCustomMode(cx, cy);
        break;
    case KB_MODE_LIGHT:
        DrawLightMode(cx, cy);
        break;
    case KB_MODE_USER_LIGHT:
        DrawUserLightMode(cx, cy);
        break;
    case KB_MODE_MUSIC:
        DrawMusicMode(cx, cy);
        break;
    default:
        break; // the background alone
    }
}

void KeyboardCtrl::DrawNoneMode(int cx, int cy)
{
    for (const KEY_INFO* k : m_keys) {
        CRect r = GetRealRect(k->rect);
        r.DeflateRect(1);
        MRender::FillPixels(m_cacheBits, cx, cy, r, 0xFF000000);
    }
    Gdiplus::FontFamily* family = GetFontFamily(Manager::GetFontName());
    MBitsGraphics surface(m_cacheBits, cx, cy);
    if (!surface.ok())
        return;
    Gdiplus::Graphics& g = *surface;
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::Font* font = family ? new Gdiplus::Font(family, static_cast<Gdiplus::REAL>(m_scale * 10.0), m_fontStyle,
                                                     Gdiplus::UnitPixel)
                                 : nullptr;
    for (const KEY_INFO* k : m_keys) {
        const CRect key = GetRealRect(k->rect);
        CRect box = key;
        box.DeflateRect(1);
        if (k->icon) {
            if (k->name.IsEmpty()) {
                g.DrawImage(k->icon, key.left + (key.Width() - k->iconWidth) / 2,
                            key.top + (key.Height() - k->iconHeight) / 2, k->iconWidth, k->iconHeight);
            } else {
                box.bottom -= 20;
                g.DrawImage(k->icon, key.left + (key.Width() - k->iconWidth) / 2, key.bottom - 20, k->iconWidth,
                            k->iconHeight);
            }
        }
        if (!font || k->name.IsEmpty())
            continue;
        Gdiplus::RectF shadow(static_cast<float>(box.left + 1), static_cast<float>(box.top + 1),
                              static_cast<float>(box.Width()), static_cast<float>(box.Height()));
        g.DrawString(k->name.c_str(), k->name.GetLength(), font, shadow, m_captionFormat, m_shadowBrush);
        Gdiplus::RectF text(static_cast<float>(box.left), static_cast<float>(box.top),
                            static_cast<float>(box.Width()), static_cast<float>(box.Height()));
        g.DrawString(k->name.c_str(), k->name.GetLength(), font, text, m_captionFormat, m_captionBrush);
    }
    delete font;
}

void KeyboardCtrl::DrawCustomMode(int cx, int cy)
{
    if (!DrawKeyboardPicture(cx, cy))
        return;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const int index = static_cast<int>(i);
        if (m_keys[i]->check || index == m_hoverKey || index == m_selectedKey)
            DrawOutline(cx, cy, GetRealRect(m_keys[i]->rect), kWhite);
    }
}

void KeyboardCtrl::DrawLightMode(int cx, int cy)
{
    if (!DrawKeyboardPicture(cx, cy))
        return;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const DWORD brightness = GetLightBrightness(static_cast<int>(i));
        DrawOutline(cx, cy, GetRealRect(m_keys[i]->rect), (brightness << 24) | kCyan);
    }
}

void KeyboardCtrl::DrawUserLightMode(int cx, int cy)
{
    if (!DrawKeyboardPicture(cx, cy))
        return;
    for (const KEY_INFO* k : m_keys)
        DrawOutline(cx, cy, GetRealRect(k->rect), OpaqueArgb(k->color));
}

void KeyboardCtrl::DrawMusicMode(int cx, int cy)
{
    DrawUserLightMode(cx, cy); // the same face: each key outlined in its colour
}

void KeyboardCtrl::PreparePicture()
{
    m_picture.clear();
    m_opaqueRuns.clear();
    m_pictureW = m_imageW > 0 ? m_imageW : static_cast<int>(m_kbImage->GetWidth());
    m_pictureH = m_imageH > 0 ? m_imageH : static_cast<int>(m_kbImage->GetHeight());
    if (m_pictureW <= 0 || m_pictureH <= 0)
        return;
    m_picture.assign(static_cast<size_t>(m_pictureW) * m_pictureH, 0);
    {
        Gdiplus::Bitmap target(m_pictureW, m_pictureH, m_pictureW * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(m_picture.data()));
        Gdiplus::Graphics g(&target);
        g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        // Source rectangle (0, 0, width, height) of the picture, unscaled.
        g.DrawImage(m_kbImage, Gdiplus::Rect(0, 0, m_pictureW, m_pictureH), 0, 0, m_pictureW, m_pictureH,
                    Gdiplus::UnitPixel);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    // A keyboard picture is opaque but for its rounded outer edge: each row is mostly one
    // opaque run that can be copied instead of blended.
    m_opaqueRuns.resize(static_cast<size_t>(m_pictureH));
    for (int y = 0; y < m_pictureH; ++y) {
        const DWORD* row = m_picture.data() + static_cast<size_t>(y) * m_pictureW;
        int first = 0;
        while (first < m_pictureW && (row[first] >> 24) != 255)
            ++first;
        int end = first;
        while (end < m_pictureW && (row[end] >> 24) == 255)
            ++end;
        m_opaqueRuns[static_cast<size_t>(y)] = std::make_pair(first, end);
    }
}

bool KeyboardCtrl::DrawKeyboardPicture(int cx, int cy)
{
    if (!m_kbImage || !m_cacheBits)
        return false;
    if (m_picture.empty())
        PreparePicture();
    if (m_picture.empty())
        return true;
    DWORD* pixels = reinterpret_cast<DWORD*>(m_cacheBits);
    const int x0 = std::max(0, -m_offsetX), x1 = std::min(m_pictureW, cx - m_offsetX);
    if (x0 >= x1)
        return true;
    auto blend = [](const DWORD* src, DWORD* dst, int from, int to) {
        for (int x = from; x < to; ++x)
            if (src[x] >> 24)
                dst[x] = Over(src[x], dst[x]);
    };
    for (int y = 0; y < m_pictureH; ++y) {
        const int row = m_offsetY + y;
        if (row < 0 || row >= cy)
            continue;
        DWORD* dst = pixels + static_cast<size_t>(cy - 1 - row) * cx + m_offsetX; // bottom-up rows
        const DWORD* src = m_picture.data() + static_cast<size_t>(y) * m_pictureW;
        const int first = std::min(std::max(m_opaqueRuns[static_cast<size_t>(y)].first, x0), x1);
        const int end = std::min(std::max(m_opaqueRuns[static_cast<size_t>(y)].second, first), x1);
        blend(src, dst, x0, first);
        std::copy(src + first, src + end, dst + first);
        blend(src, dst, end, x1);
    }
    return true;
}

const std::vector<KeyboardCtrl::OutlinePixel>& KeyboardCtrl::OutlineMask(int w, int h)
{
    auto it = m_masks.find(std::make_pair(w, h));
    if (it != m_masks.end())
        return it->second;
    const int mw = w + 2 * kMaskMargin, mh = h + 2 * kMaskMargin;
    std::vector<DWORD> surface(static_cast<size_t>(mw) * mh, 0);
    {
        Gdiplus::Bitmap target(mw, mh, mw * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(surface.data()));
        Gdiplus::Graphics g(&target);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        MRender::DrawRoundRectange(g, static_cast<float>(kMaskMargin), static_cast<float>(kMaskMargin),
                                   static_cast<float>(w), static_cast<float>(h), kOutlineRatio, kWhite, kOutlinePen,
                                   false, 0);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    std::vector<OutlinePixel> mask;
    for (int y = 0; y < mh; ++y)
        for (int x = 0; x < mw; ++x)
            if (const BYTE cover = static_cast<BYTE>(surface[static_cast<size_t>(y) * mw + x] >> 24))
                mask.push_back(OutlinePixel{x - kMaskMargin, y - kMaskMargin, cover});
    return m_masks.emplace(std::make_pair(w, h), std::move(mask)).first->second;
}

void KeyboardCtrl::DrawOutline(int cx, int cy, const CRect& keyRect, DWORD argb)
{
    const DWORD alpha = argb >> 24;
    const int w = keyRect.Width(), h = keyRect.Height();
    if (!alpha || w <= 0 || h <= 0)
        return;
    // The outline is drawn once per key size into a coverage mask; every key of that size
    // is then the mask in its colour, composited as the pen would be.
    const DWORD r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const bool inside = keyRect.left >= kMaskMargin && keyRect.top >= kMaskMargin &&
                        keyRect.right + kMaskMargin <= cx && keyRect.bottom + kMaskMargin <= cy;
    DWORD* pixels = reinterpret_cast<DWORD*>(m_cacheBits);
    DWORD lastCover = 256, src = 0;
    for (const OutlinePixel& p : OutlineMask(w, h)) {
        const int x = keyRect.left + p.x, y = keyRect.top + p.y;
        if (!inside && (x < 0 || x >= cx || y < 0 || y >= cy))
            continue;
        if (p.cover != lastCover) { // runs of equal coverage share the source pixel
            lastCover = p.cover;
            const DWORD a = Mul255(alpha, p.cover);
            src = (a << 24) | (Mul255(r, a) << 16) | (Mul255(g, a) << 8) | Mul255(b, a);
        }
        if (!(src >> 24))
            continue;
        DWORD& d = pixels[static_cast<size_t>(cy - 1 - y) * cx + x]; // bottom-up rows
        d = Over(src, d);
    }
}
