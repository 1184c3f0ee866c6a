#pragma once
#include "device/HidBackend.h"

// The machine's HID devices. Enumeration is our own: SetupAPI over the HID interface
// class, then for each interface an attribute-only open, HidD_GetAttributes and the
// top-level collection's usage (HidD_GetPreparsedData, HidP_GetCaps), with "hid.dll"
// loaded at run time. It reads no strings from the devices. Opening and transfers go
// through hidapi's Windows backend, whose waits are bounded (1000 ms, then the pending
// request is cancelled and the transfer fails).
class HidapiBackend : public IHidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;

    std::vector<HidDeviceInfo> Enumerate() override;
    HidHandle Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    int Write(HidHandle handle, const uint8_t* data, size_t length) override;
    int SendFeature(HidHandle handle, const uint8_t* data, size_t length) override;
    int GetFeature(HidHandle handle, uint8_t* data, size_t length) override;
};

// Whether "hid.dll" and every function the enumeration needs could be loaded. A failed
// load releases the library again; the next call tries anew.
bool LoadHidSystemLibrary();
