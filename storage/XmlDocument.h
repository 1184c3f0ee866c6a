#pragma once
// XmlDocument: an XML document held as one UTF-16 string with an index of its elements.
//
// Parsing records where each element starts and ends; it builds no node objects and copies
// no names or values. Attribute values are found by scanning the element's start tag when
// they are asked for. Edits change the string in place and shift the index. The class also
// reads and writes text files in UTF-8, UTF-16, UTF-32 and the Windows code pages, and
// describes what happened in a small XML result string (one empty element per event).
//
// Tag and attribute names are compared case-sensitively unless the IgnoreCase option is set.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XmlDocument {
public:
    // Bits of the option word.
    enum : int {
        IgnoreCase = 0x0001,  // tag names compare ASCII-case-insensitively
        FileUtf8Bom = 0x0100, // the file has (is written with) a UTF-8 byte order mark
        FileUtf16LE = 0x0200, // the file is UTF-16 little-endian, with its mark
        FileUtf16BE = 0x0400, // the file is UTF-16 big-endian, with its mark
        FileAppend = 0x0800,  // WriteFileText appends to the file instead of replacing it
        FileFlags = FileUtf8Bom | FileUtf16LE | FileUtf16BE,
    };

    // Files longer than this are refused by ReadFileText.
    static constexpr uint64_t kMaxFileBytes = 64ull * 1024 * 1024;

    // One record of the element index. Record 0 stands for the document: its length is the
    // text length, its first child is the root element and its flags carry DocIllFormed.
    struct Element {
        uint32_t start;       // offset of the element's '<'
        uint32_t length;      // from '<' to the end of the end tag (or of the empty-element tag)
        uint32_t tagLengths;  // low 22 bits: start tag length; high 10 bits: end tag length
        uint32_t flagsDepth;  // low 16 bits: nesting depth (0 for the root); high bits: flags
        uint32_t parent;      // 0 for elements at document level
        uint32_t firstChild;  // 0 if none
        uint32_t nextSibling; // 0 if none
        uint32_t prevSibling; // for the first child: the last child of the parent

        uint32_t StartTagLength() const { return tagLengths & kMaxStartTag; }
        uint32_t EndTagLength() const { return tagLengths >> 22; }
        uint32_t Depth() const { return flagsDepth & kMaxDepth; }
    };
    static constexpr uint32_t ElemEmpty = 0x10000;      // an empty-element tag "<a/>"
    static constexpr uint32_t ElemFirstChild = 0x20000; // first child of its parent
    static constexpr uint32_t ElemUnended = 0x40000;    // start tag without end tag: spans the start tag only
    static constexpr uint32_t DocIllFormed = 0x80000;   // record 0 only
    static constexpr uint32_t kMaxStartTag = 0x3FFFFF; // widths of the packed fields
    static constexpr uint32_t kMaxEndTag = 0x3FF;
    static constexpr uint32_t kMaxDepth = 0xFFFF;
    static constexpr uint32_t kBlockRecords = 65536;   // records per index block

    XmlDocument();
    explicit XmlDocument(const wchar_t* text);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the whole text (null = empty), clears the result string and parses.
    bool SetText(const wchar_t* text);
    bool SetText(const std::wstring& text);
    const std::wstring& GetText() const { return m_text; }

    // ReadFileText into the document, then Parse; true only when both succeed. The file
    // flags found are kept in the option word for a later SaveFile.
    bool LoadFile(const wchar_t* path);
    // WriteFileText of the document text with the document's option word.
    bool SaveFile(const wchar_t* path);

    // Reads a whole text file (at most kMaxFileBytes) into a wide string. Detects byte
    // order marks, a declared encoding and undeclared UTF-8; returns the file flags found in
    // `options` (other bits are kept).
    static bool ReadFileText(const wchar_t* path, std::wstring& text, std::wstring& result, int& options);
    // Writes a wide string as a text file in the encoding chosen by the file flags of
    // `options`, else the one declared in the text, else UTF-8.
    static bool WriteFileText(const wchar_t* path, const std::wstring& text, std::wstring& result, int& options);

    // Rebuilds the element index from the text; appends its reports to the result string.
    // True when the document is well-formed.
    bool Parse();

    // Moves to the next sibling element with that name (any element for an empty name).
    bool FindElement(const wchar_t* name);
    // The current element becomes the parent; the position is before its first child (or
    // at the child that was current when it was left).
    bool EnterElement();
    // The parent becomes the current element again.
    bool LeaveElement();

    // The unescaped value of an attribute of the current element, or an empty string.
    std::wstring GetAttribute(const wchar_t* name) const;
    // Sets or adds an attribute of the current element.
    bool SetAttribute(const wchar_t* name, const wchar_t* value);
    bool SetAttribute(const wchar_t* name, int value);
    // Adds an element after the current element (or as the last child of the parent) and
    // makes it current. `text` (may be null) becomes its escaped content.
    bool AddElement(const wchar_t* name, const wchar_t* text = nullptr);

    const std::wstring& GetResult() const { return m_result; }

    int GetOptions() const { return m_options; }
    void SetOptions(int options) { m_options = options; }

    // Result of the last parse.
    bool IsWellFormed() const { return m_wellFormed; }

    // The element index: records 0 .. GetElementCount() - 1.
    uint32_t GetElementCount() const { return m_count; }
    const Element& GetElement(uint32_t index) const { return Rec(index); }
    // The position: parent, current and child element indexes (0 = none).
    uint32_t GetParentIndex() const { return m_parent; }
    uint32_t GetCurrentIndex() const { return m_current; }
    uint32_t GetChildIndex() const { return m_child; }

    // Character references: text content escapes < & >; attribute values also ' and ".
    static std::wstring EscapeText(const wchar_t* text);
    static std::wstring EscapeAttribute(const wchar_t* text);
    static std::wstring Unescape(const wchar_t* text, size_t length);

    // The encoding declared by the text: the "encoding" of an <?xml ...?> declaration at
    // offset 0, or the charset of an HTML Content-Type meta element; empty when none.
    static std::wstring GetDeclaredEncoding(const wchar_t* text, size_t length);

private:
    Element& Rec(uint32_t index) { return m_blocks[index >> 16][index & 0xFFFF]; }
    const Element& Rec(uint32_t index) const { return m_blocks[index >> 16][index & 0xFFFF]; }
    void ResetIndex(uint32_t capacity);
    void Grow();
    uint32_t NewRecord();
    void LinkLastChild(uint32_t parent, uint32_t index);
    void RebuildLinks();
    void AddEntry(const wchar_t* name, uint32_t offset, const wchar_t* extraName = nullptr,
                  const std::wstring& extraValue = std::wstring());
    void ReportUnended(uint32_t index, uint32_t closedAt);
    bool NameMatches(uint32_t index, const wchar_t* name, size_t nameLength) const;
    uint32_t BodyEnd(uint32_t index) const;
    // Replaces [pos, pos + removed) by `inserted` and shifts every record that starts at or
    // after the replaced span; the caller fixes the records that contain it.
    void Replace(uint32_t pos, uint32_t removed, const std::wstring& inserted);
    void GrowAncestors(uint32_t index, int64_t delta);

    std::wstring m_text;
    std::wstring m_result;
    int m_options = 0;
    bool m_wellFormed = false;

    std::vector<std::unique_ptr<Element[]>> m_blocks;
    std::vector<uint32_t> m_blockSizes;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;

    uint32_t m_parent = 0;
    uint32_t m_current = 0;
    uint32_t m_child = 0;
};
