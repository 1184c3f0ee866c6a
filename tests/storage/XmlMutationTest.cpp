// Thousands of mutated documents, well-formed and ill-formed, through parsing, navigation,
// attribute reads and writes, element insertion and file reading: nothing crashes or hangs
// and the element index always describes the text. Deterministic: fixed seeds.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "storage/XmlDocument.h"
#include "support/TestPaths.h"
#include "tests/storage/XmlIndexCheck.h"

namespace {

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[Below(v.size())]; }

private:
    uint64_t m_state;
};

const std::vector<std::wstring> kBases = {
    // A layouts file.
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<device.info>\r\n  <menu macro=\"1\" light_mode=\"1\"/>\r\n"
    L"  <function sleep_time=\"1\"/>\r\n  <firmware version=\"1.02\" file=\"fw.bin\" url=\"http://a.invalid/?a=1&amp;b=2\"/>\r\n"
    L"  <light rgb_keyboard=\"1\" default_mode=\"3\" default_brightness=\"4\" default_speed=\"2\">\r\n"
    L"    <info name=\"300\" mode=\"1\" attribute=\"0\"/>\r\n    <info name=\"301\" mode=\"2\" attribute=\"256\"/>\r\n"
    L"  </light>\r\n  <Keyboard xpos=\"10\" ypos=\"20\" width=\"900\" height=\"300\" image=\"k.png\" row_count=\"6\" col_count=\"21\">\r\n"
    L"    <KeyItems>\r\n"
    L"      <key code=\"0x29\" name=\"Esc\" desc=\"Escape\" key_index=\"0\" row_col=\"0_0\" rect=\"10#10#40#40\"/>\r\n"
    L"      <key code=\"0x3A\" name=\"F1\" desc=\"&lt;F1&gt;\" key_index=\"1\" row_col=\"0_01\" rect=\"60#10#40#40\"/>\r\n"
    L"      <key code=\"0x3B\" name=\"F2\" icon=\"f2.png\" key_index=\"2\" row_col=\"0_02\" rect=\"110#10#40#40\"/>\r\n"
    L"    </KeyItems>\r\n  </Keyboard>\r\n</device.info>\r\n",
    // An exchange file.
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n<profileinfo name=\"Jogo &amp; \x914d\x7f6e\"/>\r\n"
    L"<keyitems>\r\n<keyitem key_code=\"41\" type=\"3\" value=\"7\"/>\r\n<keyitem key_code=\"42\" type=\"8\" value=\"0\"/>\r\n"
    L"</keyitems>\r\n<macroinfo id=\"7\" name=\"it&apos;s\" times=\"1\">\r\n<macroitems>\r\n<item desc=\"A\" type=\"1\" value=\"65\" delay_time=\"10\"/>\r\n"
    L"<item desc=\"A\" type=\"2\" value=\"65\" delay_time=\"10\"/>\r\n</macroitems>\r\n</macroinfo>\r\n</profile>\r\n",
    // Every kind of node.
    L"<?xml version='1.0' encoding='ISO-8859-1' standalone='yes'?>\r\n<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r a CDATA #IMPLIED><!NOTATION n SYSTEM \"x\">]>\r\n"
    L"<!-- comment -- with dashes --><?pi target?>\r\n<r a = \"1\" b='2' c=3 d e=\"x>y\" f=\"&#x41;&#66;&Oslash;&bogus;\">\r\n"
    L"  text &amp; more<![CDATA[ <not> </r> ]]>\r\n  <x:y z=\"1\"/><_u/><\x00e9l\x00e8ve nom=\"\x00e9\"/>\r\n  <e></e><e/>\r\n</r>\r\n",
    // HTML with a charset.
    L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\"><title>t</title></head>"
    L"<body><p class=x>one<br><p>two</body></html>",
    // Ill-formed ones.
    L"<a><b><c></b></a></d><e/><f>",
    L"</x><a x=\"1\"><!x><!-y><![Z[<1><a/></a><a>",
    L"<r><a v=\"1\"/><a v=\"2\"></r><a v=\"3\"/>",
};

const std::vector<std::wstring> kSnippets = {
    L"<", L">", L"/", L"</", L"/>", L"<a>", L"</a>", L"<a/>", L"<key code=\"1\"/>", L"</key>", L"<!--", L"-->",
    L"<![CDATA[", L"]]>", L"<?", L"?>", L"<!DOCTYPE x [", L"]>", L"<!ELEMENT", L"\"", L"'", L"=", L" =\"", L"&", L"&#",
    L"&#x110000;", L"&#xD800;", L"&amp;", L"&lt", L";", L"\r\n", L" ", L"\t", std::wstring(1, L'\0'), L"\xD800",
    L"\xDFFF\xD800", L"\xFFFE", L"\x00e9", L"\x914d", L"<:x>", L"<_>", L"< a>", L"<a b=c/>", L"<a b= />",
};

