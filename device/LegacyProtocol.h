#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "device/KeyboardProtocol.h"

class DeviceLink;

// The older command set (device types up to 200): 65-byte output reports with report id 0.
namespace protocol {

// One assignment of the current profile and Fn layer, in row order, with what the older
// set needs: the key's position in the model's key-position map, and for a macro its play
// count and events.
struct LegacyAssignment {
    int keyCode = 0;
    int position = 0;
    int kind = 0;
    int value = 0; // macro_value: remap target, shortcut number or macro id
    int playTimes = 1;
    std::vector<MacroEvent> events; // every event row of the macro, in order
};

using OutputReport = std::array<uint8_t, 65>;

// The 3-byte events of the older shortcut table: usage, 0x64, 0x80 (press) or 0x00
// (release). Empty for a number outside 1 to 15.
std::vector<std::array<uint8_t, 3>> LegacyShortcutEvents(int number);

// The macro buffer: play count (1 to 255), number of event rows, then 3 bytes per key
// event, zero-padded so that every piece reads inside it.
std::vector<uint8_t> BuildLegacyMacroBuffer(int playTimes, const std::vector<MacroEvent>& events);
// The 8E pieces of macro number n.
std::vector<OutputReport> BuildLegacyMacroPieces(int number, int playTimes, const std::vector<MacroEvent>& events);
// The single 8E report of a shortcut, numbered n.
OutputReport BuildLegacyShortcutReport(int number, int shortcut);

// Sends the macros (kind 3, in row order) and then the shortcuts (kind 7), numbered from 0,
// holding the link for each macro's pieces. numbers[i] receives the number of
// assignments[i], or -1 when it has none (not a macro or shortcut, or not sent). Returns
// false when a report failed: that ends the operation.
bool SendLegacyMacros(DeviceLink& link, const std::vector<LegacyAssignment>& assignments, std::vector<int>& numbers);

// The key map: 2 bytes per key position. Positions outside the table are skipped.
std::array<uint8_t, 360> BuildLegacyKeyMapTable(const std::vector<LegacyAssignment>& assignments,
                                                const std::vector<int>& numbers);
// SendLegacyMacros, 20 ms, then the four 8D reports (10 ms before each, all sent).
void SendLegacyKeyMap(DeviceLink& link, const std::vector<LegacyAssignment>& assignments);

// The mode-select flag: while it is clear the next lighting command selects the mode
// (88); while it is set it sends the mode's parameters (89). It starts set, the lighting
// page clears it when the user picks another mode, and every lighting command sets it.
struct LegacyLightingState {
    bool modeSelectFlag = true;
};
OutputReport BuildLegacyLightingReport(const LightingSettings& s, bool modeSelectFlag);
void SendLegacyLighting(DeviceLink& link, const LightingSettings& s, LegacyLightingState& state);

// The lighting preview: feature report 07 FF FF M brightness speed 00 O after 16 ms.
std::array<uint8_t, 8> BuildLegacyLightPreviewReport(const LightingSettings& s);
void SendLegacyLightPreview(DeviceLink& link, const LightingSettings& s);

// FF FE AA FF, then 100 ms.
void ResetLegacyKeyboard(DeviceLink& link);

} // namespace protocol
