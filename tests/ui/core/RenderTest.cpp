// Drawing into memory DIBs over known backgrounds: areas and transitions, nine-grid
// frames, state frames, rounded rectangles, text, the image cache, GIF frames, image
// lists, fonts and the window background.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "ToolkitTestSupport.h"
#include "support/TestPaths.h"

using namespace toolkit_test;

namespace {

// Fixture colours (tests/ui/fixtures/make_fixtures.py).
const uint32_t kFrameRgb[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
const uint32_t kNineRgb[9] = {0xC80000, 0x00C800, 0x0000C8, 0xC8C800, 0x00C8C8,
                              0xC800C8, 0x643200, 0x006432, 0x320064};

// A control whose face is its skin image: frame `frame` over the whole rect (corner 0).
class FrameProbe : public MControlFont {
public:
    FrameProbe(MObject* parent, CRect rect) : MControlFont(parent, 1, rect, L"", 1, 1, 1) {}
    void DrawControl(HDC& dc, CRect) override
    {
        Gdiplus::Graphics g(dc);
        drawn = DrawImageState(g, m_rect, frame, 0);
    }
    void RenderSlots(HDC& dc, const CRect& textRect = CRect()) { RenderFrameSlots(dc, 4, 10, textRect); }
    int frame = 0;
    int drawn = -1;
};

} // namespace

// ---------------------------------------------------------------- areas and transitions

TEST(AreaDrawing, TransparencyDirectionAndFrame)
{
    struct Sample {
        int x, y;
        uint32_t rgb;
    };
    struct Case {
        const char* what;
        std::function<void(CArea&)> setup;
        std::vector<Sample> samples;
    };
    // Area (0, 0, 100, 100) over black, filled white unless said otherwise.
    const std::vector<Case> cases = {
        {"80/80 blends at 51", [](CArea& a) { a.SetTransparent(80, 80, 0xFFFFFF); }, {{50, 50, 0x333333}}},
        {"fill colour value is red in the low byte", [](CArea& a) { a.SetTransparent(0, 0, RGB(10, 20, 30)); },
         {{50, 50, 0x0A141E}, {0, 0, 0x0A141E}, {99, 99, 0x0A141E}}},
        {"0 to 100 fades top to bottom", [](CArea& a) { a.SetTransparent(0, 100, 0xFFFFFF); },
         {{50, 0, 0xFFFFFF}, {50, 50, 0x7F7F7F}, {50, 99, 0x020202}}},
        {"100 to 0 fades bottom to top", [](CArea& a) { a.SetTransparent(100, 0, 0xFFFFFF); },
         {{50, 0, 0x000000}, {50, 99, 0xFCFCFC}}},
        {"horizontal 0 to 100 fades left to right",
         [](CArea& a) {
             a.SetDirection(0);
             a.SetTransparent(0, 100, 0xFFFFFF);
         },
         {{0, 50, 0xFFFFFF}, {99, 50, 0x020202}}},
        {"opaque with a frame",
         [](CArea& a) {
             a.SetTransparent(0, 0, RGB(0, 0, 255));
             a.SetFrame(1, Gdiplus::Color(255, 0, 255, 0));
         },
         {{0, 50, 0x00FF00}, {99, 0, 0x00FF00}, {1, 1, 0x0000FF}, {50, 50, 0x0000FF}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(120, 120, 0x000000);
        CArea area(nullptr, 1, CRect(0, 0, 100, 100), 1, 1);
        c.setup(area);
        area.Draw(canvas.dc(), CRect(0, 0, 120, 120));
        for (const Sample& s : c.samples)
            EXPECT_TRUE(RgbNear(canvas.Rgb(s.x, s.y), s.rgb)) << c.what << " at " << s.x << "," << s.y;
        EXPECT_EQ(canvas.Rgb(110, 110), 0u) << c.what << ": nothing outside the area";
    }
}

TEST(AreaDrawing, CachedFaceIsReusedUntilARebuild)
{
    Canvas canvas(50, 50, 0x000000);
    CArea area(nullptr, 1, CRect(0, 0, 50, 50), 1, 1);
    area.SetTransparent(50, 50, 0xFFFFFF);
    area.Draw(canvas.dc(), CRect(0, 0, 50, 50));
    const uint32_t first = canvas.Rgb(25, 25);
    area.Draw(canvas.dc(), CRect(0, 0, 50, 50)); // cached: not blended a second time
    EXPECT_EQ(canvas.Rgb(25, 25), first);
    area.SetUpdate(0, 0);
    area.Draw(canvas.dc(), CRect(0, 0, 50, 50)); // rebuilt over what is below now
    EXPECT_GT(canvas.Rgb(25, 25) & 0xFF, first & 0xFF);
}

TEST(Transition, AlphaPerLine)
{
    struct Case {
        int i, n, from, to, alpha;
    } cases[] = {
        {0, 10, 80, 80, 51},   {9, 10, 80, 80, 51},  {0, 100, 0, 100, 255}, {99, 100, 0, 100, 2},
        {0, 100, 100, 0, 0},   {99, 100, 100, 0, 252}, {5, 10, 20, 60, 153}, {0, 0, 0, 100, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MRender::TransitionAlpha(c.i, c.n, c.from, c.to), c.alpha)
            << c.i << "/" << c.n << " " << c.from << "->" << c.to;
}

TEST(Transition, ZeroSizesAndRatiosDrawNothing)
{
    Canvas canvas(40, 40, 0x102030);
    Canvas white(40, 40, 0xFFFFFF);
    CRect empty(10, 10, 10, 30), flat(10, 10, 30, 10), src(0, 0, 20, 20);
    MRender::DrawVerticalTransition(canvas.dc(), white.dc(), empty, src, 0, 100);
    MRender::DrawVerticalTransition(canvas.dc(), white.dc(), flat, src, 0, 100);
    MRender::DrawHorizontalTransition(canvas.dc(), white.dc(), empty, src, 0, 100);
    MRender::DrawHorizontalTransition(canvas.dc(), white.dc(), flat, src, 0, 100);
    {
        Gdiplus::Graphics g(canvas.dc());
        MRender::DrawRoundRectange(g, 5, 5, 30, 30, 0.0f, 0xFFFFFFFF);
        MRender::DrawRoundRectange(g, 5, 5, 0, 30, 2.0f, 0xFFFFFFFF);
        MRender::DrawRoundRectange(g, 5, 5, 30, 0, 2.0f, 0xFFFFFFFF, 2.0f, true, 0xFFFFFFFF);
    }
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 40; x += 3)
            ASSERT_EQ(canvas.Rgb(x, y), 0x102030u) << x << "," << y;
}

TEST(RoundedRectangle, FillsInsideTheCornersAndOutlines)
{
    Canvas canvas(120, 80, 0x000000);
    {
        Gdiplus::Graphics g(canvas.dc());
        MRender::DrawRoundRectange(g, 10, 10, 100, 60, 2.0f, 0xFF2040FF);
    }
    EXPECT_TRUE(RgbNear(canvas.Rgb(60, 40), 0x2040FF)) << "centre";
    EXPECT_TRUE(RgbNear(canvas.Rgb(60, 12), 0x2040FF)) << "middle of the top edge";
    EXPECT_EQ(canvas.Rgb(11, 11), 0u) << "the corner is cut";
    EXPECT_EQ(canvas.Rgb(108, 68), 0u);

    Canvas outlined(120, 80, 0x000000);
    {
        Gdiplus::Graphics g(outlined.dc());
        MRender::DrawRoundRectange(g, 10, 10, 100, 60, 2.0f, 0xFFFFFFFF, 3.0f, false, 0);
    }
    EXPECT_TRUE(RgbNear(outlined.Rgb(60, 10), 0xFFFFFF, 40)) << "pen on the top edge";
    EXPECT_EQ(outlined.Rgb(60, 40), 0u) << "not filled";
}

// ---------------------------------------------------------------- images

TEST(NineGrid, EachPieceLandsWhereItBelongs)
{
    PaintManager pm;
    ImgResInfo* info = pm.AddImgResInfo(SkinName(L"ninegrid.png").c_str(), 1);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->frameWidth, 30);
    Canvas canvas(140, 120, 0x000000);
    {
        Gdiplus::Graphics g(canvas.dc());
        MRender::DrawImageFrame(g, info->image, CRect(10, 10, 130, 110), 0, 0, 30, 30, 10);
    }
    const int xs[3] = {15, 70, 125}, ys[3] = {15, 60, 105};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_TRUE(RgbNear(canvas.Rgb(xs[col], ys[row]), kNineRgb[row * 3 + col]))
                << "piece " << row << "," << col;
    EXPECT_EQ(canvas.Rgb(5, 5), 0u);
    EXPECT_EQ(canvas.Rgb(135, 115), 0u);

    // Separate margins: a 20-pixel left column, the rest from the centre piece.
    Canvas mid(140, 120, 0x000000);
    {
        Gdiplus::Graphics g(mid.dc());
        MRender::DrawImageFrameMID(g, info->image, CRect(0, 0, 140, 120), 0, 0, 30, 30, 10, 10, 10, 10);
    }
    EXPECT_TRUE(RgbNear(mid.Rgb(5, 60), kNineRgb[3]));
    EXPECT_TRUE(RgbNear(mid.Rgb(70, 5), kNineRgb[1]));
}

TEST(ImageCache, FilesAreSplitOnceAndBadCountsAreTamed)
{
    PaintManager pm;
    RecordingOwner owner;
    FrameProbe a(&owner, CRect(0, 0, 40, 20)), b(&owner, CRect(0, 0, 40, 20));
    a.SetManager(&pm);
    b.SetManager(&pm);
    const std::wstring frames = SkinName(L"frames4.png");
    ASSERT_EQ(a.SetImage(frames.c_str(), 4), 1);
    ASSERT_EQ(b.SetImage(frames.c_str(), 2), 1);
    EXPECT_EQ(a.GetImageSize(), CSize(20, 20));
    EXPECT_EQ(b.GetImageSize(), CSize(20, 20)) << "the first split stays in force";
    EXPECT_EQ(b.GetImageCount(), 4);
    EXPECT_EQ(a.GetImage(), b.GetImage()) << "one decoded image per file and window";
    EXPECT_STREQ(a.GetImagePath(), frames.c_str());

    // The same file under another name is another entry: count 0 counts as 1.
    const std::wstring other = L"..\\..\\fixtures\\.\\frames4.png";
    ImgResInfo* whole = pm.AddImgResInfo(other.c_str(), 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->count, 1);
    EXPECT_EQ(whole->frameWidth, 80);

    // More frames than pixels: frame width 0 and nothing is drawn.
    FrameProbe c(&owner, CRect(0, 0, 40, 20));
    c.SetManager(&pm);
    ASSERT_EQ(c.SetImage(L"..\\..\\fixtures\\..\\fixtures\\frames4.png", 100), 1);
    EXPECT_EQ(c.GetImageSize().cx, 0);
    Canvas canvas(40, 20, 0x123456);
    c.Draw(canvas.dc(), CRect(0, 0, 40, 20));
    EXPECT_EQ(c.drawn, 0);
    EXPECT_EQ(canvas.Rgb(10, 10), 0x123456u);

    // Missing files are not cached and leave the control without image.
    EXPECT_EQ(pm.AddImgResInfo(L"no-such-image.png", 4), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(L"no-such-image.png", 4), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(L"", 4), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(nullptr, 4), nullptr);
}

TEST(ImageCache, ToolkitResourcesAndTheirSplit)
{
    PaintManager pm;
    ImgResInfo* v = pm.AddImgResInfo(102, L"PNG", 4, 0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->frameWidth, 7);
    EXPECT_EQ(v->frameHeight, 239);
    EXPECT_EQ(pm.AddImgResInfo(102, L"PNG", 1, 0), v) << "cached by id";
    ImgResInfo* h = pm.AddImgResInfo(101, L"PNG", 4, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->frameWidth, 5);
    EXPECT_EQ(h->frameHeight, 20);
    EXPECT_EQ(pm.AddImgResInfo(4711, L"PNG", 4, 0), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(106, L"PNG", 4, 0), nullptr) << "wrong type";
    EXPECT_EQ(pm.AddImgResInfo(102, L"PNG", 4, 1), nullptr) << "not an application resource";
}

TEST(StateFrames, IndexesAreClampedAndNegativeOnesDrawNothing)
{
    PaintManager pm;
    RecordingOwner owner;
    FrameProbe probe(&owner, CRect(0, 0, 30, 30));
    probe.SetManager(&pm);
    ASSERT_EQ(probe.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    struct Case {
        int frame;
        uint32_t rgb;
        int drawn;
    } cases[] = {{0, kFrameRgb[0], 1}, {1, kFrameRgb[1], 1}, {2, kFrameRgb[2], 1},
                 {3, kFrameRgb[3], 1}, {4, kFrameRgb[3], 1}, {99, kFrameRgb[3], 1},
                 {-1, 0x203040, 0}};
    for (const Case& c : cases) {
        Canvas canvas(30, 30, 0x203040);
        probe.frame = c.frame;
        probe.Draw(canvas.dc(), CRect(0, 0, 30, 30));
        EXPECT_EQ(probe.drawn, c.drawn) << "frame " << c.frame;
        EXPECT_TRUE(RgbNear(canvas.Rgb(15, 15), c.rgb)) << "frame " << c.frame;
    }
}

TEST(StateFrames, FourSlotsHoldTheFourFramesOverTheBackground)
{
    PaintManager pm;
    RecordingOwner owner;
    FrameProbe probe(&owner, CRect(10, 10, 50, 40));
    probe.SetManager(&pm);
    ASSERT_EQ(probe.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    Canvas canvas(60, 60, 0x000000);
    probe.RenderSlots(canvas.dc());
    HDC cache = probe.GetMemDC();
    ASSERT_NE(cache, nullptr);
    for (int i = 0; i < 4; ++i) {
        // A 20-pixel frame cut by corner 10 is all corners: sample one of them.
        const COLORREF c = GetPixel(cache, i * 40 + 5, 5);
        const uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        EXPECT_TRUE(RgbNear(rgb, kFrameRgb[i])) << "slot " << i;
    }
    EXPECT_EQ(probe.GetUpdate(), 1);
}

TEST(GifFrames, FramesAreCountedAndSelected)
{
    PaintManager pm;
    ImgResInfo* gif = pm.AddImgResInfo(SkinName(L"anim.gif").c_str(), 4);
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(MRender::GetFrameCount(gif->image), 3u);
    const uint32_t expected[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000};
    for (UINT frame = 0; frame < 4; ++frame) {
        ASSERT_EQ(MRender::SelectFrame(gif->image, frame), 1);
        Canvas canvas(16, 16, 0x000000);
        Gdiplus::Graphics g(canvas.dc());
        g.DrawImage(gif->image, 0, 0, 16, 16);
        g.Flush(Gdiplus::FlushIntentionSync);
        EXPECT_TRUE(RgbNear(canvas.Rgb(8, 8), expected[frame])) << "frame " << frame << " (wraps)";
    }
    ImgResInfo* png = pm.AddImgResInfo(SkinName(L"frames4.png").c_str(), 4);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(MRender::GetFrameCount(png->image), 1u);
    EXPECT_EQ(MRender::GetFrameCount(nullptr), 0u);
}

TEST(ImageList, InsertBoundsFramesAndLookups)
{
    MImageList list;
    const std::wstring frames = FixturePath(L"frames4.png"), nine = FixturePath(L"ninegrid.png");
    EXPECT_EQ(list.AddImage(FixturePath(L"missing.png").c_str(), 1, 1), -1);
    EXPECT_EQ(list.AddImage(frames.c_str(), 10, 4), 0);
    EXPECT_EQ(list.InsertImage(2, nine.c_str(), 20, 1), -1) << "past the end";
    EXPECT_EQ(list.InsertImage(-2, nine.c_str(), 20, 1), -1);
    EXPECT_EQ(list.InsertImage(0, nullptr, 20, 1), -1);
    EXPECT_EQ(list.InsertImage(0, nine.c_str(), 20, 0), 0);
    EXPECT_EQ(list.InsertImage(-1, nine.c_str(), 30, 1), 2) << "-1 appends";
    EXPECT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(list.GetImagePathByID(10), CString(frames));
    EXPECT_EQ(list.GetImagePath(0), CString(nine));
    ASSERT_NE(list.GetImageDataByID(10), nullptr);
    EXPECT_EQ(list.GetImageDataByID(10)->frameWidth, 20);
    EXPECT_EQ(list.GetItemImageData(0)->count, 1) << "count 0 counts as 1";
    EXPECT_EQ(list.GetImageDataByID(99), nullptr);

    Canvas canvas(40, 40, 0x000000);
    {
        Gdiplus::Graphics g(canvas.dc());
        list.DrawItemIcon(&g, CRect(0, 0, 20, 20), 1, 9);    // clamped to the last frame
        list.DrawItemIcon(&g, CRect(20, 0, 40, 20), 1);      // the first frame
        list.DrawItemIcon(&g, CRect(0, 20, 20, 40), 1, -1);  // nothing
        list.DrawItemIcon(&g, CRect(20, 20, 40, 40), 7, 0);  // no such item
    }
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 10), kFrameRgb[3]));
    EXPECT_TRUE(RgbNear(canvas.Rgb(30, 10), kFrameRgb[0]));
    EXPECT_EQ(canvas.Rgb(10, 30), 0u);
    EXPECT_EQ(canvas.Rgb(30, 30), 0u);
    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
}

// ---------------------------------------------------------------- text and fonts

TEST(Fonts, PrivateFamiliesAndTheManagerFontName)
{
    PaintManager pm;
    const std::wstring fixture = FixturePath(L"fixture.ttf");
    Gdiplus::FontFamily* family = pm.AddTempFont(L"Arial", fixture.c_str());
    ASSERT_NE(family, nullptr);
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    EXPECT_STREQ(name, L"ZuntFixture Mono");
    EXPECT_EQ(pm.FindTempFont(L"anything"), family) << "the Manager font name decides";

    EXPECT_EQ(pm.AddTempFont(L"Broken", FixturePath(L"frames4.png").c_str()), nullptr) << "not a font";
    EXPECT_EQ(pm.AddTempFont(L"Missing", FixturePath(L"none.ttf").c_str()), nullptr);
    EXPECT_NE(pm.AddTempFont(L"Embedded", 106u), nullptr) << "the toolkit's own font resource";

    const CString saved(Manager::GetFontName());
    Manager::SetFontName(L"ZuntNoSuchFamily");
    EXPECT_EQ(pm.FindTempFont(L"Arial"), nullptr);
    EXPECT_EQ(pm.FindTempFont(L"Arial"), nullptr) << "still none when asked again";
    Gdiplus::FontFamily* late = pm.AddTempFont(L"ZuntNoSuchFamily", fixture.c_str());
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(pm.FindTempFont(nullptr), late) << "a family registered later is found";
    Manager::SetFontName(saved);
    pm.ClearTempFont();
    Gdiplus::FontFamily* installed = pm.FindTempFont(L"Arial");
    if (installed) {
        installed->GetFamilyName(name);
        EXPECT_STRNE(name, L"ZuntFixture Mono") << "after clearing, the installed family";
    }
}

TEST(Fonts, InitRegistersTheProgramsFontFileAndTheEmbeddedFont)
{
    const std::wstring folder = testsupport::ExeFolder() + L"\\font";
    const std::wstring file = folder + L"\\Arial.ttf";
    DeleteFileW(file.c_str()); // a run that crashed may have left it
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(FixturePath(L"fixture.ttf").c_str(), file.c_str(), FALSE));
    struct Cleanup {
        std::wstring file, folder;
        ~Cleanup()
        {
            DeleteFileW(file.c_str());
            RemoveDirectoryW(folder.c_str());
        }
    } cleanup{file, folder};

    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(), nullptr);
    Gdiplus::FontFamily* family = dlg.GetPaintManager().FindTempFont(L"Arial");
    ASSERT_NE(family, nullptr);
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    EXPECT_STREQ(name, L"ZuntFixture Mono");

    // The embedded font resource registers with GDI; an id without a font does not.
    EXPECT_EQ(dlg.GetPaintManager().AddGDITempFont(106), 1);
    EXPECT_EQ(dlg.GetPaintManager().AddGDITempFont(4711), 0);
    dlg.DestroyWindow();
}

