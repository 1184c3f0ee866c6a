#pragma once
#include <memory>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "device/SupportedDevice.h"
#include "device/VirtualKeyboard.h"

// The program switches of the device link (environment variables; the command line is
// not read):
//   TASTRO_VIRTUAL_KEYBOARD  a comma list of wired, wireless1, wireless2, legacy: use the
//                            virtual keyboard, attached in these ways, instead of real HID
//   TASTRO_HID_TRACE         a file that every transfer is appended to, one line each
//   TASTRO_VIRTUAL_STATE     a JSON file the virtual keyboard rewrites after every change
struct HidBackendSwitches {
    std::wstring virtualKeyboard;
    std::wstring traceFile;
    std::wstring stateFile;
};

HidBackendSwitches ReadHidBackendSwitches();

// The connections named by a TASTRO_VIRTUAL_KEYBOARD value (case and spaces ignored), in
// order; words that name no connection are returned in `unknown`.
std::vector<VirtualConnection> ParseVirtualConnections(const std::wstring& value, std::vector<std::wstring>* unknown);

// The USB identity the virtual keyboard shows for a connection: that of the first
// supported entry of the same connection kind in the matching family (device types 201
// to 299 for wired and both wireless kinds; up to 200, connected by cable, for legacy).
bool VirtualIdentityFor(VirtualConnection connection, const std::vector<SupportedDevice>& supported,
                        VirtualIdentity& identity);

// A virtual keyboard attached in the named ways (a connection without a supported identity
// is left out: no supported keyboard of that kind is described).
std::shared_ptr<VirtualKeyboard> CreateVirtualKeyboard(const std::wstring& connections,
                                                       const std::vector<SupportedDevice>& supported);

// The backend the switches select: the virtual keyboard or the real HID devices, traced
// when a trace file is named.
std::shared_ptr<IHidBackend> CreateHidBackend(const HidBackendSwitches& switches,
                                              const std::vector<SupportedDevice>& supported);

std::shared_ptr<IHidBackend> CreateHidBackendFromEnvironment(const std::vector<SupportedDevice>& supported);
