// Profile and macro exchange files: the exact bytes written (against hand-written files),
// round trips, how imports name things and map macro ids, and files that are damaged or
// hostile. Exports never leave a half-written file; imports are all or nothing.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "ProfileDatabaseFixture.h"
#include "storage/ExchangeFiles.h"
#include "support/RecordingExchangeUser.h"
#include "support/TestPaths.h"

using dbtest::RawCount;
using dbtest::RawRows;
using dbtest::Snapshot;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using Entry = testsupport::RecordingExchangeUser::ListEntry;

namespace {

const char kProfileFixture[] = "Work & Play.xml";
const char kMacroFixture[] = "Paste.xml";

std::wstring Wide(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }

KeyMacroRow Key(int profile, int layer, int code, const wchar_t* layoutDesc, int kind, int value, const wchar_t* desc)
{
    KeyMacroRow row;
    row.profile = profile;
    row.fn_layer = layer;
    row.key_code = code;
    row.layout_value = code;
    row.layout_desc = layoutDesc;
    row.macro_type = kind;
    row.macro_value = value;
    row.macro_desc = desc;
    return row;
}

MacroRow Macro(const wchar_t* name, int playTimes, int delayType, int delayTime)
{
    MacroRow row;
    row.name = name;
    row.play_times = playTimes;
    row.delay_type = delayType;
    row.delay_time = delayTime;
    return row;
}

struct Event {
    int type;
    int value;
    int delay;
    const wchar_t* desc;
};

// Stores the events of a macro, deliberately in reverse order: the files follow record_index.
void AddEvents(ProfileDatabase& db, int macroId, const std::vector<Event>& events)
{
    std::vector<MacroEventRow> rows;
    for (size_t i = events.size(); i-- > 0;)
        rows.push_back({0, macroId, events[i].type, static_cast<int>(i), events[i].value, events[i].delay, events[i].desc});
    ASSERT_EQ(db.AddMacroEvents(rows), static_cast<int>(rows.size()));
}

// "type value delay desc" of each event of a macro, in order.
std::vector<std::string> EventsOf(const std::wstring& file, int macroId)
{
    const std::string sql = "SELECT type, value, delay_time, desc FROM t_macrorecord WHERE macro_id = " +
                            std::to_string(macroId) + " ORDER BY record_index";
    return RawRows(file, sql.c_str());
}

// "key_code|macro_type|macro_value" of a profile's keys, in key order.
std::vector<std::string> KeysOf(const std::wstring& file, int profile)
{
    const std::string sql = "SELECT key_code, macro_type, macro_value FROM t_key_macro_data WHERE profile = " +
                            std::to_string(profile) + " ORDER BY key_code";
    return RawRows(file, sql.c_str());
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A writer that gets half the text onto the disk and then fails, as a full disk would.
bool WriteHalfThenFail(const wchar_t* path, const std::wstring& text, std::wstring& result, int& options)
{
    XmlDocument::WriteFileText(path, text.substr(0, text.size() / 2), result, options);
    return false;
}

class ExchangeFilesTest : public dbtest::ProfileDatabaseTest {
protected:
    void SetUp() override
    {
        ProfileDatabaseTest::SetUp();
        OpenNew();
    }

    static std::wstring Fixture(const char* name) { return testsupport::ExeFolder() + L"\\exchange\\" + Wide(name); }
    static std::string FixtureBytes(const char* name)
    {
        const std::string bytes = ReadBytes(Fixture(name));
        EXPECT_FALSE(bytes.empty()) << "missing fixture " << name;
        return bytes;
    }
    std::wstring Out(const std::wstring& name) const { return m_root + L"\\" + name; }
    // A file of the test folder with these bytes, chosen in the next dialog.
    void Choose(const std::wstring& name, const std::string& bytes)
    {
        WriteBytes(Out(name), bytes);
        m_user.path = Out(name);
    }
    // The names in the test folder (the database folder aside).
    std::vector<std::wstring> FolderNames() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((m_root + L"\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L".." && name != L"db")
                names.push_back(name);
        } while (FindNextFileW(h, &found));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The rows the hand-written profile file was written from: profile 1 "Work & Play"
    // with four keys on layer 0 (two macro keys), one on layer 1 and a key of profile 2.
    void FillProfileRows()
    {
        ProfileRow profile;
        profile.name = L"Work & Play";
        ASSERT_EQ(m_db.AddProfile(profile), 1);
        profile.name = L"Other";
        ASSERT_EQ(m_db.AddProfile(profile), 2);
        ASSERT_EQ(m_db.AddMacroRow(Macro(L"Copy & \"Paste\"", 2, 3, 50)), 1);
        AddEvents(m_db, 1, {{2, 17, 10, L"Ctrl"}, {2, 67, 30, L"C"}, {3, 67, 0, L"C"}, {3, 17, 31000, L"\x5b8f"}});
        ASSERT_EQ(m_db.AddMacroRow(Macro(L"Empty", 1, 1, 0)), 2);
        ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 4, L"A", kAssignFunction, 30, L"F1")), 0);
        ASSERT_GT(m_db.SetKeyAssignment(Key(1, 1, 8, L"E", kAssignFunction, 31, L"F2")), 0);
        ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 5, L"B", kAssignMacro, 1, L"Copy & \"Paste\"")), 0);
        ASSERT_GT(m_db.SetKeyAssignment(Key(2, 0, 9, L"F", kAssignFunction, 32, L"F3")), 0);
        ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 6, L"<C>", kAssignShortcut, 3, L"Shortcut '3'")), 0);
        ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 7, L"D", kAssignMacro, 2, L"Empty")), 0);
    }
    // The macro the hand-written macro file was written from.
    void FillMacroRows()
    {
        ASSERT_EQ(m_db.AddMacroRow(Macro(L"Paste", 3, 2, 0)), 1);
        AddEvents(m_db, 1, {{2, 162, 15, L"Ctrl <L>"}, {2, 86, 20, L"V"}, {3, 86, 5, L"V"}, {3, 162, 0, L"Ctrl <L>"}});
    }

    testsupport::RecordingExchangeUser m_user;
    ExchangeFiles m_exchange{m_db, m_user, m_user};
};

