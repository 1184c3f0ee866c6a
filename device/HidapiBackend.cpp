#include "device/HidapiBackend.h"

#include <windows.h>
#include <setupapi.h>
#include <hidsdi.h>
#include <hidpi.h>

#include <hidapi.h>

#include <mutex>

namespace {

// The HID interface class.
const GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

using GetAttributesFn = BOOLEAN(__stdcall*)(HANDLE, PHIDD_ATTRIBUTES);
using GetStringFn = BOOLEAN(__stdcall*)(HANDLE, PVOID, ULONG);
using SetFeatureFn = BOOLEAN(__stdcall*)(HANDLE, PVOID, ULONG);
using GetIndexedStringFn = BOOLEAN(__stdcall*)(HANDLE, ULONG, PVOID, ULONG);
using GetPreparsedDataFn = BOOLEAN(__stdcall*)(HANDLE, PHIDP_PREPARSED_DATA*);
using FreePreparsedDataFn = BOOLEAN(__stdcall*)(PHIDP_PREPARSED_DATA);
using GetCapsFn = NTSTATUS(__stdcall*)(PHIDP_PREPARSED_DATA, PHIDP_CAPS);

struct HidSystemLibrary {
    std::mutex mutex;
    HMODULE module = nullptr;
    GetAttributesFn getAttributes = nullptr;
    GetPreparsedDataFn getPreparsedData = nullptr;
    FreePreparsedDataFn freePreparsedData = nullptr;
    GetCapsFn getCaps = nullptr;

    ~HidSystemLibrary()
    {
        if (module)
            FreeLibrary(module);
    }

    template <typename T> bool Resolve(T& fn, const char* name)
    {
        fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        return fn != nullptr;
    }

    bool Load()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (module)
            return true;
        module = LoadLibraryW(L"hid.dll");
        if (!module)
            return false;
        // The library counts as usable only when every function of the HID class API that
        // the link may need is there.
        GetStringFn serial = nullptr, manufacturer = nullptr, product = nullptr;
        SetFeatureFn setFeature = nullptr, getFeature = nullptr;
        GetIndexedStringFn indexed = nullptr;
        const bool ok = Resolve(getAttributes, "HidD_GetAttributes") &&
                        Resolve(serial, "HidD_GetSerialNumberString") &&
                        Resolve(manufacturer, "HidD_GetManufacturerString") &&
                        Resolve(product, "HidD_GetProductString") && Resolve(setFeature, "HidD_SetFeature") &&
                        Resolve(getFeature, "HidD_GetFeature") && Resolve(indexed, "HidD_GetIndexedString") &&
                        Resolve(getPreparsedData, "HidD_GetPreparsedData") &&
                        Resolve(freePreparsedData, "HidD_FreePreparsedData") && Resolve(getCaps, "HidP_GetCaps");
        if (!ok) {
            FreeLibrary(module);
            module = nullptr;
        }
        return ok;
    }
};

HidSystemLibrary& HidLibrary()
{
    static HidSystemLibrary library;
    return library;
}

std::string Narrow(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

// The setup class name and driver key of a device node; false when either is missing.
bool IsHidClassWithDriver(HDEVINFO set, SP_DEVINFO_DATA& node)
{
    wchar_t text[256];
    if (!SetupDiGetDeviceRegistryPropertyW(set, &node, SPDRP_CLASS, nullptr, reinterpret_cast<PBYTE>(text),
                                           sizeof text, nullptr))
        return false;
    if (lstrcmpiW(text, L"HIDClass") != 0)
        return false;
    return SetupDiGetDeviceRegistryPropertyW(set, &node, SPDRP_DRIVER, nullptr, reinterpret_cast<PBYTE>(text),
                                             sizeof text, nullptr) != FALSE;
}

hid_device* Device(HidHandle handle) { return reinterpret_cast<hid_device*>(handle); }

} // namespace

bool LoadHidSystemLibrary() { return HidLibrary().Load(); }

HidapiBackend::HidapiBackend() = default;
HidapiBackend::~HidapiBackend() = default;

std::vector<HidDeviceInfo> HidapiBackend::Enumerate()
{
    std::vector<HidDeviceInfo> list;
    HidSystemLibrary& hid = HidLibrary();
    if (!hid.Load())
        return list;

    HDEVINFO set = SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return list;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA itf = {};
        itf.cbSize = sizeof itf;
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, index, &itf))
            break;
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &itf, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        std::vector<BYTE> storage(required);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        SP_DEVINFO_DATA node = {};
        node.cbSize = sizeof node;
        if (!SetupDiGetDeviceInterfaceDetailW(set, &itf, detail, required, nullptr, &node))
            continue;
        if (!IsHidClassWithDriver(set, node))
            continue;

        // Attribute queries only: no read or write access.
        HANDLE file = CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        HIDD_ATTRIBUTES attributes = {};
        attributes.Size = sizeof attributes;
        if (!hid.getAttributes(file, &attributes)) {
            CloseHandle(file);
            continue;
        }
        HidDeviceInfo info;
        info.path = Narrow(detail->DevicePath);
        info.vid = attributes.VendorID;
        info.pid = attributes.ProductID;
        info.release = attributes.VersionNumber;
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (hid.getPreparsedData(file, &preparsed)) {
            HIDP_CAPS caps = {};
            if (hid.getCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS) {
                info.usagePage = caps.UsagePage;
                info.usage = caps.Usage;
            }
            hid.freePreparsedData(preparsed);
        }
        CloseHandle(file);
        info.interfaceNumber = ParseInterfaceNumber(info.path);
        list.push_back(std::move(info));
    }
    SetupDiDestroyDeviceInfoList(set);
    return list;
}

HidHandle HidapiBackend::Open(const std::string& path)
{
    return reinterpret_cast<HidHandle>(hid_open_path(path.c_str()));
}

void HidapiBackend::Close(HidHandle handle)
{
    if (handle)
        hid_close(Device(handle));
}

int HidapiBackend::Write(HidHandle handle, const uint8_t* data, size_t length)
{
    return hid_write(Device(handle), data, length);
}

int HidapiBackend::SendFeature(HidHandle handle, const uint8_t* data, size_t length)
{
    return hid_send_feature_report(Device(handle), data, length);
}

int HidapiBackend::GetFeature(HidHandle handle, uint8_t* data, size_t length)
{
    return hid_get_feature_report(Device(handle), data, length);
}
