// The program switches that pick and instrument the HID backend.
#include <gtest/gtest.h>

#include <windows.h>

#include "device/HidBackendFactory.h"
#include "device/HidTrace.h"
#include "device/HidapiBackend.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

using namespace testsupport;

TEST(BackendSwitches, ConnectionList)
{
    using V = VirtualConnection;
    struct Case {
        const wchar_t* value;
        std::vector<V> connections;
        std::vector<std::wstring> unknown;
    } cases[] = {
        {L"wired", {V::Wired}, {}},
        {L" Wired , WIRELESS2 ", {V::Wired, V::Wireless2}, {}},
        {L"wireless1,legacy,legacy", {V::Wireless1, V::Legacy, V::Legacy}, {}},
        {L"bluetooth,wired,,", {V::Wired}, {L"bluetooth"}},
        {L"", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> unknown;
        EXPECT_EQ(ParseVirtualConnections(c.value, &unknown), c.connections) << c.value;
        EXPECT_EQ(unknown, c.unknown);
    }
}

TEST(BackendSwitches, IdentityOfTheFirstMatchingModel)
{
    auto entry = [](int pid, int type, int kind) {
        SupportedDevice d;
        d.vid = 0x1234;
        d.pid = pid;
        d.deviceType = type;
        d.connectionKind = kind;
        return d;
    };
    const std::vector<SupportedDevice> supported = {
        entry(0x10, 150, 0), entry(0x11, 201, 1), entry(0x12, 205, 0), entry(0x13, 301, 2), entry(0x14, 202, 0),
    };
    struct Case {
        VirtualConnection c;
        bool found;
        int pid;
        int type;
    } cases[] = {
        {VirtualConnection::Wired, true, 0x12, 205},
        {VirtualConnection::Wireless1, true, 0x11, 201},
        {VirtualConnection::Wireless2, false, 0, 0}, // only a family-301 model has kind 2
        {VirtualConnection::Legacy, true, 0x10, 150},
    };
    for (const Case& c : cases) {
        VirtualIdentity id;
        ASSERT_EQ(VirtualIdentityFor(c.c, supported, id), c.found) << static_cast<int>(c.c);
        if (c.found) {
            EXPECT_EQ(id.vid, 0x1234);
            EXPECT_EQ(id.pid, c.pid);
            EXPECT_EQ(id.deviceType, c.type);
        }
    }
    // A connection no model describes is left out.
    EXPECT_EQ(CreateVirtualKeyboard(L"wired,wireless2", supported)->ConnectionCount(), 1);
}

TEST(BackendSwitches, VirtualKeyboardTracedWithStateFile)
{
    const std::wstring folder = MakeTempFolder(L"switches");
    HidBackendSwitches s;
    s.virtualKeyboard = L"wired";
    s.traceFile = folder + L"\\trace.txt";
    s.stateFile = folder + L"\\state.json";
    {
        std::shared_ptr<IHidBackend> backend = CreateHidBackend(s, RigSupportedDevices());
        auto traced = std::dynamic_pointer_cast<TracingHidBackend>(backend);
        ASSERT_TRUE(traced);
        ASSERT_TRUE(std::dynamic_pointer_cast<VirtualKeyboard>(traced->Inner()));

        RecordingClock clock;
        ScopedPauseClock useClock(&clock);
        DeviceLink link(backend);
        for (const SupportedDevice& d : RigSupportedDevices())
            link.AddSupportedDevice(d);
        link.Rescan();
        link.SetCurrentDeviceType(kMainFamily);
        const uint8_t lighting[8] = {0x07, 0xF7, 0x02};
        EXPECT_TRUE(link.SendFeature(lighting));
    }
    EXPECT_NE(GetFileAttributesW(s.traceFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(s.stateFile.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveTree(folder);

    // Without the virtual keyboard switch: the machine's devices, untraced.
    EXPECT_TRUE(std::dynamic_pointer_cast<HidapiBackend>(CreateHidBackend(HidBackendSwitches(), {})));
}

TEST(BackendSwitches, ReadFromTheEnvironment)
{
    SetEnvironmentVariableW(L"TASTRO_VIRTUAL_KEYBOARD", L"wired,legacy");
    SetEnvironmentVariableW(L"TASTRO_HID_TRACE", L"C:\\trace.txt");
    SetEnvironmentVariableW(L"TASTRO_VIRTUAL_STATE", nullptr);
    const HidBackendSwitches s = ReadHidBackendSwitches();
    EXPECT_EQ(s.virtualKeyboard, L"wired,legacy");
    EXPECT_EQ(s.traceFile, L"C:\\trace.txt");
    EXPECT_TRUE(s.stateFile.empty());
    SetEnvironmentVariableW(L"TASTRO_VIRTUAL_KEYBOARD", nullptr);
    SetEnvironmentVariableW(L"TASTRO_HID_TRACE", nullptr);
}
