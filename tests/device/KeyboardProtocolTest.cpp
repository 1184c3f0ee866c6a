// The main command set on the wire: exact reports and pauses as the virtual keyboard and
// the recording clock saw them, and what the keyboard's firmware made of them.
#include <gtest/gtest.h>

#include <cstring>

#include "device/KeyboardProtocol.h"
#include "support/VirtualRig.h"

using namespace protocol;
using namespace testsupport;

namespace {

struct WiredRig : VirtualRig {
    WiredRig()
    {
        Attach(VirtualConnection::Wired);
        Scan();
    }
};

std::vector<int> Bytes(const uint8_t* data, size_t n) { return std::vector<int>(data, data + n); }

} // namespace

// ---------------------------------------------------------------- macro slots

TEST(MacroSlotPayload, EventsConvertedAndOtherRowsSkipped)
{
    const std::vector<MacroEvent> events = {
        {kEventPress, 'A', 2000}, {1, 0, 50}, {kEventRelease, 'A', 10}, {4, 0, 0}, {kEventPress, 13, 0},
    };
    const MacroPayload p = BuildMacroPayload(5, 0x2C, 300, events);
    EXPECT_EQ(Bytes(p.data(), 12), (std::vector<int>{1, 5, 0x2C, 300 & 0xFF, 0x04, 0x54, 0x04, 0x81, 40, 0x01, 0, 0}));
    for (size_t i = 10; i < p.size(); ++i)
        EXPECT_EQ(p[i], 0) << i;
}

TEST(MacroSlotPayload, AtMost82EventsFit)
{
    std::vector<MacroEvent> events;
    for (int i = 0; i < 90; ++i)
        events.push_back({i % 2 ? kEventRelease : kEventPress, 'B' + (i / 2) % 20, 10});
    const MacroPayload p = BuildMacroPayload(1, 7, 1, events);
    // Event 82 (index 81) is a release of the 41st key; nothing after it.
    EXPECT_EQ(p[4 + 2 * 81], VirtualKeyToUsage('B' + 40 % 20));
    EXPECT_EQ(p[4 + 2 * 81 + 1], 0x81);
}