TEST(Text, MeasuredAndDrawnInTheControlsColourAndAlignment)
{
    PaintManager pm;
    ASSERT_NE(pm.AddTempFont(L"Arial", FixturePath(L"fixture.ttf").c_str()), nullptr);
    Gdiplus::FontFamily* family = pm.FindTempFont(nullptr);
    Gdiplus::Font font(family, 20.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    const CSize one = MRender::GetTextBounds(font, CString(L"W"));
    const CSize three = MRender::GetTextBounds(font, CString(L"WWW"));
    EXPECT_GT(one.cx, 5);
    EXPECT_GT(three.cx, 2 * one.cx);
    const double line = family->GetLineSpacing(0) * 20.0 / family->GetEmHeight(0);
    const int whole = static_cast<int>(line);
    EXPECT_EQ(three.cy, whole + (line > whole ? 4 : 1));

    RecordingOwner owner;
    FrameProbe probe(&owner, CRect(0, 0, 200, 40));
    probe.SetManager(&pm);
    probe.SetFont(L"", 20, Gdiplus::FontStyleRegular);
    probe.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
    for (UINT align : {0u, 2u}) {
        probe.SetAlignment(align);
        Canvas canvas(200, 40, 0x000000);
        {
            Gdiplus::Graphics g(canvas.dc());
            probe.DrawTitleText(g, L"WWW", CRect(0, 0, 200, 40), 0xFF00FF00);
        }
        int left = 0, right = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x)
                if (canvas.Rgb(x, y) != 0) {
                    EXPECT_EQ(canvas.Rgb(x, y) & 0xFF00FF, 0u) << "only the text colour";
                    (x < 100 ? left : right) += 1;
                }
        if (align == 0) {
            EXPECT_GT(left, 0);
            EXPECT_EQ(right, 0);
        } else {
            EXPECT_EQ(left, 0);
            EXPECT_GT(right, 0);
        }
    }
}