const std::vector<std::wstring> kNames = {L"", L"a", L"r", L"key", L"info", L"device.info", L"KeyItems", L"Keyboard",
                                          L"x:y", L"e", L"p", L"profile", L"keyitem", L"item", L"b", L"c"};
const std::vector<std::wstring> kAttrNames = {L"a", L"v", L"code", L"name", L"rect", L"x", L"id", L"c", L"d", L"f",
                                              L"bad name", L"=", L"n\"", L"", L"\x00e9"};
const std::vector<std::wstring> kValues = {L"", L"1", L"<&>'\"", L"\x914d\x7f6e", L"&amp;", std::wstring(300, L'v'),
                                           L"\xD800", L"a\r\nb"};

std::wstring Mutate(Rng& rng, std::wstring text)
{
    const int steps = 1 + static_cast<int>(rng.Below(4));
    for (int s = 0; s < steps; ++s) {
        const size_t at = rng.Below(text.size() + 1);
        switch (rng.Below(6)) {
        case 0: // truncate
            text.resize(at);
            break;
        case 1: // flip a unit
            if (!text.empty()) {
                const std::wstring& snippet = rng.Pick(kSnippets);
                text[rng.Below(text.size())] =
                    rng.Chance(30) ? static_cast<wchar_t>(rng.Below(0x10000)) : (snippet.empty() ? L'<' : snippet[0]);
            }
            break;
        case 2: // insert
            text.insert(at, rng.Pick(kSnippets));
            break;
        case 3: { // delete a span
            const size_t n = rng.Below(40);
            text.erase(at, n);
            break;
        }
        case 4: { // copy a span elsewhere
            const size_t from = rng.Below(text.size() + 1);
            const std::wstring span = text.substr(from, rng.Below(80));
            text.insert(rng.Below(text.size() + 1), span);
            break;
        }
        default: // flip one bit of a unit
            if (!text.empty()) {
                const size_t i = rng.Below(text.size());
                text[i] = static_cast<wchar_t>(text[i] ^ (1u << rng.Below(16)));
            }
            break;
        }
    }
    return text;
}

std::wstring DeepNesting(Rng& rng, size_t levels)
{
    std::wstring text;
    text.reserve(levels * 8);
    for (size_t i = 0; i < levels; ++i)
        text += rng.Chance(97) ? L"<a>" : L"<b x=\"1\">";
    for (size_t i = 0; i < levels; ++i) {
        if (rng.Chance(95))
            text += L"</a>";
        else if (rng.Chance(50))
            text += L"</b>";
    }
    return text;
}

std::wstring HugeNames(Rng& rng)
{
    const std::wstring name(1000 + rng.Below(60), L'n'); // end tags around the 1023-unit limit
    return L"<r><" + name + L" a=\"1\">x</" + name + L"><" + name + L"/><k/></r>";
}

// A random walk of operations; every change is followed by an index check.
void Exercise(Rng& rng, XmlDocument& doc, int operations, const std::string& label)
{
    for (int i = 0; i < operations; ++i) {
        switch (rng.Below(9)) {
        case 0:
        case 1:
            doc.FindElement(rng.Pick(kNames).c_str());
            break;
        case 2:
            doc.EnterElement();
            break;
        case 3:
            doc.LeaveElement();
            break;
        case 4:
            doc.GetAttribute(rng.Pick(kAttrNames).c_str());
            break;
        case 5: {
            const std::wstring& name = rng.Pick(kAttrNames);
            const std::wstring& value = rng.Pick(kValues);
            if (doc.SetAttribute(name.c_str(), value.c_str())) {
                ASSERT_EQ(doc.GetAttribute(name.c_str()), value) << label << ", operation " << i;
            }
            break;
        }
        case 6:
            doc.SetAttribute(rng.Pick(kAttrNames).c_str(), static_cast<int>(rng.Next()));
            break;
        case 7:
        case 8: {
            const std::wstring& name = rng.Pick(kNames);
            doc.AddElement(name.c_str(), rng.Chance(50) ? nullptr : rng.Pick(kValues).c_str());
            break;
        }
        }
        ASSERT_EQ(xmltest::CheckIndex(doc), "") << label << ", operation " << i;
    }
}

