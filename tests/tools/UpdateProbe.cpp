// The program that the update tests put into packages as the installer or firmware tool.
// Started, it leaves "<its own path>.started" beside itself and ends; it touches nothing
// else. Built once unsigned; the fixture script signs copies of it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH + 16];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    lstrcatW(path, L".started");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(file);
    return 0;
}
