// What each profile database operation stores and reads back: profiles, key
// assignments, lighting modes, per-key colours, macros and their events, the music
// record, and the default rows of a new file.
#include <string>
#include <vector>

#include "ProfileDatabaseFixture.h"

using dbtest::ProfileDatabaseTest;
using dbtest::RawCount;
using dbtest::RawRows;

namespace {

ProfileRow Profile(const std::wstring& name, const std::wstring& app = L"")
{
    ProfileRow row;
    row.name = name;
    row.app = app;
    return row;
}

KeyMacroRow Key(int profile, int fnLayer, int keyCode, int kind, int value, int value2 = 0,
                const std::wstring& desc = L"tip")
{
    KeyMacroRow row;
    row.profile = profile;
    row.fn_layer = fnLayer;
    row.key_code = keyCode;
    row.layout_value = keyCode + 1000;
    row.layout_desc = L"key " + std::to_wstring(keyCode);
    row.macro_type = kind;
    row.macro_value = value;
    row.macro_value2 = value2;
    row.macro_value3 = 9;
    row.macro_desc = desc;
    return row;
}

MacroEventRow Event(int macroId, int type, int index, int vk, int delay)
{
    MacroEventRow row;
    row.macro_id = macroId;
    row.type = type;
    row.record_index = index;
    row.value = vk;
    row.delay_time = delay;
    row.desc = L"event " + std::to_wstring(index);
    return row;
}

} // namespace

TEST_F(ProfileDatabaseTest, ProfilesAddRenameActivateAndDelete)
{
    OpenNew();
    EXPECT_EQ(m_db.AddProfile(Profile(L"Game", L"game.exe")), 1);
    EXPECT_EQ(m_db.AddProfile(Profile(L"Work")), 2);
    EXPECT_EQ(m_db.AddProfile(Profile(L"Film")), 3);

    std::vector<ProfileRow> rows(2); // stale entries are dropped
    ASSERT_EQ(m_db.GetProfiles(rows), 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].profile, 1);
    EXPECT_EQ(rows[0].name, L"Game");
    EXPECT_EQ(rows[0].app, L"game.exe");
    EXPECT_EQ(rows[0].status, 0);
    EXPECT_EQ(rows[0].type, 0);
    EXPECT_EQ(rows[2].name, L"Film");
    EXPECT_EQ(m_db.GetActiveProfile(), 0);

    for (int active : {2, 3, 1}) {
        ASSERT_TRUE(m_db.SetActiveProfile(active));
        EXPECT_EQ(m_db.GetActiveProfile(), active);
        EXPECT_EQ(RawRows(File(), "SELECT profile FROM t_profile_data WHERE status <> 0"),
                  std::vector<std::string>{std::to_string(active)});
    }

    ASSERT_TRUE(m_db.RenameProfile(2, L"Office"));
    std::wstring name = L"stale";
    ASSERT_TRUE(m_db.GetProfileName(2, name));
    EXPECT_EQ(name, L"Office");
    EXPECT_FALSE(m_db.GetProfileName(42, name));
    EXPECT_EQ(name, L"");

    // Deleting leaves the profile's keys in the file; its id is never handed out again.
    ASSERT_NE(m_db.SetKeyAssignment(Key(3, 0, 0x04, kAssignFunction, 5)), 0);
    ASSERT_TRUE(m_db.DeleteProfile(3));
    EXPECT_EQ(m_db.GetProfiles(rows), 2);
    EXPECT_EQ(RawCount(File(), "t_key_macro_data WHERE profile = 3"), 1);
    EXPECT_EQ(m_db.AddProfile(Profile(L"New")), 4);
}

