#pragma once
#include <windows.h>
#include <string>
#include "UIDefine.h"

// Process-wide settings of the toolkit. The program reaches the toolkit's global state
// only through these statics.
class ZUNTUI_API Manager {
public:
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();

    // The device name names the program's mutex, window, registry key and data folder.
    static void SetDeviceName(const wchar_t* name);
    static const wchar_t* GetDeviceName();

private:
    static HINSTANCE s_instance;
    static std::wstring s_deviceName;
};