// ---------------------------------------------------------------- window background

TEST(WindowBackground, ColourBorderAndImageModes)
{
    TestDialog dlg;
    ASSERT_NE(dlg.CreateHidden(100, 80), nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    Canvas canvas(100, 80, 0x000000);

    pm.SetBackColor(RGB(1, 2, 250), RGB(250, 2, 1));
    ASSERT_EQ(pm.Render(canvas.dc(), CRect(0, 0, 100, 80)), 1);
    EXPECT_TRUE(RgbNear(canvas.Rgb(0, 40), 0xFA0201)) << "border";
    EXPECT_TRUE(RgbNear(canvas.Rgb(99, 79), 0xFA0201));
    EXPECT_TRUE(RgbNear(canvas.Rgb(50, 40), 0x0102FA)) << "inside";

    ASSERT_EQ(pm.LoadBKImage(CString(SkinName(L"background.png"))), 1);
    canvas.Fill(0x000000);
    pm.Render(canvas.dc(), CRect(0, 0, 100, 80));
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 15), 0x0A78E6)) << "natural size at the origin";
    EXPECT_TRUE(RgbNear(canvas.Rgb(70, 60), 0x000000)) << "not stretched";

    pm.SetBackMode(BACKMODE_FRAME, 4);
    pm.Render(canvas.dc(), CRect(0, 0, 100, 80));
    EXPECT_TRUE(RgbNear(canvas.Rgb(70, 60), 0x0A78E6)) << "nine-grid over the client";
    EXPECT_EQ(pm.LoadBKImage(CString(L"missing.png")), 0) << "a missing image keeps the old one";
    dlg.DestroyWindow();
}

