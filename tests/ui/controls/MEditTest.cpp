// The edit box: its native "FSEditWindow" shown over the text rect while editing, the codes
// of a click, of typing (real keyboard input) and of ending, read-only and number-only
// boxes, and the face with its grey tip text.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/controls/CEditWnd.h"
#include "ui/controls/MEdit.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const UINT kEditId = 10;
const CRect kEditRect(20, 20, 220, 50);
const CPoint kElsewhere(280, 200); // on the probe control below

// A shown, active dialog with one edit box and a probe control to click away to.
struct EditWindow {
    TestDialog dlg;
    HWND hwnd = nullptr;
    MEdit* edit = nullptr;

    explicit EditWindow(const std::function<void(MEdit&)>& setup = nullptr)
    {
        dlg.build = [&](TestDialog& d, CRect) {
            edit = dynamic_cast<MEdit*>(d.CreateControl(L"MEdit", kEditId, kEditRect, L"tip", 1, 1));
            d.AddControl(new ProbeControl(static_cast<MObject*>(&d), 11, CRect(250, 180, 310, 230)));
        };
        hwnd = dlg.CreateHidden(320, 240, 100, 100);
        if (edit && setup)
            setup(*edit);
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
        Pump(50);
    }
    ~EditWindow()
    {
        if (IsWindow(hwnd))
            dlg.DestroyWindow();
    }
    void Click(CPoint pt)
    {
        Mouse(hwnd, WM_MOUSEMOVE, pt.x, pt.y);
        Mouse(hwnd, WM_LBUTTONDOWN, pt.x, pt.y, MK_LBUTTON);
        Mouse(hwnd, WM_LBUTTONUP, pt.x, pt.y);
        Pump(20);
    }
    HWND Native() const { return FindWindowExW(hwnd, nullptr, CEditWnd::kClassName, nullptr); }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> out;
        for (const auto& n : dlg.notes)
            if (n.id == kEditId)
                out.push_back(n.code);
        return out;
    }
    long Count(UINT code) const
    {
        const auto codes = Codes();
        return static_cast<long>(std::count(codes.begin(), codes.end(), code));
    }
    bool Has(UINT code) const { return Count(code) > 0; }
};

// Types the keys as real keyboard input.
void Type(const char* keys)
{
    std::vector<INPUT> inputs;
    for (const char* k = keys; *k; ++k) {
        const WORD vk = static_cast<WORD>(*k >= 'a' && *k <= 'z' ? *k - 'a' + 'A' : *k);
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = vk;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

TEST(Edit, ClickTypeAndClickAwayEditAndCommitTheText)
{
    EditWindow w;
    ASSERT_NE(w.edit, nullptr);
    w.Click(CPoint(60, 35));
    EXPECT_TRUE(w.Has(MN_PRESSED));
    EXPECT_TRUE(w.Has(MN_EDIT_START));
    EXPECT_EQ(w.Count(MN_EDIT_START), 1);
    HWND native = w.Native();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(IsWindowVisible(native));
    RECT r;
    GetWindowRect(native, &r);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(CRect(r), w.edit->GetTextRect());
    EXPECT_EQ(CRect(r), CRect(28, 28, 212, 42)) << "a 14-pixel band centred, 8 in from each side";
    EXPECT_EQ(GetFocus(), native);
    EXPECT_EQ(w.edit->IsEditFocused(), 1);

    Type("abc");
    EXPECT_TRUE(PumpUntil([&] { return w.edit->GetEditText() == L"abc"; }));
    EXPECT_TRUE(w.Has(MN_EDIT_CHANGED));
    EXPECT_FALSE(w.Has(MN_EDIT_END));

    w.Click(kElsewhere);
    EXPECT_TRUE(w.Has(MN_EDIT_END));
    EXPECT_EQ(w.Count(MN_EDIT_END), 1)
        << "one end per editing";
    EXPECT_STREQ(w.edit->GetTitle(), L"abc");
    EXPECT_FALSE(IsWindowVisible(native));
    EXPECT_EQ(w.edit->GetEditText(), L"abc");

    w.Click(CPoint(60, 35)); // a second edit reuses the window, text kept
    EXPECT_EQ(w.Native(), native);
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(w.edit->GetEditText(), L"abc");
    EXPECT_STREQ(w.edit->GetControlTitle(), L"abc") << "asking for the title ends editing";
    EXPECT_FALSE(IsWindowVisible(native));
}

TEST(Edit, ReadOnlyBoxNotifiesWithoutANativeWindow)
{
    EditWindow w([](MEdit& e) { e.SetReadOnly(1); });
    ASSERT_NE(w.edit, nullptr);
    w.Click(CPoint(60, 35));
    EXPECT_EQ(w.Codes(), (std::vector<UINT>{MN_PRESSED, MN_CLICKED}));
    EXPECT_EQ(w.Native(), nullptr);
}

TEST(Edit, NumberOnlyBoxTakesDigitsAndTheLimitHolds)
{
    EditWindow w([](MEdit& e) {
        e.SetNumberOnly(1);
        e.SetLimitText(3);
    });
    ASSERT_NE(w.edit, nullptr);
    w.Click(CPoint(60, 35));
    ASSERT_NE(w.Native(), nullptr);
    Type("a1b2c34");
    EXPECT_TRUE(PumpUntil([&] { return w.edit->GetEditText() == L"123"; }));
    Pump(50);
    EXPECT_EQ(w.edit->GetEditText(), L"123");
}

namespace {

// Brightest channel of the pixels inside a rect.
uint32_t Brightest(const Canvas& c, const CRect& r)
{
    uint32_t best = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = c.Rgb(x, y);
            best = std::max({best, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
        }
    return best;
}

} // namespace

TEST(Edit, EmptyBoxShowsItsTipInGreyAndTextInItsColour)
{
    RecordingOwner owner;
    MEdit edit(&owner, 1, CRect(0, 0, 200, 30), L"WWWW", 1, 1);
    const CRect text = edit.GetTextRect();
    Canvas canvas(200, 30, 0x000000);
    edit.Draw(canvas.dc(), CRect(0, 0, 200, 30));
    const uint32_t tip = Brightest(canvas, text);
    EXPECT_GE(tip, 0x60u) << "the tip is drawn";
    EXPECT_LE(tip, 0x88u) << "in grey 0x808080";

    edit.SetTitle(L"WWWW");
    edit.SetUpdate(0, 0);
    canvas.Fill(0x000000);
    edit.Draw(canvas.dc(), CRect(0, 0, 200, 30));
    EXPECT_GE(Brightest(canvas, text), 0xE0u) << "the title in white";
    EXPECT_STREQ(edit.GetTipInfo(), L"WWWW");
}
