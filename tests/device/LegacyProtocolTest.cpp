// The older command set on the wire: macro pieces, key map, lighting, preview and reset.
#include <gtest/gtest.h>

#include "device/LegacyProtocol.h"
#include "support/VirtualRig.h"

using namespace protocol;
using namespace testsupport;

namespace {

struct LegacyRig : VirtualRig {
    LegacyRig()
    {
        Attach(VirtualConnection::Legacy);
        Scan(kLegacyFamily);
    }
};

std::vector<int> Bytes(const uint8_t* data, size_t n) { return std::vector<int>(data, data + n); }

std::vector<MacroEvent> Taps(int count)
{
    std::vector<MacroEvent> events;
    for (int i = 0; i < count; ++i)
        events.push_back({i % 2 ? kEventRelease : kEventPress, 'A' + i / 2 % 26, 20});
    return events;
}

} // namespace

TEST(LegacyMacroBuffer, EventBytesAndPlayCount)
{
    const std::vector<MacroEvent> events = {{kEventPress, 'A', 0x1234}, {1, 0, 0}, {kEventRelease, 'A', 0x1234},
                                            {kEventRelease, 'B', 90000}, {kEventPress, 'C', -7}};
    const std::vector<uint8_t> b = BuildLegacyMacroBuffer(300, events);
    EXPECT_EQ(Bytes(b.data(), 14), (std::vector<int>{
                                       255, 5,              // play count at most 255; every event row counts
                                       0x04, 0x34, 0x92,    // press: delay high byte | 80
                                       0x04, 0xB4, 0x12,    // release: delay low byte | 80
                                       0x05, 0xFF, 0x7F,    // delays are held to 15 bits
                                       0x06, 0x00, 0x80,    // a negative delay counts as 0
                                   }));
    EXPECT_EQ(BuildLegacyMacroBuffer(0, {})[0], 1);
}

TEST(LegacyMacroPieces, PieceCountLengthsAndZeroPadding)
{
    struct Case {
        int rows;
        size_t pieces;
        int lastLength;
    } cases[] = {{1, 1, 6}, {19, 2, 0}, {20, 2, 3}, {39, 3, 0}, {45, 3, 18}};
    for (const Case& c : cases) {
        const auto pieces = BuildLegacyMacroPieces(4, 1, Taps(c.rows));
        ASSERT_EQ(pieces.size(), c.pieces) << c.rows;
        for (size_t k = 0; k < pieces.size(); ++k) {
            const auto& r = pieces[k];
            EXPECT_EQ(r[1], 0x8E);
            EXPECT_EQ(r[2], k + 1 == pieces.size() ? c.lastLength : 59) << c.rows << " piece " << k;
            EXPECT_EQ(r[3] | (r[4] << 8), static_cast<int>(59 * k));
            EXPECT_EQ(r[5], 4);
        }
    }

    // 20 rows: 62 buffer bytes; the second piece carries bytes 59 to 61, then zeros
    // where it reads past the events.
    const auto buffer = BuildLegacyMacroBuffer(1, Taps(20));
    const auto pieces = BuildLegacyMacroPieces(0, 1, Taps(20));
    EXPECT_EQ(Bytes(pieces[1].data() + 6, 3), Bytes(buffer.data() + 59, 3));
    for (size_t i = 9; i < 65; ++i)
        EXPECT_EQ(pieces[1][i], 0) << i;
}

TEST(LegacyShortcut, ReportWithTheOlderEventTable)
{
    const OutputReport r = BuildLegacyShortcutReport(3, 13);
    EXPECT_EQ(Bytes(r.data(), 26), (std::vector<int>{0x00, 0x8E, 18, 0, 0, 3, 1, 6,
                                                     0xE2, 0x64, 0x80, 0x2C, 0x64, 0x80, 0x1B, 0x64, 0x80,
                                                     0x1B, 0x64, 0x00, 0x2C, 0x64, 0x00, 0xE2, 0x64, 0x00}));
    const OutputReport unknown = BuildLegacyShortcutReport(1, 99);
    EXPECT_EQ(Bytes(unknown.data(), 9), (std::vector<int>{0x00, 0x8E, 12, 0, 0, 1, 1, 4, 0}));
}

namespace {

std::vector<LegacyAssignment> Profile()
{
    std::vector<LegacyAssignment> a(4);
    a[0] = {0x10, 5, kKindShortcut, 1, 1, {}};
    a[1] = {0x11, 6, kKindMacro, 1, 2, Taps(1)};
    a[2] = {0x12, 7, 2, 0x29, 1, {}};
    a[3] = {0x13, 8, kKindMacro, 2, 1, Taps(20)};
    return a;
}

} // namespace

TEST(LegacyMacros, MacrosThenShortcutsNumberedInRowOrder)
{
    LegacyRig rig;
    std::vector<int> numbers;
    ASSERT_TRUE(SendLegacyMacros(rig.link, Profile(), numbers));
    EXPECT_EQ(numbers, (std::vector<int>{2, 0, -1, 1}));
    EXPECT_EQ(rig.Wire(8), (std::vector<std::string>{
                               "110 output 00 8E 06 00 00 00 02 01",
                               "220 output 00 8E 3B 00 00 01 01 14",
                               "320 output 00 8E 03 3B 00 01 0D 94",
                               "330 output 00 8E 0C 00 00 02 01 04",
                           }));
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{10, 100, 10, 100, 100, 10}));
    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.legacyMacros.size(), 3u);
}

