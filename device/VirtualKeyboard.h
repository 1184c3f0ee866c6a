#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/HidBackend.h"

// The ways the virtual keyboard can be attached. Each presents the interfaces such a
// keyboard shows the system: a boot keyboard interface, vendor collections, and the
// command interface (plus the auxiliary "&MI_03" interface for the older command set).
enum class VirtualConnection { Wired, Wireless1, Wireless2, Legacy };

struct VirtualIdentity {
    uint16_t vid = 0;
    uint16_t pid = 0;
    int deviceType = 0; // informative: the family the identity was taken for
};

// What the virtual keyboard's firmware holds, as a program can observe it.
struct VirtualFirmwareState {
    static constexpr int kMacroSlots = 13;
    static constexpr int kRemapSlots = 10;
    static constexpr int kMacroPayloadSize = 168;

    uint16_t firmwareVersion = 0x0105;
    int resetCount = 0;
    std::array<uint8_t, kMacroSlots> macroSlots{}; // key code per macro slot (0 = free)
    std::array<std::array<uint8_t, kMacroPayloadSize>, kMacroSlots> macroPayloads{};
    std::array<uint8_t, kRemapSlots> remapSlots{}; // key code per remap slot (0 = free)
    std::array<uint8_t, kRemapSlots> remapTargets{};

    // The last lighting command: its six parameter bytes (mode colorindex direction speed
    // brightness option; for mode index 3, direction/speed/option carry red/green/blue).
    bool lightingSet = false;
    bool lightingWireless = false;
    std::array<uint8_t, 6> lighting{};

    std::array<uint8_t, 600> colourTable{}; // 8B pieces

    int musicReports = 0;
    uint8_t musicEffect = 0;
    uint8_t musicColourIndex = 0;
    uint8_t musicLevel = 0;

    // Older command set.
    int legacyResetCount = 0;
    bool legacyModeSet = false;
    uint8_t legacyMode = 0;                // 88
    bool legacyLightingSet = false;
    std::array<uint8_t, 5> legacyLighting{}; // 89: flags, red, green, blue, brightness
    std::array<uint8_t, 7> legacyPreview{};  // 07 FF: bytes 1..7
    std::array<uint8_t, 360> legacyKeyMap{};
    std::map<int, std::vector<uint8_t>> legacyMacros; // by macro number: the bytes received
    int liveStreamStarts = 0;                         // F0 F4 01
    std::array<uint8_t, 600> liveFrame{};             // F1 pieces on the auxiliary interface

    // Reports of a command the firmware does not know, and reports of other commands
    // that arrived while a macro payload was half assembled.
    int unknownReports = 0;
    int interruptedMacroAssemblies = 0;
};

// One transfer as the virtual keyboard saw it.
struct VirtualTransfer {
    uint64_t timeMs = 0;             // CurrentPauseClock().NowMs() at the transfer
    HidTransferKind kind = HidTransferKind::FeatureSet;
    std::vector<uint8_t> bytes;      // what was sent; for a read, the reply (or the request when it failed)
    int result = -1;
    int connectionId = -1;
    bool onClosedHandle = false;
};

// A HID backend that behaves like the keyboard's firmware. It can present several
// connections at once, be unplugged and plugged in again (handles opened before then
// fail like those of a vanished device), and be told to fail chosen transfers. It keeps
// a log of every transfer and, when given a state file, rewrites a small JSON picture of
// its firmware state after every change.
class VirtualKeyboard : public IHidBackend {
public:
    VirtualKeyboard();
    ~VirtualKeyboard() override;

    // Attaches a connection (plugged in); returns its id.
    int AddConnection(VirtualConnection connection, const VirtualIdentity& identity);
    void Unplug(int connectionId);
    void Plug(int connectionId);
    void UnplugAll();
    void PlugAll();
    int ConnectionCount() const;

    // The next `count` transfers of this kind (whose byte 1 equals `command`, unless it is
    // -1) fail, after `skip` matching ones went through.
    void FailTransfers(HidTransferKind kind, int count, int command = -1, int skip = 0);
    // Opening this connection's interfaces fails while set.
    void FailOpen(int connectionId, bool fail);
    // The next `count` feature reads answer with this report id in byte 0.
    void AnswerWithReportId(uint8_t reportId, int count);

    void SetFirmwareVersion(uint16_t version);
    // Rewrites this file with the firmware state after every change (empty: none).
    void SetStateFile(const std::wstring& path);

    VirtualFirmwareState State() const;
    std::vector<VirtualTransfer> Transfers() const;
    void ClearTransfers();
    int OpenHandleCount() const;
    int TotalOpens() const; // successful opens so far
    int ClosedHandleUses() const; // transfers attempted on a handle already closed

    // The JSON text written to the state file.
    std::string StateJson() const;

    // IHidBackend
    std::vector<HidDeviceInfo> Enumerate() override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    int Write(HidHandle handle, const uint8_t* data, size_t length) override;
    int SendFeature(HidHandle handle, const uint8_t* data, size_t length) override;
    int GetFeature(HidHandle handle, uint8_t* data, size_t length) override;

private:
    struct Interface {
        HidDeviceInfo info;
        bool auxiliary = false;
    };
    struct Connection {
        VirtualConnection kind = VirtualConnection::Wired;
        VirtualIdentity identity;
        std::vector<Interface> interfaces;
        bool plugged = true;
        bool failOpen = false;
        int generation = 0; // bumped by every unplug
    };
    struct OpenHandle {
        int connectionId = 0;
        int interfaceIndex = 0;
        int generation = 0;
    };
    struct FailRule {
        HidTransferKind kind;
        int command;
        int skip;
        int count;
    };
    enum class PendingReply { None, SlotTable, Version };

    // Checks the handle and the failure rules; logs the transfer. Returns the connection
    // of a usable handle, or -1 (the transfer then fails).
    int BeginTransferLocked(HidHandle handle, HidTransferKind& kind, const uint8_t* data, size_t length,
                            bool& closed);
    void LogLocked(HidTransferKind kind, const uint8_t* data, size_t length, int result, int connectionId,
                   bool closed);
    bool ShouldFailLocked(HidTransferKind kind, int command);
    void HandleFeatureLocked(const uint8_t* report);
    void HandleOutputLocked(const uint8_t* report, size_t length);
    void HandleWirelessLocked(const uint8_t* payload);
    void ResetFirmwareLocked();
    void ChangedLocked();
    std::string StateJsonLocked() const;

    mutable std::mutex mutex_;
    std::map<int, Connection> connections_;
    int nextConnectionId_ = 1;
    std::map<uintptr_t, OpenHandle> handles_;
    uintptr_t nextHandle_ = 1;
    int totalOpens_ = 0;
    std::vector<FailRule> failRules_;
    int answerReportIdCount_ = 0;
    uint8_t answerReportId_ = 7;
    std::vector<VirtualTransfer> transfers_;
    int closedHandleUses_ = 0;
    std::wstring stateFile_;

    VirtualFirmwareState state_;
    PendingReply pending_ = PendingReply::None;
    int tableCursor_ = 0;
    bool assembling_ = false;
    int assembledPieces_ = 0;
    std::array<uint8_t, VirtualFirmwareState::kMacroPayloadSize> assembly_{};
    bool wirelessResetArmed_ = false;
};
