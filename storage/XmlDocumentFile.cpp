// XmlDocument: reading and writing text files in their encodings.
#include "storage/XmlDocument.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "storage/XmlResult.h"
#include "storage/XmlSyntax.h"
#include "storage/XmlTables.h"

using xmlresult::Num;

namespace {

// How a named encoding is converted.
struct Codec {
    enum Kind { CodePage, Utf16LE, Utf16BE, Utf32LE, Utf32BE } kind = CodePage;
    UINT codePage = CP_ACP;
};

bool StartsWith(const std::wstring& s, const wchar_t* prefix)
{
    size_t n = std::wcslen(prefix);
    return s.size() >= n && s.compare(0, n, prefix) == 0;
}

bool EndsWithBE(const std::wstring& s)
{
    size_t n = s.size();
    return n >= 2 && (s[n - 2] == L'B' || s[n - 2] == L'b') && (s[n - 1] == L'E' || s[n - 1] == L'e');
}

// An empty or unknown name is the ANSI code page; names starting with "UTF-32" use the
// class's own UTF-32 conversion, and so do the UTF-32 code pages, which the Windows
// conversion functions do not accept.
Codec CodecFor(const std::wstring& name)
{
    Codec c;
    if (StartsWith(name, L"UTF-32")) {
        c.kind = EndsWithBE(name) ? Codec::Utf32BE : Codec::Utf32LE;
        return c;
    }
    int cp = name.empty() ? -1 : xmltables::LookupCodePage(name.c_str(), name.size());
    switch (cp) {
    case -1: break;
    case 1200: c.kind = Codec::Utf16LE; break;
    case 1201: c.kind = Codec::Utf16BE; break;
    case 12000: c.kind = Codec::Utf32LE; break;
    case 12001: c.kind = Codec::Utf32BE; break;
    default: c.codePage = static_cast<UINT>(cp); break;
    }
    return c;
}

// Code pages whose conversion from UTF-16 takes no flags and cannot report lost characters.
bool ConvertsWithoutLossCheck(UINT cp)
{
    return (cp >= 50220 && cp <= 50222) || cp == 50225 || cp == 50227 || cp == 50229 || cp == 52936 ||
           cp == 54936 || (cp >= 57002 && cp <= 57011) || cp == 65000 || cp == 65001;
}

DWORD LastFileError()
{
    DWORD err = GetLastError();
    if (!err)
        err = static_cast<DWORD>(_doserrno);
    if (!err)
        err = ERROR_GEN_FAILURE;
    return err;
}

void AddFileError(std::wstring& result, DWORD err)
{
    std::wstring msg;
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, err, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n && buffer)
        msg.assign(buffer, n);
    if (buffer)
        LocalFree(buffer);
    size_t cut = msg.find_first_of(L"\r\n");
    if (cut != std::wstring::npos)
        msg.resize(cut);
    if (msg.size() > 100)
        msg.resize(100);
    xmlresult::Add(result, L"file_error", {{L"msg", msg}, {L"n", Num(err)}});
}

// True when every byte from 0x80 up starts a complete UTF-8 sequence.
bool IsUtf8(const char* s, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80)
            continue;
        size_t follow;
        if ((b & 0xE0) == 0xC0)
            follow = 1;
        else if ((b & 0xF0) == 0xE0)
            follow = 2;
        else if ((b & 0xF8) == 0xF0)
            follow = 3;
        else
            return false;
        if (i + follow >= n)
            return false;
        for (size_t k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += follow;
    }
    return true;
}

std::wstring Utf8ToWide(const char* bytes, size_t n)
{
    if (n == 0)
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(n), nullptr, 0);
    std::wstring w(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(n), &w[0], units);
    return w;
}