// A profile file written in the profile-file style around the given key items and macros.
std::string ProfileFile(const std::string& keyItems, const std::string& macros = std::string())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n<profileinfo name=\"x\"/>\r\n<keyitems>\r\n" +
           keyItems + "</keyitems>\r\n" + macros + "</profile>\r\n";
}

std::string KeyItem(const std::string& code, const std::string& kind, const std::string& value)
{
    return "<item fn_layer=\"0\" key_code=\"" + code + "\" layout_value=\"0\" layout_desc=\"k\" macro_type=\"" + kind +
           "\" macro_value=\"" + value + "\" macro_value2=\"0\" macro_value3=\"0\" macro_desc=\"d\"/>\r\n";
}

std::string MacroInfo(const std::string& name, const std::string& id, int events)
{
    std::string s = "<macroinfo name=\"" + name + "\" macro_id=\"" + id +
                    "\" times=\"1\" type=\"1\" delaytime=\"0\">\r\n<macroitems>\r\n";
    for (int i = 0; i < events; ++i)
        s += "<item desc=\"e\" type=\"2\" value=\"" + std::to_string(65 + i) + "\" delay_time=\"10\"/>\r\n";
    return s + "</macroitems>\r\n</macroinfo>\r\n";
}

} // namespace

TEST_F(ExchangeFilesTest, ExportsWriteExactlyTheHandWrittenFiles)
{
    FillProfileRows();
    Choose(L"profile.xml", "an older, longer file that the export replaces completely");
    ASSERT_TRUE(m_exchange.ExportProfile(1, L"Work & Play"));
    EXPECT_EQ(ReadBytes(Out(L"profile.xml")), FixtureBytes(kProfileFixture));

    ASSERT_TRUE(m_db.Open(m_data, L"MacroSource"));
    FillMacroRows();
    m_user.path = Out(L"macro.xml");
    ASSERT_TRUE(m_exchange.ExportMacro(1));
    EXPECT_EQ(ReadBytes(Out(L"macro.xml")), FixtureBytes(kMacroFixture));

    ASSERT_EQ(m_user.dialogs.size(), 2u);
    EXPECT_TRUE(m_user.dialogs[0].save);
    EXPECT_STREQ(m_user.dialogs[0].filterName, L"Profile (*.xml)");
    EXPECT_STREQ(m_user.dialogs[0].filterPattern, L"*.xml");
    EXPECT_TRUE(m_user.dialogs[1].save);
    EXPECT_STREQ(m_user.dialogs[1].filterName, L"Macro (*.xml)");
    EXPECT_TRUE(m_user.messages.empty());
    // Only the two files: nothing written beside them is left over.
    EXPECT_EQ(FolderNames(), (std::vector<std::wstring>{L"macro.xml", L"profile.xml"}));
}

