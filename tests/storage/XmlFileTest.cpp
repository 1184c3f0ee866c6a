// XmlDocument and files: reading with byte order marks, declared and detected encodings;
// writing in the encoding of the file flags or the declaration; failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "storage/XmlDocument.h"
#include "support/TestPaths.h"

using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

std::string Utf16(const std::wstring& w, bool bigEndian)
{
    std::string s;
    for (wchar_t c : w) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        s += bigEndian ? hi : lo;
        s += bigEndian ? lo : hi;
    }
    return s;
}

std::string Utf8(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Utf32LE(const std::wstring& w)
{
    std::string s;
    for (size_t i = 0; i < w.size(); ++i) {
        uint32_t cp = w[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < w.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        }
        for (int k = 0; k < 4; ++k)
            s += static_cast<char>((cp >> (8 * k)) & 0xFF);
    }
    return s;
}

std::wstring Ansi(const std::string& bytes)
{
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &w[0], n);
    return w;
}

std::string Narrow(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

class XmlFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = testsupport::MakeTempFolder(L"tastro-xmlfile");
        ASSERT_FALSE(m_folder.empty());
    }
    void TearDown() override { testsupport::RemoveTree(m_folder); }
    std::wstring Path(const wchar_t* name) const { return m_folder + L"\\" + name; }

    std::wstring m_folder;
};

const std::wstring kSample = L"<a>\x00E9</a>"; // 8 units, 9 bytes in UTF-8

} // namespace

