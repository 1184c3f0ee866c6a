#pragma once
#include <string>

// One USB identity under which a supported keyboard model can appear: one per connection
// mode of a keyboard in config.xml.
struct SupportedDevice {
    int vid = 0;
    int pid = 0;
    std::wstring productName;      // empty matches any product
    int deviceType = 0;            // the model's device type (command set family)
    int connectionKind = 0;        // 0 cable, 1 and 2 the two wireless kinds
    std::wstring interfacePattern; // matched against arriving interface names
};

// Receives the supported identities read from the description file. The device link
// implements it; readers of config.xml depend only on this.
class ISupportedDeviceSink {
public:
    virtual ~ISupportedDeviceSink() = default;
    virtual void AddSupportedDevice(const SupportedDevice& device) = 0;
};
