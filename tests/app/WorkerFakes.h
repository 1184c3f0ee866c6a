#pragma once
// Recording fakes of the main window and the device operations, sharing one log so that
// tests see the exact order of everything the worker asked for.
#include <mutex>
#include <string>
#include <vector>

#include "app/WorkerHost.h"

struct CallLog {
    std::mutex mutex;
    std::vector<std::string> calls;

    void Add(const std::string& call)
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }
    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }
};

class FakeHost : public IWorkerHost {
public:
    explicit FakeHost(CallLog& log) : log_(log) {}

    bool present = true;
    bool matched = true;
    int family = 201;
    int tab = 0;
    unsigned lightFlags = 0;
    unsigned pages = kPageKeyAssignment | kPageMacro | kPageLighting;
    // What a scan finds.
    bool scanFindsKeyboard = true;

    bool DevicePresent() override { return present; }
    bool DeviceMatched() override { return matched; }
    int DeviceFamily() override { return family; }
    int CurrentTab() override { return tab; }
    unsigned LightFlags() override { return lightFlags; }
    unsigned PageSet() override { return pages; }

    void ScanAndRefreshDevices(WorkerTask reason) override
    {
        log_.Add("scan " + std::to_string(static_cast<int>(reason)));
        present = matched = scanFindsKeyboard;
    }
    void StartMusicCapturePaused() override { log_.Add("music capture"); }
    void ReloadMacroList() override { log_.Add("macro list"); }
    void ReloadProfileList() override { log_.Add("profile list"); }
    void ReloadLightingPage() override { log_.Add("lighting page"); }
    void EnableMainWindow(bool enable) override { log_.Add(enable ? "enable" : "disable"); }
    void PostWaitTicketDone(WaitTicket ticket) override { log_.Add("ticket " + std::to_string(ticket)); }

private:
    CallLog& log_;
};

class FakeDevice : public IDeviceTasks {
public:
    explicit FakeDevice(CallLog& log) : log_(log) {}

    void ReconcileAssignments() override { log_.Add("reconcile"); }
    void ApplyKeys(int family) override { log_.Add("keys " + std::to_string(family)); }
    void ApplyLighting(int family) override { log_.Add("lighting " + std::to_string(family)); }
    void ApplyKeyColours() override { log_.Add("key colours"); }
    void FactoryReset(int family) override { log_.Add("reset " + std::to_string(family)); }
    void SendLiveFrame() override { log_.Add("live frame"); }
    void CheckSoftwareUpdate() override { log_.Add("software check"); }
    void CheckFirmwareUpdate() override { log_.Add("firmware check"); }
    void DownloadSoftware() override { log_.Add("software download"); }
    void DownloadFirmware() override { log_.Add("firmware download"); }

private:
    CallLog& log_;
};
