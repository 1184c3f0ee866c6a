// Music and screen lighting of the main window: the music-level handler and its report,
// switching the sources by what the lighting page shows, the music layer's parameter
// protocol, the key grid, and the worker's live step through the on-screen keyboard.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>
#include <memory>

#include "DeviceTasksFixture.h"
#include "WorkerFakes.h"
#include "app/LiveLighting.h"
#include "live/LiveTestSupport.h"
#include "app/WorkerRoutine.h"

using namespace devicetest;
using Lines = std::vector<std::string>;

namespace {

// The on-screen keyboard: every key of the small layout, with the colours set on it.
class RecordingKeyboard : public ILiveKeyboard {
public:
    std::map<int, uint32_t> colours;
    int redraws = 0;
    explicit RecordingKeyboard(const ModelLayout& layout)
    {
        for (const auto& [code, led] : layout.ledMap)
            colours[code] = 0;
    }
    void SetKeyColor(int code, uint32_t colour) override { colours[code] = colour; }
    void Redraw() override { ++redraws; }
    std::vector<PreviewKey> KeyColours() override
    {
        std::vector<PreviewKey> keys;
        for (const auto& [code, colour] : colours)
            keys.push_back({code, colour});
        return keys;
    }
};

// The main window's task view: the live step recolours its keyboard through LiveLighting.
class LiveTaskView : public IDeviceTaskView {
public:
    LiveTaskView(LiveLighting& live, ILiveKeyboard& keyboard) : live_(live), keyboard_(keyboard) {}
    void ReloadPagesAfterReset(bool) override {}
    std::vector<PreviewKey> RecolourLivePreview() override { return live_.RecolourPreview(keyboard_); }

private:
    LiveLighting& live_;
    ILiveKeyboard& keyboard_;
};

// A packet whose value at count - 10 is `sample`.
std::vector<int16_t> Packet(int16_t sample, int count = 40)
{
    std::vector<int16_t> p(count, 0);
    p[count - 10] = sample;
    return p;
}

} // namespace

TEST(MusicLevelHandler, SendsTheLevelOnlyWhileTheLightingTabShowsAMusicMode)
{
    TasksRig rig;
    LiveLighting live([&](int level) { return rig.tasks.SendMusicLevel(level); });
    const std::vector<int16_t> loud = Packet(-32768);
    struct Case {
        bool tab;
        unsigned flags;
        bool sends;
    } cases[] = {{true, 0x200, true}, {true, 0x600, true}, {false, 0x200, false}, {true, 0x400, false},
                 {true, 0x001, false}};
    for (const Case& c : cases) {
        rig.Reset();
        live.SetLightingTabShown(c.tab);
        live.ShowLightMode(c.flags);
        live.OnMusicData(loud.data(), static_cast<int>(loud.size()), 4, 16, 2);
        EXPECT_EQ(rig.Reports().size(), c.sends ? 1u : 0u) << c.tab << " " << c.flags;
    }
}

TEST(MusicLevelHandler, FullScaleGivesLevel128ThroughTheGainAndShortPacketsGiveZero)
{
    TasksRig rig;
    LiveLighting live([&](int level) { return rig.tasks.SendMusicLevel(level); });
    live.SetLightingTabShown(true);
    live.ShowLightMode(0x200);
    struct Case {
        int16_t sample;
        int count;
        double gain;
        const char* report;
    } cases[] = {
        {-32768, 40, 1.0, "feature-set 07 23 45 67 89 01 00 80"},
        {-32768, 40, 2.0, "feature-set 07 23 45 67 89 01 00 FF"},
        {-32768, 40, 0.5, "feature-set 07 23 45 67 89 01 00 40"},
        {0x3000, 40, 1.0, "feature-set 07 23 45 67 89 01 00 30"},
        {-32768, 9, 1.0, "feature-set 07 23 45 67 89 01 00 00"},
    };
    for (const Case& c : cases) {
        protocol::MusicSettings settings;
        settings.gain = c.gain;
        rig.tasks.SetMusicSettings(settings);
        rig.Reset();
        std::vector<int16_t> packet(c.count, c.sample);
        live.OnMusicData(packet.data(), c.count, 4, 16, 2);
        EXPECT_EQ(rig.Reports(), Lines{c.report}) << c.sample << " x " << c.gain;
    }
    rig.Reset();
    live.OnMusicData(nullptr, 0, 4, 16, 2); // no packet this period: level 0
    EXPECT_EQ(rig.Reports(), Lines{"feature-set 07 23 45 67 89 01 00 00"});
}

