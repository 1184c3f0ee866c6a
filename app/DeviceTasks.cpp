#include "app/DeviceTasks.h"

#include <algorithm>
#include <set>

#include "device/DeviceLink.h"
#include "device/PauseClock.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"

namespace {

constexpr unsigned kBetweenKeysMs = 16;
constexpr unsigned kAfterSingleKeyReadMs = 100;

bool IsMainFamily(int family) { return family >= 201 && family <= 299; }
bool IsLegacyFamily(int family) { return family <= 200; }

bool IsMacroSlotKind(int kind) { return kind == protocol::kKindMacro || kind == protocol::kKindShortcut; }

protocol::LightingSettings SettingsOf(const LightRow& row, int optionIndex)
{
    protocol::LightingSettings s;
    s.mode = row.mode;
    s.brightness = row.brightness;
    s.speed = row.speed;
    s.direction = row.direction;
    s.colorful = row.colorful;
    s.colorIndex = row.colorindex;
    s.colorValue = static_cast<uint32_t>(row.color_value);
    s.configFunc = row.config_func;
    s.optionIndex = optionIndex;
    return s;
}

} // namespace

std::vector<PreviewKey> GridKeyColours(const ModelLayout& layout,
                                       const std::function<uint32_t(int row, int column)>& cellColour)
{
    std::vector<PreviewKey> keys;
    const int rows = std::clamp(layout.rowCount, 0, ModelLayout::kGridRows);
    const int columns = std::clamp(layout.colCount, 0, ModelLayout::kGridColumns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const uint8_t code = layout.keyGrid[r][c];
            if (code != ModelLayout::kNoKey)
                keys.push_back({code, cellColour(r, c)});
        }
    }
    return keys;
}

DeviceTasks::DeviceTasks(ProfileDatabase& db, const ModelLayout& layout, DeviceLink& link, IDeviceTaskView* view,
                         IUpdateTasks* updates)
    : db_(db), layout_(layout), link_(link), view_(view), updates_(updates)
{
}

// ---------------------------------------------------------------- state

void DeviceTasks::SetCurrentProfile(int profile)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    currentProfile_ = profile;
}

void DeviceTasks::SetFnLayer(int layer)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    fnLayer_ = layer;
}

int DeviceTasks::FnLayer() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return fnLayer_;
}

void DeviceTasks::SetPendingKey(int keyCode)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    pendingKey_ = keyCode;
}

int DeviceTasks::PendingKey() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return pendingKey_;
}

int DeviceTasks::TakePendingKey()
{
    // Taken when the upload starts: a key changed while it runs stays pending for the
    // ApplyKeys queued with that change.
    std::lock_guard<std::mutex> lock(stateMutex_);
    const int key = pendingKey_;
    pendingKey_ = 0;
    return key;
}

void DeviceTasks::SetCurrentLightMode(int mode)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    currentLightMode_ = mode;
}

void DeviceTasks::SetLightOptionIndex(int index)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    lightOptionIndex_ = index;
}

void DeviceTasks::ClearLegacyModeSelect()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    legacyLighting_.modeSelectFlag = false;
}

bool DeviceTasks::LegacyModeSelectFlag() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return legacyLighting_.modeSelectFlag;
}

void DeviceTasks::SetMusicSettings(const protocol::MusicSettings& settings)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    music_ = settings;
}

int DeviceTasks::ActiveProfile()
{
    if (const int active = db_.GetActiveProfile())
        return active;
    std::vector<ProfileRow> profiles;
    if (db_.GetProfiles(profiles) > 0 && !profiles.empty())
        return profiles.front().profile;
    return 0;
}

int DeviceTasks::KeyProfile()
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (currentProfile_ > 0)
            return currentProfile_;
    }
    return ActiveProfile();
}

// ---------------------------------------------------------------- key slots

