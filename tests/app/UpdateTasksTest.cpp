// The update tasks 12 to 15 against a scripted update service on 127.0.0.1: which
// published versions count, and that a downloaded program is started (and the program
// ended) only when the package was complete, unpacked whole and carries a trusted
// signature. Every failing path must leave the program running, keep nothing of the
// package and write nothing outside the temporary folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <memory>

#include "DeviceTasksFixture.h"
#include "app/TaskQueue.h"
#include "app/UpdateTasks.h"
#include "storage/CodeSignature.h"
#include "storage/DeviceDescription.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestPaths.h"
#include "support/TestZip.h"

using testsupport::HttpResponse;
using testsupport::ZipEntry;

namespace {

constexpr char kInstaller[] = "Keyboard-Software-1.0.2.exe";
constexpr char kPackagePath[] = "/soft/Keyboard-Software-1.0.2.zip";

class FakeUpdateView : public IUpdateView {
public:
    int timerStops = 0;
    int ends = 0;
    std::vector<UpdateTarget> marks;
    HWND window = nullptr;

    void StopUpdateTimer() override { ++timerStops; }
    void SetUpgradeMark(UpdateTarget target) override { marks.push_back(target); }
    HWND ProgressWindow() override { return window; }
    void EndForUpdate() override { ++ends; }
};

class StubVerifier : public ISignatureVerifier {
public:
    explicit StubVerifier(bool trusted) : trusted_(trusted) {}
    std::vector<std::wstring> checked;
    bool IsTrusted(const std::wstring& file) override
    {
        checked.push_back(file);
        return trusted_;
    }

private:
    bool trusted_;
};

// The build's test root in the current user's trusted roots for as long as it lives.
// The system store writes its changes when it is closed, so each change closes it.
class TrustedTestRoot {
public:
    TrustedTestRoot() : der_(testsupport::ReadFileBytes(Fixture(L"root.der")))
    {
        HCERTSTORE store = OpenRoots();
        if (!store)
            return;
        added_ = !der_.empty() &&
                 CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der_.data()),
                                                  static_cast<DWORD>(der_.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                                  nullptr);
        CertCloseStore(store, 0);
    }
    ~TrustedTestRoot()
    {
        if (!added_)
            return;
        HCERTSTORE store = OpenRoots();
        PCCERT_CONTEXT wanted = CertCreateCertificateContext(
            X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der_.data()), static_cast<DWORD>(der_.size()));
        if (store && wanted) {
            PCCERT_CONTEXT found =
                CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
            if (found)
                CertDeleteCertificateFromStore(found); // frees the context too
        }
        if (wanted)
            CertFreeCertificateContext(wanted);
        if (store)
            CertCloseStore(store, 0);
    }
    bool Added() const { return added_; }

    static std::wstring Fixture(const wchar_t* name)
    {
        return testsupport::ExeFolder() + L"\\fixtures\\update\\" + name;
    }

