// Version texts and the HTTP client of the update service, against a scripted server on
// 127.0.0.1 driven through the real WinINet.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "storage/Updates.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestPaths.h"
#include "support/TestZip.h"

using testsupport::HttpResponse;

namespace {

TEST(UpdateVersions, ComparedPartByPartWithMissingPartsAsZero)
{
    struct Case {
        const wchar_t* local;
        const wchar_t* published;
        int expected;
    };
    const Case cases[] = {
        {L"1.0.1", L"1.0.2", 1},   {L"1.0.1", L"1.0.1", 0},    {L"1.0.1", L"1.0", -1},
        {L"1.0.1", L"1.0.1.1", 1}, {L"1.0.1", L"1.0.0", -1},   {L"1.0", L"1.0.0.0", 0},
        {L"1.9", L"1.10", 1},      {L"2", L"1.99.99", -1},     {L"1.0.1", L"01.0.01", 0},
        {L"", L"0", 0},            {L"1.0", L"99999999999999999999", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.local, c.published), c.expected) << c.local << " vs " << c.published;
}

TEST(UpdateVersions, OnlyShortDigitAndDotTextsArePublishedVersions)
{
    struct Case {
        const wchar_t* text;
        bool accepted;
    };
    const Case cases[] = {
        {L"1.0.2", true},       {L"1", true},           {L"1234567890", true}, {L"1.0.1.1", true},
        {L"12345678901", false}, {L"1.0.0.00001", false}, {L"", false},         {L"..\\..\\a", false},
        {L"1.0/..", false},     {L"1.0.2\r\n", false},  {L".1", false},        {L"1.", false},
        {L"1..2", false},       {L"1.0 ", false},       {L"Not Found", false}, {L"1.0.2:x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPublishedVersion(c.text), c.accepted) << c.text;
}

// Collects the progress messages posted to a message-only window of this thread.
class ProgressSink {
public:
    ProgressSink()
    {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~ProgressSink() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    std::vector<LPARAM> Take()
    {
        std::vector<LPARAM> values;
        MSG msg;
        while (PeekMessageW(&msg, window_, kUpdateProgressMessage, kUpdateProgressMessage, PM_REMOVE)) {
            EXPECT_EQ(msg.wParam, 0u);
            values.push_back(msg.lParam);
        }
        return values;
    }

private:
    HWND window_ = nullptr;
};

class UpdateFetch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server_.Start());
        folder_ = testsupport::MakeTempFolder(L"tastro-fetch");
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override { testsupport::RemoveTree(folder_); }

    std::wstring Url(const char* path) const
    {
        std::string p(path);
        return server_.BaseUrl() + std::wstring(p.begin(), p.end());
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    testsupport::LoopbackHttpServer server_;
    std::wstring folder_;
    HttpFetcher fetcher_;
};

TEST_F(UpdateFetch, TextOnlyFromCompleteSuccessfulResponses)
{
    HttpResponse ok;
    ok.body = "1.0.2";
    server_.Route("/v/ok", ok);
    HttpResponse bom;
    bom.body = "\xEF\xBB\xBF" "1.0.3";
    server_.Route("/v/bom", bom);
    HttpResponse unsized;
    unsized.body = "1.0.4";
    unsized.length = HttpResponse::Length::None;
    server_.Route("/v/unsized", unsized);
    HttpResponse error;
    error.status = 500;
    error.body = "1.0.5";
    server_.Route("/v/error", error);
    HttpResponse truncated;
    truncated.body = "1.0.2 and the rest of a longer text";
    truncated.length = HttpResponse::Length::Truncated;
    server_.Route("/v/truncated", truncated);
    HttpResponse endless;
    endless.body = std::string(1000, '1');
    endless.endless = true;
    server_.Route("/v/endless", endless);

    struct Case {
        const char* path;
        int result;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"v/ok", HttpFetcher::kDone, L"1.0.2"},
        {"v/bom", HttpFetcher::kDone, L"1.0.3"},
        {"v/unsized", HttpFetcher::kDone, L"1.0.4"},
        {"v/missing", HttpFetcher::kFailed, L""}, // 404 with an HTML page
        {"v/error", HttpFetcher::kFailed, L""},
        {"v/truncated", HttpFetcher::kFailed, L""},
        {"v/endless", HttpFetcher::kFailed, L""}, // stops at 64 KiB
    };
    for (const Case& c : cases) {
        std::wstring text = L"old";
        EXPECT_EQ(fetcher_.FetchText(Url(c.path), text), c.result) << c.path;
        EXPECT_EQ(text, c.text) << c.path;
    }
}

TEST_F(UpdateFetch, RequestsHaveTheServiceForm)
{
    HttpResponse ok;
    ok.body = "1.0.2";
    server_.Route("/v/version", ok);
    std::wstring text;
    ASSERT_EQ(fetcher_.FetchText(Url("v/version"), text), HttpFetcher::kDone);
    const std::vector<std::string> requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_EQ(head.rfind("GET /v/version HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: IIC2.0/PC 5.5.0000"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nAccept: */*"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nPragma: no-cache"), std::string::npos) << head;
}

TEST_F(UpdateFetch, NothingListeningIsAFailure)
{
    const std::wstring url = Url("v/ok");
    server_.Stop();
    std::wstring text;
    EXPECT_EQ(fetcher_.FetchText(url, text), HttpFetcher::kFailed);
    const std::wstring target = folder_ + L"\\package.zip";
    ASSERT_TRUE(testsupport::WriteFileBytes(target, "old package"));
    EXPECT_EQ(fetcher_.FetchFile(url, target, nullptr), HttpFetcher::kFailed);
    EXPECT_FALSE(Exists(target));
}

TEST_F(UpdateFetch, FileReceivedWholeWithProgress)
{
    std::string body;
    for (int i = 0; body.size() < 3 * 10240 + 5; ++i)
        body += std::to_string(i) + ",";
    body.resize(3 * 10240 + 5);
    HttpResponse ok;
    ok.body = body;
    server_.Route("/p/package.zip", ok);
    HttpResponse unsized = ok;
    unsized.length = HttpResponse::Length::None;
    server_.Route("/p/unsized.zip", unsized);

    ProgressSink progress;
    const std::wstring target = folder_ + L"\\package.zip";
    FetchFileInfo info;
    ASSERT_EQ(fetcher_.FetchFile(Url("p/package.zip"), target, progress.Window(), &info), HttpFetcher::kDone);
    EXPECT_EQ(testsupport::ReadFileBytes(target), body);
    EXPECT_EQ(info.status, 200u);
    EXPECT_TRUE(info.lengthSent);
    EXPECT_EQ(info.contentLength, body.size());
    EXPECT_EQ(info.received, body.size());
    std::vector<LPARAM> values = progress.Take();
    ASSERT_GE(values.size(), 5u);
    EXPECT_EQ(std::vector<LPARAM>(values.begin(), values.begin() + 4), (std::vector<LPARAM>{0, 2, 8, 10}));
    EXPECT_EQ(values.back(), 100);
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_NE(values[i], values[i - 1]) << "a value is posted only when it changes";

    // Without a length only the fixed steps are posted.
    ASSERT_EQ(fetcher_.FetchFile(Url("p/unsized.zip"), target, progress.Window()), HttpFetcher::kDone);
    EXPECT_EQ(testsupport::ReadFileBytes(target), body);
    EXPECT_EQ(progress.Take(), (std::vector<LPARAM>{0, 2, 8, 10, 100}));
}

TEST_F(UpdateFetch, ProgressNeverLeavesZeroToHundred)
{
    // One 10240-byte chunk announced for a body that needs at least two reads: counted
    // literally, the second read would post 190, which the main window would take for a
    // tray-icon click.
    HttpResponse ok;
    ok.body = std::string(20479, 'z');
    server_.Route("/p/big.zip", ok);
    ProgressSink progress;
    ASSERT_EQ(fetcher_.FetchFile(Url("p/big.zip"), folder_ + L"\\big.zip", progress.Window()), HttpFetcher::kDone);
    const std::vector<LPARAM> values = progress.Take();
    ASSERT_FALSE(values.empty());
    for (LPARAM v : values) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 100);
    }
    EXPECT_EQ(values.back(), 100);
}

TEST_F(UpdateFetch, IncompleteOrWrongResponsesLeaveNoFile)
{
    const std::string body(25000, 'p');
    HttpResponse truncated;
    truncated.body = body;
    truncated.length = HttpResponse::Length::Truncated;
    server_.Route("/p/truncated.zip", truncated);
    HttpResponse error;
    error.status = 500;
    error.body = body;
    server_.Route("/p/error.zip", error);

    const std::wstring target = folder_ + L"\\package.zip";
    for (const char* path : {"p/missing.zip", "p/truncated.zip", "p/error.zip"}) {
        ASSERT_TRUE(testsupport::WriteFileBytes(target, "an old package"));
        FetchFileInfo info;
        EXPECT_EQ(fetcher_.FetchFile(Url(path), target, nullptr, &info), HttpFetcher::kFailed) << path;
        EXPECT_FALSE(Exists(target)) << path;
    }
}

TEST_F(UpdateFetch, BodyLongerThanItsLengthNeverYieldsMoreThanAnnounced)
{
    const std::string body(25000, 'q');
    HttpResponse longer;
    longer.body = body;
    longer.length = HttpResponse::Length::Longer;
    server_.Route("/p/longer.zip", longer);
    const std::wstring target = folder_ + L"\\package.zip";
    FetchFileInfo info;
    const int result = fetcher_.FetchFile(Url("p/longer.zip"), target, nullptr, &info);
    // WinINet stops at the announced length; what is kept is exactly the announced body.
    ASSERT_EQ(result, HttpFetcher::kDone);
    EXPECT_EQ(info.received, body.size());
    EXPECT_EQ(testsupport::ReadFileBytes(target), body);
}

TEST_F(UpdateFetch, StopEndsATransferAndLeavesNoFile)
{
    HttpResponse endless;
    endless.body = std::string(4096, 's');
    endless.endless = true;
    server_.Route("/p/endless.zip", endless);
    const std::wstring target = folder_ + L"\\package.zip";
    std::thread stopper([&] {
        // Stop once the transfer has written something (bounded wait).
        for (int i = 0; i < 2000; ++i) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0)
                break;
            Sleep(5);
        }
        fetcher_.Stop();
    });
    const int result = fetcher_.FetchFile(Url("p/endless.zip"), target, nullptr);
    stopper.join();
    EXPECT_EQ(result, HttpFetcher::kStopped);
    EXPECT_FALSE(Exists(target));
}

} // namespace
