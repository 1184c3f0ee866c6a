// XmlDocument in memory: parsing and its reports, the element index, navigation, character
// references and in-place edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/XmlDocument.h"
#include "storage/XmlTables.h"
#include "tests/storage/XmlIndexCheck.h"

using xmltest::CheckIndex;
using xmltest::MatchesReparse;

namespace {

std::string Narrow(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w)
        s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

} // namespace

TEST(XmlParse, ReportsAndWellFormedness)
{
    struct Case {
        const wchar_t* text;
        bool wellFormed;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ELEMENT a ANY><!ATTLIST a x CDATA #IMPLIED>]>\r\n"
         L"<!-- note -->\r\n<a x='1' y=\"a>b\"><![CDATA[<b></a>]]><?pi x?>text</a>\r\n",
         true, L""},
        {L"<a><b></a>", false, L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/>"},
        {L"<a>", false, L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"3\"/>"},
        {L"</a>", false, L"<lone_end_tag tagname=\"a\" offset=\"0\"/><no_root_element/>"},
        {L"<a></b></a>", false, L"<lone_end_tag tagname=\"b\" offset=\"3\"/>"},
        {L"<a/><b/>", false, L"<root_has_sibling/>"},
        {L"", false, L"<no_root_element/>"},
        {L"just text", false, L"<no_root_element/>"},
        {L"<a", false, L"<unterminated_tag_syntax offset=\"0\" type=\"start_tag\"/><no_root_element/>"},
        {L"<a x=\"1>", false, L"<unterminated_tag_syntax offset=\"0\" type=\"start_tag\"/><no_root_element/>"},
        {L"<a></a", false,
         L"<unterminated_tag_syntax offset=\"3\" type=\"end_tag\"/><unended_start_tag tagname=\"a\" offset=\"0\" "
         L"offset2=\"6\"/>"},
        {L"<a/><!-- x", false, L"<unterminated_tag_syntax offset=\"4\" type=\"comment\"/>"},
        {L"<a/><![CDATA[ x", false, L"<unterminated_tag_syntax offset=\"4\" type=\"cdata_section\"/>"},
        {L"<a/><?pi ", false, L"<unterminated_tag_syntax offset=\"4\" type=\"processing_instruction\"/>"},
        {L"<!DOCTYPE a [<!ELEMENT a ANY>", false,
         L"<unterminated_tag_syntax offset=\"0\" type=\"document_type\"/><no_root_element/>"},
        {L"<a/><", false, L"<unterminated_tag_syntax offset=\"4\" type=\"tag\"/>"},
        {L"<a>< b></a>", false, L"<first_tag_syntax offset=\"3\"/>"},
        {L"<a><1/></a>", false, L"<first_tag_syntax offset=\"3\"/>"},
        {L"<a><!x></a>", false, L"<exclamation_tag_syntax offset=\"3\"/>"},
        {L"<a><!-x></a>", false, L"<comment_tag_syntax offset=\"3\"/>"},
        {L"<a><![X[]]></a>", false, L"<cdata_section_syntax offset=\"3\"/>"},
        {L"<!DOCTYPE a [<!X>]><a/>", false, L"<doctype_tag_syntax offset=\"13\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        XmlDocument doc;
        EXPECT_EQ(doc.SetText(c.text), c.wellFormed);
        EXPECT_EQ(doc.IsWellFormed(), c.wellFormed);
        EXPECT_EQ(doc.GetResult(), c.result);
        EXPECT_EQ(CheckIndex(doc), "");
    }
}

TEST(XmlParse, IndexRecordsDescribeTheText)
{
    const std::wstring text = L"<r>\r\n<a x=\"1\"/>\r\n<b>t</b>\r\n<c>\r\n<d/>\r\n</c>\r\n</r>\r\n";
    XmlDocument doc(text.c_str());
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_EQ(doc.GetElementCount(), 6u);
    EXPECT_EQ(CheckIndex(doc), "");

    const XmlDocument::Element& d0 = doc.GetElement(0);
    EXPECT_EQ(d0.length, text.size());
    EXPECT_EQ(d0.firstChild, 1u);
    EXPECT_EQ(d0.flagsDepth & XmlDocument::DocIllFormed, 0u);

    struct Expect {
        const wchar_t* tag; // the element's text
        uint32_t startTag, endTag, depth, parent, firstChild, next, prev;
        bool empty, firstOfParent;
    };
    const Expect expect[] = {
        {L"<r>", 3, 4, 0, 0, 2, 0, 1, false, true},
        {L"<a x=\"1\"/>", 10, 0, 1, 1, 0, 3, 4, true, true}, // the first child points back at the last
        {L"<b>t</b>", 3, 4, 1, 1, 0, 4, 2, false, false},
        {L"<c>", 3, 4, 1, 1, 5, 0, 3, false, false},
        {L"<d/>", 4, 0, 2, 4, 0, 0, 5, true, true},
    };
    for (uint32_t i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const XmlDocument::Element& e = doc.GetElement(i);
        const Expect& x = expect[i - 1];
        EXPECT_EQ(text.compare(e.start, wcslen(x.tag), x.tag), 0);
        EXPECT_EQ(e.StartTagLength(), x.startTag);
        EXPECT_EQ(e.EndTagLength(), x.endTag);
        EXPECT_EQ(e.Depth(), x.depth);
        EXPECT_EQ(e.parent, x.parent);
        EXPECT_EQ(e.firstChild, x.firstChild);
        EXPECT_EQ(e.nextSibling, x.next);
        EXPECT_EQ(e.prevSibling, x.prev);
        EXPECT_EQ((e.flagsDepth & XmlDocument::ElemEmpty) != 0, x.empty);
        EXPECT_EQ((e.flagsDepth & XmlDocument::ElemFirstChild) != 0, x.firstOfParent);
    }
    EXPECT_EQ(doc.GetElement(4).length, std::wstring(L"<c>\r\n<d/>\r\n</c>").size());
}

TEST(XmlParse, IndexGrowsPastOneBlock)
{
    // More elements than one index block and far more than the initial size (text / 64).
    std::wstring text = L"<r>";
    const int n = 70000;
    for (int i = 0; i < n; ++i)
        text += L"<k/>";
    text += L"</r>";
    XmlDocument doc(text.c_str());
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_EQ(doc.GetElementCount(), uint32_t(n + 2));
    EXPECT_EQ(CheckIndex(doc), "");
    const XmlDocument::Element& last = doc.GetElement(n + 1); // in the second block
    EXPECT_EQ(last.start, 3u + 4u * (n - 1));
    EXPECT_EQ(last.parent, 1u);
    EXPECT_EQ(doc.GetElement(doc.GetElement(1).firstChild).prevSibling, uint32_t(n + 1));
}

TEST(XmlParse, UnendedElementStillFoundAndItsChildrenBecomeSiblings)
{
    XmlDocument doc(L"<r><a id=\"1\"><b id=\"2\"/><c id=\"3\"></r>");
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_NE(doc.GetElement(0).flagsDepth & XmlDocument::DocIllFormed, 0u);
    EXPECT_EQ(doc.GetResult(), L"<unended_start_tag tagname=\"c\" offset=\"24\" offset2=\"34\"/>"
                               L"<unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"34\"/>");
    EXPECT_EQ(CheckIndex(doc), "");

    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_NE(doc.GetElement(doc.GetCurrentIndex()).flagsDepth & XmlDocument::ElemUnended, 0u);
    EXPECT_EQ(doc.GetAttribute(L"id"), L"1");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.FindElement(L"b")); // a has no children any more
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement(L"b")); // b follows a
    EXPECT_EQ(doc.GetAttribute(L"id"), L"2");
    ASSERT_TRUE(doc.FindElement(L"c"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    EXPECT_EQ(doc.GetElement(doc.GetCurrentIndex()).Depth(), 1u);
}

// A tag or a depth too large for its packed field must not wrap: the document is ill-formed
// and every record still describes the text.
TEST(XmlParse, PackedFieldOverflowIsIllFormed)
{
    struct Case {
        const char* what;
        std::wstring text;
        const wchar_t* entry;
    };
    std::vector<Case> cases;
    {
        std::wstring t = L"<r><a v=\"";
        t.append(XmlDocument::kMaxStartTag, L'x'); // start tag of 0x3FFFFF + 9 characters
        t += L"\"/></r>";
        cases.push_back({"start tag too long", t, L"<tag_too_long offset=\"3\"/>"});
    }
    {
        const std::wstring name(XmlDocument::kMaxEndTag, L'n'); // end tag of 1026 characters
        cases.push_back({"end tag too long", L"<r><" + name + L"></" + name + L"></r>", L"<tag_too_long offset="});
    }
    {
        std::wstring t;
        const uint32_t levels = XmlDocument::kMaxDepth + 10;
        for (uint32_t i = 0; i < levels; ++i)
            t += L"<a>";
        for (uint32_t i = 0; i < levels; ++i)
            t += L"</a>";
        cases.push_back({"nesting too deep", t, L"<nesting_too_deep offset=\"196608\"/>"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XmlDocument doc;
        EXPECT_FALSE(doc.SetText(c.text));
        EXPECT_NE(doc.GetElement(0).flagsDepth & XmlDocument::DocIllFormed, 0u);
        EXPECT_NE(doc.GetResult().find(c.entry), std::wstring::npos) << Narrow(doc.GetResult());
        EXPECT_EQ(CheckIndex(doc), "");
        ASSERT_TRUE(doc.FindElement(nullptr));
        EXPECT_EQ(doc.GetElement(doc.GetCurrentIndex()).start, 0u);
    }
}

TEST(XmlNavigation, FindEnterLeave)
{
    XmlDocument doc(L"<?xml version=\"1.0\"?>\r\n<r><a id=\"1\"><x id=\"x\"/></a><b id=\"2\"/><a id=\"3\"/></r>");
    ASSERT_TRUE(doc.IsWellFormed());
    EXPECT_FALSE(doc.LeaveElement()); // no parent at document level
    EXPECT_FALSE(doc.EnterElement()); // no current element yet
    EXPECT_EQ(doc.GetAttribute(L"id"), L"");

    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"1");
    ASSERT_TRUE(doc.FindElement(L"a")); // continues after the previous match
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    EXPECT_FALSE(doc.FindElement(L"a")); // no more: the position stays
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    EXPECT_FALSE(doc.FindElement(L"missing"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");

    ASSERT_TRUE(doc.LeaveElement()); // r is current again
    EXPECT_FALSE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement()); // back at the child that was current
    EXPECT_EQ(doc.GetAttribute(L"id"), L"3");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement(L"r") == false);

    // After a FindElement the remembered child is cleared: entering starts before the first child.
    XmlDocument again(doc.GetText().c_str());
    ASSERT_TRUE(again.FindElement(L"r"));
    ASSERT_TRUE(again.EnterElement());
    ASSERT_TRUE(again.FindElement(L"")); // an empty name matches the next element
    EXPECT_EQ(again.GetAttribute(L"id"), L"1");
    ASSERT_TRUE(again.FindElement(nullptr));
    EXPECT_EQ(again.GetAttribute(L"id"), L"2");
    ASSERT_TRUE(again.EnterElement()); // b has no children
    EXPECT_FALSE(again.FindElement(L""));
    EXPECT_EQ(again.GetAttribute(L"id"), L"");

    XmlDocument none(L"<!-- only a comment -->");
    EXPECT_FALSE(none.FindElement(L""));
    EXPECT_EQ(none.GetAttribute(L"x"), L"");
}

TEST(XmlNavigation, TagNameComparison)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* name;
        int options;
        bool found;
    };
    const Case cases[] = {
        {L"<Root/>", L"Root", 0, true},
        {L"<Root/>", L"root", 0, false},
        {L"<Root/>", L"root", XmlDocument::IgnoreCase, true},
        {L"<device.info/>", L"device.info", 0, true},
        {L"<a:b x=\"1\"/>", L"a:b", 0, true},
        {L"<ab/>", L"a", 0, false},
        {L"<a\r\nx=\"1\"/>", L"a", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        XmlDocument doc;
        doc.SetOptions(c.options);
        doc.SetText(c.text);
        EXPECT_EQ(doc.FindElement(c.name), c.found);
    }
    // End tags match their start tags under the same rule.
    XmlDocument exact(L"<A></a>");
    EXPECT_FALSE(exact.IsWellFormed());
    XmlDocument folded;
    folded.SetOptions(XmlDocument::IgnoreCase);
    EXPECT_TRUE(folded.SetText(L"<A></a>"));
}

TEST(XmlAttributes, ScanningForms)
{
    XmlDocument doc(L"<a b = \"1\" c='2' d=3 e f=\"x>y\" g=x/y h= i=\"\" j=\"&lt;&amp;\" b=\"second\"></a>");
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElement(L"a"));
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Case cases[] = {
        {L"b", L"1"},  // blanks around '=', the first of two
        {L"c", L"2"},  // single quotes
        {L"d", L"3"},  // unquoted
        {L"e", L""},   // a name without a value is no attribute
        {L"f", L"x>y"},
        {L"g", L"x/y"}, // an unquoted value runs to a blank or '>'
        {L"h", L""},
        {L"i", L""},
        {L"j", L"<&"},
        {L"a", L""},   // the tag name is not an attribute
        {L"x", L""},
        {L"B", L""},   // case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        EXPECT_EQ(doc.GetAttribute(c.name), c.value);
    }
    XmlDocument pi(L"<r ?x=\"1\"/>");
    ASSERT_TRUE(pi.FindElement(L"r"));
    EXPECT_EQ(pi.GetAttribute(L"x"), L""); // the scan stops at '?'
}

