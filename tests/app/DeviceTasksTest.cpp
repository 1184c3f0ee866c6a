// The device tasks against a real profile database and the virtual keyboard: exact
// reports and pauses on the wire, what the keyboard's firmware holds afterwards, and
// what the slot-table reconciliation does to the database.
#include <gtest/gtest.h>

#include "DeviceTasksFixture.h"

using namespace devicetest;
using namespace protocol;
using Lines = std::vector<std::string>;
using Pauses = std::vector<unsigned>;

namespace {

MacroPayload Payload(const std::vector<int>& head)
{
    MacroPayload p{};
    for (size_t i = 0; i < head.size(); ++i)
        p[i] = static_cast<uint8_t>(head[i]);
    return p;
}

Lines Join(std::initializer_list<Lines> parts)
{
    Lines out;
    for (const Lines& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Lines After(const Lines& all, size_t count) { return Lines(all.begin() + static_cast<std::ptrdiff_t>(count), all.end()); }

const std::string kTableRequest = "feature-set 07 FB 01 00 00 00 00 00";

} // namespace

// ---------------------------------------------------------------- full upload

TEST(ProfileUpload, MacrosShortcutRemapsAndDisabledKeyReachTheKeyboard)
{
    TasksRig rig;
    // An earlier profile left a macro in slot 2 and a remap in slot 4.
    rig.Occupy({{2, 0x30}}, {{4, 0x31}});
    const int macroA = rig.AddMacro(2, {{kEventPress, 'A', 2000},
                                         {1, 0, 50}, // not a key event: skipped without a gap
                                         {kEventRelease, 'A', 10},
                                         {kEventPress, VK_RETURN, 0},
                                         {kEventRelease, VK_RETURN, 40000}});
    const int macroE = rig.AddMacro(1, {{kEventPress, 'B', 100}, {kEventRelease, 'B', 500}});
    rig.Assign(kKeyA, kAssignMacro, macroA);
    rig.Assign(kKeyB, kAssignShortcut, 15); // Alt+F4
    rig.Assign(kKeyC, kAssignFunction, 0x2C);
    rig.Assign(kKeyD, kAssignDisabled, 1);
    rig.Assign(kKeyE, kAssignMacro, macroE);

    rig.tasks.ApplyKeys(201);

    const MacroPayload a = Payload({1, 1, kKeyA, 2, 0x04, 0x54, 0x04, 0x81, 0x28, 0x01, 0x28, 0xFF});
    const MacroPayload b = Payload({1, 2, kKeyB, 1, 0xE2, 0x01, 0x3D, 0x01, 0x3D, 0x81, 0xE2, 0x81});
    const MacroPayload e = Payload({1, 3, kKeyE, 1, 0x05, 0x0A, 0x05, 0xAA});
    const Lines wire = rig.Reports();
    ASSERT_GE(wire.size(), 5u);
    EXPECT_EQ(wire[0], kTableRequest);
    EXPECT_EQ(After(wire, 5), Join({MacroReports(Payload({1, 2})), // slot 2 freed
                                    {Feature({0x07, 0xFA, 0x01, 0x04, 0x00, 0x01, 0x00, 0x01})}, // remap 4 freed
                                    MacroReports(a),
                                    MacroReports(b),
                                    {Feature({0x07, 0xFA, 0x01, 0x01, kKeyC, 0x01, 0x2C, 0x01})},
                                    {Feature({0x07, 0xFA, 0x01, 0x02, kKeyD, 0x01, 0x01, 0x01})},
                                    MacroReports(e)}));
    EXPECT_EQ(rig.clock.Pauses(), Concat({TableReadPauses(), MacroKeyPauses(), RemapKeyPauses(), MacroKeyPauses(),
                                          MacroKeyPauses(), RemapKeyPauses(), RemapKeyPauses(), MacroKeyPauses()}));

    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(std::vector<int>(s.macroSlots.begin(), s.macroSlots.end()),
              (std::vector<int>{kKeyA, kKeyB, kKeyE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.macroPayloads[0], a);
    EXPECT_EQ(s.macroPayloads[1], b);
    EXPECT_EQ(s.macroPayloads[2], e);
    EXPECT_EQ(std::vector<int>(s.remapSlots.begin(), s.remapSlots.end()),
              (std::vector<int>{kKeyC, kKeyD, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.remapTargets[0], 0x2C);
    EXPECT_EQ(s.remapTargets[1], 0x01);
    EXPECT_EQ(s.unknownReports, 0);
    EXPECT_EQ(s.interruptedMacroAssemblies, 0);
}

TEST(ProfileUpload, KeysBeyondTheKeyboardSlotsStayStoredButAreNotSent)
{
    TasksRig rig;
    for (int i = 0; i < 15; ++i)
        rig.Assign(0x10 + i, kAssignShortcut, 1 + i % 15);
    for (int i = 0; i < 12; ++i)
        rig.Assign(0x30 + i, kAssignFunction, 0x04 + i);

    rig.tasks.ApplyKeys(201);

    int macroStarts = 0;
    int remaps = 0;
    for (const VirtualTransfer& t : rig.keyboard->Transfers()) {
        if (t.kind != HidTransferKind::FeatureSet)
            continue;
        if (t.bytes[1] == 0xF1) {
            ++macroStarts;
            EXPECT_LE(t.bytes[3], kMacroSlots) << "macro slot " << int(t.bytes[3]);
        } else if (t.bytes[1] == 0xFA) {
            ++remaps;
            EXPECT_LE(t.bytes[3], kRemapSlots) << "remap slot " << int(t.bytes[3]);
        }
    }
    EXPECT_EQ(macroStarts, 13);
    EXPECT_EQ(remaps, 10);
    std::vector<unsigned> pauses = TableReadPauses();
    for (int i = 0; i < 13; ++i)
        pauses = Concat({pauses, MacroKeyPauses()});
    for (int i = 0; i < 10; ++i)
        pauses = Concat({pauses, RemapKeyPauses()});
    EXPECT_EQ(rig.clock.Pauses(), pauses);

    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.macroSlots[12], 0x1C);
    EXPECT_EQ(s.remapSlots[9], 0x39);
    EXPECT_EQ(s.unknownReports, 0);
    std::vector<KeyMacroRow> rows;
    EXPECT_EQ(rig.db.GetKeyAssignments(rig.profile, 0, rows), 27); // all still stored
}

TEST(ProfileUpload, OverAWirelessConnectionKeysStillGoAsFeatureReports)
{
    TasksRig rig(VirtualConnection::Wireless2);
    rig.Assign(kKeyC, kAssignFunction, 0x2C);
    rig.tasks.ApplyKeys(201);
    const Lines wire = rig.Reports();
    ASSERT_EQ(wire.size(), 6u);
    EXPECT_EQ(wire[0], kTableRequest);
    EXPECT_EQ(wire[5], Feature({0x07, 0xFA, 0x01, 0x01, kKeyC, 0x01, 0x2C, 0x01}));
    EXPECT_EQ(rig.keyboard->State().remapSlots[0], kKeyC);
}

TEST(ProfileUpload, TheCurrentProfileIsSentNotTheActiveOne)
{
    TasksRig rig;
    const int other = rig.AddProfile(L"Two");
    rig.Assign(kKeyA, kAssignFunction, 0x2C);        // active profile
    rig.Assign(kKeyB, kAssignFunction, 0x2D, other); // the profile the page shows
    rig.tasks.SetCurrentProfile(other);
    rig.tasks.ApplyKeys(201);
    EXPECT_EQ(rig.keyboard->State().remapSlots[0], kKeyB);
}

// ---------------------------------------------------------------- single-key change

TEST(SingleKeyChange, SlotChoices)
{
    struct Slots {
        std::vector<std::pair<int, int>> macro, remap;
    };
    auto fill = [](int from, int to, int firstKey) {
        std::vector<std::pair<int, int>> v;
        for (int s = from; s <= to; ++s)
            v.push_back({s, firstKey + s});
        return v;
    };
    const int kNoRow = -1;
    struct Case {
        const char* name;
        Slots slots;
        int kind;
        int value;
        Lines expected;
    } cases[] = {
        {"a macro key that holds slot 5 keeps slot 5",
         {{{5, kKeyA}}, {}},
         kAssignShortcut,
         1,
         MacroReports(Payload({1, 5, kKeyA, 1, 0xE0, 0x01, 0x04, 0x01, 0x04, 0x81, 0xE0, 0x81}))},
        {"all 13 macro slots taken by other keys: slot 1 is overwritten",
         {fill(1, 13, 0x40), {}},
         kAssignShortcut,
         2,
         MacroReports(Payload({1, 1, kKeyA, 1, 0xE0, 0x01, 0x06, 0x01, 0x06, 0x81, 0xE0, 0x81}))},
        {"a new macro key takes the first free slot",
         {{{1, 0x41}, {2, 0x42}, {4, 0x44}}, {}},
         kAssignShortcut,
         9,
         MacroReports(Payload({1, 3, kKeyA, 1, 0xE3, 0x01, 0x07, 0x01, 0x07, 0x81, 0xE3, 0x81}))},
        {"a remapped key that holds remap slot 7 keeps it",
         {{}, {{1, 0x41}, {7, kKeyA}}},
         kAssignFunction,
         0x2C,
         {Feature({0x07, 0xFA, 0x01, 0x07, kKeyA, 0x01, 0x2C, 0x01})}},
        {"a new remap takes the first free remap slot",
         {{}, {{1, 0x41}}},
         kAssignFunction,
         0x2C,
         {Feature({0x07, 0xFA, 0x01, 0x02, kKeyA, 0x01, 0x2C, 0x01})}},
        {"all remap slots taken: a disabled key goes to slot 1",
         {{}, fill(1, 10, 0x40)},
         kAssignDisabled,
         1,
         {Feature({0x07, 0xFA, 0x01, 0x01, kKeyA, 0x01, 0x01, 0x01})}},
        {"no assignment for a key in remap slot 3 frees it",
         {{}, {{3, kKeyA}}},
         kNoRow,
         0,
         {Feature({0x07, 0xFA, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01})}},
        {"no assignment for a key in macro slot 4 frees that slot",
         {{{4, kKeyA}}, {}},
         kNoRow,
         0,
         MacroReports(Payload({1, 4}))},
        {"a remap whose value is 0 is sent as the freeing report",
         {{}, {{3, kKeyA}}},
         kAssignFunction,
         0,
         {Feature({0x07, 0xFA, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01})}},
        {"a row of kind 0 with a value sends nothing", {{}, {{3, kKeyA}}}, kAssignDefault, 1, {}},
        {"a key holding no slot and no row sends nothing", {{{1, kKeyB}}, {{1, kKeyC}}}, kNoRow, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TasksRig rig;
        rig.Occupy(c.slots.macro, c.slots.remap);
        if (c.kind != kNoRow)
            rig.Assign(kKeyA, c.kind, c.value);
        rig.tasks.SetPendingKey(kKeyA);
        rig.tasks.ApplyKeys(201);

        const Lines wire = rig.Reports();
        ASSERT_GE(wire.size(), 5u);
        EXPECT_EQ(wire[0], kTableRequest);
        EXPECT_EQ(After(wire, 5), c.expected);
        Pauses pauses = Concat({TableReadPauses(), {100}});
        pauses.insert(pauses.end(), c.expected.size(), 16u);
        EXPECT_EQ(rig.clock.Pauses(), pauses);
        EXPECT_EQ(rig.tasks.PendingKey(), 0);
    }
}

TEST(SingleKeyChange, AStoredMacroGoesOutWithItsEvents)
{
    TasksRig rig;
    const int macro = rig.AddMacro(300, {{kEventPress, VK_F5, 20}, {kEventRelease, VK_F5, 5000}});
    rig.Assign(kKeyD, kAssignMacro, macro);
    rig.tasks.SetPendingKey(kKeyD);
    rig.tasks.ApplyKeys(201);
    // play_times 300 goes out as its low byte.
    const MacroPayload expected = Payload({1, 1, kKeyD, 300 & 0xFF, 0x3E, 0x02, 0x3E, 0xE5});
    EXPECT_EQ(After(rig.Reports(), 5), MacroReports(expected));
    EXPECT_EQ(rig.keyboard->State().macroPayloads[0], expected);
}

// ---------------------------------------------------------------- reconciliation

TEST(Reconcile, RemovesAssignmentsOfTheActiveProfileWhoseKeysHoldNoSlot)
{
    TasksRig rig;
    const int first = rig.profile;
    const int active = rig.AddProfile(L"Two");
    rig.db.SetActiveProfile(active);
    rig.Occupy({{1, kKeyA}}, {{2, kKeyB}});
    rig.Assign(kKeyA, kAssignShortcut, 1, active);
    rig.Assign(kKeyB, kAssignFunction, 0x2C, active);
    rig.Assign(kKeyC, kAssignFunction, 0x2D, active);    // not on the keyboard
    rig.Assign(kKeyE, kAssignFunction, 0x2D, active, 1); // Fn layer 1: not this layer's
    rig.Assign(kKeyD, kAssignFunction, 0x2D, first);     // another profile

    EXPECT_TRUE(rig.tasks.Reconcile());

    EXPECT_TRUE(rig.Assigned(kKeyA, active));
    EXPECT_TRUE(rig.Assigned(kKeyB, active));
    EXPECT_FALSE(rig.Assigned(kKeyC, active));
    EXPECT_TRUE(rig.Assigned(kKeyE, active, 1));
    EXPECT_TRUE(rig.Assigned(kKeyD, first));
    // Only the table was read; nothing was sent.
    const Lines wire = rig.Reports();
    ASSERT_EQ(wire.size(), 5u);
    EXPECT_EQ(wire[0], kTableRequest);
    EXPECT_EQ(rig.clock.Pauses(), TableReadPauses());
}

TEST(Reconcile, WithoutAnActiveProfileTheFirstProfileIsReconciled)
{
    TasksRig rig;
    const int second = rig.AddProfile(L"Two");
    rig.db.SetActiveProfile(0); // none active
    ASSERT_EQ(rig.db.GetActiveProfile(), 0);
    rig.Occupy({{1, kKeyA}}, {});
    rig.Assign(kKeyA, kAssignShortcut, 1);
    rig.Assign(kKeyB, kAssignFunction, 0x2C);
    rig.Assign(kKeyB, kAssignFunction, 0x2C, second);
    EXPECT_TRUE(rig.tasks.Reconcile());
    EXPECT_TRUE(rig.Assigned(kKeyA));
    EXPECT_FALSE(rig.Assigned(kKeyB));
    EXPECT_TRUE(rig.Assigned(kKeyB, second));
}

TEST(Reconcile, AKeyboardHoldingNoKeyClearsEveryLayerOfTheActiveProfile)
{
    TasksRig rig;
    const int other = rig.AddProfile(L"Two");
    rig.Assign(kKeyA, kAssignShortcut, 1);
    rig.Assign(kKeyB, kAssignFunction, 0x2C, 0, 1);
    rig.Assign(kKeyC, kAssignFunction, 0x2C, other);
    EXPECT_TRUE(rig.tasks.Reconcile());
    EXPECT_FALSE(rig.Assigned(kKeyA));
    EXPECT_FALSE(rig.Assigned(kKeyB, 0, 1));
    EXPECT_TRUE(rig.Assigned(kKeyC, other));
}

TEST(Reconcile, AnIncompleteReadChangesNothing)
{
    struct Case {
        const char* name;
        std::function<void(TasksRig&)> fault;
    } cases[] = {
        {"request fails", [](TasksRig& r) { r.keyboard->FailTransfers(HidTransferKind::FeatureSet, 1, 0xFB); }},
        {"first read fails", [](TasksRig& r) { r.keyboard->FailTransfers(HidTransferKind::FeatureGet, 1); }},
        {"third read fails", [](TasksRig& r) { r.keyboard->FailTransfers(HidTransferKind::FeatureGet, 1, -1, 2); }},
        {"keyboard unplugged", [](TasksRig& r) { r.keyboard->UnplugAll(); }},
        {"not scanned", [](TasksRig& r) { r.link.CloseAll(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TasksRig rig;
        rig.Occupy({{1, kKeyA}}, {});
        rig.Assign(kKeyA, kAssignShortcut, 1);
        rig.Assign(kKeyB, kAssignFunction, 0x2C);
        c.fault(rig);
        EXPECT_FALSE(rig.tasks.Reconcile());
        EXPECT_TRUE(rig.Assigned(kKeyA));
        EXPECT_TRUE(rig.Assigned(kKeyB));
    }
}

// ---------------------------------------------------------------- lighting

TEST(LightingFromDatabase, TheCurrentRowInTheFormOfTheConnection)
{
    struct Case {
        const char* name;
        VirtualConnection connection;
        int mode, brightness, speed, direction, colorIndex;
        uint32_t colour;
        int configFunc;
        int option;
        std::string expected; // the report's first 12 bytes (8 for a feature report)
        Pauses pauses;
    } cases[] = {
        {"static colour over the cable", VirtualConnection::Wired, 4, 4, 3, 2, 2, 0x00336699, 0x11, 5,
         "feature-set 07 F7 03 02 99 66 03 33", {16}},
        {"wave over the cable", VirtualConnection::Wired, 1, 1, 3, 1, 5, 0xFF, 0x47, 5,
         "feature-set 07 F7 00 05 01 02 00 00", {16}},
        {"zones: the speed byte is not decremented", VirtualConnection::Wired, 9, 2, 0x23, 0x45, 0x67, 0xFF, 0x801, 0,
         "feature-set 07 F7 08 67 45 23 01 00", {16}},
        {"custom: the option index goes out", VirtualConnection::Wired, 10, 0, 0, 0, 0, 0, 0x101, 2,
         "feature-set 07 F7 09 00 00 00 00 02", {16}},
        {"static colour over the receiver", VirtualConnection::Wireless1, 4, 4, 3, 2, 2, 0x00336699, 0x11, 0,
         "output 00 BB AA 99 88 AA 03 02 99 66 03 33", {}},
        {"breathing over Bluetooth", VirtualConnection::Wireless2, 2, 3, 2, 0, 1, 0xFF, 0x83, 0,
         "output 00 BB AA 99 88 AA 01 01 00 01 02 00", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TasksRig rig(c.connection);
        rig.AddLightMode(1, 4, 3, 2, 0, 0xFF, 0x47);
        if (c.mode != 1)
            rig.AddLightMode(c.mode, c.brightness, c.speed, c.direction, c.colorIndex, c.colour, c.configFunc);
        else
            rig.db.UpdateLightMode(kLightingProfile, 1, [&] {
                LightRow r;
                r.brightness = c.brightness;
                r.speed = c.speed;
                r.direction = c.direction;
                r.colorindex = c.colorIndex;
                r.color_value = static_cast<int>(c.colour);
                r.config_func = c.configFunc;
                return r;
            }());
        rig.db.SetActiveLightMode(kLightingProfile, c.mode);
        rig.tasks.SetLightOptionIndex(c.option);
        rig.tasks.ApplyLighting(201);
        EXPECT_EQ(rig.Reports(12), (Lines{c.expected}));
        EXPECT_EQ(rig.clock.Pauses(), c.pauses);
        const VirtualFirmwareState s = rig.keyboard->State();
        EXPECT_TRUE(s.lightingSet);
        EXPECT_EQ(s.lightingWireless, c.connection != VirtualConnection::Wired);
    }
}

TEST(LightingFromDatabase, ThePageModeOverridesTheStoredOneAndNoRowSendsNothing)
{
    TasksRig rig;
    rig.tasks.ApplyLighting(201); // no lighting rows at all
    EXPECT_TRUE(rig.Reports().empty());

    rig.AddLightMode(1, 4, 3, 2, 0, 0xFF);
    rig.AddLightMode(2, 2, 2, 1, 3, 0xFF);
    rig.db.SetActiveLightMode(kLightingProfile, 1);
    rig.tasks.SetCurrentLightMode(2);
    rig.tasks.ApplyLighting(201);
    rig.tasks.SetCurrentLightMode(7); // a mode without a row
    rig.tasks.ApplyLighting(201);
    EXPECT_EQ(rig.Reports(), (Lines{"feature-set 07 F7 01 03 01 01 01 00"}));
}

// ---------------------------------------------------------------- key colours and live frames

TEST(KeyColoursFromDatabase, TheCustomSetGoesThroughTheLedMap)
{
    TasksRig rig;
    auto light = [&](int set, int code, uint32_t rgb) {
        KeyLightRow row;
        row.profile = kLightingProfile;
        row.light_id = set;
        row.key_code = code;
        row.key_rgb = static_cast<int>(rgb);
        return row;
    };
    ASSERT_EQ(rig.db.AddKeyLights({light(128, kKeyEsc, 0x00336699), light(128, kKeyA, 0x000000FF),
                                   light(128, kKeyUnplaced, 0x00FFFFFF), light(129, kKeyB, 0x00FF0000)}),
              4);

    EXPECT_TRUE(rig.tasks.SendKeyColours());

    EXPECT_EQ(rig.Reports(5), (Lines{"output 00 8B 3C 00 00", "output 00 8B 3C 3C 00", "output 00 8B 3C 78 00",
                                     "output 00 8B 3C B4 00", "output 00 8B 3C F0 00", "output 00 8B 3C 2C 01",
                                     "output 00 8B 3C 68 01", "output 00 8B 14 A4 01"}));
    EXPECT_EQ(rig.clock.Pauses(), Repeat(1, 8));
    std::array<uint8_t, 600> expected{};
    const uint8_t esc[] = {0x99, 0x66, 0x33, 0xFF}; // position 0: red, green, blue, FF
    const uint8_t a[] = {0xFF, 0x00, 0x00, 0xFF};   // position 20
    std::copy(esc, esc + 4, expected.begin());
    std::copy(a, a + 4, expected.begin() + 80);
    EXPECT_EQ(rig.keyboard->State().colourTable, expected);
}

TEST(LiveFrame, GridColoursThroughTheLedMapWithTheStartReportOncePerRun)
{
    TasksRig rig(VirtualConnection::Legacy);
    ProcessLiveStream().started = false;
    rig.view.preview = GridKeyColours(rig.layout, [](int row, int column) {
        return static_cast<uint32_t>(0x00030201 + 0x10 * row + column); // red 0x01 + 16 r + c
    });
    ASSERT_EQ(rig.view.preview.size(), 8u); // every key of the grid, none of the empty cells

    rig.tasks.SendLiveFrame();
    Lines expected = {"output 00 F0 F4 01 00"};
    for (int i = 0; i < 6; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "aux-output 00 F1 %02X %02X %02X", i == 5 ? 30 : 60, (60 * i) & 0xFF,
                      (60 * i) >> 8);
        expected.push_back(line);
    }
    EXPECT_EQ(rig.Reports(5), expected);
    EXPECT_EQ(rig.clock.Pauses(), Repeat(1, 6));
    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.liveFrame[0], 0x01);      // Esc at grid (0, 0), LED 0
    EXPECT_EQ(s.liveFrame[3 * 1], 0x02);  // F1 at (0, 1), LED 1
    EXPECT_EQ(s.liveFrame[3 * 23], 0x14); // D at (1, 3), LED 23
    EXPECT_EQ(s.liveFrame[3 * 23 + 1], 0x02);
    EXPECT_EQ(s.liveFrame[3 * 23 + 2], 0x03);

    // Unplugged and plugged in again: the stream is not started a second time.
    rig.keyboard->UnplugAll();
    rig.Scan(testsupport::kLegacyFamily);
    rig.keyboard->PlugAll();
    rig.Scan(testsupport::kLegacyFamily);
    rig.tasks.SendLiveFrame();
    const Lines second = rig.Reports(5);
    ASSERT_EQ(second.size(), 6u);
    EXPECT_EQ(second[0], expected[1]);
    EXPECT_EQ(rig.keyboard->State().liveStreamStarts, 1);
}

// ---------------------------------------------------------------- reset

TEST(FactoryResetTask, ResetReloadThenTheDatabaseGoesOutAgain)
{
    struct Case {
        const char* name;
        VirtualConnection connection;
        int family;
        Lines expected; // first 12 bytes of each report
        Pauses pauses;
        std::string reload;
    } cases[] = {
        {"cable",
         VirtualConnection::Wired,
         201,
         {"feature-set 07 F0 AA 00 00 00 00 00", kTableRequest, "feature-get 07 00 00 00 00 00 00 00",
          "feature-get 07 00 00 00 00 00 00 00", "feature-get 07 00 00 00 00 00 00 00",
          "feature-get 07 00 00 00 00 00 00 00", "feature-set 07 F7 03 01 99 66 03 33"},
         Concat({{16, 100}, TableReadPauses(), {16}}),
         "reload, music controls reset"},
        {"receiver",
         VirtualConnection::Wireless1,
         201,
         {"output 00 BB AA 99 88 AA AA AA AA AA AA 00", "output 00 BB AA 99 88 00 00 00 00 00 00 00", kTableRequest,
          "feature-get 07 00 00 00 00 00 00 00", "feature-get 07 00 00 00 00 00 00 00",
          "feature-get 07 00 00 00 00 00 00 00", "feature-get 07 00 00 00 00 00 00 00",
          "output 00 BB AA 99 88 AA 03 01 99 66 03 33"},
         Concat({{1600}, TableReadPauses()}),
         "reload"},
        {"older command set",
         VirtualConnection::Legacy,
         testsupport::kLegacyFamily,
         {"output 00 FF FE AA FF 00 00 00 00 00 00 00", "output 00 8D 3C 00 00 00 00 00 00 00 00 00",
          "output 00 8D 3C 3C 00 00 00 00 00 00 00 00", "output 00 8D 3C 78 00 00 00 00 00 00 00 00",
          "output 00 8D 28 B4 00 00 00 00 00 00 00 00", "output 00 89 00 03 99 66 33 04 00 00 00 00"},
         {100, 20, 10, 10, 10, 10},
         "reload"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TasksRig rig(c.connection);
        rig.AddLightMode(4, 4, 3, 0, 1, 0x00336699);
        rig.db.SetActiveLightMode(kLightingProfile, 4);
        rig.tasks.SetPendingKey(kKeyA); // a stale single-key change does not survive the reset
        rig.tasks.FactoryReset(c.family);
        EXPECT_EQ(rig.Reports(12), c.expected);
        EXPECT_EQ(rig.clock.Pauses(), c.pauses);
        EXPECT_EQ(rig.view.calls, (Lines{c.reload}));
        const VirtualFirmwareState s = rig.keyboard->State();
        EXPECT_EQ(s.resetCount + s.legacyResetCount, 1);
        EXPECT_EQ(s.unknownReports, 0);
    }
}

// ---------------------------------------------------------------- older command set

TEST(LegacyKeysFromDatabase, MacrosShortcutsAndKeyMapByKeyPosition)
{
    TasksRig rig(VirtualConnection::Legacy);
    const int macro = rig.AddMacro(3, {{kEventPress, 'A', 0x123}, {kEventRelease, 'A', 0x45}});
    rig.Assign(kKeyA, kAssignMacro, macro);
    rig.Assign(kKeyB, kAssignShortcut, 1);
    rig.Assign(kKeyC, kAssignFunction, 0x2C);
    rig.Assign(kKeyD, kAssignDisabled, 1);
    rig.Assign(kKeyUnplaced, kAssignFunction, 0x2D); // no key position: left out of the map

    rig.tasks.ApplyKeys(testsupport::kLegacyFamily);

    EXPECT_EQ(rig.Reports(8), (Lines{"output 00 8E 09 00 00 00 03 02", "output 00 8E 0C 00 00 01 01 04",
                                     "output 00 8D 3C 00 00 00 00 00", "output 00 8D 3C 3C 00 00 00 00",
                                     "output 00 8D 3C 78 00 00 00 00", "output 00 8D 28 B4 00 00 00 00"}));
    EXPECT_EQ(rig.clock.Pauses(), (Pauses{10, 100, 10, 20, 10, 10, 10, 10}));
    const VirtualFirmwareState s = rig.keyboard->State();
    auto at = [&](int position) { return std::make_pair(int(s.legacyKeyMap[2 * position]), int(s.legacyKeyMap[2 * position + 1])); };
    EXPECT_EQ(at(20), std::make_pair(0, 0x40));    // A: macro number 0
    EXPECT_EQ(at(21), std::make_pair(1, 0x40));    // B: shortcut, numbered after the macros
    EXPECT_EQ(at(22), std::make_pair(0x2C, 0x20)); // C: remapped
    EXPECT_EQ(at(23), std::make_pair(0, 0x20));    // D: disabled
    EXPECT_EQ(at(0), std::make_pair(0, 0));        // Esc untouched by the unplaced key
    const std::vector<uint8_t> head(s.legacyMacros.at(0).begin(), s.legacyMacros.at(0).begin() + 8);
    EXPECT_EQ(head, (std::vector<uint8_t>{3, 2, 0x04, 0x23, 0x81, 0x04, 0xC5, 0x00}));
}

TEST(LegacyLightingFromDatabase, AModeChangeSelectsTheModeThenParametersFollow)
{
    TasksRig rig(VirtualConnection::Legacy);
    rig.AddLightMode(3, 4, 0x12, 1, 0, 0x00336699);
    rig.db.SetActiveLightMode(kLightingProfile, 3);
    rig.tasks.ClearLegacyModeSelect();
    rig.tasks.ApplyLighting(testsupport::kLegacyFamily);
    EXPECT_TRUE(rig.tasks.LegacyModeSelectFlag());
    rig.tasks.ApplyLighting(testsupport::kLegacyFamily);
    EXPECT_EQ(rig.Reports(8), (Lines{"output 00 88 00 03 00 00 00 00", "output 00 89 00 12 99 66 33 04"}));
}

// ---------------------------------------------------------------- other operations

TEST(DeviceTasksOther, FirmwareVersionMusicLevelAndUnservedFamilies)
{
    TasksRig rig;
    rig.keyboard->SetFirmwareVersion(0x0105);
    std::wstring text;
    EXPECT_TRUE(rig.tasks.ReadFirmwareVersionText(text));
    EXPECT_EQ(text, L"105");

    MusicSettings music;
    music.effect = 3;
    music.colourIndex = 2;
    music.gain = 0.5;
    rig.tasks.SetMusicSettings(music);
    EXPECT_TRUE(rig.tasks.SendMusicLevel(128));
    EXPECT_EQ(rig.keyboard->State().musicLevel, 64);

    // Families of 300 and above get no key, lighting or reset commands.
    rig.Assign(kKeyA, kAssignFunction, 0x2C);
    rig.AddLightMode(1, 4, 3, 2, 0, 0xFF);
    rig.db.SetActiveLightMode(kLightingProfile, 1);
    rig.Reset();
    rig.tasks.ApplyKeys(300);
    rig.tasks.ApplyLighting(300);
    rig.tasks.FactoryReset(300);
    EXPECT_TRUE(rig.Reports().empty());
    EXPECT_TRUE(rig.view.calls.empty());

    rig.keyboard->UnplugAll();
    EXPECT_FALSE(rig.tasks.ReadFirmwareVersionText(text));
}