// UTF-32 to UTF-16. Units that name no character become U+FFFD; zero units are dropped.
std::wstring FromUtf32(const unsigned char* p, size_t units, bool bigEndian, size_t& zeros)
{
    std::wstring out;
    out.reserve(units);
    zeros = 0;
    for (size_t i = 0; i < units; ++i, p += 4) {
        uint32_t cp = bigEndian ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                                : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        if (cp == 0) {
            ++zeros;
            continue;
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        xmlsyntax::AppendCodePoint(out, cp);
    }
    return out;
}

// UTF-16 to UTF-32; an unpaired surrogate becomes U+FFFD and counts as a loss.
std::string ToUtf32(const std::wstring& text, bool bigEndian, size_t& units, bool& loss)
{
    std::string out;
    out.reserve(text.size() * 4);
    units = 0;
    loss = false;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
            loss = true;
        }
        unsigned char b[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                              static_cast<unsigned char>(cp >> 16), static_cast<unsigned char>(cp >> 24)};
        if (bigEndian)
            out.append({static_cast<char>(b[3]), static_cast<char>(b[2]), static_cast<char>(b[1]), static_cast<char>(b[0])});
        else
            out.append(reinterpret_cast<const char*>(b), 4);
        ++units;
    }
    return out;
}

class File {
public:
    File(const wchar_t* path, const wchar_t* mode) : m_file(path && *path ? _wfopen(path, mode) : nullptr) {}
    ~File()
    {
        if (m_file)
            std::fclose(m_file);
    }
    FILE* get() const { return m_file; }
    // Closes the file; false when the close failed.
    bool Close()
    {
        FILE* f = m_file;
        m_file = nullptr;
        return std::fclose(f) == 0;
    }

private:
    FILE* m_file;
};

const unsigned char kBomUtf8[] = {0xEF, 0xBB, 0xBF};
const unsigned char kBomUtf16LE[] = {0xFF, 0xFE};
const unsigned char kBomUtf16BE[] = {0xFE, 0xFF};

} // namespace