TEST(Bitmaps, SavedBitmapReadsBack)
{
    Canvas canvas(8, 4, 0x336699);
    HBITMAP bmp = static_cast<HBITMAP>(GetCurrentObject(canvas.dc(), OBJ_BITMAP));
    const std::wstring folder = testsupport::MakeTempFolder(L"zuntui-bmp");
    const std::wstring path = folder + L"\\saved.bmp";
    ASSERT_EQ(MRender::SaveBitmapToFile(bmp, CString(path)), 1);
    {
        Gdiplus::Bitmap loaded(path.c_str());
        ASSERT_EQ(loaded.GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(loaded.GetWidth(), 8u);
        Gdiplus::Color c;
        loaded.GetPixel(3, 2, &c);
        EXPECT_TRUE(RgbNear(c.GetValue() & 0xFFFFFF, 0x336699));
    }
    EXPECT_EQ(MRender::SaveBitmapToFile(nullptr, CString(path)), 0);
    EXPECT_EQ(MRender::SaveBitmapToFile(bmp, CString(folder + L"\\no\\such\\folder.bmp")), 0);
    testsupport::RemoveTree(folder);
}

TEST(WindowBackground, RepaintingOneRectNeverBlendsOverTheLastFrame)
{
    TestDialog dlg;
    dlg.build = [](TestDialog& d, CRect) {
        auto* a = static_cast<CArea*>(d.CreateArea(L"CArea", 1, CRect(10, 10, 50, 50)));
        a->SetTransparent(50, 50, RGB(255, 255, 255));
    };
    ASSERT_NE(dlg.CreateHidden(100, 80), nullptr);
    PaintManager& pm = dlg.GetPaintManager();
    Canvas canvas(100, 80, 0x000000);
    pm.Render(canvas.dc(), CRect(0, 0, 100, 80));
    const uint32_t first = canvas.Rgb(30, 30);
    for (int i = 0; i < 3; ++i) {
        dlg.GetControl(1)->UpdateControl(1); // rebuilt over what lies below it
        canvas.Fill(0x000000);
        pm.Render(canvas.dc(), CRect(10, 10, 50, 50));
        EXPECT_EQ(canvas.Rgb(30, 30), first) << "round " << i;
        EXPECT_EQ(canvas.Rgb(70, 30), 0u) << "only the asked rect reaches the target";
    }
    dlg.DestroyWindow();
}

TEST(Bitmaps, GdiOutputBecomesOpaqueExceptBlackAndOutsideTheRect)
{
    Canvas canvas(20, 10, 0x000000);
    BYTE* bits = nullptr;
    HBITMAP bmp = MRender::CreateARGB32Bitmap(canvas.dc(), 20, 10, &bits);
    ASSERT_NE(bmp, nullptr);
    DWORD* px = reinterpret_cast<DWORD*>(bits);
    auto at = [&](int x, int y) -> DWORD& { return px[static_cast<size_t>(9 - y) * 20 + x]; };
    at(1, 1) = 0x00102030; // drawn by GDI: alpha 0
    at(2, 1) = 0x00000000; // black stays transparent
    at(3, 1) = 0x80404040; // already has alpha
    at(15, 1) = 0x00102030; // outside the rect
    MRender::OpaqueGdiPixels(bits, 20, 10, CRect(0, 0, 10, 10));
    EXPECT_EQ(at(1, 1), 0xFF102030u);
    EXPECT_EQ(at(2, 1), 0x00000000u);
    EXPECT_EQ(at(3, 1), 0x80404040u);
    EXPECT_EQ(at(15, 1), 0x00102030u);
    MRender::OpaqueGdiPixels(bits, 20, 10, CRect(-5, -5, 50, 50)); // clipped to the bitmap
    EXPECT_EQ(at(15, 1), 0xFF102030u);
    DeleteObject(bmp);
}

TEST(StateFrames, TitleIsCentredGreyedWhenDisabledAndShiftedWhenPressed)
{
    PaintManager pm;
    ASSERT_NE(pm.AddTempFont(L"Arial", FixturePath(L"fixture.ttf").c_str()), nullptr);
    RecordingOwner owner;
    FrameProbe probe(&owner, CRect(0, 0, 60, 30));
    probe.SetManager(&pm);
    probe.SetTitle(L"HH");
    probe.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);

    // Bounding box of the text pixels of slot i (and the colours seen there).
    struct Box {
        CRect r;
        std::set<uint32_t> colours;
    };
    auto boxes = [&](const CRect& textRect) {
        Canvas canvas(60, 30, 0x000000);
        probe.SetUpdate(0, 0);
        probe.RenderSlots(canvas.dc(), textRect);
        std::vector<Box> out(4);
        HDC cache = probe.GetMemDC();
        for (int i = 0; i < 4; ++i) {
            Box& b = out[static_cast<size_t>(i)];
            b.r = CRect(1000, 1000, -1, -1);
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 60; ++x) {
                    const COLORREF c = GetPixel(cache, i * 60 + x, y);
                    if ((c & 0xFFFFFF) == 0)
                        continue;
                    b.colours.insert(c & 0xFFFFFF);
                    b.r.SetRect(std::min<int>(b.r.left, x), std::min<int>(b.r.top, y), std::max<int>(b.r.right, x + 1),
                                std::max<int>(b.r.bottom, y + 1));
                }
        }
        return out;
    };

    std::vector<Box> slots = boxes(CRect());
    ASSERT_FALSE(slots[0].colours.empty()) << "the title is drawn";
    // Edges may be smoothed: the strongest pixel is the text colour, every pixel a grey.
    EXPECT_EQ(*slots[0].colours.rbegin(), 0xFFFFFFu);
    EXPECT_EQ(*slots[3].colours.rbegin(), 0x808080u) << "disabled: grey";
    for (uint32_t c : slots[3].colours)
        EXPECT_TRUE((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16)) << std::hex << c;
    EXPECT_EQ(slots[1].r, slots[0].r);
    CRect pressed = slots[0].r;
    pressed.OffsetRect(1, 1);
    EXPECT_EQ(slots[2].r, pressed) << "pressed: one pixel right and down";
    EXPECT_NEAR(slots[0].r.CenterPoint().x, 30, 2) << "centred in the slot";

    std::vector<Box> inRect = boxes(CRect(0, 0, 20, 30));
    EXPECT_NEAR(inRect[0].r.CenterPoint().x, 10, 2) << "centred in the text rect";
    EXPECT_NEAR(inRect[3].r.CenterPoint().x, 10, 2);
}