TEST_F(ProfileDatabaseTest, DefaultProfilesAndSettings)
{
    OpenNew();
    ASSERT_EQ(m_db.AddDefaultProfiles(dbtest::Text), 1);
    std::vector<ProfileRow> rows;
    ASSERT_EQ(m_db.GetProfiles(rows), 3);
    EXPECT_EQ(rows[0].name, L"Perfil 1");
    EXPECT_EQ(rows[1].name, L"Perfil 2");
    EXPECT_EQ(rows[2].name, L"Perfil 3");
    EXPECT_EQ(rows[0].app, L"");
    EXPECT_EQ(m_db.GetActiveProfile(), 1);
    const std::vector<std::string> config = {
        "1|1|version|1.0.1",    "2|1|keyboard_layout|1", "3|1|fn_layer|0",       "4|1|lightmode|1",
        "5|1|sleep_light|1",    "6|1|userlight|0",       "7|1|customlight_run|0", "8|1|gamemode|0",
        "9|1|disable_alttab|0", "10|1|disable_altf4|0",  "11|1|disable_win|0",
    };
    EXPECT_EQ(RawRows(File(), "SELECT * FROM t_configdata ORDER BY config_id"), config);

    // Without a text source the names are the bare numbers' suffixes.
    ASSERT_TRUE(m_db.ResetFile(m_data, L"Model"));
    ASSERT_EQ(m_db.AddDefaultProfiles(nullptr), 1);
    ASSERT_EQ(m_db.GetProfiles(rows), 3);
    EXPECT_EQ(rows[1].name, L" 2");
}

TEST_F(ProfileDatabaseTest, KeyAssignmentsKeepOneRowPerKeyAndLayer)
{
    OpenNew();
    // Key code 0 is never stored.
    EXPECT_EQ(m_db.SetKeyAssignment(Key(1, 0, 0, kAssignFunction, 5)), 0);
    EXPECT_EQ(RawCount(File(), "t_key_macro_data"), 0);

    const int first = m_db.SetKeyAssignment(Key(1, 0, 0x29, kAssignFunction, 4, 0, L"F1"));
    ASSERT_GT(first, 0);
    KeyMacroRow read;
    ASSERT_TRUE(m_db.GetKeyAssignment(1, 0, 0x29, read));
    EXPECT_EQ(read.key_id, first);
    EXPECT_EQ(read.profile, 1);
    EXPECT_EQ(read.fn_layer, 0);
    EXPECT_EQ(read.key_code, 0x29);
    EXPECT_EQ(read.layout_value, 0x29 + 1000);
    EXPECT_EQ(read.layout_desc, L"key 41");
    EXPECT_EQ(read.macro_type, kAssignFunction);
    EXPECT_EQ(read.macro_value, 4);
    EXPECT_EQ(read.macro_value2, 0);
    EXPECT_EQ(read.macro_value3, 9);
    EXPECT_EQ(read.macro_desc, L"F1");

    // Storing the key again replaces its row with a new id.
    const int second = m_db.SetKeyAssignment(Key(1, 0, 0x29, kAssignShortcut, 3, 0, L"Mail"));
    ASSERT_GT(second, first);
    EXPECT_EQ(RawRows(File(), "SELECT key_id, macro_type, macro_value FROM t_key_macro_data WHERE key_code = 41"),
              std::vector<std::string>{std::to_string(second) + "|7|3"});

    // Other layers and profiles have rows of their own; a modifier-only combination
    // (macro_value 0, macro_value2 set) is an assignment too.
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 1, 0x29, kAssignFunction, 0, 2)), 0);
    ASSERT_GT(m_db.SetKeyAssignment(Key(2, 0, 0x29, kAssignDisabled, 1)), 0);
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 0x2A, kAssignMacro, 7)), 0);
    std::vector<KeyMacroRow> rows(1);
    EXPECT_EQ(m_db.GetKeyAssignments(1, 0, rows), 2);
    EXPECT_EQ(m_db.GetKeyAssignments(1, 1, rows), 1);
    EXPECT_EQ(rows[0].macro_value2, 2);
    EXPECT_EQ(m_db.GetKeyAssignments(2, 0, rows), 1);
    EXPECT_EQ(m_db.GetKeyAssignments(3, 0, rows), 0);
    EXPECT_TRUE(rows.empty());

    // Both values 0: back to the default function, the row goes and the result is 0.
    EXPECT_EQ(m_db.SetKeyAssignment(Key(1, 0, 0x29, kAssignDefault, 0, 0)), 0);
    EXPECT_FALSE(m_db.GetKeyAssignment(1, 0, 0x29, read));
    EXPECT_TRUE(m_db.GetKeyAssignment(1, 1, 0x29, read));

    ASSERT_TRUE(m_db.ClearKeyAssignments(1));
    EXPECT_EQ(RawRows(File(), "SELECT profile FROM t_key_macro_data"), std::vector<std::string>{"2"});
}

