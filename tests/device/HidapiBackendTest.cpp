// The real backend under Wine: our own enumeration and hidapi's open.
#include <gtest/gtest.h>

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
