#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The kinds of transfer, as the HID trace names them: feature-set, feature-get, output
// (to a command interface) and aux-output (to the auxiliary "&MI_03" interface).
enum class HidTransferKind { FeatureSet, FeatureGet, Output, AuxOutput };
const char* TransferKindName(HidTransferKind kind);

// One HID interface as enumeration found it. No strings are read from devices, so the
// product string stays empty.
struct HidDeviceInfo {
    std::string path; // the device path as enumerated (not upper-cased)
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t release = 0;
    uint16_t usagePage = 0; // of the top-level collection; 0 when the caps were unreadable
    uint16_t usage = 0;
    int interfaceNumber = -1; // the hex digits after "&mi_" in the path; -1 when absent
    std::wstring product;
};

// An opened interface. Each backend gives it its own meaning; callers only pass it back.
struct HidDeviceTag;
using HidHandle = HidDeviceTag*;

// The seam between the device link and the machine's HID devices: the real backend (our
// enumeration plus hidapi) or the virtual keyboard. Transfer results follow hidapi: the
// number of bytes moved, or -1 on failure (a wait that ran out counts as a failure).
class IHidBackend {
public:
    virtual ~IHidBackend() = default;
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // nullptr when the interface cannot be opened.
    virtual HidHandle Open(const std::string& path) = 0;
    virtual void Close(HidHandle handle) = 0;
    // An output report; data[0] is the report id.
    virtual int Write(HidHandle handle, const uint8_t* data, size_t length) = 0;
    // A feature report; data[0] is the report id.
    virtual int SendFeature(HidHandle handle, const uint8_t* data, size_t length) = 0;
    // Reads the feature report selected by data[0] into data.
    virtual int GetFeature(HidHandle handle, uint8_t* data, size_t length) = 0;
};

// The interface number in a device path: the hexadecimal digits after "&mi_" (any case),
// -1 when there is none or they do not parse.
int ParseInterfaceNumber(const std::string& path);

// Upper-cases ASCII letters of a device path (paths are ASCII; other bytes are kept).
std::string UpperCasePath(const std::string& path);
