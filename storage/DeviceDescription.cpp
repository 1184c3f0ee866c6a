#include "storage/DeviceDescription.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "storage/Paths.h"
#include "storage/ProfileDatabase.h"
#include "storage/XmlDocument.h"

namespace {

const wchar_t kDefaultSoftwareName[] = L"Tastro";
const int kStartupModel = 201;

// The keyboard controls a page set feeds, by their page-set bit.
const int kKeyboardViews[] = {kPageKeys, kPageLighting, kPageThirdKeyboard};

// A model or layouts name is used in a file path: one that could leave its folder is
// treated as empty.
std::wstring PlainOrEmpty(const std::wstring& name) { return IsPlainName(name.c_str()) ? name : std::wstring(); }

} // namespace

ModelLayout::ModelLayout() { std::memset(keyGrid, kNoKey, sizeof(keyGrid)); }

int ModelLayout::KeyIndexOf(int code) const
{
    auto it = keyPositionMap.find(code);
    return it == keyPositionMap.end() ? -1 : it->second;
}

DeviceDescription::DeviceDescription(std::wstring programFolder, std::wstring dataFolder)
    : m_programFolder(std::move(programFolder)), m_dataFolder(std::move(dataFolder))
{
}

int DeviceDescription::ParseDecimal(const std::wstring& text) { return _wtoi(text.c_str()); }

int DeviceDescription::ParseHex(const std::wstring& text)
{
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 16));
}

bool DeviceDescription::ParseFlag(const std::wstring& text) { return ParseDecimal(text) == 1; }

bool DeviceDescription::ParseRowColumn(const std::wstring& text, int& row, int& column)
{
    row = column = -1;
    if (text.size() < 2)
        return false;
    const int r = ParseDecimal(text.substr(0, 1));
    const int c = ParseDecimal(text.size() == 3 ? text.substr(2) : text.substr(text.size() - 2));
    if (r < 0 || r >= ModelLayout::kGridRows || c < 0 || c >= ModelLayout::kGridColumns)
        return false;
    row = r;
    column = c;
    return true;
}

RECT DeviceDescription::ParseRect(const std::wstring& text)
{
    // Each of x, y and width is the text before the next '#', the rest serving for the
    // next number; with no '#' left the number is 0 and the whole rest serves on. The
    // height is whatever remains.
    std::wstring rest = text;
    int values[3] = {0, 0, 0};
    for (int& v : values) {
        size_t hash = rest.find(L'#');
        if (hash == std::wstring::npos) {
            v = 0;
            continue;
        }
        v = ParseDecimal(rest.substr(0, hash));
        rest.erase(0, hash + 1);
    }
    const int height = ParseDecimal(rest);
    RECT rc;
    rc.left = values[0];
    rc.top = values[1];
    rc.right = values[0] + values[2];
    rc.bottom = values[1] + height;
    return rc;
}

std::wstring DeviceDescription::ReadSoftwareName(const std::wstring& programFolder)
{
    XmlDocument doc;
    std::wstring name;
    const std::wstring path = programFolder + L"config.xml";
    if (doc.LoadFile(path.c_str()) && doc.FindElement(L"config") && doc.EnterElement() &&
        doc.FindElement(L"software"))
        name = doc.GetAttribute(L"name");
    return IsPlainName(name.c_str()) ? name : std::wstring(kDefaultSoftwareName);
}