TEST_F(ProfileDatabaseTest, KeyOtherDataPayloads)
{
    OpenNew();
    struct Case {
        std::wstring desc;
        std::wstring param;
        int kind;
    };
    const Case cases[] = {
        {L"Editor", L"C:\\Windows\\notepad.exe", kAssignRunProgram},
        {L"https://example.com/?q=a&b", L"", kAssignOpenWeb},
        {L"Hello\r\nWorld\t!", L"", kAssignTypeText},
        {L"Perfil 2", L"2", kAssignSwitchProfile},
    };
    std::vector<int> ids;
    for (const Case& c : cases)
        ids.push_back(m_db.AddKeyOtherData(c.desc, c.param, c.kind));
    for (size_t i = 0; i < ids.size(); ++i) {
        ASSERT_EQ(ids[i], static_cast<int>(i) + 1);
        std::wstring desc, param;
        int kind = 0;
        ASSERT_TRUE(m_db.GetKeyOtherData(ids[i], desc, param, kind));
        EXPECT_EQ(desc, cases[i].desc);
        EXPECT_EQ(param, cases[i].param);
        EXPECT_EQ(kind, cases[i].kind);
        EXPECT_TRUE(AssignmentKindHasOtherData(kind));
    }
    std::wstring desc = L"keep", param = L"keep";
    int kind = 77;
    EXPECT_FALSE(m_db.GetKeyOtherData(99, desc, param, kind));
    EXPECT_EQ(desc, L"keep");
    EXPECT_EQ(param, L"keep");
    EXPECT_EQ(kind, 77);
}

TEST(AssignmentKind, TextIdsOfTheKinds)
{
    const int expected[][2] = {{0, 0},   {1, 202},  {2, 205},  {3, 206},  {4, 0},  {5, 207}, {6, 208},
                               {7, 209}, {8, 210},  {9, 211},  {10, 212}, {11, 0}, {12, 205}, {13, 0}};
    for (const auto& e : expected)
        EXPECT_EQ(AssignmentKindTextId(e[0]), e[1]) << "kind " << e[0];
    EXPECT_FALSE(AssignmentKindHasOtherData(kAssignShortcut));
    EXPECT_FALSE(AssignmentKindHasOtherData(kAssignFunctionHigh));
}

TEST_F(ProfileDatabaseTest, DefaultLightingRowsFollowTheModel)
{
    const std::vector<LightModeInfo> modes = {{301, 1, 0x0F}, {302, 9, 0x01}, {303, 5, 0x100}, {304, 12, 0x200}};
    struct Case {
        int deviceType;
        int direction; // of modes other than 9
    };
    const Case cases[] = {{201, 2}, {200, 2}, {299, 2}, {199, 0}, {300, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deviceType);
        ASSERT_TRUE(m_db.ResetFile(m_data, L"Model"));
        EXPECT_EQ(m_db.CountLightModes(1), 0);
        ASSERT_TRUE(m_db.AddDefaultLightModes(modes, {c.deviceType, 5, 4, 3}));
        EXPECT_EQ(m_db.CountLightModes(1), 4);
        const std::string d = std::to_string(c.direction);
        const std::vector<std::string> expected = {
            "1|1|301|1|4|3|" + d + "|1|0|255|15|0|0",
            "2|1|302|9|4|0|0|1|0|255|1|0|0",
            "3|1|303|5|4|3|" + d + "|1|0|255|256|0|1",
            "4|1|304|12|4|3|" + d + "|1|0|255|512|0|0",
        };
        EXPECT_EQ(RawRows(File(), "SELECT * FROM t_light_data ORDER BY light_id"), expected);
        EXPECT_EQ(m_db.GetActiveLightMode(1), 5);
    }

    LightRow row;
    ASSERT_TRUE(m_db.GetLightMode(1, 12, row));
    EXPECT_EQ(row.light_id, 4);
    EXPECT_EQ(row.name, L"304");
    EXPECT_EQ(row.config_func, 0x200);
    EXPECT_FALSE(m_db.GetLightMode(1, 77, row));
    EXPECT_FALSE(m_db.GetLightMode(2, 12, row));
    std::vector<LightRow> rows;
    EXPECT_EQ(m_db.GetLightModes(1, rows), 4);
    EXPECT_EQ(rows[1].mode, 9);
    EXPECT_EQ(m_db.GetLightModes(2, rows), 0);
}

