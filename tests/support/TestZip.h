#pragma once
// ZIP archives written by the tests with minizip's writer.
#include <string>
#include <vector>

namespace testsupport {

struct ZipEntry {
    std::string name; // stored exactly as given (both separators allowed)
    std::string data;
};

// Writes `entries` in order; level 0 stores them uncompressed. False when writing failed.
bool WriteZip(const std::wstring& path, const std::vector<ZipEntry>& entries, int level = 6);

// The whole content of a file (empty when it cannot be read) and a file written whole.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Every file and folder below `folder`, relative, with backslashes, sorted.
std::vector<std::wstring> ListTree(const std::wstring& folder);

} // namespace testsupport
