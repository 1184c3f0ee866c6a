#pragma once
// The keys of a shipped layouts file, read without the program's storage code, for the
// toolkit's benchmarks and the gallery (they show the real models on the keyboard control).
// Header-only: the gallery links nothing of the tests' support library.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

struct LayoutKey {
    unsigned long code = 0; // hexadecimal in the file
    std::wstring name, desc, icon;
    int x = 0, y = 0, w = 0, h = 0; // the key's rect on the picture
};

struct LayoutKeys {
    std::wstring image;        // picture file name ("keyboard\\" + this, relative to the skin folder)
    int width = 0, height = 0; // drawn size of the picture
    std::vector<LayoutKey> keys;
};

namespace layout_detail {

// The value of attribute `name` in one element's text ("" when absent), entities undone.
inline std::wstring Attribute(const std::string& element, const char* name)
{
    const std::string key = std::string(" ") + name + "=\"";
    const size_t at = element.find(key);
    if (at == std::string::npos)
        return L"";
    const size_t start = at + key.size();
    const size_t end = element.find('"', start);
    std::string raw = element.substr(start, end == std::string::npos ? std::string::npos : end - start);
    static const char* const kEntities[][2] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
                                               {"&amp;", "&"}};
    for (const auto& e : kEntities)
        for (size_t p = raw.find(e[0]); p != std::string::npos; p = raw.find(e[0], p + 1))
            raw.replace(p, std::strlen(e[0]), e[1]);
    const int n = MultiByteToWideChar(CP_UTF8, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, raw.data(), static_cast<int>(raw.size()), &wide[0], n);
    return wide;
}

inline int Number(const std::wstring& text) { return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)); }

} // namespace layout_detail

// Reads a layouts file (full path, e.g. "<program folder>\layouts\q77x.xml"); the keys
// come in file order. Empty on failure.
inline LayoutKeys ReadLayoutKeys(const std::wstring& path)
{
    using layout_detail::Attribute;
    using layout_detail::Number;
    LayoutKeys out;
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
        return out;
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const size_t end = text.find('>', at);
        if (end == std::string::npos)
            break;
        const std::string element = text.substr(at, end - at);
        if (element.compare(0, 10, "<Keyboard ") == 0) {
            out.image = Attribute(element, "image");
            out.width = Number(Attribute(element, "width"));
            out.height = Number(Attribute(element, "height"));
        } else if (element.compare(0, 5, "<key ") == 0) {
            LayoutKey key;
            key.code = std::wcstoul(Attribute(element, "code").c_str(), nullptr, 16);
            key.name = Attribute(element, "name");
            key.desc = Attribute(element, "desc");
            key.icon = Attribute(element, "icon");
            std::wstringstream rect(Attribute(element, "rect"));
            std::wstring part;
            int* fields[4] = {&key.x, &key.y, &key.w, &key.h};
            for (int i = 0; i < 4 && std::getline(rect, part, L'#'); ++i)
                *fields[i] = Number(part);
            out.keys.push_back(key);
        }
    }
    return out;
}

} // namespace testsupport
