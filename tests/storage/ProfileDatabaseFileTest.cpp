// The profile file's life: a new file's schema, which file a model name reaches, model
// switches, factory reset, and damaged or foreign files that must fail cleanly.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ProfileDatabaseFixture.h"
#include "storage/SQLiteStatement.h"

using dbtest::Exists;
using dbtest::ProfileDatabaseTest;
using dbtest::RawCount;
using dbtest::RawRows;
using dbtest::kTables;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// Every operation must report failure (false, 0, an empty list) and leave no transaction
// behind when the file cannot be used.
void ExpectEveryOperationFails(ProfileDatabase& db)
{
    ProfileRow profile;
    profile.name = L"p";
    KeyMacroRow key;
    key.profile = 1;
    key.key_code = 0x29;
    key.macro_type = kAssignFunction;
    key.macro_value = 4;
    LightRow light;
    light.profile = 1;
    light.mode = 1;
    std::vector<KeyLightRow> keyLights(3, KeyLightRow{0, 1, 128, 4, 255});
    std::vector<MacroEventRow> events(2, MacroEventRow{0, 1, 2, 0, 65, 10, L"A"});
    MacroRow macro;
    MusicLayerRow music;
    std::wstring text = L"untouched";
    std::wstring param = L"untouched";
    int number = 77;
    std::vector<ProfileRow> profiles(1);
    std::vector<KeyMacroRow> keys(1);
    std::vector<LightRow> lights(1);
    std::vector<KeyLightRow> keyLightRows(1);
    std::vector<MacroRow> macros(1);
    std::vector<MacroEventRow> eventRows(1);

    EXPECT_EQ(db.AddProfile(profile), 0);
    EXPECT_FALSE(db.RenameProfile(1, L"x"));
    EXPECT_FALSE(db.DeleteProfile(1));
    EXPECT_FALSE(db.GetProfileName(1, text));
    EXPECT_EQ(text, L"");
    EXPECT_EQ(db.GetProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_FALSE(db.SetActiveProfile(1));
    EXPECT_EQ(db.GetActiveProfile(), 0);
    EXPECT_FALSE(db.WriteDefaultConfig());
    EXPECT_EQ(db.AddDefaultProfiles(dbtest::Text), 0);

    EXPECT_EQ(db.SetKeyAssignment(key), 0);
    EXPECT_FALSE(db.GetKeyAssignment(1, 0, 0x29, key));
    EXPECT_EQ(db.GetKeyAssignments(1, 0, keys), 0);
    EXPECT_TRUE(keys.empty());
    EXPECT_FALSE(db.ClearKeyAssignments(1));
    EXPECT_EQ(db.AddKeyOtherData(L"d", L"p", 9), 0);
    text = L"untouched";
    EXPECT_FALSE(db.GetKeyOtherData(1, text, param, number));
    EXPECT_EQ(text, L"untouched");
    EXPECT_EQ(number, 77);

    EXPECT_EQ(db.CountLightModes(1), 0);
    EXPECT_EQ(db.AddLightMode(light), 0);
    EXPECT_FALSE(db.UpdateLightMode(1, 1, light));
    EXPECT_FALSE(db.SetActiveLightMode(1, 1));
    EXPECT_EQ(db.GetActiveLightMode(1), 0);
    EXPECT_FALSE(db.GetLightMode(1, 1, light));
    EXPECT_EQ(db.GetLightModes(1, lights), 0);
    EXPECT_TRUE(lights.empty());
    EXPECT_FALSE(db.AddDefaultLightModes({{100, 1, 0}}, {201, 1, 3, 2}));

    EXPECT_EQ(db.AddKeyLights(keyLights), 0);
    EXPECT_FALSE(db.ClearCustomKeyLights());
    EXPECT_FALSE(db.ReplaceCustomKeyLights(keyLights));
    EXPECT_EQ(db.GetKeyLights(128, keyLightRows), 0);
    EXPECT_TRUE(keyLightRows.empty());

    EXPECT_EQ(db.AddMacro(L"m"), 0);
    EXPECT_EQ(db.AddMacroRow(macro), 0);
    EXPECT_FALSE(db.RenameMacro(1, L"x"));
    EXPECT_FALSE(db.UpdateMacroPlayback(macro));
    EXPECT_FALSE(db.DeleteMacro(1));
    EXPECT_FALSE(db.GetMacroPlayTimes(1, number));
    EXPECT_FALSE(db.GetMacro(1, macro));
    EXPECT_EQ(db.GetMacros(macros), 0);
    EXPECT_TRUE(macros.empty());
    EXPECT_EQ(db.AddMacroEvent(events[0]), 0);
    EXPECT_EQ(db.AddMacroEvents(events), 0);
    EXPECT_FALSE(db.ReplaceMacroEvents(1, events));
    EXPECT_EQ(db.GetMacroEvents(1, eventRows), 0);
    EXPECT_TRUE(eventRows.empty());
    EXPECT_FALSE(db.DeleteMacroEvents(1));
    EXPECT_EQ(db.CountMacroKeyEvents(1), 0);

    EXPECT_EQ(db.CountMusicLayers(), 0);
    EXPECT_EQ(db.AddMusicLayer(L"m", 1), 0);
    EXPECT_FALSE(db.GetMusicLayer(1, music));
    EXPECT_FALSE(db.UpdateMusicLayer(music));
    EXPECT_FALSE(db.SelectMusicLayer());
    EXPECT_EQ(db.GetSelectedMusicLayer(), 0);
    EXPECT_EQ(db.AddDefaultMusicLayer(dbtest::Text, true), 0);

    EXPECT_FALSE(db.InTransaction());
}

} // namespace