TEST_F(ProfileDatabaseTest, LightModesUpdateAndActivate)
{
    OpenNew();
    ASSERT_TRUE(m_db.AddDefaultLightModes({{301, 1, 1}, {302, 2, 2}, {303, 3, 3}}, {201, 2, 4, 3}));
    LightRow change;
    change.name = L"ignored";
    change.status = 1;
    change.brightness = 1;
    change.speed = 2;
    change.direction = 3;
    change.colorful = 0;
    change.colorindex = 6;
    change.color_value = 0x00336699;
    change.config_func = 0x7;
    change.reserved = 8;
    ASSERT_TRUE(m_db.UpdateLightMode(1, 3, change));
    EXPECT_EQ(RawRows(File(), "SELECT * FROM t_light_data WHERE mode = 3"),
              std::vector<std::string>{"3|1|303|3|1|2|3|0|6|3368601|7|8|0"});

    for (int mode : {3, 1, 3}) {
        ASSERT_TRUE(m_db.SetActiveLightMode(1, mode));
        EXPECT_EQ(m_db.GetActiveLightMode(1), mode);
        EXPECT_EQ(RawRows(File(), "SELECT mode FROM t_light_data WHERE status = 1"),
                  std::vector<std::string>{std::to_string(mode)});
    }
    // Choosing a mode the model does not have leaves none active.
    ASSERT_TRUE(m_db.SetActiveLightMode(1, 99));
    EXPECT_EQ(m_db.GetActiveLightMode(1), 0);

    LightRow added = change;
    added.profile = 1;
    added.mode = 20;
    added.name = L"320";
    EXPECT_EQ(m_db.AddLightMode(added), 4);
}

TEST_F(ProfileDatabaseTest, CustomKeyColoursBySet)
{
    OpenNew();
    std::vector<KeyLightRow> custom, second;
    for (int i = 0; i < 110; ++i)
        custom.push_back({0, 1, 128, i + 1, 0x000000FF + i});
    for (int i = 0; i < 5; ++i)
        second.push_back({0, 1, 129, i + 1, 0x00FF0000});
    EXPECT_EQ(m_db.AddKeyLights(custom), 110);
    EXPECT_EQ(m_db.AddKeyLights(second), 5);
    EXPECT_EQ(m_db.AddKeyLights({}), 0);

    std::vector<KeyLightRow> rows;
    ASSERT_EQ(m_db.GetKeyLights(128, rows), 110);
    EXPECT_EQ(rows[109].keylight_id, 110);
    EXPECT_EQ(rows[109].profile, 1);
    EXPECT_EQ(rows[109].light_id, 128);
    EXPECT_EQ(rows[109].key_code, 110);
    EXPECT_EQ(rows[109].key_rgb, 0xFF + 109);
    ASSERT_EQ(m_db.GetKeyLights(129, rows), 5);
    EXPECT_EQ(rows[0].key_rgb, 0x00FF0000);

    // Clearing the custom set leaves the further sets.
    ASSERT_TRUE(m_db.ClearCustomKeyLights());
    EXPECT_EQ(m_db.GetKeyLights(128, rows), 0);
    EXPECT_EQ(m_db.GetKeyLights(129, rows), 5);

    // Replacing the set in one step.
    ASSERT_TRUE(m_db.ReplaceCustomKeyLights(custom));
    ASSERT_TRUE(m_db.ReplaceCustomKeyLights({custom.begin(), custom.begin() + 3}));
    EXPECT_EQ(m_db.GetKeyLights(128, rows), 3);
    ASSERT_TRUE(m_db.ReplaceCustomKeyLights({}));
    EXPECT_EQ(m_db.GetKeyLights(128, rows), 0);
    EXPECT_EQ(m_db.GetKeyLights(129, rows), 5);
}

