#include "storage/XmlDocument.h"

#include <algorithm>
#include <cstring>

#include "storage/XmlResult.h"
#include "storage/XmlSyntax.h"
#include "storage/XmlTables.h"

using namespace xmlsyntax;

namespace xmlresult {

void Add(std::wstring& result, const wchar_t* entry, std::initializer_list<Attr> attrs)
{
    if (result.size() > kMaxResultLength)
        return;
    result += L'<';
    result += entry;
    for (const Attr& a : attrs) {
        result += L' ';
        result += a.name;
        result += L"=\"";
        const std::wstring value = a.value.size() > 256 ? a.value.substr(0, 256) : a.value;
        result += XmlDocument::EscapeAttribute(value.c_str());
        result += L'"';
    }
    result += L"/>";
}

} // namespace xmlresult

namespace {

// Longest text the 32-bit offsets of the index can describe.
constexpr size_t kMaxTextLength = 0xFFFFFFF0u;

constexpr uint32_t kOpenBuckets = 1024;

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

uint32_t NameHash(const wchar_t* name, uint32_t length, bool fold)
{
    uint32_t h = 2166136261u;
    for (uint32_t i = 0; i < length; ++i) {
        h ^= fold ? FoldAscii(name[i]) : name[i];
        h *= 16777619u;
    }
    return h;
}

bool SameName(const wchar_t* a, const wchar_t* b, size_t length, bool fold)
{
    if (!fold)
        return std::wmemcmp(a, b, length) == 0;
    for (size_t i = 0; i < length; ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool EqualsAsciiNoCase(const wchar_t* a, size_t length, const wchar_t* b)
{
    size_t n = std::wcslen(b);
    return n == length && SameName(a, b, n, true);
}

// An element name that the tokenizer reads as a start tag and FindElement reads back whole.
bool IsValidElementName(const wchar_t* name)
{
    if (!name || !*name || !StartsStartTag(name[0]))
        return false;
    for (const wchar_t* p = name; *p; ++p) {
        if (EndsFindName(*p) || *p == L'&')
            return false;
    }
    return true;
}

// An attribute name that the start-tag scanner reads back as one name token.
bool IsValidAttributeName(const wchar_t* name)
{
    if (!name || !*name)
        return false;
    for (const wchar_t* p = name; *p; ++p) {
        switch (*p) {
        case L' ': case L'\t': case L'\n': case L'\r': case L'=': case L'>': case L'/': case L'?':
        case L'<': case L'"': case L'\'': case L'&':
            return false;
        default:
            break;
        }
    }
    return true;
}

// Value of a numeric character reference "#..." / "#x..." (already folded); 0 when it is not
// a number or names no character (above 0x10FFFF or a surrogate code point).
unsigned NumericReference(const wchar_t* name, size_t n)
{
    size_t i = 1;
    unsigned base = 10;
    if (n >= 2 && name[1] == L'x') {
        base = 16;
        i = 2;
    }
    if (i >= n)
        return 0;
    unsigned v = 0;
    for (; i < n; ++i) {
        wchar_t c = name[i];
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else
            return 0;
        v = v * base + d;
        if (v > 0x10FFFF)
            return 0;
    }
    if (v >= 0xD800 && v <= 0xDFFF)
        return 0;
    return v;
}

std::wstring EscapeImpl(const wchar_t* text, bool attribute)
{
    std::wstring out;
    if (!text)
        return out;
    for (const wchar_t* p = text; *p; ++p) {
        switch (*p) {
        case L'<': out += L"&lt;"; break;
        case L'&': out += L"&amp;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\'':
            if (attribute)
                out += L"&apos;";
            else
                out += *p;
            break;
        case L'"':
            if (attribute)
                out += L"&quot;";
            else
                out += *p;
            break;
        default: out += *p; break;
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Construction and the index

XmlDocument::XmlDocument() { ResetIndex(8); }

XmlDocument::XmlDocument(const wchar_t* text) { SetText(text); }

XmlDocument::~XmlDocument() = default;

void XmlDocument::ResetIndex(uint32_t capacity)
{
    m_blocks.clear();
    m_blockSizes.clear();
    m_capacity = 0;
    m_count = 0;
    // Blocks of kBlockRecords records; only the last one may be shorter.
    while (m_capacity < capacity) {
        uint32_t want = std::min(kBlockRecords, capacity - m_capacity);
        m_blocks.push_back(std::unique_ptr<Element[]>(new Element[want])); // records are cleared when taken
        m_blockSizes.push_back(want);
        m_capacity += want;
    }
    m_count = 1;
    Rec(0) = Element{};
}

void XmlDocument::Grow()
{
    uint64_t target = std::min<uint64_t>(0xFFFFFFFFull, uint64_t(m_capacity) + std::max(8u, m_capacity / 2));
    while (m_capacity < target) {
        size_t b = m_capacity >> 16;
        uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(kBlockRecords, target - (uint64_t(b) << 16)));
        if (b < m_blocks.size()) { // the last block is short: enlarge it (earlier blocks never move)
            std::unique_ptr<Element[]> block(new Element[want]);
            std::memcpy(block.get(), m_blocks[b].get(), sizeof(Element) * m_blockSizes[b]);
            m_capacity += want - m_blockSizes[b];
            m_blocks[b] = std::move(block);
            m_blockSizes[b] = want;
        } else {
            m_blocks.push_back(std::unique_ptr<Element[]>(new Element[want]));
            m_blockSizes.push_back(want);
            m_capacity += want;
        }
    }
}

uint32_t XmlDocument::NewRecord()
{
    if (m_count == m_capacity)
        Grow();
    uint32_t index = m_count++;
    Rec(index) = Element{};
    return index;
}

void XmlDocument::LinkLastChild(uint32_t parent, uint32_t index)
{
    Element& e = Rec(index);
    Element& p = Rec(parent);
    e.parent = parent;
    e.nextSibling = 0;
    if (!p.firstChild) {
        p.firstChild = index;
        e.prevSibling = index;
        e.flagsDepth |= ElemFirstChild;
    } else {
        Element& first = Rec(p.firstChild);
        Rec(first.prevSibling).nextSibling = index;
        e.prevSibling = first.prevSibling;
        first.prevSibling = index;
    }
}

// Relinks every record from the nesting of the element spans. Used after a parse that
// closed start tags as unended: such an element spans its start tag only, so the elements
// that followed it inside become its following siblings.
void XmlDocument::RebuildLinks()
{
    for (uint32_t i = 0; i < m_count; ++i) {
        Element& r = Rec(i);
        r.parent = r.firstChild = r.nextSibling = r.prevSibling = 0;
        r.flagsDepth &= ~(ElemFirstChild | kMaxDepth);
    }
    std::vector<std::pair<uint32_t, uint64_t>> open; // index, end offset
    for (uint32_t i = 1; i < m_count; ++i) {
        Element& r = Rec(i);
        while (!open.empty() && r.start >= open.back().second)
            open.pop_back();
        r.flagsDepth |= static_cast<uint32_t>(open.size());
        LinkLastChild(open.empty() ? 0 : open.back().first, i);
        if (r.length > r.StartTagLength())
            open.emplace_back(i, uint64_t(r.start) + r.length);
    }
}

// ---------------------------------------------------------------------------------------
// Text and parsing

bool XmlDocument::SetText(const wchar_t* text)
{
    m_text.assign(text ? text : L"");
    m_result.clear();
    return Parse();
}

bool XmlDocument::SetText(const std::wstring& text)
{
    m_text = text;
    m_result.clear();
    return Parse();
}

bool XmlDocument::LoadFile(const wchar_t* path)
{
    std::wstring text;
    bool read = ReadFileText(path, text, m_result, m_options);
    m_text.swap(text);
    if (!read) {
        m_text.clear();
        m_parent = m_current = m_child = 0;
        ResetIndex(8);
        m_wellFormed = false;
        return false;
    }
    return Parse();
}

bool XmlDocument::SaveFile(const wchar_t* path) { return WriteFileText(path, m_text, m_result, m_options); }

void XmlDocument::ReportUnended(uint32_t index, uint32_t closedAt)
{
    const Element& e = Rec(index);
    const wchar_t* name = m_text.c_str() + e.start + 1;
    uint32_t n = 0;
    while (e.start + 1 + n < m_text.size() && !EndsTagName(name[n]))
        ++n;
    xmlresult::Add(m_result, L"unended_start_tag",
                   {{L"tagname", std::wstring(name, n)}, {L"offset", xmlresult::Num(e.start)},
                    {L"offset2", xmlresult::Num(closedAt)}});
}

bool XmlDocument::Parse()
{
    m_parent = m_current = m_child = 0;
    m_wellFormed = false;
    if (m_text.size() > kMaxTextLength) {
        ResetIndex(8);
        Rec(0).flagsDepth |= DocIllFormed;
        xmlresult::Add(m_result, L"tag_too_long", {{L"offset", L"0"}});
        return false;
    }
    const wchar_t* t = m_text.c_str();
    const uint32_t len = static_cast<uint32_t>(m_text.size());
    ResetIndex(len / 64 + 8);
    Rec(0).length = len;

    const bool fold = (m_options & IgnoreCase) != 0;
    struct Open {
        uint32_t index;
        uint32_t nameStart;
        uint32_t nameLength;
        uint32_t hash;
        uint32_t prevInBucket; // stack position + 1 of the next-outer open tag in the bucket
    };
    std::vector<Open> stack;
    stack.reserve(64);
    std::vector<uint32_t> heads(kOpenBuckets, 0); // stack position + 1 of the innermost open tag
    auto pop = [&]() {
        Open o = stack.back();
        heads[o.hash & (kOpenBuckets - 1)] = o.prevInBucket;
        stack.pop_back();
        return o;
    };

    bool illFormed = false;
    bool unended = false;
    uint32_t pos = 0;
    while (pos < len) {
        if (t[pos] != L'<') {
            pos = detail::Find(t, len, pos, L'<');
            continue;
        }
        const Token tok = NextTag(t, len, pos);
        pos = tok.end;
        switch (tok.kind) {
        case TokenKind::StartTag: {
            const uint32_t tagLength = tok.end - tok.start;
            if (tagLength > kMaxStartTag) {
                illFormed = true;
                xmlresult::Add(m_result, L"tag_too_long", {{L"offset", xmlresult::Num(tok.start)}});
                break;
            }
            if (stack.size() > kMaxDepth) {
                illFormed = true;
                xmlresult::Add(m_result, L"nesting_too_deep", {{L"offset", xmlresult::Num(tok.start)}});
                break;
            }
            const uint32_t index = NewRecord();
            Element& e = Rec(index);
            e.start = tok.start;
            e.length = tagLength;
            e.tagLengths = tagLength;
            e.flagsDepth = static_cast<uint32_t>(stack.size()) | (tok.empty ? ElemEmpty : 0u);
            LinkLastChild(stack.empty() ? 0 : stack.back().index, index);
            if (!tok.empty) {
                const uint32_t h = NameHash(t + tok.nameStart, tok.nameLength, fold);
                uint32_t& head = heads[h & (kOpenBuckets - 1)];
                stack.push_back(Open{index, tok.nameStart, tok.nameLength, h, head});
                head = static_cast<uint32_t>(stack.size());
            }
            break;
        }
        case TokenKind::EndTag: {
            const uint32_t h = NameHash(t + tok.nameStart, tok.nameLength, fold);
            uint32_t match = 0;
            for (uint32_t s = heads[h & (kOpenBuckets - 1)]; s; s = stack[s - 1].prevInBucket) {
                const Open& o = stack[s - 1];
                if (o.hash == h && o.nameLength == tok.nameLength &&
                    SameName(t + o.nameStart, t + tok.nameStart, tok.nameLength, fold)) {
                    match = s;
                    break;
                }
            }
            if (!match) {
                illFormed = true;
                xmlresult::Add(m_result, L"lone_end_tag",
                               {{L"tagname", std::wstring(t + tok.nameStart, tok.nameLength)},
                                {L"offset", xmlresult::Num(tok.start)}});
                break;
            }
            const uint32_t endLength = tok.end - tok.start;
            if (endLength > kMaxEndTag) {
                illFormed = true;
                xmlresult::Add(m_result, L"tag_too_long", {{L"offset", xmlresult::Num(tok.start)}});
                break;
            }
            while (stack.size() > match) {
                Open o = pop();
                Rec(o.index).flagsDepth |= ElemUnended;
                ReportUnended(o.index, tok.start);
                unended = illFormed = true;
            }
            Open o = pop();
            Element& e = Rec(o.index);
            e.length = tok.end - e.start;
            e.tagLengths |= endLength << 22;
            break;
        }
        case TokenKind::Error:
            illFormed = true;
            if (tok.openType)
                xmlresult::Add(m_result, tok.error,
                               {{L"offset", xmlresult::Num(tok.errorOffset)}, {L"type", tok.openType}});
            else
                xmlresult::Add(m_result, tok.error, {{L"offset", xmlresult::Num(tok.errorOffset)}});
            break;
        default:
            break;
        }
    }
    while (!stack.empty()) {
        Open o = pop();
        Rec(o.index).flagsDepth |= ElemUnended;
        ReportUnended(o.index, len);
        unended = illFormed = true;
    }
    if (unended)
        RebuildLinks();

    const uint32_t root = Rec(0).firstChild;
    if (!root)
        xmlresult::Add(m_result, L"no_root_element");
    else if (Rec(root).nextSibling)
        xmlresult::Add(m_result, L"root_has_sibling");
    if (illFormed)
        Rec(0).flagsDepth |= DocIllFormed;
    m_wellFormed = !illFormed && root && !Rec(root).nextSibling;
    return m_wellFormed;
}

// ---------------------------------------------------------------------------------------
// Navigation

bool XmlDocument::NameMatches(uint32_t index, const wchar_t* name, size_t nameLength) const
{
    const Element& e = Rec(index);
    const wchar_t* tag = m_text.c_str() + e.start + 1;
    const uint32_t limit = e.StartTagLength() - 1;
    uint32_t n = 0;
    while (n < limit && !EndsFindName(tag[n]))
        ++n;
    if (nameLength == 0)
        return true;
    return n == nameLength && SameName(tag, name, n, (m_options & IgnoreCase) != 0);
}

bool XmlDocument::FindElement(const wchar_t* name)
{
    const size_t nameLength = name ? std::wcslen(name) : 0;
    uint32_t i = m_current ? Rec(m_current).nextSibling : Rec(m_parent).firstChild;
    for (; i; i = Rec(i).nextSibling) {
        if (NameMatches(i, name, nameLength)) {
            m_current = i;
            m_parent = Rec(i).parent;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement()
{
    if (!m_current)
        return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (!m_parent)
        return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = Rec(m_parent).parent;
    return true;
}

// ---------------------------------------------------------------------------------------
// Attributes

uint32_t XmlDocument::BodyEnd(uint32_t index) const
{
    const Element& e = Rec(index);
    uint32_t end = e.start + e.StartTagLength() - 1; // the closing '>'
    if (e.flagsDepth & ElemEmpty)
        --end; // the '/' of "/>"
    return end;
}

std::wstring XmlDocument::GetAttribute(const wchar_t* name) const
{
    if (!m_current || !name || !*name)
        return std::wstring();
    const wchar_t* t = m_text.c_str();
    const size_t n = std::wcslen(name);
    uint32_t last = 0;
    AttributeSpan found;
    bool has = ScanAttributes(t, Rec(m_current).start + 1, BodyEnd(m_current), last, [&](const AttributeSpan& a) {
        if (a.nameEnd - a.nameStart != n || std::wmemcmp(t + a.nameStart, name, n) != 0)
            return false;
        found = a;
        return true;
    });
    if (!has)
        return std::wstring();
    return Unescape(t + found.valueStart, found.valueEnd - found.valueStart);
}

void XmlDocument::Replace(uint32_t pos, uint32_t removed, const std::wstring& inserted)
{
    const int64_t delta = int64_t(inserted.size()) - removed;
    const uint32_t from = pos + removed;
    m_text.replace(pos, removed, inserted);
    for (uint32_t i = 1; i < m_count; ++i) {
        Element& r = Rec(i);
        if (r.start >= from)
            r.start = static_cast<uint32_t>(r.start + delta);
    }
}

void XmlDocument::GrowAncestors(uint32_t index, int64_t delta)
{
    for (uint32_t i = index;; i = Rec(i).parent) {
        Rec(i).length = static_cast<uint32_t>(Rec(i).length + delta);
        if (i == 0)
            break;
    }
}

bool XmlDocument::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!m_current || !IsValidAttributeName(name))
        return false;
    const wchar_t* t = m_text.c_str();
    const size_t n = std::wcslen(name);
    const uint32_t bodyEnd = BodyEnd(m_current);
    uint32_t last = 0;
    AttributeSpan found;
    const bool has = ScanAttributes(t, Rec(m_current).start + 1, bodyEnd, last, [&](const AttributeSpan& a) {
        if (a.nameEnd - a.nameStart != n || std::wmemcmp(t + a.nameStart, name, n) != 0)
            return false;
        found = a;
        return true;
    });
    std::wstring inserted;
    uint32_t pos, removed;
    if (has) {
        inserted = L"\"" + EscapeAttribute(value) + L"\"";
        pos = found.spanStart;
        removed = found.spanEnd - found.spanStart;
    } else {
        inserted = std::wstring(L" ") + name + L"=\"" + EscapeAttribute(value) + L"\"";
        pos = last; // the scan never passes the tag body
        removed = 0;
    }
    const int64_t delta = int64_t(inserted.size()) - removed;
    const int64_t startTag = int64_t(Rec(m_current).StartTagLength()) + delta;
    if (startTag > kMaxStartTag || int64_t(m_text.size()) + delta > int64_t(kMaxTextLength))
        return false;
    Replace(pos, removed, inserted);
    Element& e = Rec(m_current);
    e.tagLengths = (e.tagLengths & ~kMaxStartTag) | static_cast<uint32_t>(startTag);
    GrowAncestors(m_current, delta);
    return true;
}

bool XmlDocument::SetAttribute(const wchar_t* name, int value)
{
    return SetAttribute(name, std::to_wstring(value).c_str());
}

// ---------------------------------------------------------------------------------------
// Adding elements

bool XmlDocument::AddElement(const wchar_t* name, const wchar_t* text)
{
    if (!IsValidElementName(name))
        return false;
    const size_t nameLength = std::wcslen(name);
    const bool hasText = text && *text;
    std::wstring element = L"<";
    element += name;
    if (hasText) {
        element += L'>';
        element += EscapeText(text);
        element += L"</";
        element += name;
        element += L'>';
    } else {
        element += L"/>";
    }
    const uint64_t startTag = hasText ? nameLength + 2 : nameLength + 3;
    const uint64_t endTag = hasText ? nameLength + 3 : 0;
    const uint64_t elementLength = element.size();
    element += L"\r\n";

    const uint32_t parent = m_current ? Rec(m_current).parent : m_parent;
    const uint32_t depth = parent ? Rec(parent).Depth() + 1 : 0;
    if (startTag > kMaxStartTag || endTag > kMaxEndTag || depth > kMaxDepth)
        return false;

    const wchar_t* t = m_text.c_str();
    const uint32_t len = static_cast<uint32_t>(m_text.size());
    uint32_t pos = 0;
    uint32_t childStart = 0;
    if (!m_current && parent && (Rec(parent).flagsDepth & ElemEmpty)) {
        // <p/> becomes <p>, CR LF, the new element, CR LF, </p>.
        Element& p = Rec(parent);
        const uint32_t slash = p.start + p.StartTagLength() - 2;
        uint32_t parentName = 0;
        while (p.start + 1 + parentName < slash && !EndsTagName(t[p.start + 1 + parentName]))
            ++parentName;
        const uint64_t parentEnd = uint64_t(parentName) + 3;
        std::wstring inserted = L">\r\n" + element + L"</" + std::wstring(t + p.start + 1, parentName);
        const int64_t delta = int64_t(inserted.size()) - 1;
        if (parentEnd > kMaxEndTag || uint64_t(len) + delta > kMaxTextLength)
            return false;
        childStart = slash + 3;
        Replace(slash, 1, inserted);
        Element& q = Rec(parent);
        q.tagLengths = (slash + 1 - q.start) | static_cast<uint32_t>(parentEnd << 22);
        q.flagsDepth &= ~ElemEmpty;
        GrowAncestors(parent, delta);
    } else {
        if (m_current) {
            const Element& c = Rec(m_current);
            pos = c.start + c.length;
            uint32_t p = pos;
            while (p < len && IsBlank(t[p]))
                ++p;
            if (p >= len || t[p] == L'<')
                pos = p;
        } else if (parent) {
            const Element& p = Rec(parent);
            if (p.flagsDepth & ElemUnended)
                return false; // no end tag to insert before
            pos = p.start + p.length - p.EndTagLength();
        } else {
            pos = len;
        }
        if (uint64_t(len) + element.size() > kMaxTextLength)
            return false;
        childStart = pos;
        Replace(pos, 0, element);
        GrowAncestors(parent, static_cast<int64_t>(element.size()));
    }

    const uint32_t index = NewRecord();
    Element& e = Rec(index);
    e.start = childStart;
    e.length = static_cast<uint32_t>(elementLength);
    e.tagLengths = static_cast<uint32_t>(startTag | (endTag << 22));
    e.flagsDepth = depth | (hasText ? 0u : ElemEmpty);
    if (m_current) {
        Element& c = Rec(m_current);
        e.parent = parent;
        e.prevSibling = m_current;
        e.nextSibling = c.nextSibling;
        if (c.nextSibling)
            Rec(c.nextSibling).prevSibling = index;
        else
            Rec(Rec(parent).firstChild).prevSibling = index;
        c.nextSibling = index;
    } else {
        LinkLastChild(parent, index);
    }
    m_current = index;
    m_parent = parent;
    m_child = 0;
    return true;
}

// ---------------------------------------------------------------------------------------
// Character references

std::wstring XmlDocument::EscapeText(const wchar_t* text) { return EscapeImpl(text, false); }

std::wstring XmlDocument::EscapeAttribute(const wchar_t* text) { return EscapeImpl(text, true); }

std::wstring XmlDocument::Unescape(const wchar_t* text, size_t length)
{
    std::wstring out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (c != L'&') {
            out += c;
            continue;
        }
        // Up to 9 ASCII characters before a ';'.
        size_t k = 0;
        bool terminated = false;
        for (; k <= 9 && i + 1 + k < length; ++k) {
            const wchar_t d = text[i + 1 + k];
            if (d == L';') {
                terminated = true;
                break;
            }
            if (d >= 0x80)
                break;
        }
        unsigned cp = 0;
        if (terminated && k > 0) {
            const wchar_t* name = text + i + 1;
            if (name[0] == L'#') {
                wchar_t folded[9];
                for (size_t j = 0; j < k; ++j)
                    folded[j] = FoldAscii(name[j]);
                cp = NumericReference(folded, k);
            } else {
                cp = xmltables::LookupEntity(name, k);
            }
        }
        if (!cp) {
            out += c;
            continue;
        }
        xmlsyntax::AppendCodePoint(out, cp);
        i += k + 1;
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Declared encoding

std::wstring XmlDocument::GetDeclaredEncoding(const wchar_t* text, size_t length)
{
    if (!text || length == 0)
        return std::wstring();
    const uint32_t len = static_cast<uint32_t>(std::min(length, kMaxTextLength));
    Token tok = NextToken(text, len, 0);
    if (tok.kind == TokenKind::ProcessingInstruction && tok.nameLength == 3 &&
        std::wmemcmp(text + tok.nameStart, L"xml", 3) == 0) {
        uint32_t last = 0;
        AttributeSpan found;
        bool has = ScanAttributes(text, tok.nameStart, tok.end - 2, last, [&](const AttributeSpan& a) {
            if (a.nameEnd - a.nameStart != 8 || std::wmemcmp(text + a.nameStart, L"encoding", 8) != 0)
                return false;
            found = a;
            return true;
        });
        return has ? std::wstring(text + found.valueStart, found.valueEnd - found.valueStart) : std::wstring();
    }

    // An HTML document: the charset of its Content-Type meta element, up to </head>.
    auto isNamed = [&](const Token& k, const wchar_t* name) {
        size_t n = std::wcslen(name);
        return k.nameLength == n && std::wmemcmp(text + k.nameStart, name, n) == 0;
    };
    uint32_t pos = 0;
    for (;; pos = tok.end) {
        if (pos >= len)
            return std::wstring();
        tok = NextToken(text, len, pos);
        if (tok.kind == TokenKind::StartTag)
            break;
        if (tok.kind == TokenKind::Error)
            return std::wstring();
    }
    if (!isNamed(tok, L"html"))
        return std::wstring();
    for (pos = tok.end; pos < len; pos = tok.end) {
        tok = NextToken(text, len, pos);
        if (tok.kind == TokenKind::Error || (tok.kind == TokenKind::EndTag && isNamed(tok, L"head")))
            break;
        if (tok.kind != TokenKind::StartTag || !isNamed(tok, L"meta"))
            continue;
        uint32_t bodyEnd = tok.end - 1;
        if (tok.empty)
            --bodyEnd;
        std::wstring equiv, content;
        uint32_t last = 0;
        ScanAttributes(text, tok.start + 1, bodyEnd, last, [&](const AttributeSpan& a) {
            const wchar_t* n = text + a.nameStart;
            const size_t nl = a.nameEnd - a.nameStart;
            if (nl == 10 && std::wmemcmp(n, L"http-equiv", 10) == 0)
                equiv = Unescape(text + a.valueStart, a.valueEnd - a.valueStart);
            else if (nl == 7 && std::wmemcmp(n, L"content", 7) == 0)
                content = Unescape(text + a.valueStart, a.valueEnd - a.valueStart);
            return false;
        });
        if (!EqualsAsciiNoCase(equiv.c_str(), equiv.size(), L"Content-Type"))
            continue;
        for (size_t i = 0; i + 7 <= content.size(); ++i) {
            if (!SameName(content.c_str() + i, L"charset", 7, true))
                continue;
            size_t p = i + 7;
            while (p < content.size() && IsBlank(content[p]))
                ++p;
            if (p >= content.size() || content[p] != L'=')
                continue;
            ++p;
            while (p < content.size() && IsBlank(content[p]))
                ++p;
            size_t e = p;
            while (e < content.size() && !IsBlank(content[e]) && content[e] != L';' && content[e] != L'"' &&
                   content[e] != L'\'')
                ++e;
            return content.substr(p, e - p);
        }
    }
    return std::wstring();
}
