#pragma once
// Lookup tables of XmlDocument: encoding names to Windows code pages, and the named
// character references (the HTML 4.01 entity set plus "apos").
#include <cstddef>

namespace xmltables {

// Alias table: 155 buckets chosen by the sum of the lower-case name's code units modulo 155.
// Each bucket is one string of entries: two decimal digits of name length, five decimal
// digits of code page, then the name in lower case.
constexpr int kAliasBucketCount = 155;
extern const wchar_t* const kEncodingAliasBuckets[kAliasBucketCount];

// Entity table: 130 buckets chosen by the sum of the name's code units modulo 130. Each
// entry is one character (name length + '0'), four decimal digits of the code point, and
// the name spelled exactly as HTML 4.01 spells it.
constexpr int kEntityBucketCount = 130;
extern const wchar_t* const kEntityBuckets[kEntityBucketCount];

// Code page of an encoding name (ASCII letters compared case-insensitively); -1 when the
// name is not in the table or is 100 characters or longer.
int LookupCodePage(const wchar_t* name, size_t length);

// Code point of a named reference (exact case), 0 when the name is not in the table.
unsigned LookupEntity(const wchar_t* name, size_t length);

} // namespace xmltables
