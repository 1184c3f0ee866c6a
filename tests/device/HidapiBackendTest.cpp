// The real backend under Wine: our own enumeration and hidapi's open.
#include <gtest/gtest.h>

#include <windows.h>

#include <hidapi_winapi.h>

#include <string>

#include "device/DeviceLink.h"
#include "device/HidapiBackend.h"

TEST(HidPaths, InterfaceNumber)
{
    struct Case {
        const char* path;
        int number;
    } cases[] = {
        {"\\\\?\\hid#vid_046d&pid_c52b&mi_02#8&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", 2},
        {"\\\\?\\HID#VID_046D&PID_C52B&MI_0A#8&1", 10},
        {"\\\\?\\hid#vid_046d&pid_c52b&mi_03&col01#8&1", 3},
        {"\\\\?\\hid#vid_046d&pid_c52b&mi_#8&1", -1},
        {"\\\\?\\hid#vid_046d&pid_c52b&mi_zz#8&1", -1},
        {"\\\\?\\hid#vid_046d&pid_c52b#8&1", -1},
        {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseInterfaceNumber(c.path), c.number) << c.path;
    EXPECT_EQ(UpperCasePath("\\\\?\\hid#vid_0a&mi_03#x"), "\\\\?\\HID#VID_0A&MI_03#X");
}

TEST(HidapiBackend, EnumeratesTheMachineWithoutStrings)
{
    ASSERT_TRUE(LoadHidSystemLibrary());
    HidapiBackend backend;
    const std::vector<HidDeviceInfo> list = backend.Enumerate();
    for (const HidDeviceInfo& info : list) {
        EXPECT_FALSE(info.path.empty());
        EXPECT_TRUE(info.product.empty());
        EXPECT_EQ(info.interfaceNumber, ParseInterfaceNumber(info.path));
    }
    RecordProperty("interfaces", static_cast<int>(list.size()));
    EXPECT_EQ(backend.Open("\\\\?\\hid#vid_fffe&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}"), nullptr);
}

TEST(HidapiBackend, LinkWithoutAKeyboardStaysQuiet)
{
    DeviceLink link(std::make_shared<HidapiBackend>());
    link.AddSupportedDevice(0xFFF1, 0x0201, L"", 201, 0);
    link.Rescan();
    link.SetCurrentDeviceType(201);
    std::vector<HidInterface> list;
    EXPECT_FALSE(link.CollectInterfaces(list));
    EXPECT_TRUE(link.IsOpened());
    const uint8_t report[8] = {0x07, 0xF7};
    EXPECT_FALSE(link.SendFeature(report));
    EXPECT_EQ(link.GetConnectionKind(), -1);
}

// Every hidapi transfer waits through this: a request that does not complete in time is
// cancelled, and its OVERLAPPED is free again when the wait returns. A named pipe read
// stands in for a device that does not answer.
TEST(HidapiBoundedWait, CancelsARequestThatDoesNotComplete)
{
    const std::wstring name = L"\\\\.\\pipe\\tastro-bounded-wait-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 64, 64,
                                     0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    HANDLE client = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);

    OVERLAPPED ol = {};
    ol.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    char buffer[8] = {};
    DWORD bytes = 123;
    ASSERT_FALSE(ReadFile(client, buffer, sizeof buffer, nullptr, &ol));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    EXPECT_FALSE(hid_winapi_wait_bounded(client, &ol, &bytes, 50));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(bytes, 0u);
    EXPECT_NE(ol.Internal, static_cast<ULONG_PTR>(STATUS_PENDING)); // the request is over

    // What the other end writes later is not lost to the cancelled read.
    OVERLAPPED wol = {};
    wol.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    if (!WriteFile(server, "abc", 3, nullptr, &wol)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    }
    ASSERT_TRUE(hid_winapi_wait_bounded(server, &wol, &written, 1000));
    EXPECT_EQ(written, 3u);

    ResetEvent(ol.hEvent);
    if (!ReadFile(client, buffer, sizeof buffer, nullptr, &ol)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    }
    ASSERT_TRUE(hid_winapi_wait_bounded(client, &ol, &bytes, 1000));
    EXPECT_EQ(bytes, 3u);
    EXPECT_EQ(std::string(buffer, 3), "abc");

    CloseHandle(wol.hEvent);
    CloseHandle(ol.hEvent);
    CloseHandle(client);
    CloseHandle(server);
}