TEST(MusicLevelHandler, TheForwarderReachesTheHandler)
{
    TasksRig rig;
    LiveLighting live([&](int level) { return rig.tasks.SendMusicLevel(level); });
    live.SetLightingTabShown(true);
    live.ShowLightMode(0x200);
    AudioCapture::Proxy<LiveLighting> proxy(&live);
    proxy.BindData(&LiveLighting::OnMusicData);
    const std::vector<int16_t> packet = Packet(0x2000);
    static_cast<AudioCapture::IProxy&>(proxy).OnData(packet.data(), static_cast<int>(packet.size()), 4, 16, 2);
    EXPECT_EQ(rig.Reports(), Lines{"feature-set 07 23 45 67 89 01 00 20"});
}

TEST(LiveSources, SwitchedByTheTabTheModeAndTheFamily)
{
    struct Case {
        bool tab;
        unsigned flags;
        int family;
        bool levels, analysis, sampling;
    } cases[] = {
        {true, 0x200, 100, true, true, false},   {true, 0x400, 100, false, false, true},
        {true, 0x600, 100, true, false, true},   {false, 0x200, 100, false, false, false},
        {false, 0x400, 100, false, false, false}, {true, 0x001, 100, false, false, false},
        {true, 0x200, 201, true, false, false},  {true, 0x400, 201, false, false, false},
    };
    LiveLighting live([](int) { return true; });
    for (const Case& c : cases) {
        live.SetLightingTabShown(c.tab);
        live.ShowLightMode(c.flags);
        live.SetDeviceFamily(c.family);
        const std::string what = std::to_string(c.tab) + " " + std::to_string(c.flags) + " " + std::to_string(c.family);
        EXPECT_EQ(live.LevelsWanted(), c.levels) << what;
        EXPECT_EQ(live.Analyser().Enabled(), c.analysis) << what;
        EXPECT_EQ(live.Screen().Enabled(), c.sampling) << what;
    }
}

TEST(MusicLayerProtocol, ReloadMakesTheLayerAndLoadsItIntoTheAnalysis)
{
    TasksRig rig;
    LiveLighting live([](int) { return true; });
    live.SetLightingTabShown(true);
    live.ShowLightMode(0x200);
    live.SetDeviceFamily(100);
    ASSERT_EQ(rig.db.CountMusicLayers(), 0);
    MusicLayerRow row;
    ASSERT_TRUE(live.ReloadMusicLayer(rig.db, [](int id) { return id == 101 ? L"Layer" : L""; }, true, row));
    EXPECT_EQ(rig.clock.Pauses(), std::vector<unsigned>{150});
    EXPECT_EQ(rig.db.CountMusicLayers(), 1);
    EXPECT_EQ(row.name, L"Layer 1");
    EXPECT_EQ(row.foremode, 17); // an RGB keyboard
    const live::SpectrumSettings s = live.Analyser().Frames().Settings();
    EXPECT_EQ(s.foregroundEffect, 17);
    EXPECT_FLOAT_EQ(s.analysis.amplitude, 300.0f);
    EXPECT_EQ(s.backgroundEffect, 0);
    EXPECT_EQ(s.backgroundBrightness, 100);
    EXPECT_TRUE(live.Analyser().Enabled()); // a music mode on the lighting tab

    // Off the lighting tab the reload leaves the analysis off.
    live.SetLightingTabShown(false);
    ASSERT_TRUE(live.ReloadMusicLayer(rig.db, nullptr, true, row));
    EXPECT_EQ(rig.db.CountMusicLayers(), 1);
    EXPECT_FALSE(live.Analyser().Enabled());
}

