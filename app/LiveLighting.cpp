#include "app/LiveLighting.h"

#include "device/PauseClock.h"
#include "storage/DeviceDescription.h"

namespace {

// Longer than one analyser frame (15 ms) and its computation: after it the analyser has
// finished any frame that began with the old value.
constexpr unsigned kAnalysisPauseMs = 150;
constexpr int kAmplitudeScale = 5;
constexpr int kMusicLayerId = 1;

} // namespace

LiveLighting::LiveLighting(LevelSender sendLevel, AudioCapture::Endpoint endpoint)
    : sendLevel_(std::move(sendLevel)), capture_(endpoint)
{
}

LiveLighting::~LiveLighting()
{
    capture_.Stop();
    analyser_.Stop();
    screen_.Stop();
}

bool LiveLighting::StartMusicCapture(AudioCapture::IProxy* proxy)
{
    if (!capture_.Start(proxy))
        return false;
    UpdateSources();
    return true;
}

void LiveLighting::OnMusicData(const int16_t* values, int count, int, int, int)
{
    if (!LevelsWanted() || !sendLevel_)
        return;
    sendLevel_(AudioCapture::MusicLevel(values, count));
}

void LiveLighting::SetLightingTabShown(bool shown)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        tabShown_ = shown;
    }
    UpdateSources();
}

void LiveLighting::ShowLightMode(unsigned lightFlags)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        lightFlags_ = lightFlags;
    }
    UpdateSources();
}

void LiveLighting::SetDeviceFamily(int family)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        family_ = family;
    }
    UpdateSources();
}

void LiveLighting::SetLiveInterval(unsigned milliseconds)
{
    capture_.SetPeriod(milliseconds);
    screen_.SetInterval(milliseconds);
}

bool LiveLighting::LevelsWanted() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return tabShown_ && (lightFlags_ & kMusicModeFlag);
}

bool LiveLighting::AnalysisWanted() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    // A screen mode that also has the music bit shows the screen colours.
    return tabShown_ && family_ < 200 && (lightFlags_ & kMusicModeFlag) && !(lightFlags_ & kScreenModeFlag);
}

bool LiveLighting::SamplingWanted() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return tabShown_ && family_ < 200 && (lightFlags_ & kScreenModeFlag);
}

void LiveLighting::UpdateSources()
{
    capture_.SetActive(LevelsWanted());
    analyser_.SetEnabled(AnalysisWanted());
    screen_.SetEnabled(SamplingWanted());
}

bool LiveLighting::StartAnalyser()
{
    analyser_.SetEnabled(false);
    if (!analyser_.Start())
        return false;
    analyser_.SetEnabled(AnalysisWanted());
    return true;
}

bool LiveLighting::ReloadMusicLayer(ProfileDatabase& db, const ProfileDatabase::TextLookup& text, bool rgbKeyboard,
                                    MusicLayerRow& row)
{
    std::lock_guard<std::mutex> parameters(parameterMutex_);
    analyser_.SetEnabled(false);
    Pause(kAnalysisPauseMs);
    if (db.CountMusicLayers() < 1)
        db.AddDefaultMusicLayer(text, rgbKeyboard);
    MusicLayerRow layer;
    const int id = db.GetSelectedMusicLayer();
    const bool found = id > 0 && db.GetMusicLayer(id, layer);
    if (found) {
        analyser_.SetForegroundEffect(layer.foremode);
        analyser_.SetAmplitude(layer.fore_amplitude);
        analyser_.SetBackgroundEffect(layer.backmode);
        analyser_.SetBackgroundBrightness(layer.backb_right);
        row = layer;
    }
    // Device 0, activated afresh: this also revives a capture stream that broke.
    analyser_.SetDeviceIndex(0);
    if (analyser_.Running())
        analyser_.ActivateCapture();
    analyser_.SetEnabled(AnalysisWanted());
    return found;
}

bool LiveLighting::SetMusicParameter(ProfileDatabase& db, MusicParameter parameter, int value)
{
    std::lock_guard<std::mutex> parameters(parameterMutex_);
    const int stored = parameter == MusicParameter::Amplitude ? value * kAmplitudeScale : value;
    analyser_.SetEnabled(false);
    Pause(kAnalysisPauseMs);
    switch (parameter) {
    case MusicParameter::ForegroundEffect:
        analyser_.SetForegroundEffect(stored);
        break;
    case MusicParameter::Amplitude:
        analyser_.SetAmplitude(stored);
        break;
    case MusicParameter::BackgroundEffect:
        analyser_.SetBackgroundEffect(stored);
        break;
    case MusicParameter::BackgroundBrightness:
        analyser_.SetBackgroundBrightness(stored);
        break;
    }
    analyser_.SetEnabled(AnalysisWanted());

    int id = db.GetSelectedMusicLayer();
    if (id <= 0)
        id = kMusicLayerId;
    MusicLayerRow layer;
    if (!db.GetMusicLayer(id, layer))
        return false;
    switch (parameter) {
    case MusicParameter::ForegroundEffect:
        layer.foremode = stored;
        break;
    case MusicParameter::Amplitude:
        layer.fore_amplitude = stored;
        break;
    case MusicParameter::BackgroundEffect:
        layer.backmode = stored;
        break;
    case MusicParameter::BackgroundBrightness:
        layer.backb_right = stored;
        break;
    }
    return db.UpdateMusicLayer(layer);
}

void LiveLighting::LoadKeyGrid(const ModelLayout& layout)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        layout_ = &layout;
        positions_ = live::ImageSamplePositions(layout.rowCount, layout.colCount);
    }
    const live::SamplePositions p = Positions();
    if (!p.size.Empty())
        screen_.Start(p.size.columns, p.size.rows);
    UpdateSources();
}

live::SamplePositions LiveLighting::Positions() const
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return positions_;
}

std::vector<PreviewKey> LiveLighting::RecolourPreview(ILiveKeyboard& keyboard)
{
    unsigned flags;
    const ModelLayout* layout;
    live::SamplePositions positions;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        flags = lightFlags_;
        layout = layout_;
        positions = positions_;
    }
    if (layout && !positions.size.Empty() && (flags & (kMusicModeFlag | kScreenModeFlag))) {
        std::vector<PreviewKey> keys;
        if (flags & kScreenModeFlag) {
            keys = GridKeyColours(*layout, [this](int row, int column) { return screen_.CellColour(column, row); });
        } else {
            live::Colour cells[live::kMaxGridRows][live::kMaxGridColumns] = {};
            analyser_.Frames().SampleGrid(positions, cells);
            keys = GridKeyColours(*layout, [&cells](int row, int column) { return cells[row][column]; });
        }
        for (const PreviewKey& key : keys)
            keyboard.SetKeyColor(key.code, key.colour);
        keyboard.Redraw();
    }
    return keyboard.KeyColours();
}
