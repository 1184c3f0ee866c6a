// The HID trace: one line per transfer of either backend, appended to a file.
#include <gtest/gtest.h>

#include <fstream>

#include "device/HidTrace.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

using namespace testsupport;

namespace {

std::vector<std::string> Lines(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(HidTrace, LineFormat)
{
    const uint8_t report[8] = {0x07, 0xF7, 0x03, 0x00, 0x99, 0x66, 0x02, 0x33};
    EXPECT_EQ(FormatTraceLine(1234, HidTransferKind::FeatureSet, report, 8, 8),
              "1234 feature-set 8 07 F7 03 00 99 66 02 33 -> 8");
    EXPECT_EQ(FormatTraceLine(0, HidTransferKind::AuxOutput, report, 2, -1), "0 aux-output 2 07 F7 -> -1");
}

TEST(HidTrace, EveryTransferKindAppended)
{
    const std::wstring folder = MakeTempFolder(L"hidtrace");
    const std::wstring file = folder + L"\\trace.txt";
    RecordingClock clock;
    ScopedPauseClock useClock(&clock);
    for (int run = 0; run < 2; ++run) {
        auto keyboard = std::make_shared<VirtualKeyboard>();
        keyboard->AddConnection(VirtualConnection::Legacy, RigIdentity(VirtualConnection::Legacy));
        auto traced = std::make_shared<TracingHidBackend>(keyboard, file);
        ASSERT_TRUE(traced->IsTracing());
        DeviceLink link(traced);
        for (const SupportedDevice& d : RigSupportedDevices())
            link.AddSupportedDevice(d);
        link.Rescan();
        link.SetCurrentDeviceType(kLegacyFamily);

        const uint8_t out[65] = {0x00, 0xF0, 0xF4, 0x01};
        const uint8_t aux[65] = {0x00, 0xF1, 0x3C};
        const uint8_t feature[8] = {0x07, 0xFD};
        uint16_t version = 0;
        link.WriteReport(out);
        link.WriteAuxReport(aux);
        keyboard->FailTransfers(HidTransferKind::FeatureSet, 1);
        link.SendFeature(feature);
        link.QueryFirmwareVersion(version);
    }
    const auto lines = Lines(file);
    ASSERT_EQ(lines.size(), 10u); // two runs of five transfers, appended
    EXPECT_EQ(lines[0].substr(0, 27), "0 output 65 00 F0 F4 01 00 ");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 6), " -> 65");
    EXPECT_EQ(lines[1].substr(0, 25), "0 aux-output 65 00 F1 3C ");
    EXPECT_EQ(lines[2], "0 feature-set 8 07 FD 00 00 00 00 00 00 -> -1");
    EXPECT_EQ(lines[3], "16 feature-set 8 07 FD 00 00 00 00 00 00 -> 8");
    EXPECT_EQ(lines[4], "32 feature-get 8 07 01 05 00 00 00 00 00 -> 8");
    // The second run counts from its own start, though the clock went on.
    EXPECT_EQ(lines[5].substr(0, 9), "0 output ");
    RemoveTree(folder);
}

TEST(HidTrace, UnopenableFileLeavesTransfersUntouched)
{
    auto keyboard = std::make_shared<VirtualKeyboard>();
    keyboard->AddConnection(VirtualConnection::Wired, RigIdentity(VirtualConnection::Wired));
    auto traced = std::make_shared<TracingHidBackend>(keyboard, L"Z:\\no\\such\\folder\\trace.txt");
    EXPECT_FALSE(traced->IsTracing());
    DeviceLink link(traced);
    for (const SupportedDevice& d : RigSupportedDevices())
        link.AddSupportedDevice(d);
    link.Rescan();
    link.SetCurrentDeviceType(kMainFamily);
    const uint8_t report[8] = {0x07, 0xF7};
    EXPECT_TRUE(link.SendFeature(report));
    EXPECT_EQ(keyboard->Transfers().size(), 1u);
}