private:
    static HCERTSTORE OpenRoots()
    {
        return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    }

    std::string der_;
    bool added_ = false;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class UpdateTasksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server_.Start());
        box_ = testsupport::MakeTempFolder(L"tastro-update");
        ASSERT_FALSE(box_.empty());
        data_ = box_ + L"\\data\\";
        ASSERT_TRUE(CreateDirectoryW(data_.c_str(), nullptr));
        software_.version = L"1.0.1";
        software_.upgrade = server_.BaseUrl() + L"soft/";
        layout_.firmwareUrl = server_.BaseUrl() + L"fw/";
        probe_ = testsupport::ReadFileBytes(TrustedTestRoot::Fixture(L"trusted.exe"));
        ASSERT_FALSE(probe_.empty());
    }
    void TearDown() override { testsupport::RemoveTree(box_); }

    std::unique_ptr<UpdateTasks> Tasks(ISignatureVerifier& verifier)
    {
        return std::make_unique<UpdateTasks>(software_, layout_, data_, queue_, view_, verifier);
    }
    std::wstring Temp() const { return data_ + L"temp\\"; }

    void ServeText(const std::string& path, const std::string& text)
    {
        HttpResponse r;
        r.body = text;
        server_.Route(path, r);
    }
    std::string Zip(const std::vector<ZipEntry>& entries, int level = 6)
    {
        const std::wstring file = box_ + L"\\made.zip";
        EXPECT_TRUE(testsupport::WriteZip(file, entries, level));
        std::string bytes = testsupport::ReadFileBytes(file);
        DeleteFileW(file.c_str());
        return bytes;
    }
    void ServePackage(const std::string& path, const std::string& bytes,
                      HttpResponse::Length length = HttpResponse::Length::Exact, int status = 200)
    {
        HttpResponse r;
        r.body = bytes;
        r.length = length;
        r.status = status;
        server_.Route(path, r);
    }
    size_t RequestsFor(const std::string& name) const
    {
        size_t n = 0;
        for (const std::string& head : server_.Requests())
            n += head.substr(0, head.find("\r\n")).find(name) != std::string::npos;
        return n;
    }
    // Everything below the test's box lies in the data folder's temporary folder.
    void ExpectNothingOutsideTemp(const std::string& what)
    {
        for (const std::wstring& path : testsupport::ListTree(box_)) {
            const bool inside = path == L"data" || path == L"data\\temp" || path.rfind(L"data\\temp\\", 0) == 0;
            EXPECT_TRUE(inside) << what << ": " << std::string(path.begin(), path.end());
        }
        for (const wchar_t* outside : {L"C:\\evil.exe", L"C:\\x.dll", L"C:\\y"})
            EXPECT_FALSE(Exists(outside)) << what;
    }
    // The started probe marks itself; waits for it (bounded) and for it to end.
    bool WaitUntilStarted(const std::wstring& program)
    {
        for (int i = 0; i < 600; ++i) {
            if (Exists(program + L".started")) {
                for (int j = 0; j < 200 && !DeleteFileW(program.c_str()); ++j)
                    Sleep(50);
                return true;
            }
            Sleep(100);
        }
        return false;
    }

    testsupport::LoopbackHttpServer server_;
    std::wstring box_;
    std::wstring data_;
    SoftwareInfo software_;
    ModelLayout layout_;
    TaskQueue queue_;
    FakeUpdateView view_;
    AuthenticodeVerifier verifier_;
    std::string probe_; // the probe program signed under the test root
};

TEST_F(UpdateTasksTest, SoftwareCheckCountsOnlyAGreaterPlainVersion)
{
    struct Case {
        const char* published;
        bool update;
    };
    const Case cases[] = {
        {"1.0.2", true},    {"1.0.1", false},        {"1.0", false},   {"1.0.1.1", true},
        {"1.0.0", false},   {"..\\..\\a", false},    {"", false},      {"12345678901", false},
        {"1.0.2/../../x", false},
    };
    for (const Case& c : cases) {
        ServeText("/soft/version", c.published);
        FakeUpdateView view;
        UpdateTasks tasks(software_, layout_, data_, queue_, view, verifier_);
        const size_t packagesBefore = RequestsFor(".zip");
        tasks.CheckSoftwareUpdate();
        EXPECT_EQ(view.timerStops, 1) << c.published;
        EXPECT_EQ(view.ends, 0) << c.published; // no package is served
        EXPECT_EQ(RequestsFor(".zip") - packagesBefore, c.update ? 1u : 0u) << c.published;
        EXPECT_EQ(view.marks, c.update ? std::vector<UpdateTarget>{UpdateTarget::Software} : std::vector<UpdateTarget>{})
            << c.published;
        const bool plain = IsPublishedVersion(Wide(c.published));
        EXPECT_EQ(tasks.PublishedSoftwareVersion(), plain ? Wide(c.published) : L"") << c.published;
        ExpectNothingOutsideTemp(c.published);
    }
    EXPECT_TRUE(queue_.Empty());
}

TEST_F(UpdateTasksTest, FirmwareCheckComparesTheKeyboardVersion)
{
    struct Case {
        const char* published;
        bool readable;
        bool update;
    };
    const Case cases[] = {
        {"211", true, true}, {"210", true, false}, {"3", true, false},       {"211", false, false},
        {"2.1.1", true, false}, {"..\\..\\a", true, false}, {"99999999999", true, false},
    };
    for (const Case& c : cases) {
        ServeText("/fw/version", c.published);
        FakeUpdateView view;
        TaskQueue queue;
        UpdateTasks tasks(software_, layout_, data_, queue, view, verifier_);
        tasks.CheckFirmwareUpdate([&](uint16_t& version) {
            version = 0x0210;
            return c.readable;
        });
        EXPECT_EQ(view.marks, c.update ? std::vector<UpdateTarget>{UpdateTarget::Firmware} : std::vector<UpdateTarget>{})
            << c.published;
        EXPECT_EQ(queue.Codes(), c.update ? std::vector<int>{15} : std::vector<int>{}) << c.published;
        const bool plain = IsPublishedVersion(Wide(c.published));
        EXPECT_EQ(tasks.PublishedFirmwareVersion(), plain ? Wide(c.published) : L"") << c.published;
        EXPECT_EQ(view.ends, 0);
    }

    // Each check starts by forgetting the last published version.
    UpdateTasks tasks(software_, layout_, data_, queue_, view_, verifier_);
    ServeText("/fw/version", "211");
    tasks.CheckFirmwareUpdate([](uint16_t& v) { return v = 0x0210, true; });
    EXPECT_EQ(tasks.PublishedFirmwareVersion(), L"211");
    server_.Route("/fw/version", HttpResponse{404, "<html>gone</html>"});
    tasks.CheckFirmwareUpdate([](uint16_t& v) { return v = 0x0210, true; });
    EXPECT_EQ(tasks.PublishedFirmwareVersion(), L"");
    tasks.DownloadFirmware(); // nothing to download without a published version
    EXPECT_EQ(RequestsFor(".zip"), 0u);
}