TEST_F(XmlFile, ReadsEncodings)
{
    const std::wstring decl8 = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const std::wstring declLatin = L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    const std::wstring decl1252 = L"<?xml version=\"1.0\" encoding=\"windows-1252\"?>";
    const std::wstring declSjis = L"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>";
    const std::wstring decl16 = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
    const std::wstring decl32 = L"<?xml version=\"1.0\" encoding=\"UTF-32\"?>";
    const std::wstring smile = L"<a>\xD83D\xDE00</a>";
    const std::string notUtf8 = " <a>\xE9\x80</a>"; // not '<' first, not valid UTF-8
    const std::string ansiPair = " <a>\xC3\xA9\xC3\xE9</a>"; // a lead byte followed by another lead byte

    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
        std::wstring result;
        int flags;
    };
    const Case cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + Utf8(kSample), kSample,
         L"<bom/><read encoding=\"UTF-8\" length=\"9\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>",
         XmlDocument::FileUtf8Bom},
        {"UTF-8 declared", Utf8(decl8 + kSample), decl8 + kSample,
         L"<read encoding=\"UTF-8\" length=\"47\"/><converted_to encoding=\"UTF-16\" length=\"46\"/>", 0},
        {"UTF-8 by a leading '<'", Utf8(kSample), kSample,
         L"<read encoding=\"UTF-8\" length=\"9\"/><converted_to encoding=\"UTF-16\" length=\"8\"/>", 0},
        {"UTF-16LE mark", "\xFF\xFE" + Utf16(kSample, false), kSample,
         L"<bom/><read encoding=\"UTF-16LE\" length=\"8\"/>", XmlDocument::FileUtf16LE},
        {"UTF-16BE mark", "\xFE\xFF" + Utf16(kSample, true), kSample,
         L"<bom/><endian_swap/><read encoding=\"UTF-16BE\" length=\"8\"/>", XmlDocument::FileUtf16BE},
        {"UTF-16LE with zero units", "\xFF\xFE" + Utf16(std::wstring(L"<a\0/>", 5), false), L"<a/>",
         L"<bom/><nulls_removed count=\"1\"/><read encoding=\"UTF-16LE\" length=\"4\"/>", XmlDocument::FileUtf16LE},
        // An odd byte count: the partial unit is dropped and reported, the rest is kept.
        {"UTF-16LE odd length", "\xFF\xFE" + Utf16(kSample, false) + "<", kSample,
         L"<bom/><truncation_error encoding=\"UTF-16LE\"/><read encoding=\"UTF-16LE\" length=\"8\"/>",
         XmlDocument::FileUtf16LE},
        {"UTF-16BE odd length", "\xFE\xFF" + Utf16(kSample, true) + std::string(1, '\0'), kSample,
         L"<bom/><truncation_error encoding=\"UTF-16BE\"/><endian_swap/><read encoding=\"UTF-16BE\" length=\"8\"/>",
         XmlDocument::FileUtf16BE},
        {"unmarked UTF-16LE declared", Utf16(decl16 + kSample, false), decl16 + kSample,
         L"<read encoding=\"UTF-16\" length=\"47\"/>", 0},
        {"unmarked UTF-16BE declared", Utf16(decl16 + kSample, true), decl16 + kSample,
         L"<endian_swap/><read encoding=\"UTF-16\" length=\"47\"/>", 0},
        {"UTF-32 declared", Utf32LE(decl32 + smile), decl32 + smile,
         L"<read encoding=\"UTF-32\" length=\"47\"/><converted_to encoding=\"UTF-16\" length=\"48\"/>", 0},
        {"ISO-8859-1 declared", Utf8(declLatin) + "<a>\xE9</a>", declLatin + kSample,
         L"<read encoding=\"ISO-8859-1\" length=\"51\"/><converted_to encoding=\"UTF-16\" length=\"51\"/>", 0},
        {"windows-1252 declared", Utf8(decl1252) + "<a>\x80</a>", decl1252 + L"<a>\x20AC</a>",
         L"<read encoding=\"windows-1252\" length=\"53\"/><converted_to encoding=\"UTF-16\" length=\"53\"/>", 0},
        {"Shift_JIS declared", Utf8(declSjis) + "<a>\x93\xFA\x96\x7B</a>", declSjis + L"<a>\x65E5\x672C</a>",
         L"<read encoding=\"Shift_JIS\" length=\"53\"/><converted_to encoding=\"UTF-16\" length=\"51\"/>", 0},
        {"undeclared, not UTF-8: ANSI", notUtf8, Ansi(notUtf8),
         L"<utf8_detection/><read encoding=\"\" length=\"10\"/><converted_to encoding=\"UTF-16\" length=\"10\"/>", 0},
        {"undeclared, continuation bytes must be 10xxxxxx", ansiPair, Ansi(ansiPair),
         L"<utf8_detection/><read encoding=\"\" length=\"12\"/><converted_to encoding=\"UTF-16\" length=\"12\"/>", 0},
        {"undeclared, detected UTF-8", " " + Utf8(kSample), L" " + kSample,
         L"<utf8_detection/><read encoding=\"UTF-8\" length=\"10\"/><converted_to encoding=\"UTF-16\" length=\"9\"/>",
         0},
        {"zero bytes removed", std::string("<a>\0x\0</a>", 10), L"<a>x</a>",
         L"<nulls_removed count=\"2\"/><read encoding=\"UTF-8\" length=\"8\"/>"
         L"<converted_to encoding=\"UTF-16\" length=\"8\"/>",
         0},
        {"empty file", "", L"",
         L"<utf8_detection/><read encoding=\"UTF-8\" length=\"0\"/><converted_to encoding=\"UTF-16\" length=\"0\"/>", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = Path(L"in.xml");
        WriteBytes(path, c.bytes);
        std::wstring text, result = L"<stale/>";
        int options = XmlDocument::IgnoreCase | XmlDocument::FileFlags; // file flags are replaced, others kept
        EXPECT_TRUE(XmlDocument::ReadFileText(path.c_str(), text, result, options));
        EXPECT_EQ(text, c.text) << Narrow(text);
        EXPECT_EQ(result, c.result) << Narrow(result);
        EXPECT_EQ(options, XmlDocument::IgnoreCase | c.flags);
    }
}

