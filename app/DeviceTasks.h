#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/WorkerHost.h"
#include "device/KeyboardProtocol.h"
#include "device/LegacyProtocol.h"

class DeviceLink;
class ProfileDatabase;
struct ModelLayout;

// Lighting rows, custom key colours and the music record are always stored under profile 1.
constexpr int kLightingProfile = 1;

// A key of the on-screen keyboard with its colour (0x00BBGGRR, red in the low byte).
struct PreviewKey {
    int code = 0; // the key's code in the layout
    uint32_t colour = 0;
};

// The key colours of a live lighting frame taken through the model's key grid: every cell
// of the grid's rows and columns in use that names a key gets the colour of its cell.
// The music and screen sources colour the grid this way.
std::vector<PreviewKey> GridKeyColours(const ModelLayout& layout,
                                       const std::function<uint32_t(int row, int column)>& cellColour);

// What the device tasks ask of the main window's pages. Calls come from the worker
// thread, one at a time; the main window hands the ones that change controls to its own
// thread, as it does for IWorkerHost.
class IDeviceTaskView {
public:
    virtual ~IDeviceTaskView() = default;
    // After a keyboard reset: the macro, key assignment and lighting pages reload from the
    // database. With resetMusicControls (a wired reset of the main command set) the
    // lighting page's music controls return to their start: effect entry 0, gain 100,
    // period entry 0 and then entry 2.
    virtual void ReloadPagesAfterReset(bool resetMusicControls) = 0;
    // Live lighting: lets the music or screen source recolour the preview keyboard for the
    // current mode, then returns every key of the preview with its colour.
    virtual std::vector<PreviewKey> RecolourLivePreview() = 0;
};

// The update tasks (software and firmware versions and packages), implemented with the
// update service. The firmware check reads the keyboard's version through the callback.
class IUpdateTasks {
public:
    virtual ~IUpdateTasks() = default;
    using FirmwareVersionReader = std::function<bool(uint16_t& version)>;
    virtual void CheckSoftwareUpdate() = 0;
    virtual void CheckFirmwareUpdate(const FirmwareVersionReader& readFirmwareVersion) = 0;
    virtual void DownloadSoftware() = 0;
    virtual void DownloadFirmware() = 0;
};

// The keyboard's side of the worker tasks: turns what the profile database holds into the
// keyboard's commands (both command sets) and reconciles the keyboard's slot table with
// the database. It reads the model layout for key positions, LED positions and the key
// grid, and sends everything through the device link.
//
// It also keeps the protocol state the main window sets from its pages: the current
// profile and Fn layer, the pending single-key change, the current lighting mode and
// option, the older set's mode-select flag and the music settings. Setters may be called
// from any thread.
class DeviceTasks : public IDeviceTasks {
public:
    DeviceTasks(ProfileDatabase& db, const ModelLayout& layout, DeviceLink& link, IDeviceTaskView* view = nullptr,
                IUpdateTasks* updates = nullptr);

    // --- state set by the main window
    // The profile whose keys ApplyKeys sends; 0 follows the database's active profile.
    void SetCurrentProfile(int profile);
    void SetFnLayer(int layer);
    // A single-key change for the next ApplyKeys (the key's code); 0 clears it.
    void SetPendingKey(int keyCode);
    int PendingKey() const;
    // The lighting mode ApplyLighting sends; 0 follows the database's active mode.
    void SetCurrentLightMode(int mode);
    // The index selected in the lighting page's option list (sent for modes with 0x100).
    void SetLightOptionIndex(int index);
    // The older command set selects the mode with the next lighting command (88).
    void ClearLegacyModeSelect();
    bool LegacyModeSelectFlag() const;
    void SetMusicSettings(const protocol::MusicSettings& settings);

    // The profile that the database marks active, or its first profile; 0 when it has none.
    int ActiveProfile();
    // The profile ApplyKeys sends: the current one, or the active one.
    int KeyProfile();

    // --- main command set (device types 201 to 299)
    // The current profile and Fn layer, or only the pending key. The full upload stops at
    // the keyboard's 13 macro and 10 remap slots: keys beyond stay stored, unsent.
    void UploadKeys();
    // The current lighting row: 07 F7 over a cable, the wireless payload otherwise.
    void SendLighting();
    // The reset command in the form of the connection.
    void ResetKeyboard();

    // --- older command set (device types up to 200)
    void SendLegacyKeyMap(); // the macros and shortcuts first, then the key map
    void SendLegacyLighting();
    // The lighting preview (07 FF) of the current row; runs on the user-interface thread.
    void SendLegacyLightPreview();

    // --- any family
    // The custom set's colours through the LED map; false when a report failed.
    bool SendKeyColours();
    // The music level (07 23); runs on the audio capture thread. False when the report
    // failed or was skipped while a command sequence held the link.
    bool SendMusicLevel(int level);
    // The firmware version as the update check compares it ("%x": 0x0105 gives "105").
    bool ReadFirmwareVersion(uint16_t& version);
    bool ReadFirmwareVersionText(std::wstring& text);

    // --- IDeviceTasks (worker thread)
    // After a complete read of the keyboard's slot table only, against the active profile:
    // assignments whose key holds no slot are removed; a keyboard holding no key at all
    // removes every assignment of that profile. False when nothing was reconciled.
    bool Reconcile();
    void ReconcileAssignments() override { Reconcile(); }
    void ApplyKeys(int family) override;
    void ApplyLighting(int family) override;
    void ApplyKeyColours() override { SendKeyColours(); }
    // The reset, the page reloads, then the keys and the lighting the database now holds.
    void FactoryReset(int family) override;
    void SendLiveFrame() override;
    void CheckSoftwareUpdate() override;
    void CheckFirmwareUpdate() override;
    void DownloadSoftware() override;
    void DownloadFirmware() override;

private:
    int FnLayer() const;
    int TakePendingKey();
    bool CurrentLightingSettings(protocol::LightingSettings& settings);
    protocol::StoredMacro ReadMacro(int macroId);
    void SendMacroSlot(int keyCode, int slot, int kind, int value);
    void SendRemapSlot(int profile, int layer, int keyCode, int slot);
    void UploadSingleKey(int profile, int layer, int keyCode, const protocol::SlotTable& table);
    void UploadAllKeys(int profile, int layer, const protocol::SlotTable& table);
    std::vector<protocol::KeyColour> ThroughLedMap(const std::vector<PreviewKey>& keys) const;

    ProfileDatabase& db_;
    const ModelLayout& layout_;
    DeviceLink& link_;
    IDeviceTaskView* view_;
    IUpdateTasks* updates_;

    mutable std::mutex stateMutex_;
    int currentProfile_ = 0;
    int fnLayer_ = 0;
    int pendingKey_ = 0;
    int currentLightMode_ = 0;
    int lightOptionIndex_ = 0;
    protocol::LegacyLightingState legacyLighting_;
    protocol::MusicSettings music_;
};
