// hidapi's Windows backend with our patch: it initialises and enumerates without error
// where the system's cfgmgr32 lacks optional functions (as Wine's does).
#include <gtest/gtest.h>
#include <hidapi.h>

TEST(HidapiLink, InitEnumerateExit)
{
    ASSERT_EQ(hid_init(), 0) << "hid_init failed";
    hid_device_info* list = hid_enumerate(0, 0);
    int count = 0;
    for (hid_device_info* d = list; d; d = d->next) {
        EXPECT_NE(d->path, nullptr);
        ++count;
    }
    hid_free_enumeration(list);
    // Opening a path that names no device fails cleanly.
    EXPECT_EQ(hid_open_path("\\\\?\\hid#vid_fffe&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}"), nullptr);
    EXPECT_EQ(hid_exit(), 0);
    RecordProperty("devices", count);
}
