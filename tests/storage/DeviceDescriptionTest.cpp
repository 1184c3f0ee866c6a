// Reading config.xml and the layouts files: the records they yield, what they do to the
// main window (through a recording view), the database file they select, and how they
// cope with missing, damaged and hostile files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/TestPaths.h"

namespace {

class RecordingView : public IDescriptionView {
public:
    std::vector<std::wstring> calls;

    void AddDeviceToList(const std::wstring& name, int deviceType) override
    {
        calls.push_back(L"device " + name + L" " + std::to_wstring(deviceType));
    }
    void SetVersionText(const std::wstring& text) override { calls.push_back(L"version " + text); }
    void SetCopyrightText(const std::wstring& text) override { calls.push_back(L"copyright " + text); }
    void SetTabVisible(int item, bool visible) override
    {
        calls.push_back(L"tab " + std::to_wstring(item) + (visible ? L" shown" : L" hidden"));
    }
    void SetFirmwareButtonVisible(bool visible) override
    {
        calls.push_back(std::wstring(L"firmware button ") + (visible ? L"shown" : L"hidden"));
    }
    void SetLightSliderMaxima(int brightnessMax, int speedMax) override
    {
        calls.push_back(L"maxima " + std::to_wstring(brightnessMax) + L" " + std::to_wstring(speedMax));
    }
    void ResetMusicControls() override { calls.push_back(L"music reset"); }
    void ClearKeyboardKeys(int keyboard) override { calls.push_back(L"clear " + std::to_wstring(keyboard)); }
    void SetKeyboardPicture(int keyboard, const RECT& rc, const std::wstring& image, int width,
                            int height) override
    {
        wchar_t buf[200];
        swprintf(buf, 200, L"picture %d %ld,%ld,%ld,%ld %ls %dx%d", keyboard, rc.left, rc.top, rc.right, rc.bottom,
                 image.c_str(), width, height);
        calls.push_back(buf);
    }
    void AddKeyboardKey(int keyboard, const KeyItemInfo& key) override
    {
        calls.push_back(L"key " + std::to_wstring(keyboard) + L" " + key.name);
    }
    void RegisterDeviceNotifications() override { calls.push_back(L"register"); }