TEST(MusicLayerProtocol, AParameterPausesTheAnalysisThenIsStoredInTheLayer)
{
    TasksRig rig;
    LiveLighting live([](int) { return true; });
    live.SetLightingTabShown(true);
    live.ShowLightMode(0x200);
    live.SetDeviceFamily(100);
    MusicLayerRow row;
    ASSERT_TRUE(live.ReloadMusicLayer(rig.db, nullptr, false, row));
    struct Case {
        MusicParameter parameter;
        int value;
        int MusicLayerRow::*field;
        int stored;
    } cases[] = {
        {MusicParameter::ForegroundEffect, 9, &MusicLayerRow::foremode, 9},
        {MusicParameter::Amplitude, 40, &MusicLayerRow::fore_amplitude, 200},
        {MusicParameter::BackgroundEffect, 3, &MusicLayerRow::backmode, 3},
        {MusicParameter::BackgroundBrightness, 55, &MusicLayerRow::backb_right, 55},
    };
    for (const Case& c : cases) {
        rig.clock.Clear();
        ASSERT_TRUE(live.SetMusicParameter(rig.db, c.parameter, c.value));
        EXPECT_EQ(rig.clock.Pauses(), std::vector<unsigned>{150});
        MusicLayerRow stored;
        ASSERT_TRUE(rig.db.GetMusicLayer(rig.db.GetSelectedMusicLayer(), stored));
        EXPECT_EQ(stored.*(c.field), c.stored);
        EXPECT_TRUE(live.Analyser().Enabled());
    }
    const live::SpectrumSettings s = live.Analyser().Frames().Settings();
    EXPECT_EQ(s.foregroundEffect, 9);
    EXPECT_FLOAT_EQ(s.analysis.amplitude, 200.0f);
    EXPECT_EQ(s.backgroundEffect, 3);
    EXPECT_EQ(s.backgroundBrightness, 55);

    // A database without the layer: the analysis still takes the value; nothing is written.
    rig.db.Close();
    EXPECT_FALSE(live.SetMusicParameter(rig.db, MusicParameter::ForegroundEffect, 4));
    EXPECT_EQ(live.Analyser().Frames().Settings().foregroundEffect, 4);
}

TEST(LiveKeyGrid, AnEmptyGridStartsNoSamplerAndReloadsKeepOneThread)
{
    LiveLighting live([](int) { return true; });
    ModelLayout empty;
    const int before = live::ScreenLight::ThreadsStarted();
    live.LoadKeyGrid(empty);
    EXPECT_FALSE(live.Screen().Running());
    EXPECT_TRUE(live.Positions().size.Empty());

    ModelLayout layout = SmallLayout();
    live.LoadKeyGrid(layout);
    live.LoadKeyGrid(layout);
    layout.rowCount = 6;
    layout.colCount = 21;
    live.LoadKeyGrid(layout);
    EXPECT_EQ(live::ScreenLight::ThreadsStarted(), before + 1);
    EXPECT_EQ(live.Screen().Columns(), 21);
    EXPECT_EQ(live.Screen().Rows(), 6);
    EXPECT_EQ(live.Positions().rowY[5], 57);
}

TEST(LiveStep, TheWorkerSendsTheMusicImageAtTheKeysGridCells)
{
    TasksRig rig(VirtualConnection::Legacy);
    protocol::ProcessLiveStream().started = true; // the start report is another test's
    LiveLighting live([](int) { return true; });
    RecordingKeyboard keyboard(rig.layout);
    LiveTaskView view(live, keyboard);
    DeviceTasks tasks(rig.db, rig.layout, rig.link, &view);
    live.LoadKeyGrid(rig.layout);
    live.SetDeviceFamily(testsupport::kLegacyFamily);
    live.SetLightingTabShown(true);
    live.ShowLightMode(0x200);
    live.Analyser().SetEnabled(false); // frames are made by the test
    // Blue bars over a red background; with silence only the background shows.
    live.Analyser().SetForegroundEffect(7);
    live.Analyser().SetBackgroundEffect(2);
    live.Analyser().Frames().Frame(nullptr, 0);

    CallLog log;
    FakeHost host(log);
    host.family = testsupport::kLegacyFamily;
    host.tab = kLightingTab;
    host.lightFlags = 0x200;
    TaskQueue queue;
    WorkerRoutine routine(queue, host, tasks);
    routine.RunOnce();

    EXPECT_EQ(keyboard.redraws, 1);
    EXPECT_EQ(keyboard.colours[kKeyEsc], 0x0000FDu);
    EXPECT_EQ(keyboard.colours[kKeyF], 0x0000FDu);
    const Lines reports = rig.Reports(2);
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(reports[0], "aux-output 00 F1");
    const VirtualFirmwareState s = rig.keyboard->State();
    EXPECT_EQ(s.liveFrame[0], 0xFD);      // Esc, LED 0: red
    EXPECT_EQ(s.liveFrame[3 * 25], 0xFD); // F, LED 25
    EXPECT_EQ(s.liveFrame[3 * 25 + 2], 0x00);

    // Screen modes (also with the music bit) take the sampled colours.
    host.lightFlags = 0x600;
    live.ShowLightMode(0x600);
    live.Screen().SetEnabled(false);
    ASSERT_TRUE(livetest::WaitUntilSteady([&] { return live.Screen().StepsTaken(); }));
    routine.RunOnce();
    EXPECT_EQ(keyboard.redraws, 2);
    EXPECT_EQ(keyboard.colours[kKeyEsc], live.Screen().CellColour(0, 0));
    EXPECT_EQ(keyboard.colours[kKeyF], live.Screen().CellColour(5, 1));
}