bool DeviceDescription::LoadDeviceList(IDescriptionView& view, ISupportedDeviceSink& sink, ProfileDatabase& db)
{
    m_models.clear();
    m_records.clear();

    bool read = false;
    {
        XmlDocument doc;
        const std::wstring path = m_programFolder + L"config.xml";
        if (doc.LoadFile(path.c_str()) && doc.FindElement(L"config")) {
            read = true;
            doc.EnterElement();
            if (doc.FindElement(L"device.info")) {
                doc.EnterElement();
                while (doc.FindElement(L"keyboard")) {
                    KeyboardModel model;
                    model.name = PlainOrEmpty(doc.GetAttribute(L"name"));
                    model.deviceType = ParseDecimal(doc.GetAttribute(L"device_type"));
                    model.deviceInfo = PlainOrEmpty(doc.GetAttribute(L"device_info"));
                    m_models.push_back(model);
                    view.AddDeviceToList(model.name, model.deviceType);

                    doc.EnterElement();
                    while (doc.FindElement(L"mode")) {
                        DeviceRecord rec;
                        rec.productName = doc.GetAttribute(L"product_name");
                        rec.deviceType = model.deviceType;
                        rec.deviceInfo = model.deviceInfo;
                        rec.connectionKind = ParseDecimal(doc.GetAttribute(L"value"));
                        rec.vid = ParseHex(doc.GetAttribute(L"vid"));
                        rec.pid = ParseHex(doc.GetAttribute(L"pid"));
                        rec.desc = doc.GetAttribute(L"desc");
                        rec.hidInterface = doc.GetAttribute(L"hid_interface");
                        m_records.push_back(rec);

                        SupportedDevice dev;
                        dev.vid = rec.vid;
                        dev.pid = rec.pid;
                        dev.productName = rec.productName;
                        dev.deviceType = rec.deviceType;
                        dev.connectionKind = rec.connectionKind;
                        dev.interfacePattern = rec.hidInterface;
                        sink.AddSupportedDevice(dev);
                    }
                    doc.LeaveElement();
                }
                doc.LeaveElement();
            }
            if (doc.FindElement(L"software")) {
                m_software.version = doc.GetAttribute(L"version");
                view.SetVersionText(L"Ver: " + m_software.version);
                doc.EnterElement();
                if (doc.FindElement(L"website"))
                    m_software.website = doc.GetAttribute(L"url");
                if (doc.FindElement(L"store"))
                    m_software.store = doc.GetAttribute(L"url");
                if (doc.FindElement(L"upgrade"))
                    m_software.upgrade = doc.GetAttribute(L"url");
                if (doc.FindElement(L"copyright")) {
                    m_software.copyright = doc.GetAttribute(L"info");
                    view.SetCopyrightText(m_software.copyright);
                }
            }
        }
    }

    SelectModel(kStartupModel, view, db);
    view.RegisterDeviceNotifications();
    return read;
}

bool DeviceDescription::SelectModel(int deviceType, IDescriptionView& view, ProfileDatabase& db)
{
    m_layout.firmwareUrl.clear();
    m_modelName.clear();
    m_deviceInfo.clear();
    for (const KeyboardModel& m : m_models) {
        if (m.deviceType == deviceType) {
            m_modelName = m.name;
            m_deviceInfo = m.deviceInfo;
            break;
        }
    }
    m_deviceType = deviceType;
    db.SelectModel(m_dataFolder, m_modelName, deviceType);
    return ReadLayouts(view);
}