    size_t Count(const std::wstring& prefix) const
    {
        size_t n = 0;
        for (const auto& c : calls)
            n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

class RecordingSink : public ISupportedDeviceSink {
public:
    std::vector<SupportedDevice> devices;
    void AddSupportedDevice(const SupportedDevice& d) override { devices.push_back(d); }
};

void WriteUtf8(const std::wstring& path, const std::string& text)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

const char kConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <device.info>
    <keyboard name="Alpha &amp; Co" device_type="201" device_info="alpha">
      <mode value="0" desc="cable" vid="FFFE" pid="0x0201" product_name="" hid_interface="VID_FFFE&amp;PID_0201"/>
      <mode value="2" desc="bt" vid="fffe" pid="203" product_name="Alpha BT" hid_interface="VID_FFFE&amp;PID_0203"/>
    </keyboard>
    <keyboard name="Beta" device_type="104" device_info="beta">
      <mode value="0" vid="FFFE" pid="0104" hid_interface="VID_FFFE&amp;PID_0104"/>
    </keyboard>
    <keyboard name="Alpha twin" device_type="201" device_info="twin"/>
  </device.info>
  <software name="Tastro" version="2.1.0">
    <website url="https://w.example/"/>
    <store url="https://s.example/"/>
    <upgrade url="https://u.example/"/>
    <copyright info="(c) Tastro"/>
  </software>
</config>)";

const char kAlphaLayouts[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<device.info>
  <menu macro="1" light_mode="1"/>
  <function sleep_time="1"/>
  <firmware version="105" file="fw.bin" url="https://fw.example/"/>
  <light rgb_keyboard="1" default_mode="2" default_brightness="4" default_speed="3" brightness_max="4" speed_max="5">
    <info name="801" mode="1" attribute="71"/>
    <info name="802" mode="2" attribute="257"/>
  </light>
  <Keyboard xpos="429" ypos="100" width="742" height="314" image="alpha.png" row_count="12" col_count="-3">
    <KeyItems>
      <key code="29" name="Esc" desc="Escape" key_index="0" row_col="0_00" rect="21#23#40#40"/>
      <key code="0x3A" name="F1" key_index="1" row_col="0_01" rect="65#23#40#40"/>
      <key code="2C" name="Space" key_index="77" row_col="5_07" rect="200#223#300#40"/>
      <key code="E4" name="RCtrl" key_index="80" row_col="9_01" rect="600#223#40#40"/>
      <key code="4F" name="Right" key_index="83" row_col="5_40" rect="680#223#40#40"/>
      <key code="FF" name="Fn" key_index="81" row_col="5" rect="640#223#40#40"/>
    </KeyItems>
  </Keyboard>
</device.info>)";

class DeviceDescriptionFiles : public testing::Test {
protected:
    void SetUp() override
    {
        program_ = testsupport::MakeTempFolder(L"tastro-desc-prog");
        data_ = testsupport::MakeTempFolder(L"tastro-desc-data");
        ASSERT_FALSE(program_.empty());
        ASSERT_FALSE(data_.empty());
        program_ += L"\\";
        data_ += L"\\";
        CreateDirectoryW((program_ + L"layouts").c_str(), nullptr);
        CreateDirectoryW((data_ + L"db").c_str(), nullptr);
    }
    void TearDown() override
    {
        db_.Close();
        testsupport::RemoveTree(program_.substr(0, program_.size() - 1));
        testsupport::RemoveTree(data_.substr(0, data_.size() - 1));
    }
    void WriteConfig(const std::string& text) { WriteUtf8(program_ + L"config.xml", text); }
    void WriteLayouts(const wchar_t* name, const std::string& text)
    {
        WriteUtf8(program_ + L"layouts\\" + name + L".xml", text);
    }
    bool DbFileExists(const std::wstring& model) const
    {
        return GetFileAttributesW((data_ + L"db\\" + model + L"_data_v1.db").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring program_, data_;
    ProfileDatabase db_;
    RecordingView view_;
    RecordingSink sink_;
};

} // namespace

TEST(DeviceDescriptionValues, NumbersFlagsGridCellsAndRectangles)
{
    struct IntCase {
        const wchar_t* text;
        int hex, dec;
    };
    for (const IntCase& c : {IntCase{L"2A", 42, 2}, IntCase{L"0x2A", 42, 0}, IntCase{L" 12abc", 0x12ABC, 12},
                             IntCase{L"", 0, 0}, IntCase{L"-5", -5, -5}, IntCase{L"zz", 0, 0}}) {
        EXPECT_EQ(DeviceDescription::ParseHex(c.text), c.hex) << c.text;
        EXPECT_EQ(DeviceDescription::ParseDecimal(c.text), c.dec) << c.text;
    }
    EXPECT_TRUE(DeviceDescription::ParseFlag(L"1"));
    EXPECT_FALSE(DeviceDescription::ParseFlag(L"2"));
    EXPECT_FALSE(DeviceDescription::ParseFlag(L""));

    struct CellCase {
        const wchar_t* text;
        bool inGrid;
        int row, column;
    };
    for (const CellCase& c : {CellCase{L"3_7", true, 3, 7}, CellCase{L"3_17", true, 3, 17},
                              CellCase{L"3-17", true, 3, 17}, CellCase{L"2,15", true, 2, 15},
                              CellCase{L"0_00", true, 0, 0}, CellCase{L"7_31", true, 7, 31},
                              CellCase{L"8_01", false, -1, -1}, CellCase{L"9_1", false, -1, -1},
                              CellCase{L"3_32", false, -1, -1}, CellCase{L"3_99", false, -1, -1},
                              CellCase{L"5", false, -1, -1}, CellCase{L"", false, -1, -1}}) {
        int row = 0, column = 0;
        EXPECT_EQ(DeviceDescription::ParseRowColumn(c.text, row, column), c.inGrid) << c.text;
        EXPECT_EQ(row, c.row) << c.text;
        EXPECT_EQ(column, c.column) << c.text;
    }

    struct RectCase {
        const wchar_t* text;
        RECT rc;
    };
    for (const RectCase& c : {RectCase{L"10#20#30#40", {10, 20, 40, 60}}, RectCase{L"10#20#30", {10, 20, 10, 50}},
                              RectCase{L"7", {0, 0, 0, 7}}, RectCase{L"", {0, 0, 0, 0}},
                              RectCase{L"a#b#c#d", {0, 0, 0, 0}}}) {
        RECT rc = DeviceDescription::ParseRect(c.text);
        EXPECT_EQ(rc.left, c.rc.left) << c.text;
        EXPECT_EQ(rc.top, c.rc.top) << c.text;
        EXPECT_EQ(rc.right, c.rc.right) << c.text;
        EXPECT_EQ(rc.bottom, c.rc.bottom) << c.text;
    }
}

TEST_F(DeviceDescriptionFiles, SoftwareNameFallsBackToTastro)
{
    EXPECT_EQ(DeviceDescription::ReadSoftwareName(program_), L"Tastro") << "no file";
    struct Case {
        std::string file;
        const wchar_t* name;
    };
    for (const Case& c : {Case{"<config><software name=\"Keyzone\"/></config>", L"Keyzone"},
                          Case{"<config><software version=\"1\"/></config>", L"Tastro"},
                          Case{"<config><software name=\"\"/></config>", L"Tastro"},
                          Case{"<config><software name=\"..\\evil\"/></config>", L"Tastro"},
                          Case{"<config><software name=\"a:b\"/></config>", L"Tastro"},
                          Case{"<config><device.info/></config>", L"Tastro"},
                          Case{"\xFF\xFE<garbage", L"Tastro"}}) {
        WriteConfig(c.file);
        EXPECT_EQ(DeviceDescription::ReadSoftwareName(program_), c.name) << c.file;
    }
}

TEST_F(DeviceDescriptionFiles, LoadsModelsRecordsAndSoftwareThenSelectsModel201)
{
    WriteConfig(kConfig);
    WriteLayouts(L"alpha", kAlphaLayouts);
    DeviceDescription desc(program_, data_);
    ASSERT_TRUE(desc.LoadDeviceList(view_, sink_, db_));

    ASSERT_EQ(desc.Models().size(), 3u);
    EXPECT_EQ(desc.Models()[0].name, L"Alpha & Co");
    EXPECT_EQ(desc.Models()[1].deviceType, 104);
    ASSERT_EQ(desc.Records().size(), 3u);
    EXPECT_EQ(desc.Records()[0].pid, 0x201);
    EXPECT_EQ(desc.Records()[1].vid, 0xFFFE);
    EXPECT_EQ(desc.Records()[1].pid, 0x203);
    EXPECT_EQ(desc.Records()[1].connectionKind, 2);
    EXPECT_EQ(desc.Records()[1].productName, L"Alpha BT");
    EXPECT_EQ(desc.Records()[2].deviceType, 104);
    EXPECT_EQ(desc.Records()[2].hidInterface, L"VID_FFFE&PID_0104");

    ASSERT_EQ(sink_.devices.size(), 3u);
    EXPECT_EQ(sink_.devices[1].deviceType, 201);
    EXPECT_EQ(sink_.devices[1].connectionKind, 2);
    EXPECT_EQ(sink_.devices[1].interfacePattern, L"VID_FFFE&PID_0203");

    EXPECT_EQ(desc.Software().version, L"2.1.0");
    EXPECT_EQ(desc.Software().website, L"https://w.example/");
    EXPECT_EQ(desc.Software().store, L"https://s.example/");
    EXPECT_EQ(desc.Software().upgrade, L"https://u.example/");

    // The first model of type 201 is selected: its database file and its layouts.
    EXPECT_EQ(desc.CurrentDeviceType(), 201);
    EXPECT_EQ(desc.CurrentModelName(), L"Alpha & Co");
    EXPECT_TRUE(db_.IsOpen());
    EXPECT_EQ(db_.Model(), 201);
    EXPECT_TRUE(DbFileExists(L"Alpha & Co"));
    EXPECT_EQ(desc.Layout().keys.size(), 6u);

    // The window saw the models, the version, the copyright, and registration comes last.
    const std::vector<std::wstring> head = {L"device Alpha & Co 201", L"device Beta 104", L"device Alpha twin 201",
                                            L"version Ver: 2.1.0", L"copyright (c) Tastro"};
    ASSERT_GE(view_.calls.size(), head.size());
    EXPECT_EQ(std::vector<std::wstring>(view_.calls.begin(), view_.calls.begin() + head.size()), head);
    EXPECT_EQ(view_.calls.back(), L"register");
}

TEST_F(DeviceDescriptionFiles, LayoutsFileFillsTheModelLayout)
{
    WriteConfig(kConfig);
    WriteLayouts(L"alpha", kAlphaLayouts);
    DeviceDescription desc(program_, data_);
    desc.LoadDeviceList(view_, sink_, db_);
    const ModelLayout& L = desc.Layout();

    EXPECT_EQ(L.pageSet, 0x47);
    EXPECT_EQ(L.firmwareVersion, L"105");
    EXPECT_TRUE(L.FirmwareUpgradeVisible());
    EXPECT_TRUE(L.rgbKeyboard);
    EXPECT_EQ(L.defaultMode, 2);
    EXPECT_EQ(L.speedMax, 5);
    ASSERT_EQ(L.lightModes.size(), 2u);
    EXPECT_EQ(L.lightModes[1].textId, 802);
    EXPECT_EQ(L.lightModes[1].attribute, 0x101);
    EXPECT_EQ(L.keyboardImage, L"keyboard\\alpha.png");
    EXPECT_EQ(L.keyboardRect.right, 429 + 742);
    EXPECT_EQ(L.keyboardRect.bottom, 100 + 314);
    EXPECT_EQ(L.rowCount, 8) << "row_count 12 is clamped to the grid";
    EXPECT_EQ(L.colCount, 0) << "a negative col_count is clamped to 0";

    // Grid: keys inside the 8 x 32 grid hold their code's low byte; keys outside it or
    // with a short row_col are not stored there but are still keys of the layout.
    EXPECT_EQ(L.keyGrid[0][0], 0x29);
    EXPECT_EQ(L.keyGrid[0][1], 0x3A);
    EXPECT_EQ(L.keyGrid[5][7], 0x2C);
    int stored = 0;
    for (const auto& row : L.keyGrid)
        for (uint8_t cell : row)
            stored += cell != ModelLayout::kNoKey;
    EXPECT_EQ(stored, 3) << "Esc, F1 and Space; row 9, column 40 and a short row_col stay out";
    EXPECT_EQ(L.KeyIndexOf(0xE4), 80);
    EXPECT_EQ(L.KeyIndexOf(0x4F), 83);
    EXPECT_EQ(L.KeyIndexOf(0xFF), 81);
    EXPECT_EQ(L.KeyIndexOf(0x04), -1);
    EXPECT_EQ(L.ledMap.at(0x2C), 77);
    EXPECT_EQ(L.keys[0].desc, L"Escape");
    EXPECT_EQ(L.keys[2].rect.right, 500);

    // Every keyboard control of the page set (keys 0x01, lighting 0x04, third 0x40) got
    // the picture and all six keys; tabs 1, 2, 3 and 7 are shown.
    for (int kb : {1, 4, 64})
        EXPECT_EQ(view_.Count(L"key " + std::to_wstring(kb) + L" "), 6u) << kb;
    EXPECT_EQ(view_.Count(L"picture 4 429,100,1171,414 keyboard\\alpha.png 742x314"), 1u);
    for (int tab : {1, 2, 3, 7})
        EXPECT_EQ(view_.Count(L"tab " + std::to_wstring(tab) + L" shown"), 1u) << tab;
    EXPECT_EQ(view_.Count(L"music reset"), 2u);
    EXPECT_EQ(view_.Count(L"maxima 4 5"), 1u);
}

TEST_F(DeviceDescriptionFiles, SecondModelSelectionReplacesKeysAndKeepsWhatTheFileLacks)
{
    WriteConfig(kConfig);
    WriteLayouts(L"alpha", kAlphaLayouts);
    // Beta's file has no menu and no light element, a firmware version without a file
    // and a single key.
    WriteLayouts(L"beta", R"(<device.info>
  <firmware version="3"/>
  <Keyboard xpos="1" ypos="2" width="30" height="40" image="beta.png" row_count="6" col_count="22">
    <KeyItems><key code="04" name="A" key_index="5" row_col="1_02" rect="0#0#10#10"/></KeyItems>
  </Keyboard>
</device.info>)");
    DeviceDescription desc(program_, data_);
    desc.LoadDeviceList(view_, sink_, db_);
    view_.calls.clear();

    ASSERT_TRUE(desc.SelectModel(104, view_, db_));
    const ModelLayout& L = desc.Layout();
    EXPECT_EQ(desc.CurrentModelName(), L"Beta");
    EXPECT_TRUE(DbFileExists(L"Beta"));
    EXPECT_EQ(db_.Model(), 104);
    EXPECT_EQ(L.pageSet, 0x47) << "no menu: the page set stays";
    EXPECT_EQ(L.lightModes.size(), 2u) << "no light element: the modes stay";
    EXPECT_FALSE(L.FirmwareUpgradeVisible());
    EXPECT_EQ(view_.Count(L"firmware button hidden"), 1u);
    EXPECT_TRUE(L.firmwareUrl.empty());
    ASSERT_EQ(L.keys.size(), 1u);
    EXPECT_EQ(L.KeyIndexOf(0x29), -1) << "the old model's keys are gone";
    EXPECT_EQ(L.keyGrid[0][0], 0xFF);
    EXPECT_EQ(L.keyGrid[1][2], 0x04);
    EXPECT_EQ(L.colCount, 22);
    EXPECT_EQ(view_.Count(L"clear "), 3u);
    EXPECT_EQ(view_.Count(L"key "), 3u);
}

TEST_F(DeviceDescriptionFiles, MenuWithMacrosOnlyGivesPageSet43)
{
    WriteConfig(kConfig);
    WriteLayouts(L"alpha", "<device.info><menu macro=\"1\"/></device.info>");
    DeviceDescription desc(program_, data_);
    desc.LoadDeviceList(view_, sink_, db_);
    EXPECT_EQ(desc.Layout().pageSet, 0x43);
    EXPECT_EQ(view_.Count(L"tab 3 hidden"), 1u);
    EXPECT_EQ(view_.Count(L"tab 7 shown"), 1u);
    // Only the key page's and the third view's keyboards are cleared.
    EXPECT_EQ(view_.Count(L"clear 1"), 1u);
    EXPECT_EQ(view_.Count(L"clear 4"), 0u);
    EXPECT_EQ(view_.Count(L"clear 64"), 1u);
}

TEST_F(DeviceDescriptionFiles, ElementsOutOfOrderAreNotFound)
{
    WriteConfig(R"(<config><device.info/><software version="1">
      <store url="https://store-first.example/"/>
      <website url="https://w.example/"/>
      <copyright info="c"/>
    </software></config>)");
    DeviceDescription desc(program_, data_);
    desc.LoadDeviceList(view_, sink_, db_);
    EXPECT_EQ(desc.Software().website, L"https://w.example/");
    EXPECT_TRUE(desc.Software().store.empty()) << "store before website is not found after website";
    EXPECT_EQ(desc.Software().copyright, L"c");
}

TEST_F(DeviceDescriptionFiles, MissingOrDamagedConfigStillSelectsAndRegisters)
{
    for (const char* file : {static_cast<const char*>(nullptr), "", "<config", "<?xml version=\"1.0\"?><nothing/>",
                             "\xEF\xBB\xBF<config><device.info><keyboard name=\"X\" device_type=\"201\""}) {
        if (file)
            WriteConfig(file);
        RecordingView view;
        RecordingSink sink;
        DeviceDescription desc(program_, data_);
        desc.LoadDeviceList(view, sink, db_);
        EXPECT_TRUE(sink.devices.empty()) << (file ? file : "no file");
        EXPECT_TRUE(desc.Models().empty());
        EXPECT_EQ(desc.CurrentDeviceType(), 201);
        EXPECT_EQ(view.calls.back(), L"register");
        EXPECT_TRUE(db_.IsOpen());
        db_.Close();
    }
    // Without any model of type 201 the database is opened under the empty model name.
    EXPECT_TRUE(DbFileExists(L""));
}

TEST_F(DeviceDescriptionFiles, HostileModelNamesNeverLeaveTheirFolders)
{
    // A model name or layouts name that could point outside the data folder or the
    // layouts folder is treated as empty.
    WriteConfig(R"(<config><device.info>
      <keyboard name="..\..\escape" device_type="201" device_info="..\config"/>
    </device.info></config>)");
    DeviceDescription desc(program_, data_);
    desc.LoadDeviceList(view_, sink_, db_);
    ASSERT_EQ(desc.Models().size(), 1u);
    EXPECT_TRUE(desc.Models()[0].name.empty());
    EXPECT_TRUE(desc.Models()[0].deviceInfo.empty());
    EXPECT_TRUE(DbFileExists(L""));
    EXPECT_TRUE(desc.Layout().keys.empty());
    wchar_t parent[MAX_PATH];
    GetFullPathNameW((data_ + L"..\\escape_data_v1.db").c_str(), MAX_PATH, parent, nullptr);
    EXPECT_EQ(GetFileAttributesW(parent), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DeviceDescriptionFiles, ShippedDescriptionFilesAreConsistent)
{
    // The program folder of this build: every model's layouts file loads and each key
    // is in the grid, inside the picture, with a unique key index.
    const std::wstring folder = testsupport::ProgramFolder() + L"\\";
    DeviceDescription desc(folder, data_);
    ASSERT_TRUE(desc.LoadDeviceList(view_, sink_, db_));
    ASSERT_FALSE(desc.Models().empty());
    EXPECT_FALSE(sink_.devices.empty());
    for (const KeyboardModel& m : desc.Models()) {
        SCOPED_TRACE(m.name);
        ASSERT_TRUE(desc.SelectModel(m.deviceType, view_, db_));
        const ModelLayout& L = desc.Layout();
        EXPECT_FALSE(L.keys.empty());
        EXPECT_FALSE(L.lightModes.empty());
        std::vector<bool> seen(256, false);
        for (const KeyItemInfo& k : L.keys) {
            EXPECT_GE(k.row, 0) << k.name;
            EXPECT_LE(k.rect.right, L.width) << k.name;
            EXPECT_LE(k.rect.bottom, L.height) << k.name;
            ASSERT_TRUE(k.keyIndex >= 0 && k.keyIndex < 256) << k.name;
            EXPECT_FALSE(seen[k.keyIndex]) << k.name;
            seen[k.keyIndex] = true;
        }
    }
}