TEST(MacroSlotPayload, ByKindOfAssignment)
{
    StoredMacro found{true, 3, {{kEventPress, 'C', 10}, {kEventRelease, 'C', 500}}};
    StoredMacro missing{false, 9, {{kEventPress, 'C', 10}}};
    struct Case {
        const char* name;
        int kind;
        int value;
        const StoredMacro* macro;
        std::vector<int> head;
    } cases[] = {
        {"macro", kKindMacro, 4, &found, {1, 2, 0x31, 3, 0x06, 0x01, 0x06, 0xAA, 0}},
        // A macro row that cannot be read still sends its events, with key and count 0.
        {"macro row missing", kKindMacro, 4, &missing, {1, 2, 0, 0, 0x06, 0x01, 0, 0, 0}},
        {"no macro at all", kKindMacro, 4, nullptr, {1, 2, 0, 0, 0, 0, 0, 0, 0}},
        {"shortcut Ctrl+C", kKindShortcut, 2, nullptr, {1, 2, 0x31, 1, 0xE0, 0x01, 0x06, 0x01, 0x06}},
        {"remap frees the slot", 2, 5, nullptr, {1, 2, 0, 0, 0, 0, 0, 0, 0}},
        {"nothing assigned", kKindNone, 0, nullptr, {1, 2, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const MacroPayload p = MacroSlotPayload(0x31, 2, c.kind, c.value, c.macro);
        EXPECT_EQ(Bytes(p.data(), c.head.size()), c.head) << c.name;
    }
}

TEST(MacroSlotWire, TwentyEightFeatureReportsSixteenMillisecondsApart)
{
    WiredRig rig;
    StoredMacro macro{true, 2, {{kEventPress, 'A', 100}, {kEventRelease, 'A', 40000}}};
    SendMacroSlot(rig.link, 0x1E, 5, kKindMacro, 9, &macro);

    const auto wire = rig.Wire();
    ASSERT_EQ(wire.size(), 28u);
    EXPECT_EQ(wire[0], "16 feature-set 07 F1 01 05 1E 02 04 0A");
    EXPECT_EQ(wire[1], "32 feature-set 07 00 04 FF 00 00 00 00");
    EXPECT_EQ(wire[27], "448 feature-set 07 00 00 00 00 00 00 00");
    EXPECT_EQ(rig.clock.Pauses(), std::vector<unsigned>(28, 16));

    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.macroSlots[4], 0x1E);
    EXPECT_EQ(s.macroPayloads[4], BuildMacroPayload(5, 0x1E, 2, macro.events));
    EXPECT_EQ(s.interruptedMacroAssemblies, 0);

    // Freeing the slot again.
    SendMacroSlot(rig.link, 0x1E, 5, kKindNone, 0, nullptr);
    EXPECT_EQ(rig.keyboard->State().macroSlots[4], 0);
}

TEST(MacroSlotWire, FailedReportDoesNotStopTheSequence)
{
    WiredRig rig;
    rig.keyboard->FailTransfers(HidTransferKind::FeatureSet, 1, -1, 5);
    SendMacroSlot(rig.link, 0x1E, 1, kKindShortcut, 1, nullptr);
    const auto transfers = rig.keyboard->Transfers();
    ASSERT_EQ(transfers.size(), 28u);
    EXPECT_LT(transfers[5].result, 0);
    EXPECT_GT(transfers[27].result, 0);
}

// ---------------------------------------------------------------- remap slots

TEST(RemapReport, ByAssignmentRow)
{
    struct Case {
        const char* name;
        bool hasRow;
        KeyAssignment row;
        bool sent;
        std::vector<int> report;
    } cases[] = {
        {"no row frees the slot", false, {}, true, {0x07, 0xFA, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01}},
        {"remap with value 0 frees", true, {2, 0}, true, {0x07, 0xFA, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01}},
        {"remap", true, {2, 0x29}, true, {0x07, 0xFA, 0x01, 0x03, 0x2C, 0x01, 0x29, 0x01}},
        {"value low byte", true, {1, 0x129}, true, {0x07, 0xFA, 0x01, 0x03, 0x2C, 0x01, 0x29, 0x01}},
        {"plain key with a value", true, {kKindNone, 1}, false, {}},
        {"macro", true, {kKindMacro, 2}, false, {}},
        {"shortcut", true, {kKindShortcut, 2}, false, {}},
    };
    for (const Case& c : cases) {
        uint8_t r[8];
        ASSERT_EQ(BuildRemapReport(0x2C, 3, c.hasRow ? &c.row : nullptr, r), c.sent) << c.name;
        if (c.sent) {
            EXPECT_EQ(Bytes(r, 8), c.report) << c.name;
        }

        WiredRig rig;
        SendRemapSlot(rig.link, 0x2C, 3, c.hasRow ? &c.row : nullptr);
        EXPECT_EQ(rig.keyboard->Transfers().size(), c.sent ? 1u : 0u) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.sent ? std::vector<unsigned>{16} : std::vector<unsigned>{}) << c.name;
    }
}

// ---------------------------------------------------------------- slot table

TEST(SlotChoice, KeptSlotFirstFreeOrSlotOne)
{
    SlotTable t;
    t.macroKeys = {0x10, 0, 0x12, 0, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0};
    t.remapKeys = {0x20, 0x21, 0, 0, 0, 0, 0, 0, 0, 0x2C};
    EXPECT_EQ(ChooseMacroSlot(t, 0x2C), 5); // already in slot 5, though slot 2 is free
    EXPECT_EQ(ChooseMacroSlot(t, 0x30), 2);
    EXPECT_EQ(ChooseRemapSlot(t, 0x2C), 10);
    EXPECT_EQ(ChooseRemapSlot(t, 0x30), 3);
    EXPECT_EQ(MacroSlotHolding(t, 0x12), 3);
    EXPECT_EQ(MacroSlotHolding(t, 0x30), 0);
    EXPECT_EQ(MacroSlotHolding(t, 0), 0); // a free slot holds no key
    EXPECT_EQ(RemapSlotHolding(t, 0x21), 2);

    SlotTable full;
    full.macroKeys.fill(0x40);
    full.remapKeys.fill(0x41);
    EXPECT_EQ(ChooseMacroSlot(full, 0x2C), 1); // all taken by other keys: slot 1 is overwritten
    EXPECT_EQ(ChooseRemapSlot(full, 0x2C), 1);
}