TEST(XmlAttributes, CharacterReferences)
{
    struct Case {
        const wchar_t* written;
        std::wstring read;
    };
    const Case cases[] = {
        {L"&#x41;&#65;&amp;", L"AA&"},
        {L"&#X41;", L"A"},
        {L"a&lt;b&gt;c&quot;d&apos;e", L"a<b>c\"d'e"},
        {L"&Oslash;&oslash;", L"\x00D8\x00F8"}, // upper- and lower-case letter entities differ
        {L"&nbsp;&yuml;&fnof;&Omega;&thetasym;&euro;&diams;", L"\x00A0\x00FF\x0192\x03A9\x03D1\x20AC\x2666"},
        {L"&#x1F600;", L"\xD83D\xDE00"},
        {L"&#x10FFFF;", L"\xDBFF\xDFFF"},
        {L"&#1114111;", L"\xDBFF\xDFFF"},
        // References that stay as written.
        {L"&nosuch;", L"&nosuch;"},
        {L"&AMP;", L"&AMP;"},
        {L"&#0;", L"&#0;"},
        {L"&#x0;", L"&#x0;"},
        {L"&#x110000;", L"&#x110000;"},  // above the last code point
        {L"&#1114112;", L"&#1114112;"},
        {L"&#xD800;", L"&#xD800;"},      // surrogate code points name no character
        {L"&#xDFFF;", L"&#xDFFF;"},
        {L"&#55296;", L"&#55296;"},
        {L"&#12a;", L"&#12a;"},
        {L"&#x;", L"&#x;"},
        {L"&#;", L"&#;"},
        {L"&;", L"&;"},
        {L"&amp", L"&amp"},
        {L"&toolongname;", L"&toolongname;"}, // more than 9 characters before the ';'
        {L"&#x010FFFF;&", L"\xDBFF\xDFFF&"},    // 9 characters is still a reference
        {L"&#x0010FFFF;", L"&#x0010FFFF;"},
        {L"&\x00E9;", L"&\x00E9;"},
        {L"&&amp;", L"&&"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.written));
        XmlDocument doc((std::wstring(L"<a v=\"") + c.written + L"\"/>").c_str());
        ASSERT_TRUE(doc.FindElement(L"a"));
        EXPECT_EQ(doc.GetAttribute(L"v"), c.read);
    }
}