protocol::StoredMacro DeviceTasks::ReadMacro(int macroId)
{
    protocol::StoredMacro macro;
    MacroRow row;
    if (db_.GetMacro(macroId, row)) {
        macro.found = true;
        macro.playTimes = row.play_times;
    }
    // The events go out even when the macro row itself cannot be read.
    std::vector<MacroEventRow> events;
    db_.GetMacroEvents(macroId, events);
    for (const MacroEventRow& e : events)
        macro.events.push_back({e.type, e.value, e.delay_time});
    return macro;
}

void DeviceTasks::SendMacroSlot(int keyCode, int slot, int kind, int value)
{
    if (kind == protocol::kKindMacro) {
        const protocol::StoredMacro macro = ReadMacro(value);
        protocol::SendMacroSlot(link_, keyCode, slot, kind, value, &macro);
    } else {
        protocol::SendMacroSlot(link_, keyCode, slot, kind, value, nullptr);
    }
}

void DeviceTasks::SendRemapSlot(int profile, int layer, int keyCode, int slot)
{
    KeyMacroRow row;
    if (db_.GetKeyAssignment(profile, layer, keyCode, row)) {
        const protocol::KeyAssignment assignment{row.macro_type, row.macro_value};
        protocol::SendRemapSlot(link_, keyCode, slot, &assignment);
    } else {
        protocol::SendRemapSlot(link_, keyCode, slot, nullptr);
    }
}

void DeviceTasks::UploadKeys()
{
    const int profile = KeyProfile();
    const int layer = FnLayer();
    const int pending = TakePendingKey();
    protocol::SlotTable table;
    protocol::ReadSlotTable(link_, table);
    if (pending)
        UploadSingleKey(profile, layer, pending, table);
    else
        UploadAllKeys(profile, layer, table);
}

void DeviceTasks::UploadSingleKey(int profile, int layer, int keyCode, const protocol::SlotTable& table)
{
    Pause(kAfterSingleKeyReadMs);
    KeyMacroRow row;
    const bool found = db_.GetKeyAssignment(profile, layer, keyCode, row);
    const int kind = found ? row.macro_type : protocol::kKindNone;
    const int value = found ? row.macro_value : 0;
    if (IsMacroSlotKind(kind)) {
        SendMacroSlot(keyCode, protocol::ChooseMacroSlot(table, keyCode), kind, value);
    } else if (kind == kAssignDisabled || kind == kAssignFunction) {
        SendRemapSlot(profile, layer, keyCode, protocol::ChooseRemapSlot(table, keyCode));
    } else {
        // Whatever slot the key held goes back to the keyboard's own function.
        if (const int slot = protocol::MacroSlotHolding(table, keyCode))
            SendMacroSlot(keyCode, slot, kind, value);
        if (const int slot = protocol::RemapSlotHolding(table, keyCode))
            SendRemapSlot(profile, layer, keyCode, slot);
    }
}

void DeviceTasks::UploadAllKeys(int profile, int layer, const protocol::SlotTable& table)
{
    for (int s = 1; s <= protocol::kMacroSlots; ++s) {
        if (table.macroKeys[s - 1]) {
            Pause(kBetweenKeysMs);
            SendMacroSlot(table.macroKeys[s - 1], s, protocol::kKindNone, 0);
        }
    }
    for (int s = 1; s <= protocol::kRemapSlots; ++s) {
        if (table.remapKeys[s - 1]) {
            Pause(kBetweenKeysMs);
            SendRemapSlot(profile, layer, 0, s); // no row has key code 0: frees the slot
        }
    }
    std::vector<KeyMacroRow> rows;
    db_.GetKeyAssignments(profile, layer, rows);
    int macroSlot = 1;
    int remapSlot = 1;
    for (const KeyMacroRow& row : rows) {
        if (row.macro_type == protocol::kKindNone)
            continue;
        if (IsMacroSlotKind(row.macro_type)) {
            // The keyboard has 13 macro slots: later keys stay stored but are not sent.
            if (macroSlot > protocol::kMacroSlots)
                continue;
            Pause(kBetweenKeysMs);
            SendMacroSlot(row.key_code, macroSlot++, row.macro_type, row.macro_value);
        } else {
            if (remapSlot > protocol::kRemapSlots)
                continue;
            Pause(kBetweenKeysMs);
            SendRemapSlot(profile, layer, row.key_code, remapSlot++);
        }
    }
}