TEST_F(ProfileDatabaseTest, MacrosAndTheirPlayback)
{
    OpenNew();
    ASSERT_EQ(m_db.AddMacro(L"Combo"), 1);
    MacroRow macro;
    ASSERT_TRUE(m_db.GetMacro(1, macro));
    EXPECT_EQ(macro.macro_id, 1);
    EXPECT_EQ(macro.name, L"Combo");
    EXPECT_EQ(macro.play_times, 1);
    EXPECT_EQ(macro.delay_type, 1);
    EXPECT_EQ(macro.delay_time, 0);
    EXPECT_EQ(macro.link_count, 0);

    MacroRow imported;
    imported.name = L"Imported";
    imported.play_times = 3;
    imported.delay_type = 2;
    imported.delay_time = 40;
    imported.link_count = 5;
    ASSERT_EQ(m_db.AddMacroRow(imported), 2);
    EXPECT_EQ(RawRows(File(), "SELECT * FROM t_macro_data WHERE macro_id = 2"),
              std::vector<std::string>{"2|3|2|40|5|Imported"});

    ASSERT_TRUE(m_db.RenameMacro(2, L"Renamed"));
    MacroRow playback;
    playback.macro_id = 2;
    playback.name = L"not stored";
    playback.link_count = 99;
    playback.play_times = 7;
    playback.delay_type = 3;
    playback.delay_time = 15;
    ASSERT_TRUE(m_db.UpdateMacroPlayback(playback));
    EXPECT_EQ(RawRows(File(), "SELECT * FROM t_macro_data WHERE macro_id = 2"),
              std::vector<std::string>{"2|7|3|15|5|Renamed"});

    int times = -1;
    ASSERT_TRUE(m_db.GetMacroPlayTimes(2, times));
    EXPECT_EQ(times, 7);
    times = -1;
    EXPECT_FALSE(m_db.GetMacroPlayTimes(9, times));
    EXPECT_EQ(times, -1);
    EXPECT_FALSE(m_db.GetMacro(9, macro));

    std::vector<MacroRow> rows(3);
    ASSERT_EQ(m_db.GetMacros(rows), 2);
    EXPECT_EQ(rows[0].name, L"Combo");
    EXPECT_EQ(rows[1].name, L"Renamed");
}

TEST_F(ProfileDatabaseTest, MacroEventsAreReadInRecordOrder)
{
    OpenNew();
    const int macro = m_db.AddMacro(L"m");
    // Stored out of order; read back by record_index.
    std::vector<MacroEventRow> events = {Event(macro, 3, 1, 0x41, 20), Event(macro, 2, 0, 0x41, 10),
                                         Event(macro, 1, 2, 0, 500)};
    EXPECT_EQ(m_db.AddMacroEvents(events), 3);
    EXPECT_EQ(m_db.AddMacroEvents({}), 0);
    EXPECT_EQ(m_db.AddMacroEvent(Event(macro + 1, 2, 0, 0x42, 5)), 4);

    std::vector<MacroEventRow> rows;
    ASSERT_EQ(m_db.GetMacroEvents(macro, rows), 3);
    EXPECT_EQ(rows[0].record_index, 0);
    EXPECT_EQ(rows[0].record_id, 2);
    EXPECT_EQ(rows[0].macro_id, macro);
    EXPECT_EQ(rows[0].type, 2);
    EXPECT_EQ(rows[0].value, 0x41);
    EXPECT_EQ(rows[0].delay_time, 10);
    EXPECT_EQ(rows[0].desc, L"event 0");
    EXPECT_EQ(rows[1].record_index, 1);
    EXPECT_EQ(rows[2].record_index, 2);

    // Replacing stores the new list under the macro, whatever the rows say.
    ASSERT_TRUE(m_db.ReplaceMacroEvents(macro, {Event(0, 2, 0, 0x43, 1), Event(0, 3, 1, 0x43, 1)}));
    ASSERT_EQ(m_db.GetMacroEvents(macro, rows), 2);
    EXPECT_EQ(rows[0].value, 0x43);
    EXPECT_EQ(rows[1].macro_id, macro);
    EXPECT_EQ(m_db.GetMacroEvents(macro + 1, rows), 1);

    ASSERT_TRUE(m_db.DeleteMacroEvents(macro));
    EXPECT_EQ(m_db.GetMacroEvents(macro, rows), 0);
    EXPECT_EQ(m_db.GetMacroEvents(macro + 1, rows), 1);
}

