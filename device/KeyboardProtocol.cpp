#include "device/KeyboardProtocol.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/DeviceLink.h"
#include "device/PauseClock.h"

namespace protocol {

namespace {

constexpr uint8_t kReportId = 0x07;

uint8_t Red(uint32_t c) { return static_cast<uint8_t>(c & 0xFF); }
uint8_t Green(uint32_t c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
uint8_t Blue(uint32_t c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// The six lighting parameters shared by the wired report and the wireless payload.
struct LightingBytes {
    uint8_t m, colorIndex, direction, speed, brightness, option;
};

LightingBytes LightingParameters(const LightingSettings& s)
{
    LightingBytes b;
    b.m = static_cast<uint8_t>(s.mode - 1);
    b.colorIndex = static_cast<uint8_t>(s.colorIndex);
    b.direction = static_cast<uint8_t>(s.direction);
    b.speed = static_cast<uint8_t>(s.speed != 0 ? s.speed - 1 : 0);
    b.brightness = static_cast<uint8_t>(s.brightness != 0 ? s.brightness - 1 : 0);
    b.option = static_cast<uint8_t>((s.configFunc & 0x100) ? s.optionIndex : 0);
    return b;
}

} // namespace

// ---------------------------------------------------------------- events and tables

uint8_t EncodeDelay(int delayMs, bool release)
{
    const uint8_t releaseBit = release ? 0x80 : 0x00;
    if (delayMs < 0)
        return release ? 0x80 : 0x01;
    const int d = std::min(delayMs, 31000);
    int count;
    int unit;
    if (d <= 10) {
        count = 1;
        unit = 0;
    } else if (d <= 310) {
        count = d / 10;
        unit = 0;
    } else if (d <= 1550) {
        count = d / 50;
        unit = 1;
    } else if (d <= 3100) {
        count = d / 100;
        unit = 2;
    } else {
        count = d / 1000;
        unit = 3;
    }
    return static_cast<uint8_t>(releaseBit | (unit << 5) | count);
}

uint8_t VirtualKeyToUsage(int vk)
{
    if (vk >= 65 && vk <= 90)
        return static_cast<uint8_t>(vk - 61);
    if (vk >= 49 && vk <= 57)
        return static_cast<uint8_t>(vk - 19);
    if (vk >= 112 && vk <= 123)
        return static_cast<uint8_t>(vk - 54);
    if (vk >= 124 && vk <= 135)
        return static_cast<uint8_t>(vk - 20);
    if (vk >= 97 && vk <= 105)
        return static_cast<uint8_t>(vk - 8);
    if (vk >= 136 && vk <= 139)
        return static_cast<uint8_t>(vk);
    struct Pair {
        int vk;
        uint8_t usage;
    };
    static const Pair kTable[] = {
        {48, 39},   {13, 40},   {27, 41},   {8, 42},    {9, 43},    {32, 44},   {189, 45},  {187, 46},
        {219, 47},  {221, 48},  {220, 49},  {666, 50},  {186, 51},  {222, 52},  {192, 53},  {188, 54},
        {190, 55},  {191, 56},  {20, 57},   {44, 70},   {145, 71},  {19, 72},   {45, 73},   {36, 74},
        {33, 75},   {46, 76},   {35, 77},   {34, 78},   {39, 79},   {37, 80},   {40, 81},   {38, 82},
        {144, 83},  {111, 84},  {106, 85},  {109, 86},  {107, 87},  {108, 88},  {96, 98},   {110, 99},
        {162, 224}, {160, 225}, {164, 226}, {91, 227},  {163, 228}, {161, 229}, {165, 230}, {92, 231},
        {93, 101},  {254, 175}, {226, 100}, {173, 235}, {174, 233}, {175, 234}, {176, 239}, {177, 237},
        {178, 236}, {179, 238}, {166, 243}, {167, 244}, {168, 246}, {169, 245}, {170, 247}, {171, 248},
        {172, 241}, {180, 240}, {181, 232}, {182, 249}, {183, 242},
    };
    for (const Pair& p : kTable) {
        if (p.vk == vk)
            return p.usage;
    }
    return 0;
}

std::vector<UsageEvent> ShortcutEvents(int number)
{
    // Modifier, then the key(s); releases in reverse order.
    struct Shortcut {
        uint8_t modifier;
        uint8_t keys[2];
        int keyCount;
    };
    static const Shortcut kShortcuts[15] = {
        {0xE0, {0x04}, 1}, {0xE0, {0x06}, 1}, {0xE0, {0x1B}, 1}, {0xE0, {0x19}, 1}, {0xE0, {0x1D}, 1},
        {0xE0, {0x16}, 1}, {0xE3, {0x08}, 1}, {0xE3, {0x0F}, 1}, {0xE3, {0x07}, 1}, {0xE2, {0x2B}, 1},
        {0xE3, {0x10}, 1}, {0xE0, {0x1A}, 1}, {0xE2, {0x2C, 0x1B}, 2}, {0xE2, {0x2C, 0x11}, 2}, {0xE2, {0x3D}, 1},
    };
    std::vector<UsageEvent> events;
    if (number < 1 || number > 15)
        return events;
    const Shortcut& s = kShortcuts[number - 1];
    const uint8_t press = EncodeDelay(10, false);
    const uint8_t release = EncodeDelay(10, true);
    events.push_back({s.modifier, press});
    if (s.keyCount == 1) {
        events.push_back({s.keys[0], press});
        events.push_back({s.keys[0], release});
    } else {
        // Alt+Space, then the menu letter: Space stays down while the letter is typed.
        events.push_back({s.keys[0], press});
        events.push_back({s.keys[1], press});
        events.push_back({s.keys[1], release});
        events.push_back({s.keys[0], release});
    }
    events.push_back({s.modifier, release});
    return events;
}

// ---------------------------------------------------------------- slot table

SlotTable SlotTable::Decode(const uint8_t bytes[28])
{
    SlotTable t;
    std::copy(bytes + 1, bytes + 1 + kMacroSlots, t.macroKeys.begin());
    std::copy(bytes + 14, bytes + 14 + kRemapSlots, t.remapKeys.begin());
    return t;
}

bool ReadSlotTable(DeviceLink& link, SlotTable& table)
{
    const uint8_t request[kFeatureReportSize] = {kReportId, 0xFB, 0x01, 0, 0, 0, 0, 0};
    uint8_t raw[kSlotTableSize];
    const bool ok = link.ReadSlotTable(request, raw);
    table = SlotTable::Decode(raw);
    return ok;
}

namespace {

template <size_t N> int SlotHolding(const std::array<uint8_t, N>& keys, int keyCode)
{
    for (size_t i = 0; i < N; ++i) {
        if (keys[i] == keyCode)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

template <size_t N> int ChooseSlot(const std::array<uint8_t, N>& keys, int keyCode)
{
    if (keyCode != 0) {
        if (int s = SlotHolding(keys, keyCode))
            return s;
    }
    if (int s = SlotHolding(keys, 0))
        return s;
    return 1;
}

} // namespace

int MacroSlotHolding(const SlotTable& table, int keyCode) { return keyCode ? SlotHolding(table.macroKeys, keyCode) : 0; }
int RemapSlotHolding(const SlotTable& table, int keyCode) { return keyCode ? SlotHolding(table.remapKeys, keyCode) : 0; }
int ChooseMacroSlot(const SlotTable& table, int keyCode) { return ChooseSlot(table.macroKeys, keyCode); }
int ChooseRemapSlot(const SlotTable& table, int keyCode) { return ChooseSlot(table.remapKeys, keyCode); }

// ---------------------------------------------------------------- key slots

MacroPayload BuildFreeMacroPayload(int slot)
{
    MacroPayload p{};
    p[0] = 1;
    p[1] = static_cast<uint8_t>(slot);
    return p;
}

MacroPayload BuildShortcutPayload(int slot, int keyCode, int shortcut)
{
    MacroPayload p = BuildFreeMacroPayload(slot);
    p[2] = static_cast<uint8_t>(keyCode);
    p[3] = 1;
    size_t at = 4;
    for (const UsageEvent& e : ShortcutEvents(shortcut)) {
        p[at++] = e.usage;
        p[at++] = e.delay;
    }
    return p;
}

MacroPayload BuildMacroPayload(int slot, int keyCode, int playTimes, const std::vector<MacroEvent>& events)
{
    MacroPayload p = BuildFreeMacroPayload(slot);
    p[2] = static_cast<uint8_t>(keyCode);
    p[3] = static_cast<uint8_t>(playTimes & 0xFF);
    size_t at = 4;
    for (const MacroEvent& e : events) {
        if (e.type != kEventPress && e.type != kEventRelease)
            continue;
        if (at + 2 > p.size())
            break; // at most 82 events fit
        p[at++] = VirtualKeyToUsage(e.virtualKey);
        p[at++] = EncodeDelay(e.delayMs, e.type == kEventRelease);
    }
    return p;
}

MacroPayload MacroSlotPayload(int keyCode, int slot, int kind, int value, const StoredMacro* macro)
{
    if (kind == kKindShortcut)
        return BuildShortcutPayload(slot, keyCode, value);
    if (kind == kKindMacro) {
        static const std::vector<MacroEvent> kNone;
        const bool found = macro && macro->found;
        return BuildMacroPayload(slot, found ? keyCode : 0, found ? macro->playTimes : 0,
                                 macro ? macro->events : kNone);
    }
    return BuildFreeMacroPayload(slot);
}

void SendMacroPayload(DeviceLink& link, const MacroPayload& payload)
{
    auto sequence = link.LockSequence();
    for (size_t i = 0; i < 28; ++i) {
        uint8_t r[kFeatureReportSize] = {kReportId, static_cast<uint8_t>(i == 0 ? 0xF1 : 0x00)};
        std::memcpy(r + 2, payload.data() + 6 * i, 6);
        link.SendFeatureAfterDelay(r);
    }
}

void SendMacroSlot(DeviceLink& link, int keyCode, int slot, int kind, int value, const StoredMacro* macro)
{
    SendMacroPayload(link, MacroSlotPayload(keyCode, slot, kind, value, macro));
}

bool BuildRemapReport(int keyCode, int slot, const KeyAssignment* row, uint8_t report[8])
{
    const uint8_t freeing[8] = {kReportId, 0xFA, 0x01, static_cast<uint8_t>(slot), 0x00, 0x01, 0x00, 0x01};
    std::memcpy(report, freeing, 8);
    if (row && row->value >= 1) {
        if (row->kind == kKindNone || row->kind == kKindMacro || row->kind == kKindShortcut)
            return false;
        report[4] = static_cast<uint8_t>(keyCode);
        report[6] = static_cast<uint8_t>(row->value & 0xFF);
    }
    return true;
}

void SendRemapSlot(DeviceLink& link, int keyCode, int slot, const KeyAssignment* row)
{
    uint8_t r[8];
    if (BuildRemapReport(keyCode, slot, row, r))
        link.SendFeatureAfterDelay(r);
}

// ---------------------------------------------------------------- lighting

std::array<uint8_t, 8> BuildWiredLightingReport(const LightingSettings& s)
{
    const LightingBytes b = LightingParameters(s);
    std::array<uint8_t, 8> r = {kReportId, 0xF7, b.m, b.colorIndex, b.direction, b.speed, b.brightness, b.option};
    if (b.m == 3) {
        r[4] = Red(s.colorValue);
        r[5] = Green(s.colorValue);
        r[7] = Blue(s.colorValue);
    }
    if (s.mode == 9)
        r[5] = static_cast<uint8_t>(s.speed);
    return r;
}

std::array<uint8_t, 64> WirelessPayload(uint8_t command)
{
    std::array<uint8_t, 64> p{};
    p[0] = 0xBB;
    p[1] = 0xAA;
    p[2] = 0x99;
    p[3] = 0x88;
    p[4] = command;
    return p;
}

std::array<uint8_t, 64> BuildWirelessLightingPayload(const LightingSettings& s)
{
    const LightingBytes b = LightingParameters(s);
    std::array<uint8_t, 64> p = WirelessPayload(0xAA);
    p[5] = b.m;
    p[6] = b.colorIndex;
    p[7] = b.direction;
    p[8] = b.speed;
    p[9] = b.brightness;
    p[10] = b.option;
    if (b.m == 3) {
        p[7] = Red(s.colorValue);
        p[8] = Green(s.colorValue);
        p[10] = Blue(s.colorValue);
    }
    return p;
}

void SendLighting(DeviceLink& link, const LightingSettings& s, int connectionKind)
{
    if (connectionKind == kConnectionWireless1 || connectionKind == kConnectionWireless2) {
        const auto p = BuildWirelessLightingPayload(s);
        link.WriteWirelessPayload(p.data());
    } else {
        const auto r = BuildWiredLightingReport(s);
        link.SendFeatureAfterDelay(r.data());
    }
}

void ResetKeyboard(DeviceLink& link, int connectionKind)
{
    if (connectionKind == kConnectionWireless1 || connectionKind == kConnectionWireless2) {
        auto sequence = link.LockSequence();
        std::array<uint8_t, 64> arm = WirelessPayload(0xAA);
        for (size_t i = 5; i <= 9; ++i)
            arm[i] = 0xAA;
        link.WriteWirelessPayload(arm.data());
        Pause(1600);
        const std::array<uint8_t, 64> zeros = WirelessPayload(0x00);
        link.WriteWirelessPayload(zeros.data());
        return;
    }
    const uint8_t r[kFeatureReportSize] = {kReportId, 0xF0, 0xAA, 0, 0, 0, 0, 0};
    link.SendFeatureAfterDelay(r);
    Pause(100);
}

// ---------------------------------------------------------------- music level

uint8_t MusicLevelValue(int level, double gain)
{
    const double v = static_cast<double>(level) * gain;
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<uint8_t>(v); // truncated toward zero
}

std::array<uint8_t, 8> BuildMusicLevelReport(int level, const MusicSettings& s)
{
    return {kReportId, 0x23, 0x45, 0x67, 0x89, static_cast<uint8_t>(s.effect), static_cast<uint8_t>(s.colourIndex),
            MusicLevelValue(level, s.gain)};
}

bool SendMusicLevel(DeviceLink& link, int level, const MusicSettings& s)
{
    auto held = link.TryLockSequence();
    if (!held.owns_lock())
        return false;
    const auto r = BuildMusicLevelReport(level, s);
    return link.SendFeature(r.data());
}

// ---------------------------------------------------------------- firmware version

bool QueryFirmwareVersion(DeviceLink& link, uint16_t& version) { return link.QueryFirmwareVersion(version); }

std::wstring FirmwareVersionText(uint16_t version)
{
    wchar_t text[8];
    std::swprintf(text, 8, L"%x", static_cast<unsigned>(version));
    return text;
}

// ---------------------------------------------------------------- key colours

ColourTable BuildKeyColourTable(const std::vector<KeyColour>& keys)
{
    ColourTable t{};
    for (const KeyColour& k : keys) {
        if (k.position < 0 || static_cast<size_t>(k.position) * 4 + 3 >= t.size())
            continue;
        const size_t at = static_cast<size_t>(k.position) * 4;
        t[at] = Red(k.colour);
        t[at + 1] = Green(k.colour);
        t[at + 2] = Blue(k.colour);
        t[at + 3] = 0xFF;
    }
    return t;
}

bool SendKeyColours(DeviceLink& link, const ColourTable& table)
{
    auto sequence = link.LockSequence();
    for (int i = 0; i < 8; ++i) {
        uint8_t r[kOutputReportSize] = {};
        r[1] = 0x8B;
        r[2] = static_cast<uint8_t>(i == 7 ? 20 : 60);
        r[3] = static_cast<uint8_t>((60 * i) & 0xFF);
        r[4] = static_cast<uint8_t>((60 * i) >> 8);
        std::memcpy(r + 5, table.data() + 60 * i, 60);
        Pause(1);
        if (!link.WriteReport(r))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- live frames

ColourTable BuildLiveFrameTable(const std::vector<KeyColour>& keys)
{
    ColourTable t{};
    for (const KeyColour& k : keys) {
        if (k.position < 0 || static_cast<size_t>(k.position) * 3 + 2 >= t.size())
            continue;
        const size_t at = static_cast<size_t>(k.position) * 3;
        t[at] = Red(k.colour);
        t[at + 1] = Green(k.colour);
        t[at + 2] = Blue(k.colour);
    }
    return t;
}

LiveStreamState& ProcessLiveStream()
{
    static LiveStreamState state;
    return state;
}

bool SendLiveFrame(DeviceLink& link, const std::vector<KeyColour>& keys, int connectionKind, LiveStreamState& state)
{
    if (connectionKind != kConnectionWired)
        return false;
    const bool lit = std::any_of(keys.begin(), keys.end(), [](const KeyColour& k) { return k.colour >= 2; });
    if (!lit)
        return false;
    const ColourTable table = BuildLiveFrameTable(keys);
    auto sequence = link.LockSequence();
    if (!state.started) {
        uint8_t start[kOutputReportSize] = {0x00, 0xF0, 0xF4, 0x01};
        // Counted as sent only when it went out: a start lost to a failed write is sent
        // again with the next frame instead of leaving the stream off for the whole run.
        if (!link.WriteReport(start))
            return false;
        state.started = true;
    }
    for (int i = 0; i < 6; ++i) {
        uint8_t r[kOutputReportSize] = {};
        r[1] = 0xF1;
        r[2] = static_cast<uint8_t>(i == 5 ? 30 : 60);
        r[3] = static_cast<uint8_t>((60 * i) & 0xFF);
        r[4] = static_cast<uint8_t>((60 * i) >> 8);
        std::memcpy(r + 5, table.data() + 60 * i, 60);
        Pause(1);
        if (!link.WriteAuxReport(r))
            return false;
    }
    return true;
}

} // namespace protocol
