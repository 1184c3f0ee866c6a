#pragma once
// Profile and macro exchange files: one profile with its key assignments and the macros
// they use, or one macro with its events, saved to a small XML file and read back into
// this or another installation.
//
// Profile file (one element per line, CR LF, no indentation, UTF-8 without a mark):
//   <profile>
//   <profileinfo name=".."/>
//   <keyitems>  <item fn_layer key_code layout_value layout_desc macro_type macro_value
//                     macro_value2 macro_value3 macro_desc/> ...  </keyitems>
//   <macroinfo name macro_id times type delaytime>
//     <macroitems> <item desc type value delay_time/> ... </macroitems>
//   </macroinfo> ...
//   </profile>
// Macro file: <macro> <macroinfo name times type delaytime/> <macroitems> items </macroitems>
// </macro>, macroitems being a sibling of macroinfo.
//
// Files are untrusted input: an import stores only what makes sense here (known
// assignment kinds, payload rows that exist, delays the keyboard can play) and is one
// database change, so a failure part-way leaves the database as it was. An export writes
// beside the chosen file and replaces it only once the new file is complete.
#include <string>
#include <vector>

#include "storage/XmlDocument.h"

class ProfileDatabase;

// The open or save dialog an exchange operation asks for.
struct ExchangeFileDialog {
    bool save;                     // save dialog (overwrite prompt), else open dialog
    const wchar_t* filterName;     // e.g. "Profile (*.xml)"
    const wchar_t* filterPattern;  // "*.xml"
};

// What the exchange operations ask of the user. The main window implements it with the
// common file dialogs and the skinned message box; every call comes from the UI thread.
class IExchangePrompt {
public:
    virtual ~IExchangePrompt() = default;
    // Shows the dialog; false when it was cancelled (or could not be shown). `path` is
    // the full path exactly as the dialog returns it.
    virtual bool ChooseFile(const ExchangeFileDialog& dialog, std::wstring& path) = 0;
    // A message box with one button; both texts are language text ids.
    virtual void ShowMessage(int titleText, int messageText) = 0;
};

// What an import does to the main window's lists. Called on the UI thread, only after the
// imported rows have been committed.
class IExchangeView {
public:
    virtual ~IExchangeView() = default;
    // Appends an entry (text = name, data = id) to the macro list; selects it when asked.
    virtual void AddMacroToList(const std::wstring& name, int macroId, bool select) = 0;
    // Appends an entry to the profile list and selects it.
    virtual void AddProfileToList(const std::wstring& name, int profile) = 0;
    // The imported profile (already the database's active profile) becomes the current
    // profile: the pages show it and its keys are queued to the keyboard (ApplyKeys)
    // with the wait dialog.
    virtual void ActivateImportedProfile(int profile) = 0;
};

// The four exchange operations. Runs on the UI thread; the database is shared with the
// worker, which never sees an import half done.
class ExchangeFiles {
public:
    // Writes a document's text to a file: XmlDocument::WriteFileText unless a test hands in
    // a writer that fails on purpose.
    using TextFileWriter = bool (*)(const wchar_t* path, const std::wstring& text, std::wstring& result,
                                    int& options);

    static const ExchangeFileDialog kProfileExportDialog;
    static const ExchangeFileDialog kProfileImportDialog;
    static const ExchangeFileDialog kMacroExportDialog;
    static const ExchangeFileDialog kMacroImportDialog;

    // Longest delay a macro event or a fixed macro delay may have, in milliseconds.
    static constexpr int kMaxDelay = 31000;
    // Repetition counts a macro may have.
    static constexpr int kMinPlayTimes = 1;
    static constexpr int kMaxPlayTimes = 99;

    // All three are borrowed and must outlive the object.
    ExchangeFiles(ProfileDatabase& db, IExchangePrompt& prompt, IExchangeView& view,
                  TextFileWriter writer = &XmlDocument::WriteFileText);

    // Saves the profile (id and name of the profile list's selected entry; id 0 when none
    // is selected) with its Fn-layer-0 keys and the macros they use. True when the file
    // was written; false when nothing was selected, the dialog was cancelled or the file
    // could not be written (the user is told; an existing file is left as it was).
    bool ExportProfile(int profile, const std::wstring& name);
    // Reads a profile file into a new profile named after the file, with new copies of its
    // macros (an existing macro of the same id and name is used instead). False when the
    // dialog was cancelled, the file does not exist or the database refused the import
    // (the user is told, nothing changed); true otherwise, also for a file that is no
    // profile file (the user is told, nothing changed).
    bool ImportProfile();
    // Saves one macro (id of the macro list's selected entry, 0 when none); results as
    // ExportProfile.
    bool ExportMacro(int macroId);
    // Reads a macro file into a new macro named after the file; results as ImportProfile.
    bool ImportMacro();

    // The documents the exports write.
    std::wstring ProfileFileText(int profile, const std::wstring& name);
    std::wstring MacroFileText(int macroId);

    // The name an import takes from a path: the file title up to its first '.', or the
    // whole title when it has none.
    static std::wstring NameFromPath(const std::wstring& path);
    // A decimal attribute value: optional blanks and sign, then digits; 0 when there are
    // none; values beyond the int range stop at its ends.
    static int ParseNumber(const std::wstring& text);

private:
    struct ListEntry {
        std::wstring name;
        int id;
    };

    bool WriteReplacing(const std::wstring& path, const std::wstring& text);
    bool ImportProfileDocument(XmlDocument& doc, const std::wstring& name, std::vector<ListEntry>& macros,
                               int& profile);
    bool ImportMacroDocument(XmlDocument& doc, const std::wstring& name, int& macroId);

    ProfileDatabase& m_db;       // not owned
    IExchangePrompt& m_prompt;   // not owned
    IExchangeView& m_view;       // not owned
    TextFileWriter m_writer;
};
