// The protocol's encoding tables: delay bytes, virtual keys to usages, shortcuts.
#include <gtest/gtest.h>

#include "device/KeyboardProtocol.h"

using namespace protocol;

TEST(DelayEncoding, UnitsCountsAndReleaseFlag)
{
    struct Case {
        int delay;
        bool release;
        uint8_t byte;
    } cases[] = {
        {0, false, 0x01},     {10, false, 0x01},    {10, true, 0x81},     {11, false, 0x01},
        {100, false, 0x0A},   {310, false, 0x1F},   {311, false, 0x26},   {500, true, 0xAA},
        {1550, false, 0x3F},  {1551, false, 0x4F},  {2000, false, 0x54},  {3100, false, 0x5F},
        {3101, false, 0x63},  {5000, false, 0x65},  {31000, false, 0x7F}, {40000, true, 0xFF},
        {-5, false, 0x01},    {-5, true, 0x80},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeDelay(c.delay, c.release), c.byte) << c.delay << (c.release ? " release" : " press");
}

TEST(VirtualKeyUsages, RangesSinglesAndUnknownKeys)
{
    struct Case {
        int vk;
        int usage;
    } cases[] = {
        {'A', 4},    {'Z', 29},   {'1', 30},   {'9', 38},   {'0', 39},   {13, 40},    {27, 41},    {8, 42},
        {9, 43},     {32, 44},    {189, 45},   {220, 49},   {666, 50},   {186, 51},   {191, 56},   {20, 57},
        {112, 58},   {123, 69},   {124, 104},  {135, 115},  {44, 70},    {34, 78},    {39, 79},    {38, 82},
        {144, 83},   {108, 88},   {97, 89},    {105, 97},   {96, 98},    {110, 99},   {162, 224},  {92, 231},
        {93, 101},   {254, 175},  {226, 100},  {136, 136},  {139, 139},  {173, 235},  {175, 234},  {176, 239},
        {179, 238},  {166, 243},  {172, 241},  {180, 240},  {181, 232},  {183, 242},
        // not in the table
        {0, 0},      {7, 0},      {140, 0},    {255, 0},    {300, 0},    {-1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyToUsage(c.vk), c.usage) << "vk " << c.vk;
}

TEST(Shortcuts, FixedEventsWithTenMillisecondDelays)
{
    auto flat = [](int number) {
        std::vector<int> out;
        for (const UsageEvent& e : ShortcutEvents(number)) {
            out.push_back(e.usage);
            out.push_back(e.delay);
        }
        return out;
    };
    EXPECT_EQ(flat(1), (std::vector<int>{0xE0, 0x01, 0x04, 0x01, 0x04, 0x81, 0xE0, 0x81}));
    EXPECT_EQ(flat(8), (std::vector<int>{0xE3, 0x01, 0x0F, 0x01, 0x0F, 0x81, 0xE3, 0x81}));
    EXPECT_EQ(flat(10), (std::vector<int>{0xE2, 0x01, 0x2B, 0x01, 0x2B, 0x81, 0xE2, 0x81}));
    EXPECT_EQ(flat(13), (std::vector<int>{0xE2, 0x01, 0x2C, 0x01, 0x1B, 0x01, 0x1B, 0x81, 0x2C, 0x81, 0xE2, 0x81}));
    EXPECT_EQ(flat(14), (std::vector<int>{0xE2, 0x01, 0x2C, 0x01, 0x11, 0x01, 0x11, 0x81, 0x2C, 0x81, 0xE2, 0x81}));
    EXPECT_EQ(flat(15), (std::vector<int>{0xE2, 0x01, 0x3D, 0x01, 0x3D, 0x81, 0xE2, 0x81}));
    EXPECT_TRUE(ShortcutEvents(0).empty());
    EXPECT_TRUE(ShortcutEvents(16).empty());
    // Every shortcut releases each key it pressed, modifier last.
    for (int n = 1; n <= 15; ++n) {
        const auto events = ShortcutEvents(n);
        ASSERT_TRUE(events.size() == 4 || events.size() == 6) << n;
        EXPECT_EQ(events.front().usage, events.back().usage) << n;
        EXPECT_EQ(events.back().delay, 0x81) << n;
    }
}
