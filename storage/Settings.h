#pragma once
// Settings kept in the registry under HKEY_CURRENT_USER\SOFTWARE\<software name>: the
// interface language ("LCID") and what closing the main window does ("exit_mode"), both as
// decimal text; and the start-with-Windows entry under the Run key.
#include <string>

// Reads "LCID": 0 when the software's key was missing (it is created) or the value is
// absent or not a number; 1033 when the key exists but cannot be opened.
int ReadLanguageId();

// Writes "LCID" as decimal text; nothing happens when the key cannot be opened.
void WriteLanguageId(int id);

// Reads a text value of the software's key as a decimal number (0 when absent or not a
// number). Creates the key when it is missing.
int ReadSettingInt(const wchar_t* name);

// Writes a text value of the software's key; nothing happens when the key cannot be opened
// (it is not created here).
void WriteSettingText(const wchar_t* name, const wchar_t* text);

// True when the Run key holds a value named after the software.
bool IsStartWithWindows();

// Adds (quoted path of Tastro.exe in the program folder) or removes the Run value.
void SetStartWithWindows(bool on);

// The registry paths used, for the tests and the factory reset.
std::wstring GetSettingsKeyPath();
extern const wchar_t* const kRunKeyPath;