bool XmlDocument::ReadFileText(const wchar_t* path, std::wstring& text, std::wstring& result, int& options)
{
    result.clear();
    text.clear();
    SetLastError(0);
    File file(path, L"rb");
    if (!file.get()) {
        AddFileError(result, path && *path ? LastFileError() : ERROR_INVALID_NAME);
        return false;
    }
    FILE* f = file.get();
    __int64 size = -1;
    if (_fseeki64(f, 0, SEEK_END) == 0)
        size = _ftelli64(f);
    if (size < 0 || _fseeki64(f, 0, SEEK_SET) != 0) {
        AddFileError(result, LastFileError());
        return false;
    }
    if (static_cast<uint64_t>(size) > kMaxFileBytes) {
        AddFileError(result, ERROR_FILE_TOO_LARGE);
        return false;
    }

    const size_t capacity = static_cast<size_t>(size);
    std::unique_ptr<char[]> buffer(new char[capacity + 1]);
    const size_t head = std::fread(buffer.get(), 1, std::min<size_t>(capacity, 1024), f);
    const size_t rest = capacity > head ? std::fread(buffer.get() + head, 1, capacity - head, f) : 0;
    if (std::ferror(f)) {
        AddFileError(result, LastFileError());
        return false;
    }
    const size_t total = head + rest; // the file may have shrunk since its length was taken
    if (!file.Close()) {
        AddFileError(result, LastFileError());
        return false;
    }

    // Byte order marks, in table order.
    std::wstring encoding;
    int flags = 0;
    size_t skip = 0;
    const char* bytes = buffer.get();
    auto hasMark = [&](const unsigned char* mark, size_t n) { return head >= n && std::memcmp(bytes, mark, n) == 0; };
    if (hasMark(kBomUtf8, 3)) {
        encoding = L"UTF-8";
        flags = FileUtf8Bom;
        skip = 3;
    } else if (hasMark(kBomUtf16LE, 2)) {
        encoding = L"UTF-16LE";
        flags = FileUtf16LE;
        skip = 2;
    } else if (hasMark(kBomUtf16BE, 2)) {
        encoding = L"UTF-16BE";
        flags = FileUtf16BE;
        skip = 2;
    }
    if (flags) {
        xmlresult::Add(result, L"bom");
    } else {
        // No mark: look for a declaration in the first bytes (zero bytes aside, so that an
        // unmarked UTF-16 or UTF-32 file shows its declaration too).
        std::string start;
        for (size_t i = 0; i < head; ++i) {
            if (bytes[i])
                start += bytes[i];
        }
        const std::wstring decoded = Utf8ToWide(start.data(), start.size());
        encoding = GetDeclaredEncoding(decoded.c_str(), decoded.size());
        if (encoding.empty() && head > 0 && bytes[0] == '<')
            encoding = L"UTF-8";
    }
    options = (options & ~FileFlags) | flags;

    Codec codec = CodecFor(encoding);
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes) + skip;
    size_t n = total - skip;

    if (codec.kind == Codec::Utf16LE || codec.kind == Codec::Utf16BE) {
        bool bigEndian = codec.kind == Codec::Utf16BE;
        if (!flags && n >= 2 && codec.kind == Codec::Utf16LE && data[0] == 0 && data[1] != 0)
            bigEndian = true; // an unmarked "UTF-16" file written big-endian
        if (n % 2) {
            xmlresult::Add(result, L"truncation_error", {{L"encoding", encoding}});
            --n;
        }
        text.resize(n / 2);
        std::memcpy(&text[0], data, n - n % 2);
        if (bigEndian) {
            for (wchar_t& u : text)
                u = static_cast<wchar_t>((u >> 8) | (u << 8));
        }
        size_t zeros = 0;
        if (std::wmemchr(text.data(), L'\0', text.size())) {
            const size_t kept = static_cast<size_t>(std::remove(text.begin(), text.end(), L'\0') - text.begin());
            zeros = text.size() - kept;
            text.resize(kept);
        }
        if (zeros)
            xmlresult::Add(result, L"nulls_removed", {{L"count", Num(zeros)}});
        if (bigEndian)
            xmlresult::Add(result, L"endian_swap");
        xmlresult::Add(result, L"read", {{L"encoding", encoding}, {L"length", Num(text.size())}});
        return true;
    }

    if (codec.kind == Codec::Utf32LE || codec.kind == Codec::Utf32BE) {
        if (n % 4) {
            xmlresult::Add(result, L"truncation_error", {{L"encoding", encoding}});
            n -= n % 4;
        }
        size_t zeros = 0;
        text = FromUtf32(data, n / 4, codec.kind == Codec::Utf32BE, zeros);
        if (zeros)
            xmlresult::Add(result, L"nulls_removed", {{L"count", Num(zeros)}});
        xmlresult::Add(result, L"read", {{L"encoding", encoding}, {L"length", Num(n / 4)}});
        xmlresult::Add(result, L"converted_to", {{L"encoding", L"UTF-16"}, {L"length", Num(text.size())}});
        return true;
    }

    // Eight-bit file. Zero bytes are dropped (a copy is made only when there are any).
    std::string stripped;
    const char* eight = reinterpret_cast<const char*>(data);
    size_t eightLength = n;
    if (n && std::memchr(data, 0, n)) {
        stripped.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            if (data[i])
                stripped += static_cast<char>(data[i]);
        }
        xmlresult::Add(result, L"nulls_removed", {{L"count", Num(n - stripped.size())}});
        eight = stripped.data();
        eightLength = stripped.size();
    }
    if (encoding.empty()) {
        if (IsUtf8(eight, eightLength)) {
            encoding = L"UTF-8";
            codec = CodecFor(encoding);
        }
        xmlresult::Add(result, L"utf8_detection");
    }
    xmlresult::Add(result, L"read", {{L"encoding", encoding}, {L"length", Num(eightLength)}});
    if (eightLength) {
        // No code page yields more UTF-16 units than it has bytes: one call converts.
        text.resize(eightLength);
        const int units = MultiByteToWideChar(codec.codePage, 0, eight, static_cast<int>(eightLength), &text[0],
                                              static_cast<int>(text.size()));
        if (units <= 0) {
            text.clear();
            xmlresult::Add(result, L"conversion_error", {{L"encoding", encoding.empty() ? L"ANSI" : encoding}});
            return false;
        }
        text.resize(units);
    }
    xmlresult::Add(result, L"converted_to", {{L"encoding", L"UTF-16"}, {L"length", Num(text.size())}});
    return true;
}

