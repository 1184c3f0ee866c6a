#pragma once
// The interface language and its texts. Every visible text is a numbered entry of the
// language file "<program folder>language\<language id>.lan" (an initialisation file,
// UTF-16 with a byte order mark for texts outside the ANSI code page); callers pass the
// section "KB.DIALOG".
#include <string>

// Language ids the program knows.
constexpr int kLanguageEnglish = 1033;
constexpr int kLanguageChinese = 2052;
constexpr int kLanguagePortugueseBrazil = 1046;

// The process-wide current language (1033 until set).
int GetCurrentLanguage();
void SetCurrentLanguage(int id);

// Start-up step: the stored language becomes the current one. On a first start (nothing
// stored) this run uses `uiLanguage` and stores 1033 when it is 1033, 1046 otherwise.
// Returns the current language.
int InitLanguage(int uiLanguage);
// The same with the user's default UI language.
int InitLanguage();

// The text of `id` in the current language (at most 259 characters); empty when the file,
// the section or the key is missing. The file is read on every call.
std::wstring LoadText(int id, const wchar_t* section);

// Path of a language's file.
std::wstring GetLanguageFilePath(int id);