TEST(SlotTableRead, DecodesWhatTheKeyboardHolds)
{
    WiredRig rig;
    SendMacroSlot(rig.link, 0x2C, 13, kKindShortcut, 2, nullptr);
    const KeyAssignment remap{2, 0x05};
    SendRemapSlot(rig.link, 0x3A, 10, &remap);
    SlotTable t;
    ASSERT_TRUE(ReadSlotTable(rig.link, t));
    EXPECT_EQ(t.macroKeys[12], 0x2C);
    EXPECT_EQ(t.remapKeys[9], 0x3A);
    EXPECT_EQ(ChooseMacroSlot(t, 0x2C), 13);

    rig.keyboard->UnplugAll();
    EXPECT_FALSE(ReadSlotTable(rig.link, t));
    EXPECT_EQ(t.macroKeys[12], 0);
}

// ---------------------------------------------------------------- lighting

TEST(Lighting, WiredReport)
{
    LightingSettings s;
    s.mode = 4;
    s.colorIndex = 2;
    s.direction = 1;
    s.speed = 3;
    s.brightness = 5;
    s.colorValue = 0x00336699;
    struct Case {
        const char* name;
        int mode, speed, brightness, configFunc;
        std::vector<int> report;
    } cases[] = {
        // Mode index 3 carries red, green and blue in bytes 4, 5 and 7.
        {"mode 4 colour", 4, 3, 5, 0, {0x07, 0xF7, 0x03, 0x02, 0x99, 0x66, 0x04, 0x33}},
        {"mode 2", 2, 3, 5, 0, {0x07, 0xF7, 0x01, 0x02, 0x01, 0x02, 0x04, 0x00}},
        {"zero speed and brightness do not wrap", 2, 0, 0, 0, {0x07, 0xF7, 0x01, 0x02, 0x01, 0x00, 0x00, 0x00}},
        {"mode 9 sends the speed as it is", 9, 3, 5, 0, {0x07, 0xF7, 0x08, 0x02, 0x01, 0x03, 0x04, 0x00}},
        {"option list", 2, 3, 5, 0x100, {0x07, 0xF7, 0x01, 0x02, 0x01, 0x02, 0x04, 0x06}},
    };
    for (const Case& c : cases) {
        LightingSettings x = s;
        x.mode = c.mode;
        x.speed = c.speed;
        x.brightness = c.brightness;
        x.configFunc = c.configFunc;
        x.optionIndex = 6;
        const auto r = BuildWiredLightingReport(x);
        EXPECT_EQ(Bytes(r.data(), 8), c.report) << c.name;
    }
}

TEST(Lighting, WiredAndWirelessOnTheWire)
{
    LightingSettings s;
    s.mode = 4;
    s.colorIndex = 1;
    s.brightness = 4;
    s.colorValue = 0x00336699;
    {
        WiredRig rig;
        SendLighting(rig.link, s, kConnectionWired);
        EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"16 feature-set 07 F7 03 01 99 66 03 33"}));
        const VirtualFirmwareState st = rig.keyboard->State();
        EXPECT_TRUE(st.lightingSet);
        EXPECT_FALSE(st.lightingWireless);
    }
    for (VirtualConnection wireless : {VirtualConnection::Wireless1, VirtualConnection::Wireless2}) {
        VirtualRig rig;
        rig.Attach(wireless);
        rig.Scan();
        const int kind = rig.link.GetConnectionKind();
        SendLighting(rig.link, s, kind);
        // Report id 0, the signature, command AA, then M colorindex R G B(rightness) Blue.
        EXPECT_EQ(rig.Wire(12), (std::vector<std::string>{"0 output 00 BB AA 99 88 AA 03 01 99 66 03 33"}));
        EXPECT_TRUE(rig.clock.Pauses().empty());
        const VirtualFirmwareState st = rig.keyboard->State();
        EXPECT_TRUE(st.lightingWireless);
        EXPECT_EQ(st.lighting, (std::array<uint8_t, 6>{0x03, 0x01, 0x99, 0x66, 0x03, 0x33}));
    }
}

TEST(Lighting, WirelessPayloadLayout)
{
    LightingSettings s;
    s.mode = 2;
    s.colorIndex = 5;
    s.direction = 1;
    s.speed = 2;
    s.brightness = 3;
    s.configFunc = 0x100;
    s.optionIndex = 4;
    const auto p = BuildWirelessLightingPayload(s);
    EXPECT_EQ(Bytes(p.data(), 12), (std::vector<int>{0xBB, 0xAA, 0x99, 0x88, 0xAA, 0x01, 0x05, 0x01, 0x01, 0x02, 0x04, 0}));
    for (size_t i = 11; i < p.size(); ++i)
        EXPECT_EQ(p[i], 0) << i;
}