TEST_F(ExchangeFilesTest, ImportingAHandWrittenFileAndExportingItGivesTheSameBytes)
{
    // Each into a fresh file, where the new ids are those the files name.
    ASSERT_TRUE(m_db.Open(m_data, L"ProfileTarget"));
    m_user.path = Fixture(kProfileFixture);
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_FALSE(m_user.dialogs.back().save);
    EXPECT_STREQ(m_user.dialogs.back().filterName, L"Custom Key (*.xml)");
    EXPECT_EQ(m_user.macroList, (std::vector<Entry>{{L"Copy & \"Paste\"", 1, true}, {L"Empty", 2, true}}));
    EXPECT_EQ(m_user.profileList, (std::vector<Entry>{{L"Work & Play", 1, true}}));
    EXPECT_EQ(m_user.activated, std::vector<int>{1});
    EXPECT_EQ(m_db.GetActiveProfile(), 1);
    m_user.path = Out(L"profile.xml");
    ASSERT_TRUE(m_exchange.ExportProfile(1, L"Work & Play"));
    EXPECT_EQ(ReadBytes(Out(L"profile.xml")), FixtureBytes(kProfileFixture));

    ASSERT_TRUE(m_db.Open(m_data, L"MacroTarget"));
    m_user.macroList.clear();
    m_user.path = Fixture(kMacroFixture);
    ASSERT_TRUE(m_exchange.ImportMacro());
    EXPECT_STREQ(m_user.dialogs.back().filterName, L"Macros (*.xml)");
    EXPECT_EQ(m_user.macroList, (std::vector<Entry>{{L"Paste", 1, false}}));
    m_user.path = Out(L"macro.xml");
    ASSERT_TRUE(m_exchange.ExportMacro(1));
    EXPECT_EQ(ReadBytes(Out(L"macro.xml")), FixtureBytes(kMacroFixture));
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(ExchangeFilesTest, ImportsAreNamedAfterTheFileTitle)
{
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\files\\work.xml", L"work"},       {L"C:\\files\\work", L"work"},
        {L"C:\\files\\my.profile.xml", L"my"},  {L"C:\\dotted.folder\\plain", L"plain"},
        {L"Z:/unix/style.xml", L"style"},       {L"bare.xml", L"bare"},
        {L"C:\\files\\.xml", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExchangeFiles::NameFromPath(c.path), c.name) << c.path;

    const std::string macro = FixtureBytes(kMacroFixture);
    Choose(L"my.macro.xml", macro);
    ASSERT_TRUE(m_exchange.ImportMacro());
    Choose(L"noextension", macro);
    ASSERT_TRUE(m_exchange.ImportMacro());
    Choose(L"team.profile.xml", FixtureBytes(kProfileFixture));
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_EQ(m_user.macroList[0].name, L"my");
    EXPECT_EQ(m_user.macroList[1].name, L"noextension");
    ASSERT_EQ(m_user.profileList.size(), 1u);
    std::wstring stored;
    ASSERT_TRUE(m_db.GetProfileName(m_user.profileList[0].id, stored));
    EXPECT_EQ(stored, L"team"); // not the file's profileinfo name
    MacroRow row;
    ASSERT_TRUE(m_db.GetMacro(m_user.macroList[0].id, row));
    EXPECT_EQ(row.name, L"my");
}

TEST_F(ExchangeFilesTest, AMacroOnTwoKeysIsWrittenTwiceAndImportedTwice)
{
    ASSERT_GT(m_db.AddProfile(ProfileRow{0, L"p"}), 0);
    ASSERT_EQ(m_db.AddMacroRow(Macro(L"Twice", 1, 1, 0)), 1);
    AddEvents(m_db, 1, {{2, 65, 10, L"A"}, {3, 65, 0, L"A"}});
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 4, L"A", kAssignMacro, 1, L"Twice")), 0);
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 5, L"B", kAssignMacro, 1, L"Twice")), 0);
    m_user.path = Out(L"twice.xml");
    ASSERT_TRUE(m_exchange.ExportProfile(1, L"p"));
    EXPECT_EQ(Count(ReadBytes(Out(L"twice.xml")), "<macroinfo name=\"Twice\" macro_id=\"1\""), 2u);

    // Another installation whose ids are already taken: two copies, both keys on the last.
    ASSERT_TRUE(m_db.Open(m_data, L"Other"));
    ASSERT_EQ(m_db.AddMacro(L"theirs"), 1);
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_EQ(m_user.macroList, (std::vector<Entry>{{L"Twice", 2, true}, {L"Twice", 3, true}}));
    EXPECT_EQ(KeysOf(File(L"Other"), 1), (std::vector<std::string>{"4|3|3", "5|3|3"}));
    EXPECT_EQ(EventsOf(File(L"Other"), 2), EventsOf(File(L"Other"), 3));
    EXPECT_EQ(EventsOf(File(L"Other"), 3), (std::vector<std::string>{"2|65|10|A", "3|65|0|A"}));

    // Importing it again there makes new copies again: the first copies' ids are not the file's.
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_EQ(RawCount(File(L"Other"), "t_macro_data"), 5);
    EXPECT_EQ(KeysOf(File(L"Other"), 2), (std::vector<std::string>{"4|3|5", "5|3|5"}));
}