TEST(LegacyMacros, FailedPieceEndsTheOperation)
{
    LegacyRig rig;
    rig.keyboard->FailTransfers(HidTransferKind::Output, 2, 0x8E, 1); // second piece, and its retry
    std::vector<int> numbers;
    EXPECT_FALSE(SendLegacyMacros(rig.link, Profile(), numbers));
    EXPECT_EQ(numbers, (std::vector<int>{-1, 0, -1, -1}));
    EXPECT_EQ(rig.keyboard->Transfers().size(), 3u);
}

TEST(LegacyKeyMap, TableByKindAndPosition)
{
    std::vector<LegacyAssignment> a = Profile();
    a.push_back({0x20, 9, 1, 0, 1, {}});
    a.push_back({0x21, 179, 2, 0x33, 1, {}}); // held, never sent
    a.push_back({0x22, 180, 2, 0x34, 1, {}}); // outside the table: skipped
    a.push_back({0x23, -1, 2, 0x35, 1, {}});
    a.push_back({0x24, 100000, 2, 0x36, 1, {}});
    a.push_back({0x25, 10, kKindMacro, 3, 1, {}}); // a macro that got no number
    const std::vector<int> numbers = {2, 0, -1, 1, -1, -1, -1, -1, -1, -1};
    const auto t = BuildLegacyKeyMapTable(a, numbers);
    EXPECT_EQ(Bytes(t.data() + 10, 12), (std::vector<int>{2, 0x40, 0, 0x40, 0x29, 0x20, 1, 0x40, 0, 0x20, 0, 0}));
    EXPECT_EQ(t[358], 0x33);
    EXPECT_EQ(t[359], 0x20);
    int set = 0;
    for (uint8_t b : t)
        set += b != 0;
    EXPECT_EQ(set, 10);
}

TEST(LegacyKeyMap, MacrosFirstThenFourPieces)
{
    LegacyRig rig;
    SendLegacyKeyMap(rig.link, Profile());
    const auto wire = rig.Wire(16);
    ASSERT_EQ(wire.size(), 8u);
    EXPECT_EQ(wire[4], "360 output 00 8D 3C 00 00 00 00 00 00 00 00 00 00 00 00 02");
    EXPECT_EQ(wire[5], "370 output 00 8D 3C 3C 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(wire[6], "380 output 00 8D 3C 78 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(wire[7], "390 output 00 8D 28 B4 00 00 00 00 00 00 00 00 00 00 00 00");
    const auto pauses = rig.clock.Pauses();
    EXPECT_EQ(std::vector<unsigned>(pauses.begin() + 6, pauses.end()), (std::vector<unsigned>{20, 10, 10, 10, 10}));
    EXPECT_EQ(rig.keyboard->State().legacyKeyMap[13], 0x40);

    // A failing key map piece does not stop the others.
    LegacyRig failing;
    failing.keyboard->FailTransfers(HidTransferKind::Output, 2, 0x8D);
    SendLegacyKeyMap(failing.link, {});
    EXPECT_EQ(failing.keyboard->Transfers().size(), 5u);
}

TEST(LegacyLighting, ModeSelectThenParameters)
{
    LegacyRig rig;
    LegacyLightingState state;
    LightingSettings s;
    s.mode = 6;
    s.direction = 2;
    s.colorful = 1;
    s.speed = 5;
    s.brightness = 4;
    s.colorValue = 0x00336699;

    SendLegacyLighting(rig.link, s, state); // the flag starts set: parameters
    state.modeSelectFlag = false;           // the user picked another mode
    SendLegacyLighting(rig.link, s, state);
    EXPECT_TRUE(state.modeSelectFlag);
    s.direction = 7;
    s.colorful = 0;
    s.speed = 0x1F;
    SendLegacyLighting(rig.link, s, state);
    EXPECT_EQ(rig.Wire(8), (std::vector<std::string>{
                               "0 output 00 89 00 65 99 66 33 04",
                               "0 output 00 88 00 06 00 00 00 00",
                               "0 output 00 89 00 3F 99 66 33 04",
                           }));
    EXPECT_EQ(rig.keyboard->State().legacyMode, 6);
}

TEST(LegacyLighting, PreviewAndReset)
{
    LegacyRig rig;
    LightingSettings s;
    s.mode = 3;
    s.brightness = 4;
    s.speed = 2;
    s.configFunc = 0x100;
    s.optionIndex = 1;
    SendLegacyLightPreview(rig.link, s);
    ResetLegacyKeyboard(rig.link);
    EXPECT_EQ(rig.Wire(8), (std::vector<std::string>{
                               "16 feature-set 07 FF FF 02 04 02 00 01",
                               "16 output 00 FF FE AA FF 00 00 00",
                           }));
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{16, 100}));
    EXPECT_EQ(rig.keyboard->State().legacyResetCount, 1);
}
