// The device link over the virtual keyboard: which interfaces a scan keeps, which one
// commands go to, and the transfers with their pauses, retries and failures.
#include <gtest/gtest.h>

#include <cstring>

#include "device/DeviceLink.h"
#include "support/VirtualRig.h"

using namespace testsupport;

namespace {

// The connection kind of the interface ActiveHandle picked, or -2 for none.
int ActiveKind(DeviceLink& link)
{
    HidHandle active = link.ActiveHandle();
    std::vector<HidInterface> list;
    const int previousType = link.CurrentDeviceType();
    link.SetCurrentDeviceType(0);
    link.CollectInterfaces(list);
    link.SetCurrentDeviceType(previousType);
    link.ActiveHandle();
    for (const HidInterface& rec : list) {
        if (rec.handle == active)
            return rec.connectionKind;
    }
    return -2;
}

} // namespace

TEST(DeviceLinkSupported, MatchesOnIdsAndProductName)
{
    DeviceLink link(std::make_shared<VirtualKeyboard>());
    link.AddSupportedDevice(0x1111, 0x2222, L"", 201, 0);
    link.AddSupportedDevice(0x1111, 0x3333, L"Board", 202, 1);
    link.AddSupportedDevice(0x1111, 0x2222, L"", 205, 2); // a second entry of the same ids

    struct Case {
        int vid, pid;
        const wchar_t* product;
        bool supported;
    } cases[] = {
        {0x1111, 0x2222, L"", true},       // empty name matches any product
        {0x1111, 0x2222, L"Other", true},
        {0x1111, 0x3333, L"", false},      // named entries never match an empty product string
        {0x1111, 0x3333, L"Board", true},
        {0x1111, 0x3333, L"board", false}, // exact, case-sensitive
        {0x1111, 0x4444, L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(link.IsSupported(c.vid, c.pid, c.product), c.supported) << std::hex << c.pid;

    // The first entry with the ids decides.
    EXPECT_EQ(link.DeviceTypeOf(0x1111, 0x2222), 201);
    EXPECT_EQ(link.KindOf(0x1111, 0x2222), 0);
    EXPECT_EQ(link.DeviceTypeOf(0x1111, 0x3333), 202);
    EXPECT_EQ(link.KindOf(0x1111, 0x3333), 1);
    EXPECT_EQ(link.DeviceTypeOf(0x9999, 0x2222), 0);
    EXPECT_EQ(link.KindOf(0x9999, 0x2222), 0);
}

TEST(DeviceLinkScan, KeepsOnlyTheCommandCollection)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    // A keyboard of a vendor nobody described is never opened.
    rig.keyboard->AddConnection(VirtualConnection::Wired, {0x0001, 0x0002, 201});
    rig.link.Scan();

    std::vector<HidInterface> list;
    ASSERT_TRUE(rig.link.CollectInterfaces(list));
    ASSERT_EQ(list.size(), 1u);
    const HidInterface& rec = list[0];
    EXPECT_EQ(rec.index, 0);
    EXPECT_EQ(rec.vid, kRigVid);
    EXPECT_EQ(rec.pid, kWiredPid);
    EXPECT_NE(rec.path.find("&mi_02#"), std::string::npos) << rec.path; // kept as enumerated
    EXPECT_TRUE(rec.product.empty());
    EXPECT_EQ(rec.release, 0x0100);
    EXPECT_EQ(rec.deviceType, kMainFamily);
    EXPECT_EQ(rec.connectionKind, 0);
    EXPECT_TRUE(rec.wired);
    // The boot keyboard (1/6) and the collections FF00/1 and FF01/2 were opened, found
    // unsuitable and closed again.
    EXPECT_EQ(rig.keyboard->TotalOpens(), 4);
    EXPECT_EQ(rig.keyboard->OpenHandleCount(), 1);
    EXPECT_TRUE(rig.link.IsOpened());
}

TEST(DeviceLinkScan, InterfaceThatWillNotOpenIsSkipped)
{
    VirtualRig rig;
    const int wired = rig.Attach(VirtualConnection::Wired);
    rig.Attach(VirtualConnection::Wireless1);
    rig.keyboard->FailOpen(wired, true);
    rig.Scan();
    std::vector<HidInterface> list;
    ASSERT_TRUE(rig.link.CollectInterfaces(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].connectionKind, 1);
    EXPECT_EQ(rig.link.GetConnectionKind(), 1);
}

TEST(DeviceLinkScan, ActiveInterfaceAndConnectionKindRankWirelessKindsDifferently)
{
    struct Case {
        std::vector<VirtualConnection> attached;
        int activeKind; // -2: no active handle
        int connectionKind;
    } cases[] = {
        {{VirtualConnection::Wireless1, VirtualConnection::Wired}, 0, 0},
        {{VirtualConnection::Wireless1, VirtualConnection::Wireless2}, 1, 2},
        {{VirtualConnection::Wireless2, VirtualConnection::Wireless1}, 1, 2},
        {{VirtualConnection::Wireless2}, 2, 2},
        {{VirtualConnection::Wireless1}, 1, 1},
        {{VirtualConnection::Legacy}, -2, -1}, // another device type than the current one
        {{}, -2, -1},
    };
    for (const Case& c : cases) {
        VirtualRig rig;
        for (VirtualConnection v : c.attached)
            rig.Attach(v);
        rig.Scan(kMainFamily);
        EXPECT_EQ(ActiveKind(rig.link), c.activeKind) << "case with " << c.attached.size() << " connections";
        EXPECT_EQ(rig.link.GetConnectionKind(), c.connectionKind);
    }
}

TEST(DeviceLinkScan, DeviceTypeSelectsInterfaces)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Attach(VirtualConnection::Legacy);
    rig.link.Rescan();

    // During and right after a scan the current type is 0: every interface is collected,
    // none is active.
    rig.link.SetCurrentDeviceType(0);
    std::vector<HidInterface> all;
    ASSERT_TRUE(rig.link.CollectInterfaces(all));
    EXPECT_EQ(all.size(), 2u);
    EXPECT_EQ(rig.link.ActiveHandle(), nullptr);

    rig.link.SetCurrentDeviceType(kLegacyFamily);
    std::vector<HidInterface> legacy;
    ASSERT_TRUE(rig.link.CollectInterfaces(legacy));
    ASSERT_EQ(legacy.size(), 1u);
    EXPECT_EQ(legacy[0].deviceType, kLegacyFamily);
    EXPECT_EQ(rig.link.ActiveHandle(), legacy[0].handle);
    EXPECT_NE(rig.link.AuxiliaryHandle(), nullptr);

    EXPECT_EQ(rig.link.FindInterface(kRigVid, kLegacyPid, L"", 0), legacy[0].index);
    EXPECT_EQ(rig.link.FindInterface(kRigVid, kLegacyPid, L"", 1), -1);
    EXPECT_EQ(rig.link.FindInterface(kRigVid, kLegacyPid, L"Named", 0), -1);
}