TEST_F(UpdateTasksTest, FirmwareCheckReadsTheConnectedKeyboard)
{
    devicetest::TasksRig rig; // a wired virtual keyboard
    rig.keyboard->SetFirmwareVersion(0x0105);
    auto updates = Tasks(verifier_);
    DeviceTasks device(rig.db, rig.layout, rig.link, &rig.view, updates.get());

    ServeText("/fw/version", "105");
    device.CheckFirmwareUpdate();
    EXPECT_TRUE(view_.marks.empty());
    ServeText("/fw/version", "106");
    device.CheckFirmwareUpdate();
    EXPECT_EQ(view_.marks, std::vector<UpdateTarget>{UpdateTarget::Firmware});
    EXPECT_EQ(queue_.Codes(), std::vector<int>{15});
}

TEST_F(UpdateTasksTest, VerifiedInstallerIsStartedAndTheProgramEnds)
{
    ServeText("/soft/version", "1.0.2");
    ServePackage(kPackagePath, Zip({{"readme.txt", "notes"}, {kInstaller, probe_}}));
    TrustedTestRoot root;
    ASSERT_TRUE(root.Added());
    HWND progress = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    view_.window = progress;
    auto tasks = Tasks(verifier_);
    tasks->CheckSoftwareUpdate();

    const std::wstring program = Temp() + Wide(kInstaller);
    std::string heads;
    for (const std::string& head : server_.Requests())
        heads += head.substr(0, head.find("\r\n")) + "\n";
    EXPECT_EQ(view_.ends, 1) << heads;
    EXPECT_FALSE(Exists(Temp() + L"Keyboard-Software-1.0.2.zip")); // deleted after the unpack
    EXPECT_TRUE(Exists(Temp() + L"readme.txt"));
    EXPECT_TRUE(WaitUntilStarted(program));
    // The package address is the upgrade address, "//" and the package name.
    EXPECT_EQ(RequestsFor("GET /soft///Keyboard-Software-1.0.2.zip HTTP/1.1"), 1u);

    std::vector<LPARAM> values;
    MSG msg;
    while (PeekMessageW(&msg, progress, kUpdateProgressMessage, kUpdateProgressMessage, PM_REMOVE))
        values.push_back(msg.lParam);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 100);
    DestroyWindow(progress);
}

TEST_F(UpdateTasksTest, VerifiedFirmwareToolIsStarted)
{
    ServeText("/fw/version", "211");
    ServePackage("/fw/FirmwareUpdateTool-211.zip", Zip({{"FirmwareUpdateTool-211.exe", probe_}}));
    TrustedTestRoot root;
    ASSERT_TRUE(root.Added());
    auto tasks = Tasks(verifier_);
    tasks->CheckFirmwareUpdate([](uint16_t& v) { return v = 0x0210, true; });
    ASSERT_EQ(queue_.Codes(), std::vector<int>{15});
    tasks->DownloadFirmware();
    EXPECT_EQ(view_.ends, 1);
    EXPECT_TRUE(WaitUntilStarted(Temp() + L"FirmwareUpdateTool-211.exe"));
}