TEST_F(ExchangeFilesTest, AMacroOfTheSameIdAndNameIsReusedInsteadOfCopied)
{
    ASSERT_GT(m_db.AddProfile(ProfileRow{0, L"p"}), 0);
    ASSERT_EQ(m_db.AddMacroRow(Macro(L"Mine", 1, 1, 0)), 1);
    AddEvents(m_db, 1, {{2, 65, 10, L"A"}});
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 4, L"A", kAssignMacro, 1, L"Mine")), 0);
    m_user.path = Out(L"mine.xml");
    ASSERT_TRUE(m_exchange.ExportProfile(1, L"p"));

    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_TRUE(m_user.macroList.empty());
    EXPECT_EQ(RawCount(File(), "t_macro_data"), 1);
    EXPECT_EQ(RawCount(File(), "t_macrorecord"), 1);
    EXPECT_EQ(KeysOf(File(), 2), std::vector<std::string>{"4|3|1"});

    // Renamed here: no longer the same macro, so the file's one is copied.
    ASSERT_TRUE(m_db.RenameMacro(1, L"Renamed"));
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_EQ(m_user.macroList, (std::vector<Entry>{{L"Mine", 2, true}}));
    EXPECT_EQ(KeysOf(File(), 3), std::vector<std::string>{"4|3|2"});
}

TEST_F(ExchangeFilesTest, AMacroKeyKeepsItsValueOnlyWhenTheFileOrThisInstallationHasTheMacro)
{
    ASSERT_EQ(m_db.AddMacro(L"Local"), 1);
    Choose(L"keys.xml", ProfileFile(KeyItem("4", "3", "1") + KeyItem("5", "3", "77") + KeyItem("6", "3", "9"),
                                    MacroInfo("FromFile", "9", 1)));
    ASSERT_TRUE(m_exchange.ImportProfile());
    // 4 names the local macro; 77 names nothing anywhere; 9 is the file's macro, now 2.
    EXPECT_EQ(KeysOf(File(), 1), (std::vector<std::string>{"4|3|1", "6|3|2"}));
}