TEST(DeviceLinkScan, SecondAuxiliaryInterfaceClosesTheFirst)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Legacy);
    rig.Attach(VirtualConnection::Legacy);
    rig.Scan(kLegacyFamily);
    // Two command interfaces and the later auxiliary one stay open; the earlier auxiliary
    // handle is closed rather than leaked.
    EXPECT_EQ(rig.keyboard->OpenHandleCount(), 3);
    rig.link.CloseAll();
    EXPECT_EQ(rig.keyboard->OpenHandleCount(), 0);
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);
    EXPECT_FALSE(rig.link.IsOpened());
}

TEST(DeviceLinkTransfers, BeforeTheFirstScanNothingIsTouched)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Legacy);
    rig.link.SetCurrentDeviceType(kLegacyFamily);
    rig.link.CloseAll(); // does nothing before a scan

    uint8_t feature[8] = {0x07, 0xF7};
    uint8_t output[65] = {0x00, 0x8B};
    uint8_t payload[64] = {0xBB, 0xAA, 0x99, 0x88, 0xAA};
    uint8_t table[28];
    std::memset(table, 0xEE, sizeof table);
    uint16_t version = 0x7777;
    EXPECT_FALSE(rig.link.SendFeature(feature));
    EXPECT_FALSE(rig.link.SendFeatureAfterDelay(feature));
    EXPECT_FALSE(rig.link.WriteReport(output));
    EXPECT_FALSE(rig.link.WriteAuxReport(output));
    EXPECT_FALSE(rig.link.WriteWirelessPayload(payload));
    EXPECT_FALSE(rig.link.ReadSlotTable(feature, table));
    EXPECT_FALSE(rig.link.QueryFirmwareVersion(version));
    EXPECT_EQ(version, 0x7777);
    for (uint8_t b : table)
        EXPECT_EQ(b, 0);
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
    EXPECT_TRUE(rig.clock.Pauses().empty());
    EXPECT_EQ(rig.keyboard->TotalOpens(), 0);
    EXPECT_FALSE(rig.link.IsOpened());
}

