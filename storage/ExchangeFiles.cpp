#include "storage/ExchangeFiles.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <map>

#include "storage/ProfileDatabase.h"

namespace {

// Message box texts.
constexpr int kTextSelectProfileFirst = 901;
constexpr int kTextExportProfile = 902;
constexpr int kTextExportMacro = 903;
constexpr int kTextNotProfileFile = 904;
constexpr int kTextNotMacroFile = 905;
constexpr int kTextCannotSave = 906;
constexpr int kTextImportProfile = 907;
constexpr int kTextImportMacro = 908;
constexpr int kTextCannotImport = 909;
constexpr int kTextSelectMacroFirst = 540;

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of a path with its trailing separator (C:\files\ for C:\files\a.xml, C:\ for
// C:\a.xml), or "." when the path names none: where files made beside it go.
std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

// Assignment kinds a key row may have.
bool IsStoredKind(int kind)
{
    switch (kind) {
    case kAssignDisabled:
    case kAssignFunction:
    case kAssignMacro:
    case kAssignListEntry:
    case kAssignListEntry2:
    case kAssignShortcut:
    case kAssignRunProgram:
    case kAssignOpenWeb:
    case kAssignTypeText:
    case kAssignSwitchProfile:
    case kAssignFunctionHigh: return true;
    default: return false;
    }
}

int Number(const XmlDocument& doc, const wchar_t* name) { return ExchangeFiles::ParseNumber(doc.GetAttribute(name)); }

void WriteMacroPlayback(XmlDocument& doc, const MacroRow& macro)
{
    doc.SetAttribute(L"times", macro.play_times);
    doc.SetAttribute(L"type", macro.delay_type);
    doc.SetAttribute(L"delaytime", macro.delay_time);
}

// A macroitems element with one item per event, added after the current element.
void WriteMacroItems(XmlDocument& doc, const std::vector<MacroEventRow>& events)
{
    doc.AddElement(L"macroitems");
    doc.EnterElement();
    for (const MacroEventRow& e : events) {
        doc.AddElement(L"item");
        doc.SetAttribute(L"desc", e.desc.c_str());
        doc.SetAttribute(L"type", e.type);
        doc.SetAttribute(L"value", e.value);
        doc.SetAttribute(L"delay_time", e.delay_time);
    }
    doc.LeaveElement();
}

// The playback settings of a macro element, kept to what the macro page can show and the
// keyboard can play.
void ReadPlayback(const XmlDocument& doc, MacroRow& row)
{
    row.play_times = std::clamp(Number(doc, L"times"), ExchangeFiles::kMinPlayTimes, ExchangeFiles::kMaxPlayTimes);
    row.delay_type = Number(doc, L"type");
    row.delay_time = std::clamp(Number(doc, L"delaytime"), 0, ExchangeFiles::kMaxDelay);
}

// The events of a macroitems element for macro `macroId`; the position is inside it.
std::vector<MacroEventRow> ReadEvents(XmlDocument& doc, int macroId)
{
    std::vector<MacroEventRow> events;
    while (doc.FindElement(L"item")) {
        MacroEventRow e;
        e.macro_id = macroId;
        e.record_index = static_cast<int>(events.size());
        e.type = Number(doc, L"type");
        e.value = Number(doc, L"value");
        e.delay_time = std::clamp(Number(doc, L"delay_time"), 0, ExchangeFiles::kMaxDelay);
        e.desc = doc.GetAttribute(L"desc");
        events.push_back(std::move(e));
    }
    return events;
}

// Stores a new macro's events; an empty list stores nothing and succeeds.
bool StoreEvents(ProfileDatabase& db, const std::vector<MacroEventRow>& events)
{
    return events.empty() || db.AddMacroEvents(events) == static_cast<int>(events.size());
}

} // namespace

const ExchangeFileDialog ExchangeFiles::kProfileExportDialog = {true, L"Profile (*.xml)", L"*.xml"};
const ExchangeFileDialog ExchangeFiles::kProfileImportDialog = {false, L"Custom Key (*.xml)", L"*.xml"};
const ExchangeFileDialog ExchangeFiles::kMacroExportDialog = {true, L"Macro (*.xml)", L"*.xml"};
const ExchangeFileDialog ExchangeFiles::kMacroImportDialog = {false, L"Macros (*.xml)", L"*.xml"};

ExchangeFiles::ExchangeFiles(ProfileDatabase& db, IExchangePrompt& prompt, IExchangeView& view, TextFileWriter writer)
    : m_db(db), m_prompt(prompt), m_view(view), m_writer(writer ? writer : &XmlDocument::WriteFileText)
{
}

std::wstring ExchangeFiles::NameFromPath(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring title = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return title.substr(0, title.find(L'.'));
}

int ExchangeFiles::ParseNumber(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // stays beyond the range, never overflows
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// ---- Writing ----

std::wstring ExchangeFiles::ProfileFileText(int profile, const std::wstring& name)
{
    XmlDocument doc;
    doc.SetText(kDeclaration);
    doc.AddElement(L"profile");
    doc.EnterElement();
    doc.AddElement(L"profileinfo");
    doc.SetAttribute(L"name", name.c_str());
    doc.AddElement(L"keyitems");
    doc.EnterElement();

    std::vector<KeyMacroRow> keys;
    m_db.GetKeyAssignments(profile, 0, keys);
    std::vector<int> macroIds;
    for (const KeyMacroRow& key : keys) {
        doc.AddElement(L"item");
        doc.SetAttribute(L"fn_layer", key.fn_layer);
        doc.SetAttribute(L"key_code", key.key_code);
        doc.SetAttribute(L"layout_value", key.layout_value);
        doc.SetAttribute(L"layout_desc", key.layout_desc.c_str());
        doc.SetAttribute(L"macro_type", key.macro_type);
        doc.SetAttribute(L"macro_value", key.macro_value);
        doc.SetAttribute(L"macro_value2", key.macro_value2);
        doc.SetAttribute(L"macro_value3", key.macro_value3);
        doc.SetAttribute(L"macro_desc", key.macro_desc.c_str());
        if (key.macro_type == kAssignMacro)
            macroIds.push_back(key.macro_value);
    }
    doc.LeaveElement();

    // One macroinfo per macro key, in key order: a macro bound to two keys is written twice.
    for (int id : macroIds) {
        MacroRow macro;
        m_db.GetMacro(id, macro); // a macro that is gone gives empty and zero values
        std::vector<MacroEventRow> events;
        m_db.GetMacroEvents(id, events);
        doc.AddElement(L"macroinfo");
        doc.SetAttribute(L"name", macro.name.c_str());
        doc.SetAttribute(L"macro_id", macro.macro_id);
        WriteMacroPlayback(doc, macro);
        doc.EnterElement();
        WriteMacroItems(doc, events);
        doc.LeaveElement();
    }
    return doc.GetText();
}

std::wstring ExchangeFiles::MacroFileText(int macroId)
{
    MacroRow macro;
    m_db.GetMacro(macroId, macro);
    std::vector<MacroEventRow> events;
    m_db.GetMacroEvents(macroId, events);

    XmlDocument doc;
    doc.SetText(kDeclaration);
    doc.AddElement(L"macro");
    doc.EnterElement();
    doc.AddElement(L"macroinfo");
    doc.SetAttribute(L"name", macro.name.c_str());
    WriteMacroPlayback(doc, macro);
    WriteMacroItems(doc, events); // a sibling of macroinfo in this file
    doc.LeaveElement();
    return doc.GetText();
}

bool ExchangeFiles::WriteReplacing(const std::wstring& path, const std::wstring& text)
{
    // The new file is written completely beside the target, flushed, and only then moved
    // over it: a write that fails part-way (a full disk, a removed stick) leaves the old
    // file as it was and no half-written one.
    // A read-only file stays as it is, as an in-place write would have left it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(FolderOf(path).c_str(), L"tas", 0, temp))
        return false;
    std::wstring result;
    int options = 0;
    bool ok = m_writer(temp, text, result, options);
    if (ok) {
        HANDLE file = CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ok = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    ok = ok && MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileW(temp);
    return ok;
}

bool ExchangeFiles::ExportProfile(int profile, const std::wstring& name)
{
    if (profile <= 0) {
        m_prompt.ShowMessage(kTextExportProfile, kTextSelectProfileFirst);
        return false;
    }
    std::wstring path;
    if (!m_prompt.ChooseFile(kProfileExportDialog, path))
        return false;
    if (!WriteReplacing(path, ProfileFileText(profile, name))) {
        m_prompt.ShowMessage(kTextExportProfile, kTextCannotSave);
        return false;
    }
    return true;
}

bool ExchangeFiles::ExportMacro(int macroId)
{
    if (macroId <= 0) {
        m_prompt.ShowMessage(kTextExportMacro, kTextSelectMacroFirst);
        return false;
    }
    std::wstring path;
    if (!m_prompt.ChooseFile(kMacroExportDialog, path))
        return false;
    if (!WriteReplacing(path, MacroFileText(macroId))) {
        m_prompt.ShowMessage(kTextExportMacro, kTextCannotSave);
        return false;
    }
    return true;
}

// ---- Reading ----

bool ExchangeFiles::ImportProfile()
{
    std::wstring path;
    if (!m_prompt.ChooseFile(kProfileImportDialog, path) || !FileExists(path))
        return false;
    XmlDocument doc;
    if (!doc.LoadFile(path.c_str()) || !doc.FindElement(L"profile")) {
        m_prompt.ShowMessage(kTextImportProfile, kTextNotProfileFile);
        return true;
    }
    const std::wstring name = NameFromPath(path);
    std::vector<ListEntry> macros;
    int profile = 0;
    if (!m_db.RunInTransaction([&] { return ImportProfileDocument(doc, name, macros, profile); })) {
        m_prompt.ShowMessage(kTextImportProfile, kTextCannotImport);
        return false;
    }
    for (const ListEntry& macro : macros)
        m_view.AddMacroToList(macro.name, macro.id, true);
    m_view.AddProfileToList(name, profile);
    m_view.ActivateImportedProfile(profile);
    return true;
}

// Runs inside one transaction: any false undoes everything done here. The position of
// `doc` is at its profile element.
bool ExchangeFiles::ImportProfileDocument(XmlDocument& doc, const std::wstring& name, std::vector<ListEntry>& macros,
                                          int& profile)
{
    macros.clear();
    std::vector<MacroRow> existing;
    m_db.GetMacros(existing);
    auto exists = [&](int id, const std::wstring* withName) {
        return std::any_of(existing.begin(), existing.end(), [&](const MacroRow& m) {
            return m.macro_id == id && (!withName || m.name == *withName);
        });
    };

    // First pass: the macros. A macro whose id and name match an existing one is that
    // macro; every other gets a new id, and the file's id is mapped to it (the last copy
    // wins when the file holds the same id twice).
    std::map<int, int> newIds;
    doc.EnterElement();
    while (doc.FindElement(L"macroinfo")) {
        MacroRow macro;
        macro.name = doc.GetAttribute(L"name");
        const int fileId = Number(doc, L"macro_id");
        if (exists(fileId, &macro.name))
            continue;
        ReadPlayback(doc, macro);
        const int id = m_db.AddMacroRow(macro);
        if (id <= 0)
            return false;
        newIds[fileId] = id;
        macros.push_back({macro.name, id});
        std::vector<MacroEventRow> events;
        doc.EnterElement();
        if (doc.FindElement(L"macroitems")) {
            doc.EnterElement();
            events = ReadEvents(doc, id);
            doc.LeaveElement();
        }
        doc.LeaveElement();
        if (!StoreEvents(m_db, events))
            return false;
    }

    // Second pass: the profile and its keys, from the start of the document again.
    doc.Parse();
    doc.FindElement(L"profile");
    doc.EnterElement();
    doc.FindElement(L"profileinfo"); // its name is not used: the profile is named after the file
    ProfileRow row;
    row.name = name;
    profile = m_db.AddProfile(row);
    if (profile <= 0)
        return false;
    if (doc.FindElement(L"keyitems")) {
        doc.EnterElement();
        while (doc.FindElement(L"item")) {
            KeyMacroRow key;
            key.profile = profile;
            key.fn_layer = Number(doc, L"fn_layer");
            key.key_code = Number(doc, L"key_code");
            key.layout_value = Number(doc, L"layout_value");
            key.layout_desc = doc.GetAttribute(L"layout_desc");
            key.macro_type = Number(doc, L"macro_type");
            key.macro_value = Number(doc, L"macro_value");
            key.macro_value2 = Number(doc, L"macro_value2");
            key.macro_value3 = Number(doc, L"macro_value3");
            key.macro_desc = doc.GetAttribute(L"macro_desc");
            if (!IsStoredKind(key.macro_type) || key.key_code == 0 || (key.macro_value == 0 && key.macro_value2 == 0))
                continue; // nothing this program could use, or a row the database would not keep
            if (key.macro_type == kAssignMacro) {
                auto mapped = newIds.find(key.macro_value);
                if (mapped != newIds.end())
                    key.macro_value = mapped->second;
                else if (!exists(key.macro_value, nullptr))
                    continue; // names a macro neither in the file nor here
            } else if (AssignmentKindHasOtherData(key.macro_type)) {
                std::wstring desc, param;
                int type = 0;
                if (!m_db.GetKeyOtherData(key.macro_value, desc, param, type))
                    continue; // payload rows are not carried by the file: only one that exists here will do
            }
            if (m_db.SetKeyAssignment(key) <= 0)
                return false;
        }
        doc.LeaveElement();
    }
    return m_db.SetActiveProfile(profile);
}

bool ExchangeFiles::ImportMacro()
{
    std::wstring path;
    if (!m_prompt.ChooseFile(kMacroImportDialog, path) || !FileExists(path))
        return false;
    XmlDocument doc;
    if (!doc.LoadFile(path.c_str()) || !doc.FindElement(L"macro") || !doc.EnterElement() ||
        !doc.FindElement(L"macroinfo")) {
        m_prompt.ShowMessage(kTextImportMacro, kTextNotMacroFile);
        return true;
    }
    const std::wstring name = NameFromPath(path);
    int macroId = 0;
    if (!m_db.RunInTransaction([&] { return ImportMacroDocument(doc, name, macroId); })) {
        m_prompt.ShowMessage(kTextImportMacro, kTextCannotImport);
        return false;
    }
    m_view.AddMacroToList(name, macroId, false);
    return true;
}

// Runs inside one transaction. The position of `doc` is at the macroinfo element.
bool ExchangeFiles::ImportMacroDocument(XmlDocument& doc, const std::wstring& name, int& macroId)
{
    MacroRow macro;
    macro.name = name;
    ReadPlayback(doc, macro);
    macroId = m_db.AddMacroRow(macro);
    if (macroId <= 0)
        return false;
    // The events are a sibling after macroinfo; macroitems nested inside it (the profile
    // file's form) are not this file's and give no events.
    std::vector<MacroEventRow> events;
    if (doc.FindElement(L"macroitems")) {
        doc.EnterElement();
        events = ReadEvents(doc, macroId);
        doc.LeaveElement();
    }
    return StoreEvents(m_db, events);
}