// ---------------------------------------------------------------- reset

TEST(Reset, WiredAndWirelessForms)
{
    {
        WiredRig rig;
        const KeyAssignment remap{2, 5};
        SendRemapSlot(rig.link, 0x3A, 1, &remap);
        rig.Reset();
        ResetKeyboard(rig.link, kConnectionWired);
        EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"16 feature-set 07 F0 AA 00 00 00 00 00"}));
        EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{16, 100}));
        EXPECT_EQ(rig.keyboard->State().resetCount, 1);
        EXPECT_EQ(rig.keyboard->State().remapSlots[0], 0);
    }
    {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wireless1);
        rig.Scan();
        ResetKeyboard(rig.link, kConnectionWireless1);
        EXPECT_EQ(rig.Wire(12), (std::vector<std::string>{
                                    "0 output 00 BB AA 99 88 AA AA AA AA AA AA 00",
                                    "1600 output 00 BB AA 99 88 00 00 00 00 00 00 00",
                                }));
        EXPECT_EQ(rig.keyboard->State().resetCount, 1);
    }
}

// ---------------------------------------------------------------- music level

TEST(MusicLevel, ValueGainAndReport)
{
    struct Case {
        int level;
        double gain;
        int value;
    } cases[] = {
        {128, 2.0, 255}, {128, 0.5, 64}, {100, 1.0, 100}, {3, 0.5, 1}, {200, 1.3, 255}, {0, 2.0, 0}, {-4, 1.0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MusicLevelValue(c.level, c.gain), c.value) << c.level << " x " << c.gain;

    WiredRig rig;
    MusicSettings s;
    s.effect = 3;
    s.colourIndex = 6;
    s.gain = 2.0;
    EXPECT_TRUE(SendMusicLevel(rig.link, 128, s));
    EXPECT_TRUE(SendMusicLevel(rig.link, 32, MusicSettings()));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"0 feature-set 07 23 45 67 89 03 06 FF",
                                                    "0 feature-set 07 23 45 67 89 01 00 20"}));
    EXPECT_TRUE(rig.clock.Pauses().empty());
    EXPECT_EQ(rig.keyboard->State().musicLevel, 0x20);
}

// ---------------------------------------------------------------- firmware version

TEST(FirmwareVersion, QueriedAndWrittenAsHexDigits)
{
    WiredRig rig;
    rig.keyboard->SetFirmwareVersion(0x0105);
    uint16_t v = 0;
    ASSERT_TRUE(QueryFirmwareVersion(rig.link, v));
    EXPECT_EQ(v, 0x0105);
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"16 feature-set 07 FD 00 00 00 00 00 00",
                                                    "32 feature-get 07 01 05 00 00 00 00 00"}));
    EXPECT_EQ(FirmwareVersionText(0x0105), L"105");
    EXPECT_EQ(FirmwareVersionText(0x1A0), L"1a0");
    EXPECT_EQ(FirmwareVersionText(0), L"0");
}

// ---------------------------------------------------------------- key colours

TEST(KeyColours, TableSkipsPositionsOutsideIt)
{
    const ColourTable t = BuildKeyColourTable({
        {0, 0x00332211},
        {149, 0x00665544}, // the last position that fits
        {150, 0x00FFFFFF},
        {-1, 0x00FFFFFF},
        {100000, 0x00FFFFFF},
    });
    EXPECT_EQ(Bytes(t.data(), 4), (std::vector<int>{0x11, 0x22, 0x33, 0xFF}));
    EXPECT_EQ(Bytes(t.data() + 596, 4), (std::vector<int>{0x44, 0x55, 0x66, 0xFF}));
    int lit = 0;
    for (uint8_t b : t)
        lit += b != 0;
    EXPECT_EQ(lit, 8);
}

