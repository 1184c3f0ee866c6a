#pragma once
// Export switch of the toolkit: classes marked ZUNTUI_API are exported by ZuntUI.dll
// and imported by its users.
#ifdef ZUNTUI_BUILD
#define ZUNTUI_API __declspec(dllexport)
#else
#define ZUNTUI_API __declspec(dllimport)
#endif
