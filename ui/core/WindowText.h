#pragma once
#include <windows.h>

#include "UITypes.h"

// The whole text of a window, however long; empty for a null or dead handle.
ZUNTUI_API CString GetWindowTextString(HWND hwnd);
