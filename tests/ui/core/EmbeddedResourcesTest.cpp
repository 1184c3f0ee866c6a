// The toolkit module carries its scroll-bar skins and font: the resources are found by
// id and type, decode with GDI+ at their documented sizes, and the font registers.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/zuntui_resource.h"

namespace {

struct ResourceCase {
    int id;
    const wchar_t* type;
    int width, height; // 0 for non-images
};

class EmbeddedResources : public testing::TestWithParam<ResourceCase> {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }
    static ULONG_PTR token_;
};
ULONG_PTR EmbeddedResources::token_ = 0;

HMODULE Toolkit() { return LoadLibraryW(L"ZuntUI.dll"); }

} // namespace

TEST_P(EmbeddedResources, FoundDecodedAndSized)
{
    const ResourceCase& c = GetParam();
    HMODULE dll = Toolkit();
    ASSERT_NE(dll, nullptr);
    HRSRC res = FindResourceW(dll, MAKEINTRESOURCEW(c.id), c.type);
    ASSERT_NE(res, nullptr) << "resource " << c.id;
    DWORD size = SizeofResource(dll, res);
    const void* data = LockResource(LoadResource(dll, res));
    ASSERT_NE(data, nullptr);
    ASSERT_GT(size, 0u);

    if (c.width) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(mem), data, size);
        GlobalUnlock(mem);
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(mem, TRUE, &stream), S_OK);
        {
            Gdiplus::Bitmap bmp(stream);
            ASSERT_EQ(bmp.GetLastStatus(), Gdiplus::Ok);
            EXPECT_EQ(static_cast<int>(bmp.GetWidth()), c.width);
            EXPECT_EQ(static_cast<int>(bmp.GetHeight()), c.height);
        }
        stream->Release();
    } else {
        DWORD fonts = 0;
        HANDLE h = AddFontMemResourceEx(const_cast<void*>(data), size, nullptr, &fonts);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(fonts, 1u);
        RemoveFontMemResourceEx(h);
    }
    FreeLibrary(dll);
}

INSTANTIATE_TEST_SUITE_P(Toolkit, EmbeddedResources,
                         testing::Values(ResourceCase{IDR_SCROLL_H, L"PNG", 22, 20},
                                         ResourceCase{IDR_SCROLL_V, L"PNG", 28, 239},
                                         ResourceCase{IDR_FONT_TTF, L"TTF", 0, 0}),
                         [](const testing::TestParamInfo<ResourceCase>& info) {
                             return std::to_string(info.param.id);
                         });