TEST_F(ExchangeFilesTest, MacroItemsNestedInsideMacroInfoGiveNoEvents)
{
    Choose(L"nested.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro>\r\n"
                          "<macroinfo name=\"n\" times=\"2\" type=\"1\" delaytime=\"0\">\r\n<macroitems>\r\n"
                          "<item desc=\"A\" type=\"2\" value=\"65\" delay_time=\"10\"/>\r\n"
                          "</macroitems>\r\n</macroinfo>\r\n</macro>\r\n");
    ASSERT_TRUE(m_exchange.ImportMacro());
    EXPECT_EQ(m_user.macroList, (std::vector<Entry>{{L"nested", 1, false}}));
    EXPECT_EQ(RawRows(File(), "SELECT play_times FROM t_macro_data"), std::vector<std::string>{"2"});
    EXPECT_EQ(RawCount(File(), "t_macrorecord"), 0);
}

TEST_F(ExchangeFilesTest, NothingIsAskedOrWrittenWithoutASelectionOrAfterACancel)
{
    FillProfileRows();
    const std::vector<std::string> before = Snapshot(File());
    EXPECT_FALSE(m_exchange.ExportProfile(0, L""));
    EXPECT_FALSE(m_exchange.ExportMacro(0));
    EXPECT_TRUE(m_user.dialogs.empty());
    EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{{902, 901}, {903, 540}}));

    m_user.messages.clear();
    m_user.cancel = true;
    m_user.path = Fixture(kProfileFixture);
    EXPECT_FALSE(m_exchange.ExportProfile(1, L"Work & Play"));
    EXPECT_FALSE(m_exchange.ExportMacro(1));
    EXPECT_FALSE(m_exchange.ImportProfile());
    EXPECT_FALSE(m_exchange.ImportMacro());
    EXPECT_EQ(m_user.dialogs.size(), 4u);

    m_user.cancel = false;
    m_user.path = Out(L"absent.xml");
    EXPECT_FALSE(m_exchange.ImportProfile());
    EXPECT_FALSE(m_exchange.ImportMacro());
    m_user.path = m_root; // a folder is no file
    EXPECT_FALSE(m_exchange.ImportProfile());

    EXPECT_TRUE(m_user.messages.empty());
    EXPECT_TRUE(m_user.ListsUntouched());
    EXPECT_EQ(Snapshot(File()), before);
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(ExchangeFilesTest, AFailedExportTellsTheUserAndLeavesTheOldFileAsItWas)
{
    FillProfileRows();
    ExchangeFiles halfWriter(m_db, m_user, m_user, &WriteHalfThenFail);
    const std::string old = "the file the user chose to overwrite";
    const struct {
        const char* what;
        bool profile;
        ExchangeFiles* exchange;
        std::wstring path;
        bool existing;
    } cases[] = {
        {"profile, write fails half way", true, &halfWriter, Out(L"target.xml"), true},
        {"macro, write fails half way", false, &halfWriter, Out(L"target.xml"), true},
        {"profile, folder missing", true, &m_exchange, Out(L"missing\\target.xml"), false},
        {"macro, folder missing", false, &m_exchange, Out(L"missing\\target.xml"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.existing)
            WriteBytes(c.path, old);
        m_user.path = c.path;
        m_user.messages.clear();
        const bool written = c.profile ? c.exchange->ExportProfile(1, L"Work & Play") : c.exchange->ExportMacro(1);
        EXPECT_FALSE(written);
        EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{{c.profile ? 902 : 903, 906}}));
        if (c.existing)
            EXPECT_EQ(ReadBytes(c.path), old);
        else
            EXPECT_EQ(GetFileAttributesW(c.path.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(FolderNames(), (std::vector<std::wstring>{L"target.xml"})); // no half-written file beside it
    }
}

TEST_F(ExchangeFilesTest, AnExportOverAReadOnlyFileFailsWithoutTouchingIt)
{
    FillProfileRows();
    const std::string old = "read-only";
    WriteBytes(Out(L"locked.xml"), old);
    ASSERT_TRUE(SetFileAttributesW(Out(L"locked.xml").c_str(), FILE_ATTRIBUTE_READONLY));
    m_user.path = Out(L"locked.xml");
    EXPECT_FALSE(m_exchange.ExportProfile(1, L"Work & Play"));
    EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{{902, 906}}));
    EXPECT_EQ(ReadBytes(Out(L"locked.xml")), old);
    EXPECT_EQ(FolderNames(), std::vector<std::wstring>{L"locked.xml"});
    SetFileAttributesW(Out(L"locked.xml").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ExchangeFilesTest, AnImportTheDatabaseRefusesPartWayChangesNothing)
{
    // Rows that were there before, so that "as it was" is more than empty.
    ASSERT_EQ(m_db.AddDefaultProfiles(dbtest::Text), 1);
    ASSERT_EQ(m_db.AddMacro(L"kept"), 1);
    AddEvents(m_db, 1, {{2, 65, 10, L"A"}});
    const struct {
        const char* what;
        bool profile;
        const char* table;
        const char* event;
        const char* when;
    } cases[] = {
        {"profile: the third key", true, "t_key_macro_data", "INSERT", "NEW.key_code = 6"},
        {"profile: a macro with events", true, "t_macro_data", "INSERT", "NEW.name LIKE 'Copy%'"},
        {"profile: the second macro", true, "t_macro_data", "INSERT", "NEW.name = 'Empty'"},
        {"profile: an event", true, "t_macrorecord", "INSERT", "NEW.value = 67"},
        {"profile: the new profile", true, "t_profile_data", "INSERT", "1"},
        {"profile: its activation", true, "t_profile_data", "UPDATE", "NEW.status = 1"},
        {"macro: the macro", false, "t_macro_data", "INSERT", "1"},
        {"macro: the third event", false, "t_macrorecord", "INSERT", "NEW.record_index = 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FailWhen(c.table, c.event, c.when);
        const std::vector<std::string> before = Snapshot(File());
        m_user.messages.clear();
        m_user.path = Fixture(c.profile ? kProfileFixture : kMacroFixture);
        EXPECT_FALSE(c.profile ? m_exchange.ImportProfile() : m_exchange.ImportMacro());
        EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{{c.profile ? 907 : 908, 909}}));
        EXPECT_TRUE(m_user.ListsUntouched());
        EXPECT_EQ(Snapshot(File()), before);
        EXPECT_EQ(RawCount(File(), "t_macrorecord WHERE macro_id = 0"), 0);
        EXPECT_FALSE(m_db.InTransaction());
        ASSERT_EQ(m_db.Exec((std::string("DROP TRIGGER fail_") + c.table + "_" + c.event).c_str()), 0);
    }
    // Without the failures the same files import.
    m_user.path = Fixture(kProfileFixture);
    EXPECT_TRUE(m_exchange.ImportProfile());
    m_user.path = Fixture(kMacroFixture);
    EXPECT_TRUE(m_exchange.ImportMacro());
    EXPECT_EQ(RawCount(File(), "t_macro_data"), 4);
}