TEST(DeviceLinkTransfers, FeatureReportsAndTheirPause)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    const uint8_t report[8] = {0x07, 0xF7, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_TRUE(rig.link.SendFeature(report));
    EXPECT_TRUE(rig.link.SendFeatureAfterDelay(report));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{
                              "0 feature-set 07 F7 01 02 03 04 05 06",
                              "16 feature-set 07 F7 01 02 03 04 05 06",
                          }));
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{16}));

    // A failed feature report is not retried.
    rig.Reset();
    rig.keyboard->FailTransfers(HidTransferKind::FeatureSet, 1);
    EXPECT_FALSE(rig.link.SendFeature(report));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{"0 feature-set 07 F7 01 02 03 04 05 06 FAILED"}));
}

TEST(DeviceLinkTransfers, OutputWritesRetryOnceAfterTheirPause)
{
    struct Case {
        const char* name;
        int failures;
        bool result;
        std::vector<std::string> wire;
        std::vector<unsigned> pauses;
    };
    const Case reportCases[] = {
        {"no failure", 0, true, {"0 output 00 8B 3C"}, {}},
        {"retry succeeds", 1, true, {"0 output 00 8B 3C FAILED", "10 output 00 8B 3C"}, {10}},
        {"both fail", 2, false, {"0 output 00 8B 3C FAILED", "10 output 00 8B 3C FAILED"}, {10}},
    };
    for (const Case& c : reportCases) {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wired);
        rig.Scan();
        rig.keyboard->FailTransfers(HidTransferKind::Output, c.failures);
        const uint8_t report[65] = {0x00, 0x8B, 0x3C};
        EXPECT_EQ(rig.link.WriteReport(report), c.result) << c.name;
        EXPECT_EQ(rig.Wire(3), c.wire) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.pauses) << c.name;
    }

    const Case payloadCases[] = {
        {"no failure", 0, true, {"0 output 00 BB AA 99 88 AA"}, {}},
        {"retry succeeds", 1, true, {"0 output 00 BB AA 99 88 AA FAILED", "32 output 00 BB AA 99 88 AA"}, {32}},
        {"both fail", 2, false,
         {"0 output 00 BB AA 99 88 AA FAILED", "32 output 00 BB AA 99 88 AA FAILED"}, {32}},
    };
    for (const Case& c : payloadCases) {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wireless2);
        rig.Scan();
        rig.keyboard->FailTransfers(HidTransferKind::Output, c.failures);
        const uint8_t payload[64] = {0xBB, 0xAA, 0x99, 0x88, 0xAA};
        EXPECT_EQ(rig.link.WriteWirelessPayload(payload), c.result) << c.name;
        EXPECT_EQ(rig.Wire(6), c.wire) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.pauses) << c.name;
    }
}

TEST(DeviceLinkTransfers, AuxiliaryWritesGoToTheThirdInterface)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Legacy);
    rig.Scan(kLegacyFamily);
    const uint8_t report[65] = {0x00, 0xF1, 0x3C};
    rig.keyboard->FailTransfers(HidTransferKind::AuxOutput, 1);
    EXPECT_TRUE(rig.link.WriteAuxReport(report));
    EXPECT_EQ(rig.Wire(3), (std::vector<std::string>{"0 aux-output 00 F1 3C FAILED", "10 aux-output 00 F1 3C"}));

    // Without an auxiliary interface the write fails at once.
    VirtualRig wired;
    wired.Attach(VirtualConnection::Wired);
    wired.Scan();
    EXPECT_FALSE(wired.link.WriteAuxReport(report));
    EXPECT_TRUE(wired.keyboard->Transfers().empty());
}

TEST(DeviceLinkSlotTable, ReadsFourPiecesAfterTheRequest)
{
    VirtualRig rig;
    rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    // Put keys into remap slots 1 and 10 through the firmware's own command.
    const uint8_t remap1[8] = {0x07, 0xFA, 0x01, 0x01, 0x2A, 0x01, 0x05, 0x01};
    const uint8_t remap10[8] = {0x07, 0xFA, 0x01, 0x0A, 0x3B, 0x01, 0x06, 0x01};
    rig.link.SendFeature(remap1);
    rig.link.SendFeature(remap10);
    rig.Reset();

    const uint8_t request[8] = {0x07, 0xFB, 0x01, 0, 0, 0, 0, 0};
    uint8_t table[28];
    ASSERT_TRUE(rig.link.ReadSlotTable(request, table));
    EXPECT_EQ(rig.Wire(), (std::vector<std::string>{
                              "0 feature-set 07 FB 01 00 00 00 00 00",
                              "16 feature-get 07 00 00 00 00 00 00 00",
                              "32 feature-get 07 00 00 00 00 00 00 00",
                              "48 feature-get 07 2A 00 00 00 00 00 00",
                              "64 feature-get 07 00 00 3B 00 00 00 00",
                          }));
    EXPECT_EQ(table[14], 0x2A);
    EXPECT_EQ(table[23], 0x3B);
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<unsigned>{16, 16, 16, 16}));
}