TEST_F(ProfileDatabaseTest, NewFileHoldsTheSchemaAndNoRows)
{
    OpenNew();
    EXPECT_EQ(m_db.Path(), SQLiteUtf8(m_data + L"db\\Model_data_v1.db"));

    // The seventeen objects in creation order (SQLite's own sqlite_sequence aside).
    const std::vector<std::string> objects = {
        "table|t_configdata|t_configdata",           "table|t_profile_data|t_profile_data",
        "index|profileindex|t_profile_data",         "table|t_key_macro_data|t_key_macro_data",
        "index|keyindex|t_key_macro_data",           "table|t_key_otherdata|t_key_otherdata",
        "index|otheridindex|t_key_otherdata",        "table|t_macro_data|t_macro_data",
        "index|macroidindex|t_macro_data",           "table|t_macrorecord|t_macrorecord",
        "index|macrorecordindex|t_macrorecord",      "table|t_light_data|t_light_data",
        "index|lightindex|t_light_data",             "table|t_key_light_data|t_key_light_data",
        "index|keylightindex|t_key_light_data",      "table|t_musiclayer_data|t_musiclayer_data",
        "index|musiclayerindex|t_musiclayer_data",
    };
    EXPECT_EQ(RawRows(File(), "SELECT type, name, tbl_name FROM sqlite_master "
                              "WHERE name NOT LIKE 'sqlite_%' ORDER BY rowid"),
              objects);

    // Columns in order with their types; every table's first column is its
    // autoincrementing key, and every index is on that key.
    struct Table {
        const char* name;
        const char* columns;
        const char* index;
    };
    const Table tables[] = {
        {"t_configdata", "config_id INTEGER,profile INTEGER,key TEXT,value TEXT", nullptr},
        {"t_profile_data", "profile INTEGER,name TEXT,status INTEGER,app TEXT,type INTEGER", "profileindex"},
        {"t_key_macro_data",
         "key_id INTEGER,profile INTEGER,fn_layer INTEGER,key_code INTEGER,layout_value INTEGER,layout_desc TEXT,"
         "macro_type INTEGER,macro_value INTEGER,macro_value2 INTEGER,macro_value3 INTEGER,macro_desc TEXT",
         "keyindex"},
        {"t_key_otherdata", "macro_value INTEGER,macro_desc TEXT,param TEXT,type INTEGER", "otheridindex"},
        {"t_macro_data",
         "macro_id INTEGER,play_times INTEGER,delay_type INTEGER,delay_time INTEGER,link_count INTEGER,name TEXT",
         "macroidindex"},
        {"t_macrorecord",
         "record_id INTEGER,macro_id INTEGER,type INTEGER,record_index INTEGER,desc TEXT,value INTEGER,"
         "delay_time INTEGER",
         "macrorecordindex"},
        {"t_light_data",
         "light_id INTEGER,profile INTEGER,name TEXT,mode INTEGER,brightness INTEGER,speed INTEGER,"
         "direction INTEGER,colorful INTEGER,colorindex INTEGER,color_value INTEGER,config_func INTEGER,"
         "reserved INTEGER,status INTEGER",
         "lightindex"},
        {"t_key_light_data", "keylight_id INTEGER,profile INTEGER,light_id INTEGER,key_code INTEGER,key_rgb INTEGER",
         "keylightindex"},
        {"t_musiclayer_data",
         "layer_id INTEGER,profile INTEGER,name TEXT,deviceindex INTEGER,foremode INTEGER,fore_amplitude INTEGER,"
         "backmode INTEGER,backb_right INTEGER,sel INTEGER",
         "musiclayerindex"},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.name);
        std::string sql = std::string("SELECT group_concat(name || ' ' || type, ',') FROM "
                                      "(SELECT name, type FROM pragma_table_info('") +
                          t.name + "') ORDER BY cid)";
        EXPECT_EQ(RawRows(File(), sql.c_str()), std::vector<std::string>{t.columns});
        sql = std::string("SELECT pk FROM pragma_table_info('") + t.name + "') WHERE cid = 0";
        EXPECT_EQ(RawRows(File(), sql.c_str()), std::vector<std::string>{"1"});
        sql = std::string("SELECT instr(sql, 'AUTOINCREMENT') > 0 FROM sqlite_master WHERE name = '") + t.name + "'";
        EXPECT_EQ(RawRows(File(), sql.c_str()), std::vector<std::string>{"1"});
        if (t.index) {
            sql = std::string("SELECT name FROM pragma_index_info('") + t.index + "')";
            std::string key(t.columns, std::string(t.columns).find(' '));
            EXPECT_EQ(RawRows(File(), sql.c_str()), std::vector<std::string>{key});
        }
        EXPECT_EQ(RawCount(File(), t.name), 0);
    }
}

