#pragma once
// The result string of XmlDocument: one empty element per event, for example
// <read encoding="UTF-8" length="120"/>. Internal to storage/Xml*.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace xmlresult {

// No entry is added once the result string is longer than this.
constexpr size_t kMaxResultLength = 999;

struct Attr {
    const wchar_t* name;
    std::wstring value;
};

// Appends <entry name="value" .../>; attribute values are escaped and cut at 256 characters.
void Add(std::wstring& result, const wchar_t* entry, std::initializer_list<Attr> attrs = {});

inline std::wstring Num(uint64_t n) { return std::to_wstring(n); }

} // namespace xmlresult
