#pragma once
// Where Tastro keeps things outside its database: the program folder (description files,
// layouts, language files, skins) and the per-user data folder (profile databases).
#include <string>

// The software name that names the registry key, the data folder and the start-up entry:
// the name start-up set (the software name of the description file, which is also the
// toolkit's device name), or "Tastro" when that is empty or not usable as a single folder
// or key name (it holds '\', '/', ':' or ".."). Set it on the window's thread before
// anything else runs.
void SetSoftwareName(const wchar_t* name);
std::wstring GetSoftwareName();

// True when `name` is non-empty and holds no '\', '/', ':' or "..", so that a path built
// from it stays inside the folder it is put in.
bool IsPlainName(const wchar_t* name);

// The folder of the running executable, ending with a backslash.
std::wstring GetProgramFolder();

// The user's local application-data folder followed by "<software name> Files\", ending
// with a backslash; empty when the shell cannot name the local application-data folder.
// The folder is not created here.
std::wstring GetDataFolder();

// Creates the folder and every missing parent; true when the folder exists afterwards.
bool EnsureFolder(const wchar_t* path);