bool DeviceTasks::Reconcile()
{
    protocol::SlotTable table;
    // A table that did not arrive completely says nothing about the keyboard's keys.
    if (!protocol::ReadSlotTable(link_, table))
        return false;
    const int profile = ActiveProfile();
    if (profile <= 0)
        return false;
    std::set<int> held(table.macroKeys.begin(), table.macroKeys.end());
    held.insert(table.remapKeys.begin(), table.remapKeys.end());
    held.erase(0);
    if (held.empty())
        return db_.ClearKeyAssignments(profile);

    const int layer = FnLayer();
    std::vector<KeyMacroRow> rows;
    db_.GetKeyAssignments(profile, layer, rows);
    bool ok = true;
    for (const KeyMacroRow& row : rows) {
        if (held.count(row.key_code))
            continue;
        KeyMacroRow fresh; // default row: storing it removes the assignment
        fresh.profile = profile;
        fresh.fn_layer = layer;
        fresh.key_code = row.key_code;
        db_.SetKeyAssignment(fresh);
        KeyMacroRow left;
        ok &= !db_.GetKeyAssignment(profile, layer, row.key_code, left);
    }
    return ok;
}

// ---------------------------------------------------------------- lighting

bool DeviceTasks::CurrentLightingSettings(protocol::LightingSettings& settings)
{
    int mode;
    int option;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        mode = currentLightMode_;
        option = lightOptionIndex_;
    }
    if (mode <= 0)
        mode = db_.GetActiveLightMode(kLightingProfile);
    LightRow row;
    if (mode <= 0 || !db_.GetLightMode(kLightingProfile, mode, row))
        return false;
    settings = SettingsOf(row, option);
    return true;
}

void DeviceTasks::SendLighting()
{
    protocol::LightingSettings s;
    if (CurrentLightingSettings(s))
        protocol::SendLighting(link_, s, link_.GetConnectionKind());
}

void DeviceTasks::ResetKeyboard() { protocol::ResetKeyboard(link_, link_.GetConnectionKind()); }

// ---------------------------------------------------------------- older command set

void DeviceTasks::SendLegacyKeyMap()
{
    const int profile = KeyProfile();
    const int layer = FnLayer();
    std::vector<KeyMacroRow> rows;
    db_.GetKeyAssignments(profile, layer, rows);
    std::vector<protocol::LegacyAssignment> assignments;
    for (const KeyMacroRow& row : rows) {
        protocol::LegacyAssignment a;
        a.keyCode = row.key_code;
        // A key the layout does not place has no slot in the key map: it is left out
        // rather than written over position 0.
        a.position = layout_.KeyIndexOf(row.key_code);
        a.kind = row.macro_type;
        a.value = row.macro_value;
        if (row.macro_type == protocol::kKindMacro) {
            const protocol::StoredMacro macro = ReadMacro(row.macro_value);
            a.playTimes = macro.playTimes;
            a.events = macro.events;
        }
        assignments.push_back(std::move(a));
    }
    protocol::SendLegacyKeyMap(link_, assignments);
}

void DeviceTasks::SendLegacyLighting()
{
    protocol::LightingSettings s;
    if (!CurrentLightingSettings(s))
        return;
    protocol::LegacyLightingState state;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        state = legacyLighting_;
    }
    protocol::SendLegacyLighting(link_, s, state);
    std::lock_guard<std::mutex> lock(stateMutex_);
    legacyLighting_.modeSelectFlag = true;
}

