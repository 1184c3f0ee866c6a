#include "storage/Updates.h"

#include <wininet.h>

#include <algorithm>
#include <vector>

namespace {

constexpr char kAgent[] = "IIC2.0/PC 5.5.0000";
constexpr char kRequestHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr DWORD kReadSize = 10240;

// Closes a WinINet handle when it goes out of scope.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle()
    {
        if (handle_)
            InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

HINTERNET OpenInternet()
{
    // Automatic proxy detection costs seconds; it is wanted only where the connection
    // runs through a proxy.
    DWORD state = 0;
    InternetGetConnectedState(&state, 0);
    const DWORD access = (state & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                             : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    return InternetOpenA(kAgent, access, nullptr, nullptr, 0);
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& bytes)
{
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3; // a byte order mark is not part of the text
    if (bytes.size() == start)
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, static_cast<int>(bytes.size() - start),
                                      nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, static_cast<int>(bytes.size() - start), out.data(),
                            n);
    return out;
}

HINTERNET OpenUrl(HINTERNET internet, const std::wstring& url)
{
    const std::string utf8 = ToUtf8(url);
    return InternetOpenUrlA(internet, utf8.c_str(), kRequestHeaders, static_cast<DWORD>(-1), kUrlFlags, 0);
}

DWORD StatusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

// The Content-Length of the response. False when it was not sent; a value that is not
// a plain decimal number counts as sent with an impossible length, so no body matches it.
bool ContentLength(HINTERNET request, uint64_t& length)
{
    wchar_t text[32];
    DWORD size = sizeof(text);
    length = 0;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return false;
    const size_t count = size / sizeof(wchar_t);
    if (count == 0 || count > 19) {
        length = UINT64_MAX;
        return true;
    }
    for (size_t i = 0; i < count; ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            length = UINT64_MAX;
            return true;
        }
        length = length * 10 + static_cast<uint64_t>(text[i] - L'0');
    }
    return true;
}

// The leading decimal digits of a version part (spaces before them skipped), saturating.
uint64_t PartValue(const std::wstring& part)
{
    size_t i = 0;
    while (i < part.size() && (part[i] == L' ' || part[i] == L'\t'))
        ++i;
    uint64_t value = 0;
    for (; i < part.size() && part[i] >= L'0' && part[i] <= L'9'; ++i) {
        const uint64_t digit = static_cast<uint64_t>(part[i] - L'0');
        value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
    }
    return value;
}

std::vector<uint64_t> VersionParts(const std::wstring& text)
{
    std::vector<uint64_t> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find(L'.', start);
        parts.push_back(PartValue(text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start)));
        if (dot == std::wstring::npos)
            return parts;
        start = dot + 1;
    }
}

} // namespace

int HttpFetcher::FetchText(const std::wstring& url, std::wstring& text)
{
    continue_ = true;
    text.clear();
    InternetHandle internet(OpenInternet());
    if (!internet)
        return kNoInternet;
    InternetHandle request(OpenUrl(internet.get(), url));
    if (!request)
        return kFailed;
    if (StatusCode(request.get()) != HTTP_STATUS_OK)
        return kFailed; // an error page is not a version
    uint64_t length = 0;
    const bool lengthSent = ContentLength(request.get(), length);

    std::string bytes;
    char chunk[kReadSize];
    while (continue_) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), chunk, kReadSize, &read))
            return kFailed;
        if (read == 0) {
            if (lengthSent && bytes.size() != length)
                return kFailed; // the connection ended early
            text = FromUtf8(bytes);
            return kDone;
        }
        if (bytes.size() + read > kMaxFetchedText)
            return kFailed; // no version text is that long: stop reading an endless stream
        bytes.append(chunk, read);
    }
    text = FromUtf8(bytes);
    return kStopped;
}

int HttpFetcher::FetchFile(const std::wstring& url, const std::wstring& target, HWND progressWindow,
                           FetchFileInfo* info)
{
    continue_ = true;
    FetchFileInfo seen;
    const int result = [&]() -> int {
        PostProgress(progressWindow, 0);
        InternetHandle internet(OpenInternet());
        if (!internet)
            return kNoInternet;
        PostProgress(progressWindow, 2);
        InternetHandle request(OpenUrl(internet.get(), url));
        if (!request)
            return kFailed;
        PostProgress(progressWindow, 8);

        DeleteFileW(target.c_str());
        seen.status = StatusCode(request.get());
        if (seen.status != HTTP_STATUS_OK)
            return kFailed; // whatever the body is, it is not the package
        HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return kFailed;
        seen.lengthSent = ContentLength(request.get(), seen.contentLength);
        const uint64_t chunks = seen.contentLength == UINT64_MAX ? 0 : seen.contentLength / kReadSize;
        PostProgress(progressWindow, 10);

        int outcome = kDone;
        uint64_t done = 0;
        std::vector<char> chunk(kReadSize);
        while (continue_) {
            DWORD read = 0;
            if (!InternetReadFile(request.get(), chunk.data(), kReadSize, &read)) {
                outcome = kFailed;
                break;
            }
            if (read == 0)
                break;
            DWORD written = 0;
            if (!WriteFile(file, chunk.data(), read, &written, nullptr) || written != read) {
                outcome = kFailed;
                break;
            }
            seen.received += read;
            if (seen.lengthSent && seen.received > seen.contentLength) {
                outcome = kFailed; // more than the server announced
                break;
            }
            done += 90;
            if (chunks > 0)
                PostProgress(progressWindow, static_cast<int>(std::min<uint64_t>(done / chunks + 10, 100)));
        }
        if (!CloseHandle(file) && outcome == kDone)
            outcome = kFailed;
        if (outcome == kFailed)
            return kFailed;
        if (!continue_)
            outcome = kStopped;
        PostProgress(progressWindow, 100);
        if (outcome == kDone && seen.lengthSent && seen.received != seen.contentLength)
            return kFailed; // the connection ended before the whole package arrived
        return outcome;
    }();
    if (result != kDone)
        DeleteFileW(target.c_str()); // a partial package is never left behind
    if (info)
        *info = seen;
    return result;
}

void HttpFetcher::PostProgress(HWND window, int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == lastProgress_)
        return;
    lastProgress_ = percent;
    if (window)
        PostMessageW(window, kUpdateProgressMessage, 0, percent);
}

int CompareVersions(const std::wstring& local, const std::wstring& published)
{
    const std::vector<uint64_t> a = VersionParts(local);
    const std::vector<uint64_t> b = VersionParts(published);
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const uint64_t x = i < a.size() ? a[i] : 0;
        const uint64_t y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x > y ? -1 : 1;
    }
    return 0;
}

bool IsPublishedVersion(const std::wstring& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    bool digitBefore = false; // a dot needs a digit on each side
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            digitBefore = true;
        } else if (c == L'.' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}