std::string EncodeForFile(Rng& rng, const std::wstring& text)
{
    std::string bytes;
    auto utf8 = [](const std::wstring& w) {
        int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        std::string s(n > 0 ? n : 0, '\0');
        if (n > 0)
            WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
        return s;
    };
    switch (rng.Below(7)) {
    case 0:
        bytes = utf8(text);
        break;
    case 1:
        bytes = "\xEF\xBB\xBF" + utf8(text);
        break;
    case 2:
    case 3: {
        const bool be = rng.Chance(50);
        bytes = be ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : text) {
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            bytes += be ? hi : lo;
            bytes += be ? lo : hi;
        }
        break;
    }
    case 4: { // declared UTF-32, written as 32-bit units
        for (wchar_t c : L"<?xml version=\"1.0\" encoding=\"UTF-32\"?>" + text)
            bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), '\0', '\0'});
        break;
    }
    case 5: // an eight-bit code page declared
        bytes = "<?xml version=\"1.0\" encoding=\"" + std::string(rng.Chance(50) ? "windows-1251" : "Shift_JIS") + "\"?>";
        for (wchar_t c : text)
            bytes += static_cast<char>(c);
        break;
    default: // raw bytes of the units
        for (wchar_t c : text)
            bytes += static_cast<char>(rng.Chance(90) ? c : c >> 8);
        break;
    }
    // Damage: cut at any byte (odd UTF-16 counts included), flip bytes.
    if (rng.Chance(40))
        bytes.resize(rng.Below(bytes.size() + 1));
    for (int flips = static_cast<int>(rng.Below(4)); flips > 0 && !bytes.empty(); --flips)
        bytes[rng.Below(bytes.size())] = static_cast<char>(rng.Next());
    return bytes;
}

} // namespace

TEST(XmlMutation, MutatedTextsKeepTheIndexInsideTheText)
{
    Rng rng(0x7A57E0C0FFEEull);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        std::wstring text;
        int operations = 25;
        if (iteration % 500 == 7) {
            text = DeepNesting(rng, iteration % 1000 == 7 ? 70000 : 1000 + rng.Below(5000));
            operations = 6;
        } else if (iteration % 100 == 3) {
            text = HugeNames(rng);
        } else {
            text = Mutate(rng, rng.Pick(kBases));
        }
        const std::string label = "iteration " + std::to_string(iteration);
        XmlDocument doc;
        doc.SetOptions(rng.Chance(10) ? XmlDocument::IgnoreCase : 0);
        doc.SetText(text);
        ASSERT_EQ(xmltest::CheckIndex(doc), "") << label;
        const bool illFormed = (doc.GetElement(0).flagsDepth & XmlDocument::DocIllFormed) != 0;
        Exercise(rng, doc, operations, label);
        if (HasFatalFailure())
            return;
        // Edits of a document that parsed without errors keep the index a fresh parse would build.
        if (!illFormed) {
            ASSERT_TRUE(xmltest::MatchesReparse(doc)) << label;
        }
        EXPECT_LE(doc.GetResult().size(), 999u + 600u) << label; // bounded report
    }
}

TEST(XmlMutation, OversizedStartTagInTheMiddleOfADocument)
{
    std::wstring text = L"<r><a/><big v=\"";
    text.append(XmlDocument::kMaxStartTag, L'v');
    text += L"\"><c/></big><d/></r>";
    Rng rng(42);
    XmlDocument doc;
    EXPECT_FALSE(doc.SetText(text));
    ASSERT_EQ(xmltest::CheckIndex(doc), "");
    Exercise(rng, doc, 200, "oversized");
    // A tag cannot grow past its field either.
    XmlDocument full((L"<r a=\"" + std::wstring(XmlDocument::kMaxStartTag - 10, L'x') + L"\"/>").c_str());
    ASSERT_TRUE(full.FindElement(L"r"));
    EXPECT_FALSE(full.SetAttribute(L"b", L"too long for the start tag field"));
    EXPECT_TRUE(full.SetAttribute(L"a", L"short"));
    EXPECT_EQ(full.GetText(), L"<r a=\"short\"/>");
    ASSERT_EQ(xmltest::CheckIndex(full), "");
}

TEST(XmlMutation, DamagedFilesInOddEncodings)
{
    const std::wstring folder = testsupport::MakeTempFolder(L"tastro-xmlmut");
    ASSERT_FALSE(folder.empty());
    const std::wstring in = folder + L"\\in.xml", out = folder + L"\\out.xml";
    Rng rng(0xF11E5ull);
    for (int iteration = 0; iteration < 600; ++iteration) {
        const std::wstring text = rng.Chance(80) ? Mutate(rng, rng.Pick(kBases)) : rng.Pick(kBases);
        const std::string bytes = EncodeForFile(rng, text);
        FILE* f = _wfopen(in.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        const std::string label = "file iteration " + std::to_string(iteration);
        XmlDocument doc;
        doc.LoadFile(in.c_str());
        ASSERT_EQ(xmltest::CheckIndex(doc), "") << label;
        ASSERT_FALSE(doc.GetResult().empty()) << label;
        Exercise(rng, doc, 10, label);
        if (HasFatalFailure())
            break;
        doc.SaveFile(out.c_str());
        ASSERT_EQ(xmltest::CheckIndex(doc), "") << label;
    }
    testsupport::RemoveTree(folder);
}
