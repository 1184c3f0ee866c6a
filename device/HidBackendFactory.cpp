#include "device/HidBackendFactory.h"

#include <windows.h>

#include "device/HidTrace.h"
#include "device/HidapiBackend.h"

namespace {

std::wstring Environment(const wchar_t* name)
{
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0)
        return std::wstring();
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, &value[0], n);
    value.resize(got < n ? got : 0);
    return value;
}

std::wstring Trimmed(const std::wstring& s)
{
    size_t a = 0, b = s.size();
    while (a < b && iswspace(s[a]))
        ++a;
    while (b > a && iswspace(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

} // namespace

HidBackendSwitches ReadHidBackendSwitches()
{
    HidBackendSwitches s;
    s.virtualKeyboard = Environment(L"TASTRO_VIRTUAL_KEYBOARD");
    s.traceFile = Environment(L"TASTRO_HID_TRACE");
    s.stateFile = Environment(L"TASTRO_VIRTUAL_STATE");
    return s;
}

std::vector<VirtualConnection> ParseVirtualConnections(const std::wstring& value, std::vector<std::wstring>* unknown)
{
    std::vector<VirtualConnection> list;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(L',', start);
        if (comma == std::wstring::npos)
            comma = value.size();
        const std::wstring word = Trimmed(value.substr(start, comma - start));
        start = comma + 1;
        if (word.empty())
            continue;
        if (lstrcmpiW(word.c_str(), L"wired") == 0)
            list.push_back(VirtualConnection::Wired);
        else if (lstrcmpiW(word.c_str(), L"wireless1") == 0)
            list.push_back(VirtualConnection::Wireless1);
        else if (lstrcmpiW(word.c_str(), L"wireless2") == 0)
            list.push_back(VirtualConnection::Wireless2);
        else if (lstrcmpiW(word.c_str(), L"legacy") == 0)
            list.push_back(VirtualConnection::Legacy);
        else if (unknown)
            unknown->push_back(word);
    }
    return list;
}

bool VirtualIdentityFor(VirtualConnection connection, const std::vector<SupportedDevice>& supported,
                        VirtualIdentity& identity)
{
    int kind = 0;
    bool mainSet = true;
    switch (connection) {
    case VirtualConnection::Wired:
        break;
    case VirtualConnection::Wireless1:
        kind = 1;
        break;
    case VirtualConnection::Wireless2:
        kind = 2;
        break;
    case VirtualConnection::Legacy:
        mainSet = false;
        break;
    }
    for (const SupportedDevice& d : supported) {
        const bool familyMatches = mainSet ? (d.deviceType >= 201 && d.deviceType <= 299) : d.deviceType <= 200;
        if (d.connectionKind == kind && familyMatches) {
            identity.vid = static_cast<uint16_t>(d.vid);
            identity.pid = static_cast<uint16_t>(d.pid);
            identity.deviceType = d.deviceType;
            return true;
        }
    }
    return false;
}

std::shared_ptr<VirtualKeyboard> CreateVirtualKeyboard(const std::wstring& connections,
                                                       const std::vector<SupportedDevice>& supported)
{
    auto keyboard = std::make_shared<VirtualKeyboard>();
    std::vector<std::wstring> unknown;
    for (VirtualConnection c : ParseVirtualConnections(connections, &unknown)) {
        VirtualIdentity identity;
        if (VirtualIdentityFor(c, supported, identity))
            keyboard->AddConnection(c, identity);
        else
            OutputDebugStringW(L"Tastro: no supported keyboard describes this virtual connection; left out\n");
    }
    for (const std::wstring& word : unknown)
        OutputDebugStringW((L"Tastro: TASTRO_VIRTUAL_KEYBOARD: unknown connection \"" + word + L"\"\n").c_str());
    return keyboard;
}

std::shared_ptr<IHidBackend> CreateHidBackend(const HidBackendSwitches& switches,
                                              const std::vector<SupportedDevice>& supported)
{
    std::shared_ptr<IHidBackend> backend;
    if (!switches.virtualKeyboard.empty()) {
        std::shared_ptr<VirtualKeyboard> keyboard = CreateVirtualKeyboard(switches.virtualKeyboard, supported);
        if (!switches.stateFile.empty())
            keyboard->SetStateFile(switches.stateFile);
        backend = keyboard;
    } else {
        backend = std::make_shared<HidapiBackend>();
    }
    if (!switches.traceFile.empty())
        backend = std::make_shared<TracingHidBackend>(backend, switches.traceFile);
    return backend;
}

std::shared_ptr<IHidBackend> CreateHidBackendFromEnvironment(const std::vector<SupportedDevice>& supported)
{
    return CreateHidBackend(ReadHidBackendSwitches(), supported);
}
