#pragma once
// Checks that an XmlDocument's element index describes its text: every record points at a
// tag inside the text, the packed lengths match the tags there, and the parent, child and
// sibling links form one tree whose spans nest. Returns an empty string when all holds,
// otherwise a description of the first violation.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "storage/XmlDocument.h"

namespace xmltest {

inline std::string CheckIndex(const XmlDocument& doc)
{
    std::ostringstream err;
    const std::wstring& t = doc.GetText();
    const uint64_t len = t.size();
    const uint32_t count = doc.GetElementCount();
    if (count == 0)
        return "no record 0";
    const XmlDocument::Element& doc0 = doc.GetElement(0);
    if (doc0.start != 0 || doc0.length != len)
        return "record 0 does not span the text";

    for (uint32_t i = 1; i < count; ++i) {
        const XmlDocument::Element& e = doc.GetElement(i);
        const uint64_t end = uint64_t(e.start) + e.length;
        const uint32_t st = e.StartTagLength(), et = e.EndTagLength();
        if (e.start >= len || end > len) {
            err << "record " << i << " outside the text";
            return err.str();
        }
        if (t[e.start] != L'<' || st < 3 || st > e.length || t[e.start + st - 1] != L'>') {
            err << "record " << i << " start tag does not match the text";
            return err.str();
        }
        const bool empty = (e.flagsDepth & XmlDocument::ElemEmpty) != 0;
        const bool unended = (e.flagsDepth & XmlDocument::ElemUnended) != 0;
        if ((empty || unended) && (et != 0 || e.length != st)) {
            err << "record " << i << " empty or unended element with content";
            return err.str();
        }
        if (empty && t[e.start + st - 2] != L'/') {
            err << "record " << i << " empty element without '/>'";
            return err.str();
        }
        if (!empty && !unended) {
            if (et < 3 || st + et > e.length || t[end - et] != L'<' || t[end - et + 1] != L'/' || t[end - 1] != L'>') {
                err << "record " << i << " end tag does not match the text";
                return err.str();
            }
        }
        if (e.parent >= count || e.firstChild >= count || e.nextSibling >= count || e.prevSibling >= count) {
            err << "record " << i << " links outside the index";
            return err.str();
        }
    }

    // Walk the tree from record 0: every record once, children in text order inside their
    // parent's content, depth one more than the parent's.
    std::vector<uint8_t> seen(count, 0);
    std::vector<uint32_t> todo{0};
    seen[0] = 1;
    uint32_t reached = 1;
    while (!todo.empty()) {
        const uint32_t p = todo.back();
        todo.pop_back();
        const XmlDocument::Element& pe = doc.GetElement(p);
        const uint64_t contentStart = p ? uint64_t(pe.start) + pe.StartTagLength() : 0;
        const uint64_t contentEnd = p ? uint64_t(pe.start) + pe.length - pe.EndTagLength() : len;
        uint64_t at = contentStart;
        uint32_t last = 0;
        for (uint32_t c = pe.firstChild; c; c = doc.GetElement(c).nextSibling) {
            if (seen[c]) {
                err << "record " << c << " reached twice";
                return err.str();
            }
            seen[c] = 1;
            ++reached;
            const XmlDocument::Element& ce = doc.GetElement(c);
            const uint32_t depth = p ? pe.Depth() + 1 : 0;
            if (ce.parent != p || ce.Depth() != depth) {
                err << "record " << c << " parent or depth wrong";
                return err.str();
            }
            if (ce.start < at || uint64_t(ce.start) + ce.length > contentEnd) {
                err << "record " << c << " not inside its parent's content or out of order";
                return err.str();
            }
            const bool first = c == pe.firstChild;
            if (first != ((ce.flagsDepth & XmlDocument::ElemFirstChild) != 0) || (!first && ce.prevSibling != last)) {
                err << "record " << c << " first-child flag or previous link wrong";
                return err.str();
            }
            at = uint64_t(ce.start) + ce.length;
            last = c;
            todo.push_back(c);
        }
        if (pe.firstChild && doc.GetElement(pe.firstChild).prevSibling != last) {
            err << "record " << p << " first child does not point at the last child";
            return err.str();
        }
    }
    if (reached != count)
        return "records not reachable from the document";

    const uint32_t parent = doc.GetParentIndex(), current = doc.GetCurrentIndex(), child = doc.GetChildIndex();
    if (parent >= count || current >= count || child >= count)
        return "position outside the index";
    if (current && doc.GetElement(current).parent != parent)
        return "current element is not a child of the parent";
    return std::string();
}

// The index in text order with the fields a fresh parse must reproduce.
struct Shape {
    uint32_t start, length, tagLengths, depth, flags, parentStart;
    bool operator==(const Shape& o) const
    {
        return start == o.start && length == o.length && tagLengths == o.tagLengths && depth == o.depth &&
               flags == o.flags && parentStart == o.parentStart;
    }
};

inline std::vector<Shape> Shapes(const XmlDocument& doc)
{
    std::vector<Shape> out;
    for (uint32_t i = 1; i < doc.GetElementCount(); ++i) {
        const XmlDocument::Element& e = doc.GetElement(i);
        const uint32_t parentStart = e.parent ? doc.GetElement(e.parent).start : UINT32_MAX;
        out.push_back({e.start, e.length, e.tagLengths, e.Depth(),
                       e.flagsDepth & (XmlDocument::ElemEmpty | XmlDocument::ElemUnended | XmlDocument::ElemFirstChild),
                       parentStart});
    }
    std::sort(out.begin(), out.end(), [](const Shape& a, const Shape& b) { return a.start < b.start; });
    return out;
}

// True when parsing the document's text again gives the same index.
inline bool MatchesReparse(const XmlDocument& doc)
{
    XmlDocument fresh;
    fresh.SetOptions(doc.GetOptions());
    fresh.SetText(doc.GetText());
    return Shapes(fresh) == Shapes(doc);
}

} // namespace xmltest
