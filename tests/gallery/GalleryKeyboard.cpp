// The keyboard control with the 84-key model of our layouts file: custom mode with a
// selected key, three checked keys and the tip balloon over a hovered key; below it the
// first two rows in light mode, one frame of the preview.
#include "Gallery.h"

#include <string>
#include <vector>

#include "tests/support/LayoutKeys.h"
#include "ui/controls/ZuntControls.h"

namespace {

const int kPreviewHeight = 122; // the light-mode strip shows the top of the picture
KeyboardCtrl* g_board = nullptr;
CPoint g_hoverPoint;

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

KeyboardCtrl* MakeBoard(GalleryContext& g, const testsupport::LayoutKeys& layout, CRect rect, int height)
{
    auto* kb = dynamic_cast<KeyboardCtrl*>(g.Create(L"KeyboardCtrl", rect));
    if (!kb)
        return nullptr;
    kb->SetKeyboardImage((L"keyboard\\" + layout.image).c_str());
    kb->SetWidthAndHeight(layout.width, height);
    for (const auto& k : layout.keys)
        kb->AddKeyItem(k.name.c_str(), k.desc.c_str(), k.code, CRect(k.x, k.y, k.x + k.w, k.y + k.h), k.icon.c_str());
    return kb;
}

const testsupport::LayoutKeys& Layout()
{
    static const testsupport::LayoutKeys layout = testsupport::ReadLayoutKeys(ExeFolder() + L"\\layouts\\q77x.xml");
    return layout;
}

} // namespace

static GallerySection keyboard(
    L"KeyboardCtrl: Q77X, custom mode (selected W, checked A S D, tip over G) / light-mode preview frame", 742,
    314 + 8 + kPreviewHeight,
    [](GalleryContext& g) {
        const testsupport::LayoutKeys& layout = Layout();
        if (layout.keys.empty())
            return;
        g_board = MakeBoard(g, layout, CRect(0, 0, 742, 314), layout.height);
        if (g_board) {
            g_board->SetTitle(L"Q77X");
            g_board->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
            g_board->EnableFrameSelect(1);
            g_board->EnableKBTips(true);
            const std::vector<KEY_INFO*> keys = g_board->GetKeyItems();
            for (size_t i = 0; i < keys.size(); ++i) {
                const CString& name = keys[i]->name;
                if (name == CString(L"A") || name == CString(L"S") || name == CString(L"D"))
                    g_board->SetKeyCheck(keys[i]->keyValue, 1);
                if (name == CString(L"W"))
                    g_board->SetSelectItem(static_cast<int>(i));
                if (name == CString(L"G")) {
                    g_board->SetTipKey(keys[i]->keyValue, L"Macro", L"Copy and paste");
                    CRect r = g_board->GetRealRect(keys[i]->rect);
                    r.OffsetRect(g_board->GetRect().left, g_board->GetRect().top);
                    g_hoverPoint = r.CenterPoint();
                }
            }
            g_board->UpdateControl(1);
        }

        KeyboardCtrl* preview = MakeBoard(g, layout, CRect(0, 322, 742, 322 + kPreviewHeight), kPreviewHeight);
        if (preview) {
            // One frame of a diagonal wave: the brightness rises from left to right.
            const std::vector<KEY_INFO*> keys = preview->GetKeyItems();
            std::vector<BYTE> frame(keys.size());
            for (size_t i = 0; i < keys.size(); ++i)
                frame[i] = static_cast<BYTE>(40 + (keys[i]->rect.left * 215) / (layout.width > 0 ? layout.width : 1));
            preview->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
            preview->SetLightModeData(frame.data(), static_cast<int>(frame.size()));
        }
    },
    [](GalleryContext& g) {
        if (!g_board || (g_hoverPoint.x == 0 && g_hoverPoint.y == 0))
            return;
        // Hover G with the real pointer there, so that no mouse-leave takes the tip away.
        HWND hwnd = g.dialog->GetSafeHwnd();
        POINT screen = g_hoverPoint;
        ClientToScreen(hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(g_hoverPoint.x, g_hoverPoint.y));
    });