TEST(XmlAttributes, EntityAndAliasTablesAreConsistent)
{
    // Every entity sits in the bucket of its name, decodes to its code point, and is unique.
    std::vector<std::wstring> names;
    for (int b = 0; b < xmltables::kEntityBucketCount; ++b) {
        for (const wchar_t* p = xmltables::kEntityBuckets[b]; *p;) {
            const size_t n = p[0] - L'0';
            const unsigned cp = std::stoul(std::wstring(p + 1, 4));
            const std::wstring name(p + 5, n);
            unsigned sum = 0;
            for (wchar_t c : name)
                sum += c;
            EXPECT_EQ(int(sum % xmltables::kEntityBucketCount), b) << Narrow(name);
            EXPECT_EQ(xmltables::LookupEntity(name.c_str(), n), cp) << Narrow(name);
            EXPECT_EQ(XmlDocument::Unescape((L"&" + name + L";").c_str(), n + 2), std::wstring(1, wchar_t(cp)));
            names.push_back(name);
            p += 5 + n;
        }
    }
    EXPECT_EQ(names.size(), 253u); // HTML 4.01 and "apos"
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());

    for (int b = 0; b < xmltables::kAliasBucketCount; ++b) {
        for (const wchar_t* p = xmltables::kEncodingAliasBuckets[b]; *p;) {
            const size_t n = std::stoul(std::wstring(p, 2));
            const int cp = std::stoi(std::wstring(p + 2, 5));
            const std::wstring name(p + 7, n);
            unsigned sum = 0;
            for (wchar_t c : name) {
                EXPECT_FALSE(c >= L'A' && c <= L'Z') << Narrow(name);
                sum += c;
            }
            EXPECT_EQ(int(sum % xmltables::kAliasBucketCount), b) << Narrow(name);
            EXPECT_EQ(xmltables::LookupCodePage(name.c_str(), n), cp) << Narrow(name);
            p += 7 + n;
        }
    }
    struct Alias {
        const wchar_t* name;
        int codePage;
    };
    const Alias aliases[] = {
        {L"utf-8", 65001}, {L"UTF8", 65001}, {L"cp65001", 65001}, {L"unicode-1-1-utf-8", 65001},
        {L"UTF-16", 1200}, {L"utf-16le", 1200}, {L"ucs-2", 1200}, {L"unicode", 1200},
        {L"utf-16BE", 1201}, {L"unicodeFFFE", 1201}, {L"ISO-8859-1", 28591}, {L"Latin1", 28591},
        {L"l1", 28591}, {L"Windows-1252", 1252}, {L"cp1252", 1252}, {L"Shift_JIS", 932},
        {L"sjis", 932}, {L"cp932", 932}, {L"GB2312", 936}, {L"GBK", 936}, {L"cp936", 936},
        {L"US-ASCII", 20127}, {L"ascii", 20127}, {L"utf-32", 12000}, {L"UTF-32LE", 12000},
        {L"koi8-r", 20866}, {L"big5", 950}, {L"euc-kr", 51949}, {L"gb18030", 54936},
        {L"no-such-charset", -1}, {L"", -1},
    };
    for (const Alias& a : aliases)
        EXPECT_EQ(xmltables::LookupCodePage(a.name, wcslen(a.name)), a.codePage) << Narrow(a.name);
    const std::wstring longName = L"utf-8" + std::wstring(95, L' ');
    EXPECT_EQ(xmltables::LookupCodePage(longName.c_str(), longName.size()), -1);
}

