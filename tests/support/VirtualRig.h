#pragma once
// A device link wired to a virtual keyboard under a recording clock, with helpers that
// render the keyboard's transfer log for exact comparisons.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "device/VirtualKeyboard.h"
#include "support/RecordingClock.h"

namespace testsupport {

// The identities the rig's supported list describes.
constexpr uint16_t kRigVid = 0xFFF1;
constexpr uint16_t kWiredPid = 0x0201;
constexpr uint16_t kWireless1Pid = 0x0202;
constexpr uint16_t kWireless2Pid = 0x0203;
constexpr uint16_t kLegacyPid = 0x0100;
constexpr int kMainFamily = 201;
constexpr int kLegacyFamily = 100;

inline std::vector<SupportedDevice> RigSupportedDevices()
{
    auto entry = [](uint16_t pid, int type, int kind) {
        SupportedDevice d;
        d.vid = kRigVid;
        d.pid = pid;
        d.deviceType = type;
        d.connectionKind = kind;
        return d;
    };
    return {entry(kWiredPid, kMainFamily, 0), entry(kWireless1Pid, kMainFamily, 1),
            entry(kWireless2Pid, kMainFamily, 2), entry(kLegacyPid, kLegacyFamily, 0)};
}

inline VirtualIdentity RigIdentity(VirtualConnection c)
{
    switch (c) {
    case VirtualConnection::Wired:
        return {kRigVid, kWiredPid, kMainFamily};
    case VirtualConnection::Wireless1:
        return {kRigVid, kWireless1Pid, kMainFamily};
    case VirtualConnection::Wireless2:
        return {kRigVid, kWireless2Pid, kMainFamily};
    case VirtualConnection::Legacy:
        break;
    }
    return {kRigVid, kLegacyPid, kLegacyFamily};
}

inline std::string Hex(const uint8_t* data, size_t length)
{
    std::string out;
    char b[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", data[i]);
        out += b;
    }
    return out;
}

inline std::string Hex(const std::vector<uint8_t>& bytes, size_t length = 8)
{
    return Hex(bytes.data(), std::min(length, bytes.size()));
}

// "<ms> <kind> <first bytes>" per transfer, plus " FAILED" for a failed one. Output reports
// show their first `outputBytes` bytes.
inline std::vector<std::string> Script(const std::vector<VirtualTransfer>& transfers, size_t outputBytes = 8)
{
    std::vector<std::string> lines;
    for (const VirtualTransfer& t : transfers) {
        const bool output = t.kind == HidTransferKind::Output || t.kind == HidTransferKind::AuxOutput;
        std::string line = std::to_string(t.timeMs) + " " + TransferKindName(t.kind) + " " +
                           Hex(t.bytes, output ? outputBytes : 8);
        if (t.result < 0)
            line += " FAILED";
        lines.push_back(line);
    }
    return lines;
}

struct VirtualRig {
    RecordingClock clock;
    ScopedPauseClock scopedClock{&clock};
    std::shared_ptr<VirtualKeyboard> keyboard = std::make_shared<VirtualKeyboard>();
    DeviceLink link{keyboard};

    VirtualRig()
    {
        for (const SupportedDevice& d : RigSupportedDevices())
            link.AddSupportedDevice(d);
    }

    int Attach(VirtualConnection c) { return keyboard->AddConnection(c, RigIdentity(c)); }

    // Rescans and selects the device type, as the post-scan step does; then forgets what
    // the scan itself logged and paused, so that tests see only their own transfers.
    void Scan(int deviceType = kMainFamily)
    {
        link.Rescan();
        link.SetCurrentDeviceType(deviceType);
        Reset();
    }

    void Reset()
    {
        keyboard->ClearTransfers();
        clock.Clear();
    }

    std::vector<std::string> Wire(size_t outputBytes = 8) { return Script(keyboard->Transfers(), outputBytes); }
};

} // namespace testsupport