TEST_F(XmlFile, WritesEncodings)
{
    const std::wstring decl8 = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const std::wstring declLatin = L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n";
    const std::wstring decl1252 = L"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n";
    const std::wstring decl16 = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";
    const std::wstring decl32 = L"<?xml version=\"1.0\" encoding=\"UTF-32\"?>\r\n";
    const std::wstring euro = L"<a v=\"\x20AC\"/>";
    const std::wstring smile = L"<a>\xD83D\xDE00</a>";

    struct Case {
        const char* what;
        std::wstring text;
        int options;
        std::string bytes;
        std::wstring result;
        bool readsBack;
    };
    const Case cases[] = {
        {"declared UTF-8", decl8 + kSample, 0, Utf8(decl8 + kSample),
         L"<converted_from encoding=\"UTF-16\" length=\"48\"/><write encoding=\"UTF-8\" length=\"49\"/>", true},
        {"undeclared: UTF-8", kSample, 0, Utf8(kSample),
         L"<converted_from encoding=\"UTF-16\" length=\"8\"/><write encoding=\"UTF-8\" length=\"9\"/>", true},
        {"UTF-8 mark", kSample, XmlDocument::FileUtf8Bom, "\xEF\xBB\xBF" + Utf8(kSample),
         L"<bom/><converted_from encoding=\"UTF-16\" length=\"8\"/><write encoding=\"UTF-8\" length=\"9\"/>", true},
        {"UTF-16LE mark", kSample, XmlDocument::FileUtf16LE, "\xFF\xFE" + Utf16(kSample, false),
         L"<bom/><write encoding=\"UTF-16LE\" length=\"8\"/>", true},
        {"UTF-16BE mark", kSample, XmlDocument::FileUtf16BE, "\xFE\xFF" + Utf16(kSample, true),
         L"<bom/><endian_swap/><write encoding=\"UTF-16BE\" length=\"8\"/>", true},
        {"the first flag decides", kSample, XmlDocument::FileUtf16LE | XmlDocument::FileUtf16BE,
         "\xFF\xFE" + Utf16(kSample, false), L"<bom/><write encoding=\"UTF-16LE\" length=\"8\"/>", true},
        {"ISO-8859-1 loses the euro", declLatin + euro, 0, Utf8(declLatin) + "<a v=\"?\"/>",
         L"<converted_from encoding=\"UTF-16\" length=\"55\"/><conversion_loss/>"
         L"<write encoding=\"ISO-8859-1\" length=\"55\"/>",
         false},
        {"windows-1252 keeps the euro", decl1252 + euro, 0, Utf8(decl1252) + "<a v=\"\x80\"/>",
         L"<converted_from encoding=\"UTF-16\" length=\"57\"/><write encoding=\"windows-1252\" length=\"57\"/>", true},
        {"UTF-32 declared", decl32 + smile, 0, Utf32LE(decl32 + smile),
         L"<converted_from encoding=\"UTF-16\" length=\"50\"/><write encoding=\"UTF-32\" length=\"49\"/>", true},
        // Code page 12000 is not one the Windows conversion functions take.
        {"utf-32 by its code page", L"<?xml version=\"1.0\" encoding=\"utf-32\"?>" + smile, 0,
         Utf32LE(L"<?xml version=\"1.0\" encoding=\"utf-32\"?>" + smile),
         L"<converted_from encoding=\"UTF-16\" length=\"48\"/><write encoding=\"utf-32\" length=\"47\"/>", true},
        // Without its mark a UTF-16 file could not be told from an eight-bit one.
        {"UTF-16 declared gets its mark", decl16 + kSample, 0, "\xFF\xFE" + Utf16(decl16 + kSample, false),
         L"<bom/><write encoding=\"UTF-16\" length=\"49\"/>", true},
        {"empty text", L"", XmlDocument::FileUtf8Bom, "\xEF\xBB\xBF", L"<bom/><write encoding=\"UTF-8\" length=\"0\"/>",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = Path(L"out.xml");
        WriteBytes(path, "old content that must go");
        std::wstring result;
        int options = c.options;
        EXPECT_TRUE(XmlDocument::WriteFileText(path.c_str(), c.text, result, options));
        EXPECT_EQ(ReadBytes(path), c.bytes);
        EXPECT_EQ(result, c.result) << Narrow(result);
        if (c.readsBack) {
            std::wstring text, readResult;
            int readOptions = 0;
            EXPECT_TRUE(XmlDocument::ReadFileText(path.c_str(), text, readResult, readOptions));
            EXPECT_EQ(text, c.text) << Narrow(readResult);
        }
    }

    // Appending: the mark is written only into an empty file.
    const std::wstring path = Path(L"append.txt");
    std::wstring result;
    int options = XmlDocument::FileUtf8Bom | XmlDocument::FileAppend;
    ASSERT_TRUE(XmlDocument::WriteFileText(path.c_str(), L"<a>", result, options));
    ASSERT_TRUE(XmlDocument::WriteFileText(path.c_str(), L"\x00E9</a>", result, options));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF<a>\xC3\xA9</a>");
    EXPECT_EQ(result, L"<converted_from encoding=\"UTF-16\" length=\"5\"/><write encoding=\"UTF-8\" length=\"6\"/>");
}

// A document read from a file is saved in the same form: mark, byte order, declared encoding.
TEST_F(XmlFile, SaveKeepsTheFormLoaded)
{
    const std::wstring body = L"<r a=\"1\"/>";
    const std::wstring declLatin = L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    const std::wstring edited = L"<r a=\"1\" b=\"\x00E9\"/>";
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + Utf8(body), "\xEF\xBB\xBF" + Utf8(edited)},
        {"UTF-8 without mark", Utf8(body), Utf8(edited)},
        {"UTF-16LE", "\xFF\xFE" + Utf16(body, false), "\xFF\xFE" + Utf16(edited, false)},
        {"UTF-16BE", "\xFE\xFF" + Utf16(body, true), "\xFE\xFF" + Utf16(edited, true)},
        {"ISO-8859-1", Utf8(declLatin + body), Utf8(declLatin) + "<r a=\"1\" b=\"\xE9\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = Path(L"form.xml");
        WriteBytes(path, c.before);
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadFile(path.c_str())) << Narrow(doc.GetResult());
        ASSERT_TRUE(doc.FindElement(L"r"));
        ASSERT_TRUE(doc.SetAttribute(L"b", L"\x00E9"));
        ASSERT_TRUE(doc.SaveFile(path.c_str())) << Narrow(doc.GetResult());
        EXPECT_EQ(ReadBytes(path), c.after);
    }
}