TEST(XmlEdit, SetAttribute)
{
    struct Case {
        const wchar_t* before;
        const wchar_t* name;
        const wchar_t* value;
        const wchar_t* after;
    };
    const Case cases[] = {
        {L"<a/>", L"n", L"v", L"<a n=\"v\"/>"},
        {L"<a />", L"n", L"v", L"<a n=\"v\" />"},
        {L"<a></a>", L"n", L"v", L"<a n=\"v\"></a>"},
        {L"<a  >\r\n</a>", L"n", L"v", L"<a n=\"v\"  >\r\n</a>"},
        {L"<a x=\"1\" />", L"n", L"v", L"<a x=\"1\" n=\"v\" />"},
        {L"<a b=\"1\" c='2'/>", L"b", L"xyz", L"<a b=\"xyz\" c='2'/>"},
        {L"<a b=\"1\" c='2'/>", L"c", L"", L"<a b=\"1\" c=\"\"/>"},
        {L"<a d=3></a>", L"d", L"4", L"<a d=\"4\"></a>"},
        {L"<a d= x=\"1\"/>", L"d", L"4", L"<a d=\"4\" x=\"1\"/>"},
        {L"<a/>", L"v", L"<&>'\"", L"<a v=\"&lt;&amp;&gt;&apos;&quot;\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.before) + " " + Narrow(c.name));
        XmlDocument doc(c.before);
        ASSERT_TRUE(doc.FindElement(L"a"));
        ASSERT_TRUE(doc.SetAttribute(c.name, c.value));
        EXPECT_EQ(doc.GetText(), c.after);
        EXPECT_EQ(doc.GetAttribute(c.name), c.value);
        EXPECT_EQ(CheckIndex(doc), "");
        EXPECT_TRUE(MatchesReparse(doc));
    }

    XmlDocument doc(L"<r>\r\n<a/>\r\n<b id=\"7\"><c/></b>\r\n</r>\r\n");
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_TRUE(doc.SetAttribute(L"n", -42));
    EXPECT_TRUE(doc.SetAttribute(L"n", 2147483647));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2147483647");
    // Later elements shifted: they are still found with their attributes.
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"7");
    EXPECT_EQ(CheckIndex(doc), "");
    EXPECT_TRUE(MatchesReparse(doc));

    // Refused: no current element, names that would break the tag.
    XmlDocument plain(L"<a/>");
    EXPECT_FALSE(plain.SetAttribute(L"n", L"v"));
    ASSERT_TRUE(plain.FindElement(L"a"));
    for (const wchar_t* bad : {L"", L"a b", L"a=b", L"a>", L"a/", L"\"a", L"a'", L"a?", L"a<", L"a&b"})
        EXPECT_FALSE(plain.SetAttribute(bad, L"v")) << Narrow(bad);
    EXPECT_FALSE(plain.SetAttribute(nullptr, L"v"));
    EXPECT_EQ(plain.GetText(), L"<a/>");
}