bool DeviceDescription::ReadLayouts(IDescriptionView& view)
{
    XmlDocument doc;
    const std::wstring path = m_programFolder + L"layouts\\" + m_deviceInfo + L".xml";
    if (!doc.LoadFile(path.c_str()) || !doc.FindElement(L"device.info"))
        return false;
    doc.EnterElement();

    ModelLayout& L = m_layout;
    if (doc.FindElement(L"menu")) {
        L.pageSet = kPageKeys | kPageThirdKeyboard;
        if (ParseFlag(doc.GetAttribute(L"macro")))
            L.pageSet |= kPageMacros;
        if (ParseFlag(doc.GetAttribute(L"light_mode")))
            L.pageSet |= kPageLighting;
        view.SetTabVisible(1, (L.pageSet & kPageKeys) != 0);
        view.SetTabVisible(2, (L.pageSet & kPageMacros) != 0);
        view.SetTabVisible(3, (L.pageSet & kPageLighting) != 0);
        view.SetTabVisible(7, (L.pageSet & kPageThirdKeyboard) != 0);
    }
    if (doc.FindElement(L"function"))
        doc.GetAttribute(L"sleep_time"); // read, not used
    if (doc.FindElement(L"firmware")) {
        L.firmwareVersion = doc.GetAttribute(L"version");
        L.firmwareFile = doc.GetAttribute(L"file");
        L.firmwareUrl = doc.GetAttribute(L"url");
        view.SetFirmwareButtonVisible(L.FirmwareUpgradeVisible());
    }
    if (doc.FindElement(L"light")) {
        L.rgbKeyboard = ParseFlag(doc.GetAttribute(L"rgb_keyboard"));
        L.defaultMode = ParseDecimal(doc.GetAttribute(L"default_mode"));
        L.defaultBrightness = ParseDecimal(doc.GetAttribute(L"default_brightness"));
        L.defaultSpeed = ParseDecimal(doc.GetAttribute(L"default_speed"));
        L.brightnessMax = ParseDecimal(doc.GetAttribute(L"brightness_max"));
        L.speedMax = ParseDecimal(doc.GetAttribute(L"speed_max"));
        view.SetLightSliderMaxima(L.brightnessMax, L.speedMax);
        L.lightModes.clear();
        doc.EnterElement();
        while (doc.FindElement(L"info")) {
            LightModeInfo info;
            info.textId = ParseDecimal(doc.GetAttribute(L"name"));
            info.mode = ParseDecimal(doc.GetAttribute(L"mode"));
            info.attribute = ParseDecimal(doc.GetAttribute(L"attribute"));
            L.lightModes.push_back(info);
            view.ResetMusicControls();
        }
        doc.LeaveElement();
    }

    L.keyPositionMap.clear();
    L.ledMap.clear();
    L.keys.clear();
    L.rowCount = L.colCount = 0;
    std::memset(L.keyGrid, ModelLayout::kNoKey, sizeof(L.keyGrid));
    for (int kb : kKeyboardViews)
        if (L.pageSet & kb)
            view.ClearKeyboardKeys(kb);

    if (doc.FindElement(L"Keyboard")) {
        const int x = ParseDecimal(doc.GetAttribute(L"xpos"));
        const int y = ParseDecimal(doc.GetAttribute(L"ypos"));
        L.width = ParseDecimal(doc.GetAttribute(L"width"));
        L.height = ParseDecimal(doc.GetAttribute(L"height"));
        L.keyboardImage = L"keyboard\\" + doc.GetAttribute(L"image");
        L.rowCount = std::min(std::max(ParseDecimal(doc.GetAttribute(L"row_count")), 0), ModelLayout::kGridRows);
        L.colCount =
            std::min(std::max(ParseDecimal(doc.GetAttribute(L"col_count")), 0), ModelLayout::kGridColumns);
        L.keyboardRect = RECT{x, y, x + L.width, y + L.height};
        for (int kb : kKeyboardViews)
            if (L.pageSet & kb)
                view.SetKeyboardPicture(kb, L.keyboardRect, L.keyboardImage, L.width, L.height);

        doc.EnterElement();
        if (doc.FindElement(L"KeyItems")) {
            doc.EnterElement();
            while (doc.FindElement(L"key")) {
                KeyItemInfo key;
                key.code = ParseHex(doc.GetAttribute(L"code"));
                key.name = doc.GetAttribute(L"name");
                key.desc = doc.GetAttribute(L"desc");
                key.keyIndex = ParseDecimal(doc.GetAttribute(L"key_index"));
                key.icon = doc.GetAttribute(L"icon");
                key.rect = ParseRect(doc.GetAttribute(L"rect"));
                if (ParseRowColumn(doc.GetAttribute(L"row_col"), key.row, key.column))
                    L.keyGrid[key.row][key.column] = static_cast<uint8_t>(key.code & 0xFF);
                L.keyPositionMap[key.code] = key.keyIndex;
                L.ledMap[key.code] = key.keyIndex;
                L.keys.push_back(key);
                for (int kb : kKeyboardViews)
                    if (L.pageSet & kb)
                        view.AddKeyboardKey(kb, key);
            }
            doc.LeaveElement();
        }
        doc.LeaveElement();
    }
    return true;
}