TEST_F(ProfileDatabaseTest, CountMacroKeyEventsIgnoresTypeOne)
{
    OpenNew();
    struct Case {
        std::vector<int> types;
        int count;
    };
    const Case cases[] = {{{}, 0}, {{1}, 0}, {{1, 1, 1}, 0}, {{2, 3}, 2}, {{1, 2, 1, 3, 4}, 3}};
    for (const Case& c : cases) {
        const int macro = m_db.AddMacro(L"m");
        std::vector<MacroEventRow> events;
        for (size_t i = 0; i < c.types.size(); ++i)
            events.push_back(Event(macro, c.types[i], static_cast<int>(i), 0x41, 10));
        m_db.AddMacroEvents(events);
        EXPECT_EQ(m_db.CountMacroKeyEvents(macro), c.count) << c.types.size() << " events";
    }
}

TEST_F(ProfileDatabaseTest, DeleteMacroRemovesItsEventsAndKeysEverywhere)
{
    OpenNew();
    const int gone = m_db.AddMacro(L"gone");
    const int kept = m_db.AddMacro(L"kept");
    ASSERT_EQ(m_db.AddMacroEvents({Event(gone, 2, 0, 0x41, 1), Event(gone, 3, 1, 0x41, 1)}), 2);
    ASSERT_EQ(m_db.AddMacroEvents({Event(kept, 2, 0, 0x42, 1)}), 1);
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 0x04, kAssignMacro, gone)), 0);
    ASSERT_GT(m_db.SetKeyAssignment(Key(2, 1, 0x05, kAssignMacro, gone)), 0);
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 0x06, kAssignShortcut, gone)), 0); // same number, other kind
    ASSERT_GT(m_db.SetKeyAssignment(Key(1, 0, 0x07, kAssignMacro, kept)), 0);

    ASSERT_TRUE(m_db.DeleteMacro(gone));
    MacroRow macro;
    EXPECT_FALSE(m_db.GetMacro(gone, macro));
    EXPECT_TRUE(m_db.GetMacro(kept, macro));
    EXPECT_EQ(RawRows(File(), "SELECT macro_id FROM t_macrorecord"), std::vector<std::string>{std::to_string(kept)});
    EXPECT_EQ(RawRows(File(), "SELECT key_code, macro_type FROM t_key_macro_data ORDER BY key_code"),
              (std::vector<std::string>{"6|7", "7|3"}));
    // Deleting a macro that does not exist changes nothing and is no error.
    EXPECT_TRUE(m_db.DeleteMacro(99));
}

TEST_F(ProfileDatabaseTest, MusicRecord)
{
    struct Case {
        bool rgb;
        int foremode;
    };
    for (const Case& c : {Case{true, 17}, Case{false, 1}}) {
        SCOPED_TRACE(c.rgb);
        ASSERT_TRUE(m_db.ResetFile(m_data, L"Model"));
        EXPECT_EQ(m_db.CountMusicLayers(), 0);
        EXPECT_EQ(m_db.GetSelectedMusicLayer(), 0);
        ASSERT_EQ(m_db.AddDefaultMusicLayer(dbtest::Text, c.rgb), 1);
        EXPECT_EQ(m_db.CountMusicLayers(), 1);
        MusicLayerRow row;
        ASSERT_TRUE(m_db.GetMusicLayer(1, row));
        EXPECT_EQ(row.layer_id, 1);
        EXPECT_EQ(row.profile, 1);
        EXPECT_EQ(row.name, L"M\x00fasica 1");
        EXPECT_EQ(row.deviceindex, 0);
        EXPECT_EQ(row.foremode, c.foremode);
        EXPECT_EQ(row.fore_amplitude, 300);
        EXPECT_EQ(row.backmode, 0);
        EXPECT_EQ(row.backb_right, 100);
    }

    // The record is always layer 1, whatever the row says.
    MusicLayerRow change;
    change.layer_id = 5;
    change.deviceindex = 2;
    change.foremode = 3;
    change.fore_amplitude = 455;
    change.backmode = 4;
    change.backb_right = 35;
    ASSERT_TRUE(m_db.UpdateMusicLayer(change));
    EXPECT_EQ(RawRows(File(), "SELECT * FROM t_musiclayer_data"),
              std::vector<std::string>{"1|1|M\xC3\xBAsica 1|2|3|455|4|35|1"});
    MusicLayerRow row;
    EXPECT_FALSE(m_db.GetMusicLayer(2, row));

    EXPECT_EQ(m_db.AddMusicLayer(L"second", 2), 2);
    ASSERT_TRUE(m_db.SelectMusicLayer());
    EXPECT_EQ(RawRows(File(), "SELECT layer_id FROM t_musiclayer_data WHERE sel = 1"), std::vector<std::string>{"1"});
}