TEST(DeviceLinkSlotTable, AnyFailedPartMakesTheReadFail)
{
    const uint8_t request[8] = {0x07, 0xFB, 0x01, 0, 0, 0, 0, 0};
    struct Case {
        const char* name;
        HidTransferKind kind;
        int skip;
    } cases[] = {
        {"request", HidTransferKind::FeatureSet, 0},
        {"first read", HidTransferKind::FeatureGet, 0},
        {"last read", HidTransferKind::FeatureGet, 3},
    };
    for (const Case& c : cases) {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wired);
        rig.Scan();
        const uint8_t remapSlot2[8] = {0x07, 0xFA, 0x01, 0x02, 0x11, 0x01, 0x05, 0x01};
        rig.link.SendFeature(remapSlot2); // remap slot 2 holds key 0x11
        rig.keyboard->FailTransfers(c.kind, 1, -1, c.skip);
        uint8_t table[28];
        std::memset(table, 0xEE, sizeof table);
        EXPECT_FALSE(rig.link.ReadSlotTable(request, table)) << c.name;
        // The table starts zeroed and never holds the request: a failed first read does
        // not make macro slots 1 and 2 look taken by keys 0xFB and 0x01.
        EXPECT_EQ(table[0], 0) << c.name;
        EXPECT_EQ(table[1], 0) << c.name;
        EXPECT_EQ(table[2], 0) << c.name;
        EXPECT_EQ(table[27], 0) << c.name;
        // All four reads are still made.
        EXPECT_EQ(rig.clock.Pauses().size(), 4u) << c.name;
    }
}

TEST(DeviceLinkFirmwareVersion, RequestThenReadReport7)
{
    struct Case {
        const char* name;
        int failRequest;
        int failReads;         // reads that fail, from the first
        uint8_t answerId;      // report id of the first `answerCount` replies
        int answerCount;
        bool result;
        uint16_t version;
        std::vector<unsigned> pauses;
    } cases[] = {
        {"plain", 0, 0, 7, 0, true, 0x0105, {16, 16}},
        {"first reply of another report", 0, 0, 5, 1, true, 0x0105, {16, 16, 16}},
        {"both replies of another report", 0, 0, 5, 2, true, 0x0105, {16, 16, 16}},
        {"request fails", 1, 0, 7, 0, false, 0xBEEF, {16}},
        {"first read fails, second answers", 0, 1, 7, 0, true, 0x0105, {16, 16, 16}},
        {"no read answers", 0, 2, 7, 0, false, 0xBEEF, {16, 16, 16}},
    };
    for (const Case& c : cases) {
        VirtualRig rig;
        rig.Attach(VirtualConnection::Wired);
        rig.Scan();
        rig.keyboard->SetFirmwareVersion(0x0105);
        if (c.failRequest)
            rig.keyboard->FailTransfers(HidTransferKind::FeatureSet, c.failRequest);
        if (c.failReads)
            rig.keyboard->FailTransfers(HidTransferKind::FeatureGet, c.failReads);
        if (c.answerCount)
            rig.keyboard->AnswerWithReportId(c.answerId, c.answerCount);
        uint16_t version = 0xBEEF;
        EXPECT_EQ(rig.link.QueryFirmwareVersion(version), c.result) << c.name;
        EXPECT_EQ(version, c.version) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.pauses) << c.name;
    }
}

TEST(DeviceLinkPresence, VanishedKeyboardFailsUntilRescanned)
{
    VirtualRig rig;
    const int wired = rig.Attach(VirtualConnection::Wired);
    rig.Scan();
    const uint8_t report[8] = {0x07, 0xF7};
    ASSERT_TRUE(rig.link.SendFeature(report));

    rig.keyboard->Unplug(wired);
    EXPECT_FALSE(rig.link.SendFeature(report));
    rig.keyboard->Plug(wired);
    // Handles opened before the unplug stay dead, as with a real device.
    EXPECT_FALSE(rig.link.SendFeature(report));

    rig.keyboard->Unplug(wired);
    rig.Scan();
    std::vector<HidInterface> list;
    EXPECT_FALSE(rig.link.CollectInterfaces(list));
    EXPECT_EQ(rig.link.GetConnectionKind(), -1);
    EXPECT_FALSE(rig.link.SendFeature(report));
    EXPECT_TRUE(rig.keyboard->Transfers().empty()); // no handle, nothing attempted

    rig.keyboard->Plug(wired);
    rig.Scan();
    EXPECT_TRUE(rig.link.SendFeature(report));
    EXPECT_EQ(rig.keyboard->ClosedHandleUses(), 0);
}