TEST(XmlEdit, AddElement)
{
    // The first child of an empty element.
    XmlDocument doc(L"<p/>");
    ASSERT_TRUE(doc.FindElement(L"p"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"c"));
    EXPECT_EQ(doc.GetText(), L"<p>\r\n<c/>\r\n</p>");
    EXPECT_EQ(CheckIndex(doc), "");
    EXPECT_TRUE(MatchesReparse(doc));

    // After the current element (past the line break that ends it), then as the last child.
    ASSERT_TRUE(doc.AddElement(L"d", L"a<b&c>"));
    EXPECT_EQ(doc.GetText(), L"<p>\r\n<c/>\r\n<d>a&lt;b&amp;c&gt;</d>\r\n</p>");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement()); // back at d
    ASSERT_TRUE(doc.LeaveElement());
    XmlDocument copy(doc.GetText().c_str());
    ASSERT_TRUE(copy.FindElement(L"p"));
    ASSERT_TRUE(copy.EnterElement());
    ASSERT_TRUE(copy.AddElement(L"e", L"")); // empty text: an empty element
    EXPECT_EQ(copy.GetText(), L"<p>\r\n<c/>\r\n<d>a&lt;b&amp;c&gt;</d>\r\n<e/>\r\n</p>");
    ASSERT_TRUE(copy.FindElement(L"d") == false); // e is current; d is before it
    EXPECT_EQ(CheckIndex(copy), "");
    EXPECT_TRUE(MatchesReparse(copy));

    // Between two siblings.
    XmlDocument mid(L"<r><a/><b/></r>");
    ASSERT_TRUE(mid.FindElement(L"r"));
    ASSERT_TRUE(mid.EnterElement());
    ASSERT_TRUE(mid.FindElement(L"a"));
    ASSERT_TRUE(mid.AddElement(L"m"));
    EXPECT_EQ(mid.GetText(), L"<r><a/><m/>\r\n<b/></r>");
    ASSERT_TRUE(mid.FindElement(L"b"));
    EXPECT_EQ(CheckIndex(mid), "");
    EXPECT_TRUE(MatchesReparse(mid));

    // Refused: names the reader could not find again, and an unended parent.
    XmlDocument bad(L"<r/>");
    for (const wchar_t* name : {L"", L"1a", L"-a", L"a b", L"a>", L"a/b", L"a=b", L"a;", L"a&b", L"a\"", L"a!"})
        EXPECT_FALSE(bad.AddElement(name)) << Narrow(name);
    EXPECT_FALSE(bad.AddElement(nullptr));
    EXPECT_EQ(bad.GetText(), L"<r/>");
    XmlDocument open(L"<r><u></r>");
    ASSERT_TRUE(open.FindElement(L"r"));
    ASSERT_TRUE(open.EnterElement());
    ASSERT_TRUE(open.FindElement(L"u"));
    ASSERT_TRUE(open.EnterElement());
    EXPECT_FALSE(open.AddElement(L"x"));
    EXPECT_EQ(open.GetText(), L"<r><u></r>");
}

