// The shipped description file loaded into a device link: the virtual keyboard presents,
// for each way it can be attached, the USB identity and device type config.xml gives that
// connection, and the link opens it as such.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/NullDescriptionView.h"
#include "device/DeviceLink.h"
#include "device/HidBackendFactory.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/TestPaths.h"

using namespace testsupport;

namespace {

using NoView = testsupport::NullDescriptionView;

// The first record of config.xml for a connection kind in a family range.
const DeviceRecord* FirstRecord(const std::vector<DeviceRecord>& records, int kind, bool mainFamily)
{
    for (const DeviceRecord& r : records) {
        const bool main = r.deviceType >= 201 && r.deviceType <= 299;
        if (r.connectionKind == kind && main == mainFamily && (mainFamily || r.deviceType <= 200))
            return &r;
    }
    return nullptr;
}

} // namespace

TEST(ShippedModels, TheVirtualKeyboardPresentsTheConfiguredIdentities)
{
    const std::wstring data = MakeTempFolder(L"tastro-shipped");
    ASSERT_TRUE(CreateDirectoryW((data + L"\\db").c_str(), nullptr));
    {
        ProfileDatabase db;
        DeviceDescription description(ProgramFolder() + L"\\", data + L"\\");
        NoView view;
        DeviceLink link;
        ASSERT_TRUE(description.LoadDeviceList(view, link, db));
        const std::vector<DeviceRecord>& records = description.Records();

        struct Case {
            const char* word;
            VirtualConnection connection;
            int kind;
            bool mainFamily;
        } cases[] = {
            {"wired", VirtualConnection::Wired, 0, true},
            {"wireless1", VirtualConnection::Wireless1, 1, true},
            {"wireless2", VirtualConnection::Wireless2, 2, true},
            {"legacy", VirtualConnection::Legacy, 0, false},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.word);
            const DeviceRecord* record = FirstRecord(records, c.kind, c.mainFamily);
            ASSERT_NE(record, nullptr) << "config.xml describes no such connection";
            VirtualIdentity identity;
            ASSERT_TRUE(VirtualIdentityFor(c.connection, link.SupportedDevices(), identity));
            EXPECT_EQ(identity.vid, record->vid);
            EXPECT_EQ(identity.pid, record->pid);
            EXPECT_EQ(identity.deviceType, record->deviceType);

            // Attached alone, the link opens exactly one command interface of that identity.
            auto keyboard = CreateVirtualKeyboard(std::wstring(c.word, c.word + std::strlen(c.word)),
                                                  link.SupportedDevices());
            link.SetBackend(keyboard);
            link.Rescan();
            link.SetCurrentDeviceType(0);
            std::vector<HidInterface> found;
            ASSERT_TRUE(link.CollectInterfaces(found));
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0].vid, record->vid);
            EXPECT_EQ(found[0].pid, record->pid);
            EXPECT_EQ(found[0].deviceType, record->deviceType);
            EXPECT_EQ(found[0].connectionKind, c.kind);
            EXPECT_EQ(link.AuxiliaryHandle() != nullptr, !c.mainFamily); // the older set's &MI_03
            EXPECT_GE(link.FindInterface(record->vid, record->pid, record->productName, c.kind), 0);
        }

        // All four at once: one command interface each, and the cable wins for the main model.
        link.SetBackend(CreateVirtualKeyboard(L"wired,wireless1,wireless2,legacy", link.SupportedDevices()));
        link.Rescan();
        link.SetCurrentDeviceType(0);
        std::vector<HidInterface> found;
        ASSERT_TRUE(link.CollectInterfaces(found));
        EXPECT_EQ(found.size(), 4u);
        link.SetCurrentDeviceType(201);
        EXPECT_EQ(link.GetConnectionKind(), kConnectionWired);
        link.SetBackend(nullptr);
        db.Close();
    }
    RemoveTree(data);
}
