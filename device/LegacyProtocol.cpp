#include "device/LegacyProtocol.h"

#include <algorithm>
#include <cstring>

#include "device/DeviceLink.h"
#include "device/PauseClock.h"

namespace protocol {

namespace {

constexpr size_t kPieceData = 59; // buffer bytes per 8E piece

OutputReport NewReport(uint8_t command)
{
    OutputReport r{};
    r[1] = command;
    return r;
}

} // namespace

std::vector<std::array<uint8_t, 3>> LegacyShortcutEvents(int number)
{
    std::vector<std::array<uint8_t, 3>> events;
    for (const UsageEvent& e : ShortcutEvents(number)) {
        const bool release = (e.delay & 0x80) != 0;
        events.push_back({e.usage, 0x64, static_cast<uint8_t>(release ? 0x00 : 0x80)});
    }
    return events;
}

std::vector<uint8_t> BuildLegacyMacroBuffer(int playTimes, const std::vector<MacroEvent>& events)
{
    const size_t rows = events.size();
    const size_t total = 3 * (rows + 1);
    const size_t pieces = total / 60 + 1;
    std::vector<uint8_t> buffer;
    buffer.reserve(std::max(pieces * kPieceData, 2 + 3 * rows));
    buffer.push_back(static_cast<uint8_t>(std::clamp(playTimes, 1, 255)));
    buffer.push_back(static_cast<uint8_t>(rows & 0xFF));
    for (const MacroEvent& e : events) {
        if (e.type != kEventPress && e.type != kEventRelease)
            continue;
        // 15 bits of delay; the top bit of one of the two bytes tells press from release.
        const int d = std::clamp(e.delayMs, 0, 0x7FFF);
        const uint8_t low = static_cast<uint8_t>(d & 0xFF);
        const uint8_t high = static_cast<uint8_t>(d >> 8);
        buffer.push_back(VirtualKeyToUsage(e.virtualKey));
        if (e.type == kEventPress) {
            buffer.push_back(low);
            buffer.push_back(static_cast<uint8_t>(high | 0x80));
        } else {
            buffer.push_back(static_cast<uint8_t>(low | 0x80));
            buffer.push_back(static_cast<uint8_t>(high & 0x7F));
        }
    }
    // Every piece copies a full 59 bytes: pad so that the last one reads zeros, not past
    // the end of the buffer.
    if (buffer.size() < pieces * kPieceData)
        buffer.resize(pieces * kPieceData, 0);
    return buffer;
}

std::vector<OutputReport> BuildLegacyMacroPieces(int number, int playTimes, const std::vector<MacroEvent>& events)
{
    const std::vector<uint8_t> buffer = BuildLegacyMacroBuffer(playTimes, events);
    const size_t total = 3 * (events.size() + 1);
    const size_t last = total / 60;
    std::vector<OutputReport> pieces;
    for (size_t k = 0; k <= last; ++k) {
        OutputReport r = NewReport(0x8E);
        r[2] = static_cast<uint8_t>(k == last ? total - 60 * last : kPieceData);
        const size_t offset = kPieceData * k;
        r[3] = static_cast<uint8_t>(offset & 0xFF);
        r[4] = static_cast<uint8_t>((offset >> 8) & 0xFF);
        r[5] = static_cast<uint8_t>(number);
        std::memcpy(r.data() + 6, buffer.data() + offset, kPieceData);
        pieces.push_back(r);
    }
    return pieces;
}

OutputReport BuildLegacyShortcutReport(int number, int shortcut)
{
    const auto events = LegacyShortcutEvents(shortcut);
    const size_t count = events.empty() ? 4 : events.size();
    OutputReport r = NewReport(0x8E);
    r[2] = static_cast<uint8_t>(3 * count);
    r[5] = static_cast<uint8_t>(number);
    r[6] = 1;
    r[7] = static_cast<uint8_t>(count);
    size_t at = 8;
    for (const auto& e : events) {
        std::memcpy(r.data() + at, e.data(), 3);
        at += 3;
    }
    return r;
}

bool SendLegacyMacros(DeviceLink& link, const std::vector<LegacyAssignment>& assignments, std::vector<int>& numbers)
{
    numbers.assign(assignments.size(), -1);
    int next = 0;
    for (size_t i = 0; i < assignments.size(); ++i) {
        const LegacyAssignment& a = assignments[i];
        if (a.kind != kKindMacro)
            continue;
        const int n = next++;
        Pause(10);
        auto sequence = link.LockSequence();
        for (const OutputReport& piece : BuildLegacyMacroPieces(n, a.playTimes, a.events)) {
            Pause(100);
            if (!link.WriteReport(piece.data()))
                return false;
        }
        numbers[i] = n;
    }
    for (size_t i = 0; i < assignments.size(); ++i) {
        const LegacyAssignment& a = assignments[i];
        if (a.kind != kKindShortcut)
            continue;
        const int n = next++;
        Pause(10);
        const OutputReport r = BuildLegacyShortcutReport(n, a.value);
        if (!link.WriteReport(r.data()))
            return false;
        numbers[i] = n;
    }
    return true;
}

std::array<uint8_t, 360> BuildLegacyKeyMapTable(const std::vector<LegacyAssignment>& assignments,
                                                const std::vector<int>& numbers)
{
    std::array<uint8_t, 360> t{};
    for (size_t i = 0; i < assignments.size(); ++i) {
        const LegacyAssignment& a = assignments[i];
        if (a.position < 0 || a.position >= 180)
            continue;
        const size_t at = 2 * static_cast<size_t>(a.position);
        const int n = i < numbers.size() ? numbers[i] : -1;
        if (a.kind == 2) {
            t[at] = static_cast<uint8_t>(a.value & 0xFF);
            t[at + 1] = 0x20;
        } else if (a.kind == 1) {
            t[at] = 0x00;
            t[at + 1] = 0x20;
        } else if ((a.kind == kKindMacro || a.kind == kKindShortcut) && n >= 0) {
            t[at] = static_cast<uint8_t>(n);
            t[at + 1] = 0x40;
        }
    }
    return t;
}

void SendLegacyKeyMap(DeviceLink& link, const std::vector<LegacyAssignment>& assignments)
{
    std::vector<int> numbers;
    SendLegacyMacros(link, assignments, numbers);
    Pause(20);
    const auto table = BuildLegacyKeyMapTable(assignments, numbers);
    auto sequence = link.LockSequence();
    for (int j = 0; j < 4; ++j) {
        OutputReport r = NewReport(0x8D);
        r[2] = static_cast<uint8_t>(j == 3 ? 40 : 60);
        r[3] = static_cast<uint8_t>((60 * j) & 0xFF);
        r[4] = static_cast<uint8_t>((60 * j) >> 8);
        std::memcpy(r.data() + 5, table.data() + 60 * j, 60);
        Pause(10);
        link.WriteReport(r.data());
    }
}

OutputReport BuildLegacyLightingReport(const LightingSettings& s, bool modeSelectFlag)
{
    if (!modeSelectFlag) {
        OutputReport r = NewReport(0x88);
        r[3] = static_cast<uint8_t>(s.mode);
        return r;
    }
    OutputReport r = NewReport(0x89);
    r[3] = static_cast<uint8_t>(((s.direction & 3) << 4) | (s.colorful != 0 ? 0x40 : 0) | (s.speed & 0x0F));
    r[4] = static_cast<uint8_t>(s.colorValue & 0xFF);
    r[5] = static_cast<uint8_t>((s.colorValue >> 8) & 0xFF);
    r[6] = static_cast<uint8_t>((s.colorValue >> 16) & 0xFF);
    r[7] = static_cast<uint8_t>(s.brightness);
    return r;
}

void SendLegacyLighting(DeviceLink& link, const LightingSettings& s, LegacyLightingState& state)
{
    const OutputReport r = BuildLegacyLightingReport(s, state.modeSelectFlag);
    link.WriteReport(r.data());
    state.modeSelectFlag = true;
}

std::array<uint8_t, 8> BuildLegacyLightPreviewReport(const LightingSettings& s)
{
    const uint8_t option = static_cast<uint8_t>((s.configFunc & 0x100) ? s.optionIndex : 0);
    return {0x07, 0xFF, 0xFF, static_cast<uint8_t>(s.mode - 1), static_cast<uint8_t>(s.brightness),
            static_cast<uint8_t>(s.speed), 0x00, option};
}

void SendLegacyLightPreview(DeviceLink& link, const LightingSettings& s)
{
    const auto r = BuildLegacyLightPreviewReport(s);
    link.SendFeatureAfterDelay(r.data());
}

void ResetLegacyKeyboard(DeviceLink& link)
{
    OutputReport r = NewReport(0xFF);
    r[2] = 0xFE;
    r[3] = 0xAA;
    r[4] = 0xFF;
    link.WriteReport(r.data());
    Pause(100);
}

} // namespace protocol
