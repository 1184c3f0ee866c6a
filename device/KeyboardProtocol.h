#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DeviceLink;

// The keyboard's command protocol for plain values: report builders and senders of both
// command sets. Callers read the settings (assignments, macros, lighting rows, key
// colours) and pass them in; nothing here reads the database or the model layout.
namespace protocol {

// ---------------------------------------------------------------- assignment kinds
constexpr int kKindNone = 0;
constexpr int kKindMacro = 3;
constexpr int kKindShortcut = 7;

constexpr int kMacroSlots = 13;
constexpr int kRemapSlots = 10;
constexpr int kMaxMacroEvents = 82;
constexpr size_t kMacroPayloadSize = 168;

// ---------------------------------------------------------------- events and tables

// A recorded macro event: type 2 is a key press, 3 a release (other types carry no key
// and are skipped); the key is a Windows virtual-key code.
constexpr int kEventPress = 2;
constexpr int kEventRelease = 3;
struct MacroEvent {
    int type = kEventPress;
    int virtualKey = 0;
    int delayMs = 0;
};

// The delay byte of an event: bit 7 set for a release, bits 6-5 the unit (10, 50, 100,
// 1000 ms), bits 4-0 the count.
uint8_t EncodeDelay(int delayMs, bool release);

// The HID usage (or our own media-key code) the keyboard receives for a virtual key;
// 0 for a key it does not know.
uint8_t VirtualKeyToUsage(int virtualKey);

// The fixed events of a shortcut number (1 to 15): (usage, delay byte) pairs, every
// delay 10 ms. Empty for any other number.
struct UsageEvent {
    uint8_t usage;
    uint8_t delay;
};
std::vector<UsageEvent> ShortcutEvents(int number);

// ---------------------------------------------------------------- slot table

struct SlotTable {
    std::array<uint8_t, kMacroSlots> macroKeys{}; // key code bound to macro slot 1..13 (0 free)
    std::array<uint8_t, kRemapSlots> remapKeys{}; // key code bound to remap slot 1..10 (0 free)
    static SlotTable Decode(const uint8_t bytes[28]);
};

// Reads the slot table (request 07 FB 01). False when any part of the read failed; the
// table then holds what did arrive and must not be trusted.
bool ReadSlotTable(DeviceLink& link, SlotTable& table);

// The slot that already holds the key, 0 when none.
int MacroSlotHolding(const SlotTable& table, int keyCode);
int RemapSlotHolding(const SlotTable& table, int keyCode);
// For a single-key change: the slot holding the key, else the first free one, else 1.
int ChooseMacroSlot(const SlotTable& table, int keyCode);
int ChooseRemapSlot(const SlotTable& table, int keyCode);

// ---------------------------------------------------------------- key slots

using MacroPayload = std::array<uint8_t, kMacroPayloadSize>;

// A stored macro as read for a macro slot: whether its row was found, its play count and
// its events in order.
struct StoredMacro {
    bool found = false;
    int playTimes = 0;
    std::vector<MacroEvent> events;
};

MacroPayload BuildFreeMacroPayload(int slot);
MacroPayload BuildShortcutPayload(int slot, int keyCode, int shortcut);
// Key code and play count come from the macro row; without a row pass 0 for both.
MacroPayload BuildMacroPayload(int slot, int keyCode, int playTimes, const std::vector<MacroEvent>& events);
// The payload a key of this kind and value gets in a macro slot: its macro (kind 3,
// `macro` may be null when the row was not found), its shortcut (kind 7), or a freed slot.
MacroPayload MacroSlotPayload(int keyCode, int slot, int kind, int value, const StoredMacro* macro);

// Sends a payload as 28 feature reports (07 F1, then 07 00), 16 ms before each, holding
// the link for the whole sequence. A failed report does not stop it.
void SendMacroPayload(DeviceLink& link, const MacroPayload& payload);
void SendMacroSlot(DeviceLink& link, int keyCode, int slot, int kind, int value, const StoredMacro* macro);

// A key's assignment row: its kind and value (macro_value).
struct KeyAssignment {
    int kind = 0;
    int value = 0;
};

// The remap report for a slot: 07 FA 01 slot key 01 value 01 for a key remapped by its
// row, or the freeing form 07 FA 01 slot 00 01 00 01 (no row, or a value below 1).
// False when the row is a macro, shortcut or plain key with a value: nothing is sent.
bool BuildRemapReport(int keyCode, int slot, const KeyAssignment* row, uint8_t report[8]);
void SendRemapSlot(DeviceLink& link, int keyCode, int slot, const KeyAssignment* row);

// ---------------------------------------------------------------- lighting

// One lighting row with the page state the command needs.
struct LightingSettings {
    int mode = 1; // 1-based position in the model's mode list
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorIndex = 0;
    uint32_t colorValue = 0; // 0x00BBGGRR
    int configFunc = 0;
    int optionIndex = 0; // the option list's selection (used when configFunc has 0x100)
};

std::array<uint8_t, 8> BuildWiredLightingReport(const LightingSettings& s);
std::array<uint8_t, 64> BuildWirelessLightingPayload(const LightingSettings& s);
// Wired: 07 F7 after 16 ms; wireless (kinds 1 and 2): the payload with command AA.
void SendLighting(DeviceLink& link, const LightingSettings& s, int connectionKind);

// A wireless payload: the signature BB AA 99 88 and the command byte, the rest zero.
std::array<uint8_t, 64> WirelessPayload(uint8_t command);

// Wired: 07 F0 AA after 16 ms, then 100 ms. Wireless: AA AA AA AA AA AA, 1600 ms, then
// a payload of zeros. (Reloading the pages afterwards is the caller's.)
void ResetKeyboard(DeviceLink& link, int connectionKind);

// ---------------------------------------------------------------- music level

struct MusicSettings {
    int effect = 1;       // item data of the selected music effect
    int colourIndex = 0;  // 0 to 6
    double gain = 1.0;    // gain slider position / 50
};

// level x gain, truncated, at most 255 (negative levels count as 0).
uint8_t MusicLevelValue(int level, double gain);
std::array<uint8_t, 8> BuildMusicLevelReport(int level, const MusicSettings& s);
// Sends 07 23 without a pause. The report is skipped (false) while another thread holds
// the link for a sequence: the next level follows within one capture period.
bool SendMusicLevel(DeviceLink& link, int level, const MusicSettings& s);

// ---------------------------------------------------------------- firmware version

bool QueryFirmwareVersion(DeviceLink& link, uint16_t& version);
// The version as the update check compares it: hexadecimal digits ("%x"), so 0x0105
// reads as "105".
std::wstring FirmwareVersionText(uint16_t version);

// ---------------------------------------------------------------- key colours

// A key's colour at its LED position (0x00BBGGRR: red in the low byte).
struct KeyColour {
    int position = 0;
    uint32_t colour = 0;
};

using ColourTable = std::array<uint8_t, 600>;

// 4 bytes per LED position: red, green, blue, FF. A position outside the table is skipped.
ColourTable BuildKeyColourTable(const std::vector<KeyColour>& keys);
// Eight output reports 8B, 1 ms before each, holding the link; stops at the first report
// that fails (after its retry). Returns whether all eight went out.
bool SendKeyColours(DeviceLink& link, const ColourTable& table);

// ---------------------------------------------------------------- live frames

// 3 bytes per LED position: red, green, blue. A position outside the table is skipped.
ColourTable BuildLiveFrameTable(const std::vector<KeyColour>& keys);

// Whether the start report F0 F4 01 went out in this run (once per process).
struct LiveStreamState {
    bool started = false;
};
LiveStreamState& ProcessLiveStream();

// Only for a wired connection with at least one colour value of 2 or more: the start
// report once per run (state), then six auxiliary reports F1, 1 ms before each, holding
// the link; stops at the first failure. Returns whether a frame went out completely.
bool SendLiveFrame(DeviceLink& link, const std::vector<KeyColour>& keys, int connectionKind, LiveStreamState& state);

} // namespace protocol
