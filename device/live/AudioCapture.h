#pragma once
// The level path of music lighting: a thread that captures what the computer plays
// (the default render endpoint, shared mode, loopback) as 16-bit PCM and hands each
// packet to its owner through a forwarder. The owner reduces a packet to one level
// (MusicLevel) and sends it to the keyboard.
#include <windows.h>
#include <mmreg.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace AudioCapture {

// The capture thread's callbacks, in slot order. Every call comes from the capture thread.
class IProxy {
public:
    virtual ~IProxy() = default;
    // The thread is ending (its setup failed, or it was stopped).
    virtual void OnCaptureStopped() = 0;
    // One packet: count = frames x channels 16-bit values; values is null and count 0 when
    // no packet was waiting.
    virtual void OnData(const int16_t* values, int count, int blockAlign, int bitsPerSample, int channels) = 0;
    // The 16-bit format the stream was opened with, before the first packet.
    virtual void OnFormat(const WAVEFORMATEX& format) = 0;
};

// Forwards the capture thread's callbacks to member functions of its owner; a slot that
// is not bound does nothing. Slots may be bound from any thread while the capture thread
// calls them.
template <class Owner>
class Proxy : public IProxy {
public:
    using StoppedSlot = void (Owner::*)();
    using DataSlot = void (Owner::*)(const int16_t* values, int count, int blockAlign, int bitsPerSample, int channels);
    using FormatSlot = void (Owner::*)(const WAVEFORMATEX& format);

    // owner: not owned; it must outlive the capture thread's use of this forwarder.
    explicit Proxy(Owner* owner) : owner_(owner) {}

    void BindStopped(StoppedSlot slot) { Set(stopped_, slot); }
    void BindData(DataSlot slot) { Set(data_, slot); }
    void BindFormat(FormatSlot slot) { Set(format_, slot); }

    void OnCaptureStopped() override
    {
        if (StoppedSlot slot = Get(stopped_))
            (owner_->*slot)();
    }
    void OnData(const int16_t* values, int count, int blockAlign, int bitsPerSample, int channels) override
    {
        if (DataSlot slot = Get(data_))
            (owner_->*slot)(values, count, blockAlign, bitsPerSample, channels);
    }
    void OnFormat(const WAVEFORMATEX& format) override
    {
        if (FormatSlot slot = Get(format_))
            (owner_->*slot)(format);
    }

private:
    template <class Slot>
    void Set(Slot& target, Slot slot)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target = slot;
    }
    template <class Slot>
    Slot Get(const Slot& source)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return source;
    }

    Owner* owner_;
    std::mutex mutex_;
    StoppedSlot stopped_ = nullptr;
    DataSlot data_ = nullptr;
    FormatSlot format_ = nullptr;
};

// The music level of a packet, 0 to 128: the magnitude of the value at position
// count - 10, shifted right by 8. A packet of fewer than 10 values (or none) gives 0.
int MusicLevel(const int16_t* values, int count);

// The capture format made of a mix format: float becomes 16-bit PCM (also the float
// subformat of an extensible format, with 16 valid bits); 16 bits per sample, block
// align and bytes per second to match.
void ConvertToPcm16(WAVEFORMATEX& format);

// Which endpoint the thread captures.
enum class Endpoint {
    RenderLoopback, // the default render endpoint, through loopback: what the computer plays
    DefaultCapture, // the default capture endpoint (for a sound server whose default
                    // source is its output's monitor)
};

// The capture thread record: thread, period, forwarder. Start, Stop, SetPeriod and
// SetActive may be called from any thread.
class CaptureThread {
public:
    explicit CaptureThread(Endpoint endpoint = Endpoint::RenderLoopback);
    ~CaptureThread();
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;

    // Starts the thread unless one runs; proxy (not owned) must outlive the thread.
    bool Start(IProxy* proxy);
    // Ends the thread and waits for it.
    void Stop();
    bool Running() const { return threadId_.load() != 0; }

    // Milliseconds between two packets (33 at start).
    void SetPeriod(unsigned milliseconds);
    unsigned Period() const { return period_.load(); }
    // While inactive the stream is stopped and the thread waits on an event, costing
    // nothing; it starts inactive.
    void SetActive(bool active);

private:
    static unsigned __stdcall ThreadProc(void* self);
    void Run(DWORD ownId);

    const Endpoint endpoint_;
    std::mutex startMutex_;
    HANDLE thread_ = nullptr;
    std::atomic<DWORD> threadId_{0};
    std::atomic<unsigned> period_{33};
    std::atomic<bool> active_{false};
    HANDLE wake_; // auto-reset: Stop and SetActive end the thread's wait
    IProxy* proxy_ = nullptr;
    std::vector<int16_t> packet_; // reused packet copy, padded to whole 16-bit values
};

} // namespace AudioCapture
