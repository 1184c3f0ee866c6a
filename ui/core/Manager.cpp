#include "Manager.h"

HINSTANCE Manager::s_instance = nullptr;
std::wstring Manager::s_deviceName;

void Manager::SetInstance(HINSTANCE instance) { s_instance = instance; }

HINSTANCE Manager::GetInstance() { return s_instance; }

void Manager::SetDeviceName(const wchar_t* name) { s_deviceName = name ? name : L""; }

const wchar_t* Manager::GetDeviceName() { return s_deviceName.c_str(); }
