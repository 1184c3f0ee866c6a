// Changes that take several statements are all or nothing: a step that fails part-way
// (injected here with a trigger, as a full disk or a damaged page would fail it) leaves
// every table exactly as it was, and the operation reports the failure. Also: several
// threads sharing the object.
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ProfileDatabaseFixture.h"

using dbtest::ProfileDatabaseTest;
using dbtest::RawCount;
using dbtest::RawRows;
using dbtest::Snapshot;

namespace {

std::vector<KeyLightRow> KeyLights(int count, int rgb)
{
    std::vector<KeyLightRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({0, 1, 128, i, rgb});
    return rows;
}

std::vector<MacroEventRow> Events(int macroId, int count, int vk)
{
    std::vector<MacroEventRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({0, macroId, 2 + i % 2, i, vk + i, 10, L"e"});
    return rows;
}

KeyMacroRow Key(int keyCode, int kind, int value)
{
    KeyMacroRow row;
    row.profile = 1;
    row.key_code = keyCode;
    row.macro_type = kind;
    row.macro_value = value;
    row.macro_desc = L"tip";
    return row;
}

// Rows present before the failing change: a custom key set, a macro with events and
// keys, profiles with settings.
void Fill(ProfileDatabase& db)
{
    ASSERT_EQ(db.AddDefaultProfiles(dbtest::Text), 1);
    ASSERT_EQ(db.AddKeyLights(KeyLights(10, 0x000000FF)), 10);
    ASSERT_EQ(db.AddMacro(L"old"), 1);
    ASSERT_EQ(db.AddMacroEvents(Events(1, 4, 0x41)), 4);
    ASSERT_GT(db.SetKeyAssignment(Key(0x04, kAssignMacro, 1)), 0);
    ASSERT_GT(db.SetKeyAssignment(Key(0x05, kAssignFunction, 30)), 0);
}

} // namespace