// The exchange-file writer's sequence gives one element per line, CR LF line ends, escaped
// attribute values, and reads back unchanged.
TEST(XmlEdit, WriterShapeRoundTrip)
{
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement(L"profile"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"profileinfo"));
    ASSERT_TRUE(doc.SetAttribute(L"name", L"Jogo <1> & \"2\" \x914d\x7f6e"));
    ASSERT_TRUE(doc.AddElement(L"keyitems"));
    ASSERT_TRUE(doc.EnterElement());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(doc.AddElement(L"keyitem"));
        ASSERT_TRUE(doc.SetAttribute(L"key_code", 0x29 + i));
        ASSERT_TRUE(doc.SetAttribute(L"type", 3));
        ASSERT_TRUE(doc.SetAttribute(L"value", -1));
    }
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.AddElement(L"macroinfo"));
    ASSERT_TRUE(doc.SetAttribute(L"name", L"it's"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"item"));
    ASSERT_TRUE(doc.SetAttribute(L"desc", L"A"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());

    const std::wstring expected =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        L"<profile>\r\n"
        L"<profileinfo name=\"Jogo &lt;1&gt; &amp; &quot;2&quot; \x914d\x7f6e\"/>\r\n"
        L"<keyitems>\r\n"
        L"<keyitem key_code=\"41\" type=\"3\" value=\"-1\"/>\r\n"
        L"<keyitem key_code=\"42\" type=\"3\" value=\"-1\"/>\r\n"
        L"</keyitems>\r\n"
        L"<macroinfo name=\"it&apos;s\">\r\n"
        L"<item desc=\"A\"/>\r\n"
        L"</macroinfo>\r\n"
        L"</profile>\r\n";
    EXPECT_EQ(doc.GetText(), expected);
    EXPECT_EQ(CheckIndex(doc), "");
    EXPECT_TRUE(MatchesReparse(doc));

    XmlDocument read(expected.c_str());
    ASSERT_TRUE(read.IsWellFormed());
    ASSERT_TRUE(read.FindElement(L"profile"));
    ASSERT_TRUE(read.EnterElement());
    ASSERT_TRUE(read.FindElement(L"profileinfo"));
    EXPECT_EQ(read.GetAttribute(L"name"), L"Jogo <1> & \"2\" \x914d\x7f6e");
    ASSERT_TRUE(read.FindElement(L"keyitems"));
    ASSERT_TRUE(read.EnterElement());
    int codes = 0;
    while (read.FindElement(L"keyitem"))
        codes += std::stoi(read.GetAttribute(L"key_code"));
    EXPECT_EQ(codes, 0x29 + 0x2A);
    ASSERT_TRUE(read.LeaveElement());
    ASSERT_TRUE(read.FindElement(L"macroinfo"));
    EXPECT_EQ(read.GetAttribute(L"name"), L"it's");
}