TEST_F(UpdateTasksTest, NothingUnverifiedIsEverStarted)
{
    // The signed probe would pass the real check in every case: what stops it is the
    // download, the archive or the start. Only a program that cannot start needs the stub,
    // since nothing that fails to start carries a trusted signature.
    TrustedTestRoot root;
    ASSERT_TRUE(root.Added());
    const std::string good = Zip({{kInstaller, probe_}});
    std::string damaged = Zip({{kInstaller, probe_}}, 0);
    damaged[damaged.find(probe_) + 200] ^= 0x55;
    struct Case {
        const char* what;
        std::string package; // empty: no package at that address (404 with a page)
        HttpResponse::Length length;
        int status;
        bool oldCopy; // a copy of the program from an earlier download waits in the folder
        bool stub;    // a verifier that trusts everything
    };
    const auto exact = HttpResponse::Length::Exact;
    const Case cases[] = {
        {"missing package", "", exact, 200, false, false},
        {"truncated package", good, HttpResponse::Length::Truncated, 200, false, false},
        {"package with an error status", good, exact, 500, false, false},
        {"not an archive", "<html><body>maintenance</body></html>", exact, 200, false, false},
        {"program missing from the package", Zip({{"other.exe", probe_}}), exact, 200, false, false},
        {"old copy but not in the package", Zip({{"other.exe", probe_}}), exact, 200, true, false},
        {"entry refused for its name", Zip({{kInstaller, probe_}, {"docs/CON", "x"}}), exact, 200, false, false},
        {"hostile names", Zip({{"../evil.exe", "1"}, {"..\\x.dll", "2"}, {"a/../../y", "3"}, {"C:x", "4"},
                               {"/abs/z", "5"}, {"..", "6"}}),
         exact, 200, false, false},
        {"damaged program entry", damaged, exact, 200, false, false},
        {"program that cannot start", Zip({{kInstaller, "this is not a program"}}), exact, 200, false, true},
    };
    ServeText("/soft/version", "1.0.2");
    const std::wstring program = Temp() + Wide(kInstaller);
    for (const Case& c : cases) {
        testsupport::RemoveTree(data_ + L"temp");
        if (c.oldCopy) {
            ASSERT_TRUE(CreateDirectoryW((data_ + L"temp").c_str(), nullptr));
            ASSERT_TRUE(testsupport::WriteFileBytes(program, probe_));
        }
        if (c.package.empty())
            server_.Route(kPackagePath, HttpResponse{404, "<html><body>Not Found</body></html>"});
        else
            ServePackage(kPackagePath, c.package, c.length, c.status);
        StubVerifier stub(true);
        FakeUpdateView view;
        UpdateTasks tasks(software_, layout_, data_, queue_, view,
                          c.stub ? static_cast<ISignatureVerifier&>(stub) : verifier_);
        tasks.CheckSoftwareUpdate();

        EXPECT_EQ(view.ends, 0) << c.what;
        EXPECT_EQ(view.marks, std::vector<UpdateTarget>{UpdateTarget::Software}) << c.what;
        EXPECT_EQ(stub.checked.size(), c.stub ? 1u : 0u) << c.what;
        EXPECT_FALSE(Exists(Temp() + L"Keyboard-Software-1.0.2.zip")) << c.what;
        EXPECT_FALSE(Exists(program)) << c.what;
        EXPECT_FALSE(Exists(program + L".started")) << c.what;
        ExpectNothingOutsideTemp(c.what);
    }
}

TEST_F(UpdateTasksTest, RealSignatureCheckDecidesTheStart)
{
    // The build's test root is trusted for this test only. (Added before the first check:
    // the system reads its trusted roots once per process.)
    TrustedTestRoot root;
    ASSERT_TRUE(root.Added());
    EXPECT_EQ(AuthenticodeVerifier::Check(TrustedTestRoot::Fixture(L"trusted.exe")), ERROR_SUCCESS);

    ServeText("/soft/version", "1.0.2");
    const std::wstring program = Temp() + Wide(kInstaller);
    for (const wchar_t* refused : {L"unsigned.exe", L"untrusted.exe", L"altered.exe"}) {
        ServePackage(kPackagePath, Zip({{kInstaller, testsupport::ReadFileBytes(TrustedTestRoot::Fixture(refused))}}));
        FakeUpdateView view;
        UpdateTasks tasks(software_, layout_, data_, queue_, view, verifier_);
        const size_t before = RequestsFor(".zip");
        tasks.DownloadSoftware(); // no published version yet: nothing happens
        EXPECT_EQ(RequestsFor(".zip"), before);
        tasks.CheckSoftwareUpdate();
        EXPECT_EQ(RequestsFor(".zip"), before + 1);
        EXPECT_EQ(view.ends, 0) << refused;
        EXPECT_FALSE(Exists(program)) << refused;
        EXPECT_FALSE(Exists(program + L".started")) << refused;
        ExpectNothingOutsideTemp("refused signature");
    }

    ServePackage(kPackagePath, Zip({{kInstaller, testsupport::ReadFileBytes(TrustedTestRoot::Fixture(L"trusted.exe"))}}));
    auto tasks = Tasks(verifier_);
    tasks->CheckSoftwareUpdate();
    EXPECT_EQ(view_.ends, 1);
    EXPECT_TRUE(WaitUntilStarted(program));
}

} // namespace
