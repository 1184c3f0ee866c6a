#pragma once
#include <string>

namespace testsupport {

// Folder of the running test executable, without a trailing backslash.
std::wstring ExeFolder();

// The assembled program folder (config.xml, layouts, language, skins, font) of this build.
std::wstring ProgramFolder();

// A new empty folder under the system's temporary folder, removed by the caller with
// RemoveTree.
std::wstring MakeTempFolder(const wchar_t* prefix);

// Deletes a folder with everything in it.
bool RemoveTree(const std::wstring& folder);

// A whole file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// Creates or replaces a file with these bytes; a failure fails the running test.
void WriteBytes(const std::wstring& path, const std::string& bytes);

} // namespace testsupport