TEST_F(ExchangeFilesTest, FilesThatAreNotExchangeFilesImportNothing)
{
    FillProfileRows();
    const std::vector<std::string> before = Snapshot(File());
    const std::string macros = MacroInfo("m", "1", 3);
    const struct {
        const char* what;
        bool profile;
        std::string bytes;
    } cases[] = {
        {"empty", true, ""},
        {"plain text", true, "just some text"},
        {"binary", true, std::string("\x00\xff\xfe\x01<\x80profile", 12)},
        {"cut short after its macros", true,
         "<profile>\r\n" + macros + "<keyitems>\r\n<item fn_layer=\"0\" key_code=\"4\" macro_type=\"2\" macro_val"},
        {"end tags crossed", true, "<profile>\r\n" + macros + "<keyitems>\r\n</profile>\r\n</keyitems>\r\n"},
        {"a macro file", true, FixtureBytes(kMacroFixture)},
        {"empty", false, ""},
        {"a profile file", false, FixtureBytes(kProfileFixture)},
        {"macro without macroinfo", false, "<macro>\r\n<macroitems>\r\n</macroitems>\r\n</macro>\r\n"},
        {"cut short", false, "<macro>\r\n<macroinfo name=\"a\" times=\"1\"/>\r\n<macroitems>\r\n<item desc=\"x\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.profile ? "profile: " : "macro: ") + c.what);
        Choose(L"bad.xml", c.bytes);
        m_user.messages.clear();
        EXPECT_TRUE(c.profile ? m_exchange.ImportProfile() : m_exchange.ImportMacro()); // the file existed
        EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{c.profile ? std::make_pair(907, 904)
                                                                                : std::make_pair(908, 905)}));
        EXPECT_TRUE(m_user.ListsUntouched());
        EXPECT_EQ(Snapshot(File()), before);
    }
}

