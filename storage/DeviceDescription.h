#pragma once
// The description files beside the program: "config.xml" names the software, its web
// addresses and every supported keyboard model with the USB identities it can appear
// under; one layouts file per model ("layouts\<device_info>.xml") gives the model's pages,
// firmware, lighting modes and limits, the keyboard picture and every key on it.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/SupportedDevice.h"
#include "storage/LightModeInfo.h"

class ProfileDatabase;

// One keyboard element of config.xml.
struct KeyboardModel {
    std::wstring name;       // also names the model's database file
    int deviceType = 0;      // 201 to 299 main command set, up to 200 the older one
    std::wstring deviceInfo; // base name of the layouts file
};

// One mode element of config.xml: an identity under which a model can appear.
struct DeviceRecord {
    std::wstring productName;
    int deviceType = 0;
    std::wstring deviceInfo;
    int connectionKind = 0; // 0 cable, 1 and 2 wireless
    int vid = 0;
    int pid = 0;
    std::wstring desc;
    std::wstring hidInterface; // pattern searched in arriving interface names
    bool present = false;      // set by the device scan
};

// The software element of config.xml.
struct SoftwareInfo {
    std::wstring version;
    std::wstring website;
    std::wstring store;
    std::wstring upgrade;
    std::wstring copyright;
};

// One key of a layouts file.
struct KeyItemInfo {
    int code = 0; // the key's code: key_code of the database and the keyboard's slot table
    std::wstring name;
    std::wstring desc;
    int keyIndex = 0; // slot in the keyboard's key and LED tables
    std::wstring icon;
    RECT rect = {}; // on the keyboard picture
    int row = -1;   // grid cell, -1 when the key is not in the grid
    int column = -1;
};

// Page set bits (which tabs and keyboard views a model has).
enum PageSetBits : int {
    kPageKeys = 0x01,
    kPageMacros = 0x02,
    kPageLighting = 0x04,
    kPageThirdKeyboard = 0x40,
};

// What a layouts file yields.
struct ModelLayout {
    static constexpr int kGridRows = 8;
    static constexpr int kGridColumns = 32;
    static constexpr uint8_t kNoKey = 0xFF;

    int pageSet = kPageKeys | kPageThirdKeyboard;
    std::wstring firmwareVersion;
    std::wstring firmwareFile;
    std::wstring firmwareUrl;
    bool rgbKeyboard = false;
    int defaultMode = 0;
    int defaultBrightness = 0;
    int defaultSpeed = 0;
    int brightnessMax = 0;
    int speedMax = 0;
    std::vector<LightModeInfo> lightModes;
    RECT keyboardRect = {};
    std::wstring keyboardImage; // "keyboard\<image>", resolved in the skin folder
    int width = 0;
    int height = 0;
    int rowCount = 0; // 0..8
    int colCount = 0; // 0..32
    uint8_t keyGrid[kGridRows][kGridColumns];
    std::map<int, int> keyPositionMap; // key code -> key_index (key assignments)
    std::map<int, int> ledMap;         // key code -> key_index (per-key colours)
    std::vector<KeyItemInfo> keys;

    ModelLayout();
    bool FirmwareUpgradeVisible() const { return !firmwareVersion.empty() && !firmwareFile.empty(); }
    // The key-index of a code in the key-position map, or -1.
    int KeyIndexOf(int code) const;
};

// What reading the description files does to the main window. The main window implements
// it; every call comes from the thread that reads the files.
class IDescriptionView {
public:
    virtual ~IDescriptionView() = default;
    // A model for the home page's device list (not listed until it is connected).
    virtual void AddDeviceToList(const std::wstring& name, int deviceType) = 0;
    virtual void SetVersionText(const std::wstring& text) = 0;   // "Ver: <version>"
    virtual void SetCopyrightText(const std::wstring& text) = 0;
    // Tab items 1 (keys), 2 (macros), 3 (lighting) and 7 (third keyboard view).
    virtual void SetTabVisible(int item, bool visible) = 0;
    virtual void SetFirmwareButtonVisible(bool visible) = 0;
    virtual void SetLightSliderMaxima(int brightnessMax, int speedMax) = 0;
    // Music-lighting controls back to their start: both effect lists at their first
    // entry, amplitude 60, brightness 100.
    virtual void ResetMusicControls() = 0;
    // The keyboard controls, each named by its page-set bit (kPageKeys, kPageLighting,
    // kPageThirdKeyboard).
    virtual void ClearKeyboardKeys(int keyboard) = 0;
    virtual void SetKeyboardPicture(int keyboard, const RECT& rect, const std::wstring& image, int width,
                                    int height) = 0;
    virtual void AddKeyboardKey(int keyboard, const KeyItemInfo& key) = 0;
    // Device-interface notifications for the HID class, registered once.
    virtual void RegisterDeviceNotifications() = 0;
};

// Reads the description files and keeps what they yield for the rest of the program.
class DeviceDescription {
public:
    // programFolder and dataFolder end with a backslash.
    DeviceDescription(std::wstring programFolder, std::wstring dataFolder);

    // The software name of config.xml, or "Tastro" when the file, the element or the
    // name is missing or the name is not usable as a folder or key name.
    static std::wstring ReadSoftwareName(const std::wstring& programFolder);

    // Reads config.xml completely: models, device records (each also handed to `sink`),
    // version and addresses; then selects model 201 and registers for device
    // notifications. False when config.xml could not be read (the model selection and
    // the registration still run).
    bool LoadDeviceList(IDescriptionView& view, ISupportedDeviceSink& sink, ProfileDatabase& db);

    // Picks the first model of that device type, opens its database file and reads its
    // layouts file into the layout. False when the layouts file could not be read (the
    // layout keeps its previous values).
    bool SelectModel(int deviceType, IDescriptionView& view, ProfileDatabase& db);

    const std::vector<KeyboardModel>& Models() const { return m_models; }
    std::vector<DeviceRecord>& Records() { return m_records; }
    const std::vector<DeviceRecord>& Records() const { return m_records; }
    const SoftwareInfo& Software() const { return m_software; }
    const ModelLayout& Layout() const { return m_layout; }
    ModelLayout& Layout() { return m_layout; }
    int CurrentDeviceType() const { return m_deviceType; }
    const std::wstring& CurrentModelName() const { return m_modelName; }
    const std::wstring& CurrentDeviceInfo() const { return m_deviceInfo; }

    // Value readers of the description formats, exposed for their tests.
    static int ParseDecimal(const std::wstring& text);
    static int ParseHex(const std::wstring& text);
    static bool ParseFlag(const std::wstring& text);
    // "r_cc": row from the first character, column from the last one (3 characters) or
    // the last two; false when the text is shorter than 2 characters or names a cell
    // outside the 8 x 32 grid.
    static bool ParseRowColumn(const std::wstring& text, int& row, int& column);
    // "x#y#w#h" -> left x, top y, right x + w, bottom y + h.
    static RECT ParseRect(const std::wstring& text);

private:
    bool ReadLayouts(IDescriptionView& view);

    std::wstring m_programFolder;
    std::wstring m_dataFolder;
    std::vector<KeyboardModel> m_models;
    std::vector<DeviceRecord> m_records;
    SoftwareInfo m_software;
    ModelLayout m_layout;
    int m_deviceType = 0;
    std::wstring m_modelName;
    std::wstring m_deviceInfo;
};