bool XmlDocument::WriteFileText(const wchar_t* path, const std::wstring& text, std::wstring& result, int& options)
{
    result.clear();

    // The first byte order mark whose flag is set decides the encoding.
    std::wstring encoding;
    int mark = 0;
    if (options & FileUtf8Bom) {
        encoding = L"UTF-8";
        mark = FileUtf8Bom;
    } else if (options & FileUtf16LE) {
        encoding = L"UTF-16LE";
        mark = FileUtf16LE;
    } else if (options & FileUtf16BE) {
        encoding = L"UTF-16BE";
        mark = FileUtf16BE;
    }
    if (encoding.empty()) {
        encoding = GetDeclaredEncoding(text.c_str(), text.size());
        if (encoding.empty())
            encoding = L"UTF-8";
    }
    const Codec codec = CodecFor(encoding);
    // A text declared as UTF-16 is written as UTF-16 with its mark: without the mark no
    // reader could tell the file from an eight-bit one.
    if (!mark && codec.kind == Codec::Utf16LE)
        mark = FileUtf16LE;
    else if (!mark && codec.kind == Codec::Utf16BE)
        mark = FileUtf16BE;

    // Convert before the file is opened, so a conversion that cannot run leaves it untouched.
    std::string body;
    size_t units = 0;
    bool converted = false, loss = false;
    if (!text.empty()) {
        switch (codec.kind) {
        case Codec::Utf16LE:
        case Codec::Utf16BE:
            body.resize(text.size() * 2);
            for (size_t i = 0; i < text.size(); ++i) {
                unsigned char lo = static_cast<unsigned char>(text[i]), hi = static_cast<unsigned char>(text[i] >> 8);
                body[2 * i] = static_cast<char>(codec.kind == Codec::Utf16BE ? hi : lo);
                body[2 * i + 1] = static_cast<char>(codec.kind == Codec::Utf16BE ? lo : hi);
            }
            units = text.size();
            break;
        case Codec::Utf32LE:
        case Codec::Utf32BE:
            body = ToUtf32(text, codec.kind == Codec::Utf32BE, units, loss);
            converted = true;
            break;
        case Codec::CodePage: {
            const bool check = !ConvertsWithoutLossCheck(codec.codePage);
            BOOL usedDefault = FALSE;
            const int n = static_cast<int>(text.size());
            int bytes = WideCharToMultiByte(codec.codePage, 0, text.data(), n, nullptr, 0, nullptr,
                                            check ? &usedDefault : nullptr);
            if (bytes <= 0) {
                xmlresult::Add(result, L"conversion_error", {{L"encoding", encoding}});
                return false;
            }
            body.resize(bytes);
            WideCharToMultiByte(codec.codePage, 0, text.data(), n, &body[0], bytes, nullptr,
                                check ? &usedDefault : nullptr);
            units = static_cast<size_t>(bytes);
            converted = true;
            loss = usedDefault != FALSE;
            break;
        }
        }
    }

    SetLastError(0);
    File file(path, (options & FileAppend) ? L"ab" : L"wb");
    if (!file.get()) {
        AddFileError(result, path && *path ? LastFileError() : ERROR_INVALID_NAME);
        return false;
    }
    FILE* f = file.get();
    bool empty = true;
    if (options & FileAppend) {
        __int64 at = _fseeki64(f, 0, SEEK_END) == 0 ? _ftelli64(f) : -1;
        empty = at == 0;
    }
    bool ok = true;
    if (mark && empty) {
        const unsigned char* bytes = mark == FileUtf8Bom ? kBomUtf8 : mark == FileUtf16LE ? kBomUtf16LE : kBomUtf16BE;
        const size_t count = mark == FileUtf8Bom ? 3 : 2;
        ok = std::fwrite(bytes, 1, count, f) == count;
        xmlresult::Add(result, L"bom");
    }
    if (codec.kind == Codec::Utf16BE && !text.empty())
        xmlresult::Add(result, L"endian_swap");
    if (converted) {
        xmlresult::Add(result, L"converted_from", {{L"encoding", L"UTF-16"}, {L"length", Num(text.size())}});
        if (loss)
            xmlresult::Add(result, L"conversion_loss");
    }
    if (ok && !body.empty())
        ok = std::fwrite(body.data(), 1, body.size(), f) == body.size();
    if (!ok) {
        AddFileError(result, LastFileError());
        return false;
    }
    xmlresult::Add(result, L"write", {{L"encoding", encoding}, {L"length", Num(units)}});
    if (!file.Close()) {
        AddFileError(result, LastFileError());
        return false;
    }
    options |= mark;
    return true;
}