void DeviceTasks::SendLegacyLightPreview()
{
    protocol::LightingSettings s;
    if (CurrentLightingSettings(s))
        protocol::SendLegacyLightPreview(link_, s);
}

// ---------------------------------------------------------------- any family

std::vector<protocol::KeyColour> DeviceTasks::ThroughLedMap(const std::vector<PreviewKey>& keys) const
{
    std::vector<protocol::KeyColour> out;
    out.reserve(keys.size());
    for (const PreviewKey& k : keys) {
        // A key without an LED position is skipped (it would land on position 0).
        auto it = layout_.ledMap.find(k.code);
        if (it != layout_.ledMap.end())
            out.push_back({it->second, k.colour});
    }
    return out;
}

bool DeviceTasks::SendKeyColours()
{
    std::vector<KeyLightRow> rows;
    db_.GetKeyLights(ProfileDatabase::kCustomLightSet, rows);
    std::vector<PreviewKey> keys;
    for (const KeyLightRow& row : rows)
        keys.push_back({row.key_code, static_cast<uint32_t>(row.key_rgb)});
    return protocol::SendKeyColours(link_, protocol::BuildKeyColourTable(ThroughLedMap(keys)));
}

bool DeviceTasks::SendMusicLevel(int level)
{
    protocol::MusicSettings settings;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        settings = music_;
    }
    return protocol::SendMusicLevel(link_, level, settings);
}

bool DeviceTasks::ReadFirmwareVersion(uint16_t& version) { return protocol::QueryFirmwareVersion(link_, version); }

bool DeviceTasks::ReadFirmwareVersionText(std::wstring& text)
{
    uint16_t version = 0;
    if (!ReadFirmwareVersion(version))
        return false;
    text = protocol::FirmwareVersionText(version);
    return true;
}

void DeviceTasks::SendLiveFrame()
{
    if (!view_)
        return;
    const std::vector<PreviewKey> preview = view_->RecolourLivePreview();
    protocol::SendLiveFrame(link_, ThroughLedMap(preview), link_.GetConnectionKind(), protocol::ProcessLiveStream());
}

// ---------------------------------------------------------------- worker tasks

void DeviceTasks::ApplyKeys(int family)
{
    if (IsMainFamily(family))
        UploadKeys();
    else if (IsLegacyFamily(family))
        SendLegacyKeyMap();
}

void DeviceTasks::ApplyLighting(int family)
{
    if (IsMainFamily(family))
        SendLighting();
    else if (IsLegacyFamily(family))
        SendLegacyLighting();
}

void DeviceTasks::FactoryReset(int family)
{
    bool wiredMainSet = false;
    if (IsMainFamily(family)) {
        const int kind = link_.GetConnectionKind();
        wiredMainSet = kind != kConnectionWireless1 && kind != kConnectionWireless2;
        protocol::ResetKeyboard(link_, kind);
    } else if (IsLegacyFamily(family)) {
        protocol::ResetLegacyKeyboard(link_);
    } else {
        return;
    }
    // The reloads write the defaults of a fresh database (profiles, lighting rows); the
    // keyboard then gets what the database holds, so both agree after the reset.
    if (view_)
        view_->ReloadPagesAfterReset(wiredMainSet);
    SetPendingKey(0);
    ApplyKeys(family);
    ApplyLighting(family);
}

void DeviceTasks::CheckSoftwareUpdate()
{
    if (updates_)
        updates_->CheckSoftwareUpdate();
}

void DeviceTasks::CheckFirmwareUpdate()
{
    if (updates_)
        updates_->CheckFirmwareUpdate([this](uint16_t& version) { return ReadFirmwareVersion(version); });
}

void DeviceTasks::DownloadSoftware()
{
    if (updates_)
        updates_->DownloadSoftware();
}

void DeviceTasks::DownloadFirmware()
{
    if (updates_)
        updates_->DownloadFirmware();
}
