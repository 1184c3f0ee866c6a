#pragma once
// Lexical layer of XmlDocument: the tokenizer that reads one node at a time, the scanner of
// a start tag's attributes, and the character classes both use. Internal to storage/Xml*.
#include <cstdint>
#include <cwchar>
#include <string>

namespace xmlsyntax {

// Appends a code point, as a surrogate pair from 0x10000 up.
inline void AppendCodePoint(std::wstring& out, uint32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

inline bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// Ends the name of a start or end tag in the tokenizer.
inline bool EndsTagName(wchar_t c) { return IsBlank(c) || c == L'/' || c == L'>'; }

// Ends the tag name that FindElement compares.
inline bool EndsFindName(wchar_t c)
{
    switch (c) {
    case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>': case L'=': case L'\\':
    case L'/': case L'?': case L'!': case L'"': case L'\'': case L';':
        return true;
    default:
        return false;
    }
}

// A '<' followed by this character opens a start tag.
inline bool StartsStartTag(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L':' || c == L'_' || c >= 0x7B;
}

enum class TokenKind { Whitespace, Text, StartTag, EndTag, ProcessingInstruction, Comment, CData, DocType, Error };

struct Token {
    TokenKind kind = TokenKind::Error;
    uint32_t start = 0;      // offset of the first character
    uint32_t end = 0;        // offset after the last character
    uint32_t nameStart = 0;  // tag name (start and end tags) or target (processing instruction)
    uint32_t nameLength = 0;
    bool empty = false;      // start tag closed by "/>"
    // Error tokens: the syntax error's entry name, its offset and, for an unterminated tag,
    // what was open.
    const wchar_t* error = nullptr;
    uint32_t errorOffset = 0;
    const wchar_t* openType = nullptr;
};

namespace detail {

inline uint32_t Find(const wchar_t* t, uint32_t len, uint32_t from, wchar_t c)
{
    if (from >= len)
        return len;
    const wchar_t* p = std::wmemchr(t + from, c, len - from);
    return p ? static_cast<uint32_t>(p - t) : len;
}

// Offset after the first occurrence of the two- or three-character terminator `term` at or
// after `from`; `len` + 1 when there is none.
inline uint32_t FindAfter(const wchar_t* t, uint32_t len, uint32_t from, const wchar_t* term, uint32_t termLen)
{
    const wchar_t last = term[termLen - 1];
    for (uint32_t p = from + termLen - 1; p < len; ++p) {
        p = Find(t, len, p, last);
        if (p >= len)
            break;
        bool match = true;
        for (uint32_t k = 0; k + 1 < termLen && match; ++k)
            match = t[p - (termLen - 1) + k] == term[k];
        if (match)
            return p + 1;
    }
    return len + 1;
}

inline Token Error(const wchar_t* t, uint32_t len, uint32_t start, const wchar_t* error, uint32_t at)
{
    Token tok;
    tok.kind = TokenKind::Error;
    tok.start = start;
    uint32_t gt = Find(t, len, at, L'>');
    tok.end = gt < len ? gt + 1 : len;
    tok.error = error;
    tok.errorOffset = at;
    return tok;
}

inline Token Unterminated(uint32_t len, uint32_t start, const wchar_t* type)
{
    Token tok;
    tok.kind = TokenKind::Error;
    tok.start = start;
    tok.end = len;
    tok.error = L"unterminated_tag_syntax";
    tok.errorOffset = start;
    tok.openType = type;
    return tok;
}

inline Token Simple(TokenKind kind, uint32_t start, uint32_t end)
{
    Token tok;
    tok.kind = kind;
    tok.start = start;
    tok.end = end;
    return tok;
}

} // namespace detail

// Reads the tag that starts with the '<' at `pos`.
inline Token NextTag(const wchar_t* t, uint32_t len, uint32_t pos)
{
    using namespace detail;
    uint32_t p = pos + 1;
    if (p >= len)
        return Unterminated(len, pos, L"tag");
    wchar_t c = t[p];
    if (StartsStartTag(c)) {
        Token tok;
        tok.kind = TokenKind::StartTag;
        tok.start = pos;
        tok.nameStart = p;
        while (p < len && !EndsTagName(t[p]))
            ++p;
        const uint32_t nameEnd = p;
        tok.nameLength = nameEnd - tok.nameStart;
        uint32_t closingQuote = 0; // offset after the last closing quote of a value
        for (;;) {
            if (p >= len)
                return Unterminated(len, pos, L"start_tag");
            c = t[p];
            if (c == L'>')
                break;
            if (c == L'=') {
                ++p;
                while (p < len && IsBlank(t[p]))
                    ++p;
                if (p < len && (t[p] == L'"' || t[p] == L'\'')) {
                    uint32_t q = Find(t, len, p + 1, t[p]);
                    if (q >= len)
                        return Unterminated(len, pos, L"start_tag");
                    p = q + 1;
                    closingQuote = p;
                }
                continue;
            }
            ++p;
        }
        // "/>" makes an empty element when the '/' follows the name, a blank or a closing quote.
        if (t[p - 1] == L'/' && p - 1 >= nameEnd) {
            const uint32_t slash = p - 1;
            tok.empty = slash == nameEnd || IsBlank(t[slash - 1]) || slash == closingQuote;
        }
        tok.end = p + 1;
        return tok;
    }
    switch (c) {
    case L'/': {
        Token tok;
        tok.kind = TokenKind::EndTag;
        tok.start = pos;
        tok.nameStart = p + 1;
        uint32_t q = tok.nameStart;
        while (q < len && !EndsTagName(t[q]))
            ++q;
        tok.nameLength = q - tok.nameStart;
        uint32_t gt = Find(t, len, q, L'>');
        if (gt >= len)
            return Unterminated(len, pos, L"end_tag");
        tok.end = gt + 1;
        return tok;
    }
    case L'?': {
        uint32_t end = FindAfter(t, len, p + 1, L"?>", 2);
        if (end > len)
            return Unterminated(len, pos, L"processing_instruction");
        Token tok = Simple(TokenKind::ProcessingInstruction, pos, end);
        tok.nameStart = p + 1;
        uint32_t q = tok.nameStart;
        while (q < end - 2 && !IsBlank(t[q]) && t[q] != L'?')
            ++q;
        tok.nameLength = q - tok.nameStart;
        return tok;
    }
    case L'!':
        break;
    default:
        return Error(t, len, pos, L"first_tag_syntax", pos);
    }
    // "<!"
    p = pos + 2;
    if (p >= len)
        return Unterminated(len, pos, L"tag");
    c = t[p];
    if (c == L'-') {
        if (p + 1 >= len)
            return Unterminated(len, pos, L"tag");
        if (t[p + 1] != L'-')
            return Error(t, len, pos, L"comment_tag_syntax", pos);
        uint32_t end = FindAfter(t, len, pos + 4, L"-->", 3);
        if (end > len)
            return Unterminated(len, pos, L"comment");
        return Simple(TokenKind::Comment, pos, end);
    }
    if (c == L'[') {
        if (p + 1 >= len)
            return Unterminated(len, pos, L"tag");
        if (t[p + 1] != L'C')
            return Error(t, len, pos, L"cdata_section_syntax", pos);
        uint32_t end = FindAfter(t, len, pos + 4, L"]]>", 3);
        if (end > len)
            return Unterminated(len, pos, L"cdata_section");
        return Simple(TokenKind::CData, pos, end);
    }
    if (c != L'D')
        return Error(t, len, pos, L"exclamation_tag_syntax", pos);
    // Document type: up to the '>' after the internal subset, if any.
    for (p = pos + 3; p < len; ++p) {
        c = t[p];
        if (c == L'>')
            return Simple(TokenKind::DocType, pos, p + 1);
        if (c != L'[')
            continue;
        for (++p; p < len && t[p] != L']'; ++p) {
            if (t[p] == L'<' && p + 1 < len && t[p + 1] == L'!') {
                if (p + 2 >= len)
                    return Unterminated(len, pos, L"document_type");
                wchar_t d = t[p + 2];
                if (d != L'E' && d != L'A' && d != L'N')
                    return Error(t, len, pos, L"doctype_tag_syntax", p);
            }
        }
        if (p >= len)
            break;
        uint32_t gt = Find(t, len, p, L'>');
        if (gt >= len)
            break;
        return Simple(TokenKind::DocType, pos, gt + 1);
    }
    return Unterminated(len, pos, L"document_type");
}

// Reads the node at `pos` (which must be below `len`).
inline Token NextToken(const wchar_t* t, uint32_t len, uint32_t pos)
{
    if (t[pos] == L'<')
        return NextTag(t, len, pos);
    uint32_t end = detail::Find(t, len, pos, L'<');
    TokenKind kind = TokenKind::Whitespace;
    for (uint32_t p = pos; p < end; ++p) {
        if (!IsBlank(t[p])) {
            kind = TokenKind::Text;
            break;
        }
    }
    return detail::Simple(kind, pos, end);
}

// One attribute found in a start tag (or in the pseudo-attributes of a processing
// instruction). Offsets are into the document text.
struct AttributeSpan {
    uint32_t nameStart = 0, nameEnd = 0;
    uint32_t valueStart = 0, valueEnd = 0; // the value without its quotes
    uint32_t spanStart = 0, spanEnd = 0;   // the value with its quotes, if it has any
};

// Scans the tag body [from, end): the first token is the name, then attributes. Calls
// `visit(const AttributeSpan&)` for each attribute until it returns true; returns whether
// one was accepted. `lastTokenEnd` receives the offset after the last token scanned.
template <class Visit>
bool ScanAttributes(const wchar_t* t, uint32_t from, uint32_t end, uint32_t& lastTokenEnd, Visit visit)
{
    auto stops = [](wchar_t c) { return IsBlank(c) || c == L'=' || c == L'>' || c == L'/' || c == L'?'; };
    auto quoted = [&](uint32_t& p) { // p at the opening quote; returns the offset of the closing quote or end
        wchar_t q = t[p];
        uint32_t close = p + 1;
        while (close < end && t[close] != q)
            ++close;
        p = close < end ? close + 1 : end;
        return close;
    };
    uint32_t p = from;
    while (p < end && !stops(t[p]))
        ++p;
    lastTokenEnd = p;
    for (;;) {
        while (p < end && IsBlank(t[p]))
            ++p;
        if (p >= end || t[p] == L'/' || t[p] == L'>' || t[p] == L'?')
            return false;
        if (t[p] == L'"' || t[p] == L'\'') { // a stray value
            quoted(p);
            lastTokenEnd = p;
            continue;
        }
        if (t[p] == L'=') { // a stray '='
            lastTokenEnd = ++p;
            continue;
        }
        AttributeSpan a;
        a.nameStart = p;
        while (p < end && !stops(t[p]))
            ++p;
        a.nameEnd = p;
        lastTokenEnd = p;
        uint32_t q = p;
        while (q < end && IsBlank(t[q]))
            ++q;
        if (q >= end || t[q] != L'=')
            continue; // a name without a value
        p = q + 1;
        lastTokenEnd = p;
        uint32_t v = p;
        while (v < end && IsBlank(t[v]))
            ++v;
        if (v < end && (t[v] == L'"' || t[v] == L'\'')) {
            a.spanStart = v;
            a.valueStart = v + 1;
            p = v;
            a.valueEnd = quoted(p);
            a.spanEnd = p;
        } else if (v > p) {
            // "name=" followed by a blank: the value is empty and what follows is the next token.
            a.spanStart = a.spanEnd = a.valueStart = a.valueEnd = p;
        } else {
            while (p < end && !IsBlank(t[p]) && t[p] != L'>')
                ++p;
            a.spanStart = a.valueStart = v;
            a.spanEnd = a.valueEnd = p;
        }
        lastTokenEnd = a.spanEnd;
        if (visit(a))
            return true;
    }
}

} // namespace xmlsyntax