TEST_F(ProfileDatabaseTest, WritesAreDurable)
{
    OpenNew();
    SQLiteStatement st;
    ASSERT_EQ(m_db.Prepare(st, "PRAGMA synchronous"), SQLITE_OK);
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_EQ(st.ColumnInt(0), 2); // FULL
}

TEST_F(ProfileDatabaseTest, ModelNamesThatLeaveTheDataFolderAreTreatedAsEmpty)
{
    const std::wstring emptyName = m_data + L"db\\_data_v1.db";
    const wchar_t* const refused[] = {L"..\\..\\evil", L"sub\\evil", L"a/b", L"C:evil", L"..", L"x..y", L"\\\\server\\share\\x"};
    for (const wchar_t* name : refused) {
        SCOPED_TRACE(SQLiteUtf8(name));
        EXPECT_EQ(ProfileDatabase::FilePath(m_data, name), emptyName);
        ASSERT_TRUE(m_db.Open(m_data, name));
        EXPECT_EQ(m_db.Path(), SQLiteUtf8(emptyName));
        m_db.Close();
        EXPECT_TRUE(m_db.RemoveFile(m_data, name));
    }
    // Nothing was created beside or above the db folder.
    EXPECT_FALSE(Exists(m_root + L"\\evil_data_v1.db"));
    EXPECT_FALSE(Exists(m_data + L"db\\sub"));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((m_data + L"*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> entries;
    do {
        entries.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(entries.size(), 3u); // ".", ".." and "db"

    // Ordinary names, also outside ASCII, name their own file; a missing trailing
    // backslash on the data folder is supplied.
    EXPECT_EQ(ProfileDatabase::FilePath(m_root, L"K\x00e9yboard 75"), m_data + L"db\\K\x00e9yboard 75_data_v1.db");
    OpenNew(L"K\x00e9yboard 75");
    EXPECT_TRUE(Exists(m_data + L"db\\K\x00e9yboard 75_data_v1.db"));
}

TEST_F(ProfileDatabaseTest, OpeningAnotherModelNeverKeepsTheOldConnection)
{
    OpenNew(L"A");
    ASSERT_NE(m_db.AddMacro(L"in A"), 0);
    // Opening B while A is open: the result speaks for B's file.
    ASSERT_TRUE(m_db.Open(m_data, L"B"));
    EXPECT_EQ(m_db.Path(), SQLiteUtf8(File(L"B")));
    ASSERT_NE(m_db.AddMacro(L"in B"), 0);
    EXPECT_EQ(RawRows(File(L"A"), "SELECT name FROM t_macro_data"), std::vector<std::string>{"in A"});
    EXPECT_EQ(RawRows(File(L"B"), "SELECT name FROM t_macro_data"), std::vector<std::string>{"in B"});

    // Opening the file that is already open keeps it.
    ASSERT_TRUE(m_db.Open(m_data, L"B"));
    std::vector<MacroRow> macros;
    EXPECT_EQ(m_db.GetMacros(macros), 1);

    // Selecting a model reopens and remembers its device type.
    EXPECT_EQ(m_db.Model(), 0);
    ASSERT_TRUE(m_db.SelectModel(m_data, L"A", 201));
    EXPECT_EQ(m_db.Model(), 201);
    EXPECT_TRUE(m_db.IsOpened());
    ASSERT_EQ(m_db.GetMacros(macros), 1);
    EXPECT_EQ(macros[0].name, L"in A");
}

TEST_F(ProfileDatabaseTest, FailedSchemaCreationLeavesNothingOpenAndNoFile)
{
    // A folder where SQLite wants its journal makes every schema statement fail.
    const std::wstring journal = File(L"A") + L"-journal";
    ASSERT_TRUE(CreateDirectoryW(journal.c_str(), nullptr));
    OpenNew(L"B");

    EXPECT_FALSE(m_db.SelectModel(m_data, L"A", 202));
    EXPECT_FALSE(m_db.IsOpen());
    EXPECT_FALSE(m_db.IsOpened());
    EXPECT_EQ(m_db.Model(), 202);
    EXPECT_FALSE(Exists(File(L"A")));
    ExpectEveryOperationFails(m_db);

    // The next model selection opens its own file, not a stale one.
    ASSERT_TRUE(m_db.SelectModel(m_data, L"B", 201));
    ASSERT_NE(m_db.AddMacro(L"in B"), 0);
    EXPECT_EQ(RawCount(File(L"B"), "t_macro_data"), 1);

    // Once the obstacle is gone the file is created with its whole schema.
    ASSERT_TRUE(RemoveDirectoryW(journal.c_str()));
    ASSERT_TRUE(m_db.SelectModel(m_data, L"A", 202));
    EXPECT_EQ(RawCount(File(L"A"), "sqlite_master WHERE name NOT LIKE 'sqlite_%'"), 17);
}

TEST_F(ProfileDatabaseTest, OperationsFailBeforeAnyFileIsOpen)
{
    ExpectEveryOperationFails(m_db);
    // A data folder without its db subfolder cannot hold the file.
    EXPECT_FALSE(m_db.Open(m_root + L"\\missing\\", L"Model"));
    EXPECT_FALSE(m_db.IsOpen());
    ExpectEveryOperationFails(m_db);
}

TEST_F(ProfileDatabaseTest, FactoryResetStartsAFreshFile)
{
    OpenNew();
    ASSERT_EQ(m_db.AddDefaultProfiles(dbtest::Text), 1);
    ASSERT_NE(m_db.AddMacro(L"m"), 0);
    WriteBytes(File() + L"-journal", "left over by an interrupted write elsewhere");
    m_db.Close();
    ASSERT_TRUE(Exists(File() + L"-journal"));
    ASSERT_TRUE(m_db.Open(m_data, L"Model"));

    ASSERT_TRUE(m_db.ResetFile(m_data, L"Model"));
    EXPECT_TRUE(m_db.IsOpened());
    EXPECT_FALSE(Exists(File() + L"-journal"));
    for (const char* table : kTables)
        EXPECT_EQ(RawCount(File(), table), 0) << table;
    EXPECT_EQ(RawCount(File(), "sqlite_master WHERE name NOT LIKE 'sqlite_%'"), 17);
    // Ids start again at 1 in the new file.
    ProfileRow row;
    row.name = L"again";
    EXPECT_EQ(m_db.AddProfile(row), 1);
    EXPECT_EQ(m_db.AddMacro(L"again"), 1);
}

TEST_F(ProfileDatabaseTest, FactoryResetOfAFileHeldByAnotherProgramKeepsIt)
{
    OpenNew();
    ASSERT_EQ(m_db.AddDefaultProfiles(dbtest::Text), 1);
    // Another program has the file open without allowing deletion.
    HANDLE other = CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(m_db.ResetFile(m_data, L"Model"));
    CloseHandle(other);

    // The old file is open again with everything in it.
    EXPECT_TRUE(m_db.IsOpened());
    std::vector<ProfileRow> profiles;
    EXPECT_EQ(m_db.GetProfiles(profiles), 3);
    EXPECT_EQ(m_db.GetActiveProfile(), 1);
}

TEST_F(ProfileDatabaseTest, DamagedOrForeignFilesFailCleanlyAndStayAsTheyWere)
{
    // A real profile file with enough rows to span many pages.
    std::string valid;
    {
        ProfileDatabase maker;
        ASSERT_TRUE(maker.Open(m_data, L"Source"));
        ASSERT_EQ(maker.AddDefaultProfiles(dbtest::Text), 1);
        std::vector<KeyLightRow> rows;
        for (int i = 0; i < 2000; ++i)
            rows.push_back({0, 1, 128 + i % 4, i, 0x00FF00FF});
        ASSERT_EQ(maker.AddKeyLights(rows), 2000);
        maker.Close();
        valid = ReadBytes(File(L"Source"));
        ASSERT_GT(valid.size(), 16384u);
    }
    std::string noise(8192, '\0');
    unsigned seed = 12345;
    for (char& c : noise) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    std::string foreign;
    {
        SQLiteDB maker;
        ASSERT_TRUE(maker.Open(SQLiteUtf8(File(L"Foreign")).c_str(),
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX));
        ASSERT_EQ(maker.Exec("CREATE TABLE customers(id INTEGER PRIMARY KEY, name TEXT);"
                             "INSERT INTO customers(name) VALUES('Ada'), ('Grace');"),
                  SQLITE_OK);
        maker.Close();
        foreign = ReadBytes(File(L"Foreign"));
    }
    std::string flipped = valid;
    for (size_t i = 100; i < flipped.size(); i += 97)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated to half", valid.substr(0, valid.size() / 2)},
        {"only the header page", valid.substr(0, 4096)},
        {"random bytes", noise},
        {"text file", "this is not a database\r\n"},
        {"bytes flipped throughout", flipped},
        {"a database with foreign tables", foreign},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(File(), c.bytes);
        // An existing file is opened as it is; what it holds decides each operation.
        m_db.Open(m_data, L"Model");
        ExpectEveryOperationFails(m_db);
        m_db.Close();
        EXPECT_EQ(ReadBytes(File()), c.bytes); // not repaired, nothing lost
        EXPECT_FALSE(Exists(File() + L"-journal"));
        ASSERT_TRUE(m_db.RemoveFile(m_data, L"Model"));
    }
}

TEST_F(ProfileDatabaseTest, AListThatMeetsADamagedPageIsNotReturnedInPart)
{
    OpenNew();
    std::vector<KeyLightRow> rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back({0, 1, 128, i, 0x00FF00FF});
    ASSERT_EQ(m_db.AddKeyLights(rows), 2000);
    m_db.Close();

    // Zero a run of pages in the second half of the file, where the colour rows are.
    std::string bytes = ReadBytes(File());
    const size_t page = 4096;
    const size_t pages = bytes.size() / page;
    ASSERT_GT(pages, 10u);
    for (size_t p = pages * 6 / 10; p < pages * 7 / 10; ++p)
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(p * page),
                  bytes.begin() + static_cast<std::ptrdiff_t>((p + 1) * page), '\0');
    WriteBytes(File(), bytes);
    // A plain reader gets the rows before the damage and then an error.
    const size_t partial = RawRows(File(), "SELECT * FROM t_key_light_data WHERE light_id = 128").size();
    ASSERT_GT(partial, 0u);
    ASSERT_LT(partial, 2000u);

    ASSERT_TRUE(m_db.Open(m_data, L"Model"));
    std::vector<KeyLightRow> read(1);
    EXPECT_EQ(m_db.GetKeyLights(128, read), 0);
    EXPECT_TRUE(read.empty());
    m_db.Close();
    EXPECT_EQ(ReadBytes(File()), bytes);
}