TEST_F(XmlFile, FailuresAreReportedAndLoseNothing)
{
    std::wstring text, result;
    int options = 0;

    struct ReadCase {
        const char* what;
        std::wstring path;
        const wchar_t* error; // expected "n" of file_error
    };
    const ReadCase reads[] = {
        {"missing file", Path(L"missing.xml"), L"n=\"2\""},
        {"missing folder", Path(L"no\\such.xml"), L"n=\"3\""},
        {"a folder", m_folder, L"n=\""},
        {"empty path", L"", L"n=\""},
    };
    for (const ReadCase& c : reads) {
        SCOPED_TRACE(c.what);
        text = L"old";
        EXPECT_FALSE(XmlDocument::ReadFileText(c.path.c_str(), text, result, options));
        EXPECT_EQ(text, L"");
        ASSERT_EQ(result.rfind(L"<file_error msg=\"", 0), 0u) << Narrow(result);
        EXPECT_NE(result.find(c.error), std::wstring::npos) << Narrow(result);
        const size_t msgEnd = result.find(L'"', 17);
        EXPECT_GT(msgEnd, 17u);       // a message is given
        EXPECT_LE(msgEnd - 17, 100u); // of at most 100 characters, one line
        EXPECT_EQ(result.substr(17, msgEnd - 17).find_first_of(L"\r\n"), std::wstring::npos);
    }
    EXPECT_FALSE(XmlDocument::ReadFileText(nullptr, text, result, options));
    EXPECT_EQ(result.rfind(L"<file_error", 0), 0u);

    // Files over 64 MiB are refused before anything is read.
    const std::wstring big = Path(L"big.xml");
    HANDLE h = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(XmlDocument::kMaxFileBytes) + 1;
    ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_FALSE(XmlDocument::ReadFileText(big.c_str(), text, result, options));
    EXPECT_EQ(result.rfind(L"<file_error msg=\"", 0), 0u) << Narrow(result);
    EXPECT_NE(result.find(L"n=\"223\""), std::wstring::npos) << Narrow(result);
    XmlDocument doc(L"<kept/>");
    EXPECT_FALSE(doc.LoadFile(big.c_str()));
    EXPECT_EQ(doc.GetText(), L"");
    EXPECT_FALSE(doc.FindElement(L""));

    // Writing into a missing folder fails without creating anything.
    EXPECT_FALSE(XmlDocument::WriteFileText(Path(L"no\\out.xml").c_str(), L"<a/>", result, options));
    EXPECT_NE(result.find(L"<file_error msg=\""), std::wstring::npos);
    EXPECT_NE(result.find(L"n=\"3\""), std::wstring::npos) << Narrow(result);

    // An encoding the system cannot convert to leaves an existing file untouched.
    ASSERT_FALSE(IsValidCodePage(50000));
    const std::wstring keep = Path(L"keep.xml");
    WriteBytes(keep, "<old/>");
    EXPECT_FALSE(XmlDocument::WriteFileText(
        keep.c_str(), L"<?xml version=\"1.0\" encoding=\"x-user-defined\"?><a/>", result, options));
    EXPECT_EQ(result, L"<conversion_error encoding=\"x-user-defined\"/>");
    EXPECT_EQ(ReadBytes(keep), "<old/>");

    // A damaged document loads its text, reports the damage and answers false; the elements
    // found stay navigable (both start tags are unended, so they are siblings).
    const std::wstring damaged = Path(L"damaged.xml");
    WriteBytes(damaged, "<?xml version=\"1.0\"?>\r\n<config><software name=\"X\"></config");
    XmlDocument bad;
    EXPECT_FALSE(bad.LoadFile(damaged.c_str()));
    EXPECT_NE(bad.GetResult().find(L"<unterminated_tag_syntax"), std::wstring::npos) << Narrow(bad.GetResult());
    ASSERT_TRUE(bad.FindElement(L"config"));
    ASSERT_TRUE(bad.FindElement(L"software"));
    EXPECT_EQ(bad.GetAttribute(L"name"), L"X");
}