TEST_F(ProfileDatabaseTest, AChangeThatFailsPartWayLeavesEverythingAsItWas)
{
    struct Case {
        const char* what;
        const char* table;    // where the failure is injected
        const char* event;    // INSERT, UPDATE or DELETE
        const char* when;     // which row fails
        std::function<bool(ProfileDatabase&)> change; // true when the change reports success
    };
    const Case cases[] = {
        {"bulk key colours, failing at row 60 of 110", "t_key_light_data", "INSERT", "NEW.key_code = 60",
         [](ProfileDatabase& db) { return db.AddKeyLights(KeyLights(110, 0x00FF0000)) != 0; }},
        {"bulk macro events, failing at the last row", "t_macrorecord", "INSERT", "NEW.record_index = 29",
         [](ProfileDatabase& db) { return db.AddMacroEvents(Events(1, 30, 0x50)) != 0; }},
        {"custom set replaced, the new rows failing", "t_key_light_data", "INSERT", "NEW.key_code = 15",
         [](ProfileDatabase& db) { return db.ReplaceCustomKeyLights(KeyLights(20, 0x0000FF00)); }},
        {"custom set replaced, the clearing failing", "t_key_light_data", "DELETE", "OLD.key_code = 7",
         [](ProfileDatabase& db) { return db.ReplaceCustomKeyLights(KeyLights(20, 0x0000FF00)); }},
        {"macro events replaced, the new rows failing", "t_macrorecord", "INSERT", "NEW.record_index = 2",
         [](ProfileDatabase& db) { return db.ReplaceMacroEvents(1, Events(1, 6, 0x60)); }},
        {"key stored again, the insert failing", "t_key_macro_data", "INSERT", "NEW.macro_value = 666",
         [](ProfileDatabase& db) { return db.SetKeyAssignment(Key(0x05, kAssignFunction, 666)) != 0; }},
        {"macro deleted, its key rows failing", "t_key_macro_data", "DELETE", "OLD.macro_type = 3",
         [](ProfileDatabase& db) { return db.DeleteMacro(1); }},
        {"macro deleted, its events failing", "t_macrorecord", "DELETE", "1",
         [](ProfileDatabase& db) { return db.DeleteMacro(1); }},
        {"default profiles, a settings row failing", "t_configdata", "INSERT", "NEW.key = 'gamemode'",
         [](ProfileDatabase& db) { return db.AddDefaultProfiles(dbtest::Text) != 0; }},
        {"default profiles, the third profile failing", "t_profile_data", "INSERT", "NEW.name = 'Perfil 3'",
         [](ProfileDatabase& db) { return db.AddDefaultProfiles(dbtest::Text) != 0; }},
        {"default lighting rows, one mode failing", "t_light_data", "INSERT", "NEW.mode = 3",
         [](ProfileDatabase& db) {
             return db.AddDefaultLightModes({{301, 1, 0}, {302, 2, 0}, {303, 3, 0}}, {201, 1, 4, 3});
         }},
        {"active profile, the second update failing", "t_profile_data", "UPDATE", "NEW.status = 1",
         [](ProfileDatabase& db) { return db.SetActiveProfile(2); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring model = L"Case" + std::to_wstring(++n);
        ASSERT_TRUE(m_db.Open(m_data, model));
        Fill(m_db);
        FailWhen(c.table, c.event, c.when);
        const std::vector<std::string> before = Snapshot(File(model));

        EXPECT_FALSE(c.change(m_db));
        EXPECT_FALSE(m_db.InTransaction());
        EXPECT_EQ(Snapshot(File(model)), before);
    }
}

TEST_F(ProfileDatabaseTest, DefaultRowsAreWrittenTogether)
{
    OpenNew();
    // A file whose default rows could not all be written holds none of them, so the
    // pages find their tables empty and write them again.
    FailWhen("t_musiclayer_data", "UPDATE", "NEW.sel = 1");
    EXPECT_EQ(m_db.AddDefaultMusicLayer(dbtest::Text, true), 0);
    EXPECT_EQ(m_db.CountMusicLayers(), 0);
    ASSERT_EQ(m_db.Exec("DROP TRIGGER fail_t_musiclayer_data_UPDATE"), SQLITE_OK);
    // The rolled-back insert never happened, so the record is layer 1, the one layer
    // UpdateMusicLayer writes.
    EXPECT_EQ(m_db.AddDefaultMusicLayer(dbtest::Text, true), 1);
    EXPECT_EQ(m_db.GetSelectedMusicLayer(), 1);
}

TEST_F(ProfileDatabaseTest, ThreadsSharingTheObjectLoseNothing)
{
    OpenNew();
    const int macro = m_db.AddMacro(L"shared");
    ASSERT_EQ(macro, 1);
    const int rounds = 25;
    std::thread keys([&] {
        for (int i = 1; i <= rounds; ++i) {
            EXPECT_GT(m_db.SetKeyAssignment(Key(i, kAssignFunction, i)), 0);
            EXPECT_GT(m_db.SetKeyAssignment(Key(i, kAssignShortcut, i)), 0);
        }
    });
    std::thread colours([&] {
        for (int i = 1; i <= rounds; ++i)
            EXPECT_TRUE(m_db.ReplaceCustomKeyLights(KeyLights(i, i)));
    });
    std::thread events([&] {
        for (int i = 1; i <= rounds; ++i) {
            EXPECT_TRUE(m_db.ReplaceMacroEvents(macro, Events(macro, i, 0x41)));
            EXPECT_GT(m_db.AddMacro(L"m"), 0);
        }
    });
    keys.join();
    colours.join();
    events.join();

    EXPECT_EQ(RawCount(File(), "t_key_macro_data"), rounds);
    EXPECT_EQ(RawCount(File(), "t_key_macro_data WHERE macro_type = 7"), rounds);
    EXPECT_EQ(RawCount(File(), "t_key_light_data"), rounds);
    EXPECT_EQ(RawCount(File(), "t_key_light_data WHERE key_rgb = 25"), rounds);
    EXPECT_EQ(RawCount(File(), "t_macrorecord"), rounds);
    EXPECT_EQ(RawCount(File(), "t_macro_data"), rounds + 1);
}