TEST_F(ProfileDatabaseTest, TextOutsideAsciiRoundTripsAsUtf8)
{
    OpenNew(L"\x952e\x76d8 Pro \x00e9");
    const std::wstring names[] = {
        L"Perfil \x00e9t\x00e9 \x00e7\x00e3o",       // Latin with accents
        L"\x914d\x7f6e\x6587\x4ef6",                 // CJK
        L"\x041f\x0440\x043e\x0444\x0438\x043b\x044c", // Cyrillic
        L"\xd83c\xdfae Game \xd83d\xdd25",           // characters beyond the BMP
        L"",
    };
    for (const std::wstring& name : names) {
        SCOPED_TRACE(SQLiteUtf8(name));
        const int profile = m_db.AddProfile(Profile(name, name + L".exe"));
        ASSERT_GT(profile, 0);
        std::wstring read;
        ASSERT_TRUE(m_db.GetProfileName(profile, read));
        EXPECT_EQ(read, name);
        ASSERT_TRUE(m_db.RenameProfile(profile, name + name));
        ASSERT_TRUE(m_db.GetProfileName(profile, read));
        EXPECT_EQ(read, name + name);
        // Stored as UTF-8 bytes, readable by any SQLite client.
        std::string sql = "SELECT name FROM t_profile_data WHERE profile = " + std::to_string(profile);
        EXPECT_EQ(RawRows(File(L"\x952e\x76d8 Pro \x00e9"), sql.c_str()),
                  std::vector<std::string>{SQLiteUtf8(name + name)});

        KeyMacroRow key = Key(profile, 0, 0x10, kAssignMacro, 1, 0, name);
        key.layout_desc = name;
        ASSERT_GT(m_db.SetKeyAssignment(key), 0);
        KeyMacroRow keyRead;
        ASSERT_TRUE(m_db.GetKeyAssignment(profile, 0, 0x10, keyRead));
        EXPECT_EQ(keyRead.layout_desc, name);
        EXPECT_EQ(keyRead.macro_desc, name);

        const int other = m_db.AddKeyOtherData(name, name, kAssignTypeText);
        std::wstring desc, param;
        int kind = 0;
        ASSERT_TRUE(m_db.GetKeyOtherData(other, desc, param, kind));
        EXPECT_EQ(desc, name);
        EXPECT_EQ(param, name);

        const int macro = m_db.AddMacro(name);
        MacroRow macroRead;
        ASSERT_TRUE(m_db.GetMacro(macro, macroRead));
        EXPECT_EQ(macroRead.name, name);
        MacroEventRow event = Event(macro, 2, 0, 0x41, 1);
        event.desc = name;
        ASSERT_GT(m_db.AddMacroEvent(event), 0);
        std::vector<MacroEventRow> events;
        ASSERT_EQ(m_db.GetMacroEvents(macro, events), 1);
        EXPECT_EQ(events[0].desc, name);

        const int layer = m_db.AddMusicLayer(name, 1);
        MusicLayerRow music;
        ASSERT_TRUE(m_db.GetMusicLayer(layer, music));
        EXPECT_EQ(music.name, name);
    }
}
