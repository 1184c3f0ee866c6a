#pragma once
// The update service: version texts and update packages fetched over HTTP with WinINet,
// and the comparison of version texts.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

// The message that carries download progress to the main window: wParam 0, lParam the
// percentage. The main window shares the number with its tray-icon callback, so only
// 0..100 are ever posted (mouse messages, 512 and up, must not be faked by progress).
constexpr UINT kUpdateProgressMessage = 1690;

// A version text longer than this is refused while it is read.
constexpr size_t kMaxFetchedText = 64 * 1024;

// What a finished FetchFile saw of the response.
struct FetchFileInfo {
    DWORD status = 0;             // HTTP status code, 0 when none was read
    bool lengthSent = false;      // the response carried a Content-Length
    uint64_t contentLength = 0;   // its value (0 when absent)
    uint64_t received = 0;        // bytes written to the target file
};

// One HTTP client of the update service. Every request has the same form: agent
// "IIC2.0/PC 5.5.0000", preconfigured access (automatic proxy detection only when the
// connection runs through a proxy), "Accept: */*", no cache, reads of 10240 bytes.
//
// Both operations run on the calling thread (the worker) and set the continue flag when
// they start; Stop() may be called from any thread and ends the running operation after
// its current chunk with result kStopped.
class HttpFetcher {
public:
    enum Result : int {
        kNoInternet = 0, // the internet handle could not be opened
        kDone = 1,
        kFailed = -1,
        kStopped = -2,
    };

    // Reads the whole body of `url` as UTF-8 text. kDone only for status 200 with the
    // whole body read; a body over kMaxFetchedText, another status, a body shorter than
    // its Content-Length or a failed read give kFailed and an empty text. After a stop the
    // text read so far is kept.
    int FetchText(const std::wstring& url, std::wstring& text);

    // Downloads `url` into `target` (deleted first, created as soon as the address
    // answers), posting progress to `progressWindow` (may be null). kDone only for status
    // 200 with exactly the Content-Length received (when one was sent); on any other
    // result the target file is deleted again. `info` (may be null) tells what was seen.
    int FetchFile(const std::wstring& url, const std::wstring& target, HWND progressWindow,
                  FetchFileInfo* info = nullptr);

    // Any thread: the running operation stops after its current chunk.
    void Stop() { continue_ = false; }

private:
    void PostProgress(HWND window, int percent);

    std::atomic<bool> continue_{false};
    int lastProgress_ = -1; // the last value posted; -1 before the first
};

// Compares version texts part by part ("." separated, each part read as a decimal
// number, a missing part read as 0): -1 when the local version is newer, 0 when they are
// equal, 1 when the published version is newer.
int CompareVersions(const std::wstring& local, const std::wstring& published);

// True when a published version text may be used: 1 to 10 characters, digits in parts
// separated by single dots ("1.0.2"). It names files, so nothing else is accepted.
bool IsPublishedVersion(const std::wstring& text);