TEST(KeyColours, EightReportsOneMillisecondApart)
{
    WiredRig rig;
    const ColourTable t = BuildKeyColourTable({{0, 0x00030201}, {109, 0x00060504}});
    ASSERT_TRUE(SendKeyColours(rig.link, t));
    EXPECT_EQ(rig.Wire(8), (std::vector<std::string>{
                               "1 output 00 8B 3C 00 00 01 02 03",
                               "2 output 00 8B 3C 3C 00 00 00 00",
                               "3 output 00 8B 3C 78 00 00 00 00",
                               "4 output 00 8B 3C B4 00 00 00 00",
                               "5 output 00 8B 3C F0 00 00 00 00",
                               "6 output 00 8B 3C 2C 01 00 00 00",
                               "7 output 00 8B 3C 68 01 00 00 00",
                               "8 output 00 8B 14 A4 01 00 00 00",
                           }));
    EXPECT_EQ(rig.keyboard->State().colourTable, t);
}

TEST(KeyColours, StopAtTheFirstReportThatFailsTwice)
{
    WiredRig rig;
    rig.keyboard->FailTransfers(HidTransferKind::Output, 2, 0x8B, 2);
    EXPECT_FALSE(SendKeyColours(rig.link, BuildKeyColourTable({{0, 0x00FFFFFF}})));
    // Two good reports, then the third and its retry; nothing after.
    EXPECT_EQ(rig.keyboard->Transfers().size(), 4u);
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{1, 1, 1, 10}));
}

// ---------------------------------------------------------------- live frames

TEST(LiveFrame, StartReportOncePerRunThenSixAuxiliaryPieces)
{
    VirtualRig rig;
    const int legacy = rig.Attach(VirtualConnection::Legacy);
    rig.Scan(kLegacyFamily);
    LiveStreamState stream;
    const std::vector<KeyColour> keys = {{0, 0x00030201}, {109, 0x00FFFFFF}};

    ASSERT_TRUE(SendLiveFrame(rig.link, keys, kConnectionWired, stream));
    EXPECT_EQ(rig.Wire(6), (std::vector<std::string>{
                               "0 output 00 F0 F4 01 00 00",
                               "1 aux-output 00 F1 3C 00 00 01",
                               "2 aux-output 00 F1 3C 3C 00 00",
                               "3 aux-output 00 F1 3C 78 00 00",
                               "4 aux-output 00 F1 3C B4 00 00",
                               "5 aux-output 00 F1 3C F0 00 00",
                               "6 aux-output 00 F1 1E 2C 01 00",
                           }));
    EXPECT_EQ(rig.keyboard->State().liveFrame, BuildLiveFrameTable(keys));

    // Unplugged and plugged in again: still no second start report in this run.
    rig.keyboard->Unplug(legacy);
    rig.keyboard->Plug(legacy);
    rig.Scan(kLegacyFamily);
    ASSERT_TRUE(SendLiveFrame(rig.link, keys, kConnectionWired, stream));
    EXPECT_EQ(rig.keyboard->Transfers().size(), 6u);
    EXPECT_EQ(rig.keyboard->State().liveStreamStarts, 1);
}

TEST(LiveFrame, OnlyWiredAndOnlyWithALitKey)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Legacy);
    rig.Scan(kLegacyFamily);
    LiveStreamState stream;
    EXPECT_FALSE(SendLiveFrame(rig.link, {{0, 1}, {1, 0}}, kConnectionWired, stream));
    EXPECT_FALSE(SendLiveFrame(rig.link, {{0, 0x00FFFFFF}}, kConnectionWireless1, stream));
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
    EXPECT_FALSE(stream.started);
}

TEST(LiveFrame, LostStartReportIsSentAgain)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Legacy);
    rig.Scan(kLegacyFamily);
    LiveStreamState stream;
    rig.keyboard->FailTransfers(HidTransferKind::Output, 2, 0xF0);
    EXPECT_FALSE(SendLiveFrame(rig.link, {{0, 0x00FFFFFF}}, kConnectionWired, stream));
    EXPECT_FALSE(stream.started);
    EXPECT_TRUE(SendLiveFrame(rig.link, {{0, 0x00FFFFFF}}, kConnectionWired, stream));
    EXPECT_TRUE(stream.started);
    EXPECT_EQ(rig.keyboard->State().liveStreamStarts, 1);
}

TEST(LiveFrame, TableSkipsPositionsOutsideIt)
{
    const ColourTable t = BuildLiveFrameTable({{199, 0x00030201}, {200, 0x00FFFFFF}, {-3, 0x00FFFFFF}});
    EXPECT_EQ(Bytes(t.data() + 597, 3), (std::vector<int>{1, 2, 3}));
    int lit = 0;
    for (uint8_t b : t)
        lit += b != 0;
    EXPECT_EQ(lit, 3);
}
