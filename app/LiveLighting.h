#pragma once
// Music and screen lighting of the main window: the audio capture of the level path, the
// music analyser and the screen sampler, switched on and off by what the lighting page
// shows, fed from the music layer of the profile database, and read by the worker's live
// step to colour the on-screen keyboard.
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "app/DeviceTasks.h"
#include "device/live/AudioCapture.h"
#include "device/live/LiveGrid.h"
#include "device/live/ScreenLight.h"
#include "device/live/Visualizer.h"
#include "storage/ProfileDatabase.h"

struct ModelLayout;

// Attribute bits of a lighting mode that select a live source.
constexpr unsigned kMusicModeFlag = 0x200;
constexpr unsigned kScreenModeFlag = 0x400;

// The lighting page's on-screen keyboard as the live step colours it. Calls come from the
// worker thread; an implementation hands them to the window's thread.
class ILiveKeyboard {
public:
    virtual ~ILiveKeyboard() = default;
    virtual void SetKeyColor(int code, uint32_t colour) = 0;
    virtual void Redraw() = 0;
    // Every key of the keyboard with its colour.
    virtual std::vector<PreviewKey> KeyColours() = 0;
};

// The music layer's fields that the lighting page's controls change.
enum class MusicParameter { ForegroundEffect, Amplitude, BackgroundEffect, BackgroundBrightness };

class LiveLighting {
public:
    // Sends one music level (0 to 128) to the keyboard; called on the capture thread.
    using LevelSender = std::function<bool(int level)>;

    explicit LiveLighting(LevelSender sendLevel,
                          AudioCapture::Endpoint endpoint = AudioCapture::Endpoint::RenderLoopback);
    ~LiveLighting();
    LiveLighting(const LiveLighting&) = delete;
    LiveLighting& operator=(const LiveLighting&) = delete;

    // --- level path
    // User-interface thread, at main-window initialisation: starts the capture thread
    // unless it runs. The caller then binds the forwarder's data slot to its music-level
    // handler, which hands the packet to OnMusicData. proxy: not owned, outlives the thread.
    bool StartMusicCapture(AudioCapture::IProxy* proxy);
    // The music-level handler (capture thread): while the lighting tab shows a music mode,
    // the packet's level goes to the keyboard.
    void OnMusicData(const int16_t* values, int count, int blockAlign, int bitsPerSample, int channels);

    // --- what the main window shows (user-interface thread)
    void SetLightingTabShown(bool shown);
    // The attribute bits of the mode shown: 0x200 switches the music analysis on, 0x400
    // the screen sampling, anything else both off.
    void ShowLightMode(unsigned lightFlags);
    // The live steps of music and screen lighting run only for device types below 200.
    void SetDeviceFamily(int family);
    // Milliseconds between live frames (33, 66 or 99): the capture period and the
    // sampler's pace.
    void SetLiveInterval(unsigned milliseconds);

    // --- analyser
    // Worker (Startup task): starts the analyser, paused.
    bool StartAnalyser();
    // Lighting reload (worker): pauses the analysis, makes the music layer when there is
    // none, loads the selected layer into the analysis and resumes it when a music mode is
    // shown. False (row untouched) when no layer could be read.
    bool ReloadMusicLayer(ProfileDatabase& db, const ProfileDatabase::TextLookup& text, bool rgbKeyboard,
                          MusicLayerRow& row);
    // User-interface thread: a music control changed. The analysis is paused while the
    // value is replaced, then the selected layer is written with it. The amplitude comes
    // as the slider position (stored x 5). False when the layer could not be written.
    bool SetMusicParameter(ProfileDatabase& db, MusicParameter parameter, int value);

    // --- key grid (lighting reload, worker)
    // Sample positions from the layout's grid; the screen sampler starts with the first
    // grid that has rows and columns, later grids only change its size. layout: not
    // owned, read by the live step until the next call.
    void LoadKeyGrid(const ModelLayout& layout);
    live::SamplePositions Positions() const;

    // --- live step (worker)
    // Colours every grid key of the keyboard from the screen (modes with 0x400) or from
    // the music image (0x200), redraws it and returns all its keys with their colours.
    std::vector<PreviewKey> RecolourPreview(ILiveKeyboard& keyboard);

    live::Visualizer& Analyser() { return analyser_; }
    live::ScreenLight& Screen() { return screen_; }
    AudioCapture::CaptureThread& Capture() { return capture_; }
    bool AnalysisWanted() const;
    bool SamplingWanted() const;
    bool LevelsWanted() const;

private:
    void UpdateSources();

    LevelSender sendLevel_;
    AudioCapture::CaptureThread capture_;
    live::Visualizer analyser_;
    live::ScreenLight screen_;

    mutable std::mutex stateMutex_;
    bool tabShown_ = false;
    unsigned lightFlags_ = 0;
    int family_ = 0;
    const ModelLayout* layout_ = nullptr; // the description's layout, not owned
    live::SamplePositions positions_;
    // Parameter changes and reloads (user-interface and worker thread) one at a time.
    std::mutex parameterMutex_;
};