// The reader's sequence over a layouts-like file: sibling order, repeated elements, nested
// levels, Enter and Leave.
TEST(XmlNavigation, LayoutsShape)
{
    XmlDocument doc(
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        L"<device.info>\r\n"
        L"  <menu macro=\"1\" light_mode=\"1\"/>\r\n"
        L"  <firmware version=\"1.02\" file=\"fw.bin\" url=\"http://example.invalid/fw\"/>\r\n"
        L"  <light rgb_keyboard=\"1\" default_mode=\"3\">\r\n"
        L"    <info name=\"300\" mode=\"1\" attribute=\"0\"/>\r\n"
        L"    <info name=\"301\" mode=\"2\" attribute=\"256\"/>\r\n"
        L"  </light>\r\n"
        L"  <Keyboard xpos=\"10\" ypos=\"20\" image=\"k.png\" row_count=\"6\" col_count=\"21\">\r\n"
        L"    <KeyItems>\r\n"
        L"      <key code=\"0x29\" name=\"Esc\" row_col=\"0_0\" rect=\"10#10#40#40\"/>\r\n"
        L"      <key code=\"0x3A\" name=\"F1\" row_col=\"0_01\" rect=\"60#10#40#40\"/>\r\n"
        L"    </KeyItems>\r\n"
        L"  </Keyboard>\r\n"
        L"</device.info>\r\n");
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElement(L"device.info"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"menu"));
    EXPECT_EQ(doc.GetAttribute(L"light_mode"), L"1");
    EXPECT_FALSE(doc.FindElement(L"function")); // missing: skipped, position kept
    ASSERT_TRUE(doc.FindElement(L"firmware"));
    EXPECT_EQ(doc.GetAttribute(L"url"), L"http://example.invalid/fw");
    ASSERT_TRUE(doc.FindElement(L"light"));
    ASSERT_TRUE(doc.EnterElement());
    std::wstring modes;
    while (doc.FindElement(L"info"))
        modes += doc.GetAttribute(L"name") + L":" + doc.GetAttribute(L"attribute") + L";";
    EXPECT_EQ(modes, L"300:0;301:256;");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetAttribute(L"default_mode"), L"3");
    ASSERT_TRUE(doc.FindElement(L"Keyboard"));
    EXPECT_EQ(doc.GetAttribute(L"col_count"), L"21");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"KeyItems"));
    ASSERT_TRUE(doc.EnterElement());
    std::wstring keys;
    while (doc.FindElement(L"key"))
        keys += doc.GetAttribute(L"code") + L"=" + doc.GetAttribute(L"rect") + L";";
    EXPECT_EQ(keys, L"0x29=10#10#40#40;0x3A=60#10#40#40;");
}

TEST(XmlEncoding, DeclaredEncoding)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* encoding;
    };
    const Case cases[] = {
        {L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", L"ISO-8859-1"},
        {L"<?xml version='1.0' encoding='utf-8' standalone='yes'?>", L"utf-8"},
        {L"<?xml version=\"1.0\"?><a/>", L""},
        {L" <?xml version=\"1.0\" encoding=\"x\"?>", L""}, // not at offset 0
        {L"<?xml-stylesheet encoding=\"x\"?><a/>", L""},
        {L"<a encoding=\"x\"/>", L""},
        {L"<!-- c --><html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
         L"</head></html>",
         L"windows-1252"},
        {L"<html><head><meta http-equiv=\"content-type\" content=\"text/html;charset = gbk\"/></head></html>", L"gbk"},
        {L"<html><head></head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"/></html>", L""},
        {L"<html><head><meta name=\"x\" content=\"charset=gbk\"/></head></html>", L""},
        {L"<body><meta http-equiv=\"Content-Type\" content=\"charset=gbk\"/></body>", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlDocument::GetDeclaredEncoding(c.text, wcslen(c.text)), c.encoding) << Narrow(c.text);
}
