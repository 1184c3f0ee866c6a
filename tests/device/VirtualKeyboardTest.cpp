// The virtual keyboard itself: what it presents, how it fails, what its firmware keeps
// and the state file it writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "device/KeyboardProtocol.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

using namespace protocol;
using namespace testsupport;

namespace {

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(VirtualKeyboard, PresentsEachConnectionsInterfaces)
{
    VirtualKeyboard k;
    const int wired = k.AddConnection(VirtualConnection::Wired, RigIdentity(VirtualConnection::Wired));
    k.AddConnection(VirtualConnection::Wireless1, RigIdentity(VirtualConnection::Wireless1));
    k.AddConnection(VirtualConnection::Legacy, RigIdentity(VirtualConnection::Legacy));
    const auto all = k.Enumerate();
    EXPECT_EQ(all.size(), 4u + 2u + 3u);
    for (const HidDeviceInfo& info : all) {
        EXPECT_EQ(info.interfaceNumber, ParseInterfaceNumber(info.path));
        EXPECT_TRUE(info.product.empty());
    }

    k.Unplug(wired);
    EXPECT_EQ(k.Enumerate().size(), 5u);
    EXPECT_EQ(k.Open(all[0].path), nullptr);
    k.Plug(wired);
    EXPECT_NE(k.Open(all[0].path), nullptr);
    EXPECT_EQ(k.Open("\\\\?\\hid#nothing"), nullptr);
}

TEST(VirtualKeyboard, NoticesUseOfClosedHandles)
{
    VirtualKeyboard k;
    k.AddConnection(VirtualConnection::Wired, RigIdentity(VirtualConnection::Wired));
    HidHandle h = k.Open(k.Enumerate().back().path);
    ASSERT_NE(h, nullptr);
    k.Close(h);
    const uint8_t report[8] = {0x07, 0xF7};
    EXPECT_LT(k.SendFeature(h, report, 8), 0);
    k.Close(h);
    EXPECT_EQ(k.ClosedHandleUses(), 2);
    ASSERT_EQ(k.Transfers().size(), 1u);
    EXPECT_TRUE(k.Transfers()[0].onClosedHandle);
}

TEST(VirtualKeyboard, FirmwareIgnoresStrayPiecesAndCountsInterruptions)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    const uint8_t stray[8] = {0x07, 0x00, 1, 2, 3, 4, 5, 6};
    rig.link.SendFeature(stray);
    const uint8_t first[8] = {0x07, 0xF1, 0x01, 0x03, 0x2C, 0x01, 0, 0};
    const uint8_t music[8] = {0x07, 0x23, 0x45, 0x67, 0x89, 1, 0, 9};
    rig.link.SendFeature(first);
    rig.link.SendFeature(music);
    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.unknownReports, 1);
    EXPECT_EQ(s.interruptedMacroAssemblies, 1);
    EXPECT_EQ(s.macroSlots[2], 0); // not complete
}

TEST(VirtualKeyboard, WirelessResetNeedsBothPayloads)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wireless2);
    rig.Scan();
    const auto zeros = WirelessPayload(0x00);
    rig.link.WriteWirelessPayload(zeros.data());
    EXPECT_EQ(rig.keyboard->State().resetCount, 0);
    ResetKeyboard(rig.link, kConnectionWireless2);
    EXPECT_EQ(rig.keyboard->State().resetCount, 1);
}

TEST(VirtualKeyboard, StateFileFollowsEveryChange)
{
    const std::wstring folder = MakeTempFolder(L"vkstate");
    const std::wstring file = folder + L"\\state.json";
    {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wired);
        rig.keyboard->SetStateFile(file);
        rig.keyboard->SetFirmwareVersion(0x0213);
        rig.Scan();
        std::string json = ReadFile(file);
        EXPECT_NE(json.find("\"firmware_version\": \"0213\""), std::string::npos) << json;
        EXPECT_NE(json.find("\"lighting\": null"), std::string::npos);

        SendMacroSlot(rig.link, 0x2C, 2, kKindShortcut, 1, nullptr);
        LightingSettings light;
        light.mode = 4;
        light.colorValue = 0x00336699;
        SendLighting(rig.link, light, kConnectionWired);
        json = ReadFile(file);
        EXPECT_NE(json.find("\"macro_slots\": [0,44,0,"), std::string::npos) << json;
        EXPECT_NE(json.find("{\"slot\": 2, \"key\": 44, \"payload\": \"01 02 2C 01 E0 01 04 01"), std::string::npos);
        EXPECT_NE(json.find("\"form\": \"wired\", \"mode\": 3"), std::string::npos);
        EXPECT_NE(json.find("\"red\": 153, \"green\": 102"), std::string::npos);

        ResetKeyboard(rig.link, kConnectionWired);
        json = ReadFile(file);
        EXPECT_NE(json.find("\"reset_count\": 1"), std::string::npos);
        EXPECT_NE(json.find("\"macros\": []"), std::string::npos);
        EXPECT_EQ(json.front(), '{');
        EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    }
    // No temporary file is left behind.
    EXPECT_EQ(GetFileAttributesW((file + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveTree(folder);
}

TEST(VirtualKeyboard, UnwritableStateFileLeavesTheKeyboardWorking)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.keyboard->SetStateFile(L"Z:\\no\\such\\folder\\state.json");
    rig.Scan();
    const KeyAssignment remap{2, 4};
    SendRemapSlot(rig.link, 0x30, 1, &remap);
    EXPECT_EQ(rig.keyboard->State().remapSlots[0], 0x30);
}