TEST_F(ExchangeFilesTest, TenMegabytesOfAttributesAreRefusedInOneTagAndSkippedOverInMany)
{
    const std::vector<std::string> before = Snapshot(File());
    // Attributes nobody reads, about 100 characters each.
    auto junkOf = [](size_t bytes) {
        std::string junk;
        for (int i = 0; junk.size() < bytes; ++i)
            junk += " a" + std::to_string(i) + "=\"" + std::string(90, 'x') + "\"";
        return junk;
    };
    // One start tag longer than any tag the reader takes.
    const std::string junk = junkOf(10u * 1024 * 1024);
    Choose(L"huge.xml", ProfileFile("<item" + junk + " key_code=\"4\" macro_type=\"2\" macro_value=\"1\"/>\r\n"));
    EXPECT_TRUE(m_exchange.ImportProfile());
    EXPECT_EQ(m_user.messages, (std::vector<std::pair<int, int>>{{907, 904}}));
    EXPECT_EQ(Snapshot(File()), before);

    // The same amount spread over 100 items, each with its real attributes after 100 KB of
    // others: every item is read.
    const std::string part = junkOf(100 * 1024);
    std::string items;
    for (int code = 1; code <= 100; ++code)
        items += "<item" + part + " fn_layer=\"0\" key_code=\"" + std::to_string(code) +
                 "\" macro_type=\"2\" macro_value=\"" + std::to_string(1000 + code) + "\"/>\r\n";
    Choose(L"wide.xml", ProfileFile(items));
    m_user.messages.clear();
    ASSERT_TRUE(m_exchange.ImportProfile());
    EXPECT_TRUE(m_user.messages.empty());
    const std::vector<std::string> keys = KeysOf(File(), 1);
    ASSERT_EQ(keys.size(), 100u);
    EXPECT_EQ(keys.front(), "1|2|1001");
    EXPECT_EQ(keys.back(), "100|2|1100");
}

