#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "UIDefine.h"
#include "UITypes.h"

class MWindow;

// Process-wide settings of the toolkit. The program reaches the toolkit's global state
// only through these statics.
class ZUNTUI_API Manager {
public:
    // The application's module: window classes are registered in it and its resources
    // are the "application" resources of the image cache.
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    // The module of the toolkit itself (its embedded images and font).
    static HINSTANCE GetLibraryInstance();

    // GDI+ start-up with COM and OLE (the program starts GDI+ itself and does not need it).
    static int InitGdiplus();
    static void UnInitGdiplus();

    // Font of every control's text: the family name (default "Arial") and size in pixels
    // (default 14).
    static void SetFont(CString name, int size);
    static void SetFontName(CString name);
    static const wchar_t* GetFontName();
    static int GetFontWidth();

    // The device name names the program's mutex, window, registry key and data folder.
    static void SetDeviceName(const wchar_t* name);
    static const wchar_t* GetDeviceName();

    // The theme folder inside "skins\" ("theme1\", fixed).
    static const wchar_t* GetTheme();
    // Selection colour of the list controls (ARGB).
    static DWORD GetSelectColor();

    // Folder of the running executable with a trailing backslash.
    static CString GetProgramFolder();
    // The program folder followed by "skins\" and the theme.
    static CString GetSkinFolder();

    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    // A fresh control id from the process-wide counter.
    static UINT GetNextControlID();

    // The thread's message loop; returns the exit code of WM_QUIT. Messages fetched while
    // Alt and F4 are both held are dropped.
    static int MessageLoop();
    // 1 exactly when Alt and F4 are both held (the message is then dropped).
    static int PreTranslateMessage(MSG* msg);

private:
    static HINSTANCE s_instance;
    static ULONG_PTR s_gdiplusToken;
    static CString s_fontName;
    static int s_fontSize;
    static CString s_deviceName;
    static DWORD s_selectColor;
    static std::vector<MWindow*> s_windows;
    static UINT s_controlId;
};