TEST_F(ExchangeFilesTest, KeyItemsOfUnknownKindsOrMissingPayloadsAreDropped)
{
    const int program = m_db.AddKeyOtherData(L"notepad", L"C:\\Windows\\notepad.exe", 0);
    const int profileSwitch = m_db.AddKeyOtherData(L"", L"1", 0);
    ASSERT_GT(program, 0);
    ASSERT_GT(profileSwitch, 0);
    const std::string p = std::to_string(program), s = std::to_string(profileSwitch);
    const struct {
        const char* code;
        const char* kind;
        std::string value;
        bool kept;
    } cases[] = {
        {"1", "0", "5", false},            // the key's own function is never a row
        {"2", "4", "5", false},            // no such kind
        {"3", "13", "5", false},           //
        {"4", "-1", "5", false},           //
        {"5", "99999999999", "5", false},  //
        {"6", "", "5", false},             // missing: 0
        {"7", "8", p, true},               // run a program that exists here
        {"8", "8", "999", false},          // a payload row that does not exist here
        {"9", "9", "-3", false},           //
        {"10", "10", "2147483648", false}, //
        {"11", "11", s, true},             // switch profile, payload exists
        {"12", "2", "30", true},           // plain kinds need no payload
        {"13", "12", "600", true},         //
        {"0", "2", "30", false},           // no key
        {"14", "2", "0", false},           // no value
    };
    std::string items;
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        items += KeyItem(c.code, c.kind, c.value);
        if (c.kept)
            expected.push_back(std::string(c.code) + "|" + c.kind + "|" + c.value);
    }
    Choose(L"kinds.xml", ProfileFile(items));
    ASSERT_TRUE(m_exchange.ImportProfile());
    std::vector<std::string> keys = KeysOf(File(), 1);
    std::sort(keys.begin(), keys.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keys, expected);
}

TEST_F(ExchangeFilesTest, NumbersOutsideTheirRangesAreBroughtInside)
{
    const struct {
        const wchar_t* text;
        int value;
    } numbers[] = {
        {L"", 0},          {L"12", 12},       {L" -7", -7},          {L"+3", 3},
        {L"12abc", 12},    {L"abc", 0},       {L"0x10", 0},          {L"1e5", 1},
        {L"\t8", 8},       {L"- 4", 0},       {L"2147483647", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"2147483648", INT_MAX},             {L"99999999999999999999999", INT_MAX},
        {L"-99999999999999999999999", INT_MIN},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(ExchangeFiles::ParseNumber(n.text), n.value) << n.text;

    Choose(L"numbers.xml",
           "<macro>\r\n<macroinfo times=\"-5\" type=\"2\" delaytime=\"99999999999\"/>\r\n<macroitems>\r\n"
           "<item desc=\"a\" type=\"2\" value=\"-2147483649\" delay_time=\"-1\"/>\r\n"
           "<item desc=\"b\" type=\"3\" value=\"65\" delay_time=\"40000\"/>\r\n"
           "<item desc=\"c\" type=\"2\" value=\"65\" delay_time=\"99999999999\"/>\r\n"
           "<item desc=\"d\" type=\"3\" value=\"65\" delay_time=\"-99999999999\"/>\r\n"
           "<item desc=\"e\" type=\"2\" value=\"65\" delay_time=\"31000\"/>\r\n"
           "</macroitems>\r\n</macro>\r\n");
    ASSERT_TRUE(m_exchange.ImportMacro());
    EXPECT_EQ(RawRows(File(), "SELECT play_times, delay_type, delay_time FROM t_macro_data"),
              std::vector<std::string>{"1|2|31000"});
    EXPECT_EQ(EventsOf(File(), 1), (std::vector<std::string>{"2|-2147483648|0|a", "3|65|31000|b", "2|65|31000|c",
                                                             "3|65|0|d", "2|65|31000|e"}));

    Choose(L"times.xml", "<macro>\r\n<macroinfo times=\"1000\"/>\r\n</macro>\r\n");
    ASSERT_TRUE(m_exchange.ImportMacro());
    EXPECT_EQ(RawRows(File(), "SELECT play_times FROM t_macro_data WHERE macro_id = 2"), std::vector<std::string>{"99"});
}

TEST_F(ExchangeFilesTest, AnExportReachesAFileAtTheRootOfADrive)
{
    FillMacroRows();
    // The new file is made in the drive's root folder, not in the current folder of that drive.
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 2u);
    const std::wstring path = std::wstring(temp, 3) + L"tastro-export-" + std::to_wstring(GetCurrentProcessId()) + L".xml";
    m_user.path = path;
    const bool written = m_exchange.ExportMacro(1);
    const std::string bytes = ReadBytes(path);
    DeleteFileW(path.c_str());
    EXPECT_TRUE(written);
    EXPECT_EQ(bytes, FixtureBytes(kMacroFixture));
}
