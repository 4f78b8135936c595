// The engine that really plays: FFmpeg decodes ahead of the clock, the sound goes through a looping
// buffer of the layer's mixer kept filled ahead of its play cursor, and the pictures wait in a queue
// until the clock reaches them. Decoding runs on a worker thread, or, on the manual clock, as a step
// of every clock move, so that tests see the same result every time.
#include "platform/dsound.h"
#include "platform/movie_decoder.h"
#include "platform/movie_internal.h"
#include "platform/time.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::movie {
namespace {
constexpr DWORD kBytesPerSecond = kAudioRate * kAudioBytesPerFrame;
// Two seconds of sound in the ring, of which decoding keeps one filled ahead of the play cursor; the
// clock may move up to the ring's length between two looks at the cursor.
constexpr DWORD kRingBytes = 2 * kBytesPerSecond;
constexpr DWORD kSoundLead = kBytesPerSecond;
constexpr double kVideoLead = 0.25;
constexpr std::size_t kMaxQueuedFrames = 90;
// A duration the container does not know: the position reaches it only when the streams drain.
constexpr double kUnknownDuration = 86400.0;

struct QueuedFrame {
    double time;
    AVFrame* frame;
};

class FfmpegEngine final : public MovieEngine, private MovieDecoder::Sink {
  public:
    ~FfmpegEngine() override {
        StopDriver();
        ClearFrames();
        if (m_Buffer) m_Buffer->Release();
        if (m_Device) m_Device->Release();
    }

    HRESULT Open(const std::string& hostPath) override {
        if (!m_Decoder.Open(hostPath)) return VFW_E_UNSUPPORTED_STREAM;
        m_Duration = m_Decoder.Duration() > 0.0 ? m_Decoder.Duration() : kUnknownDuration;
        if (m_Decoder.HasAudio()) OpenSound();
        return S_OK;
    }

    double Duration() const override { return m_Duration; }

    HRESULT Run() override {
        std::lock_guard<std::mutex> decode(m_DecodeLock);
        if (m_Running) return S_OK;
        if (m_NeedSeek) {
            if (!m_Decoder.Seek(m_StoppedAt)) return E_FAIL;
            std::lock_guard<std::mutex> lock(m_Lock);
            ClearFrames();
            m_Eof = false;
            m_EndTime = 0.0;
        }
        m_NeedSeek = false;
        m_Base = m_StoppedAt;
        m_Pending.clear();
        m_PendingAt = 0;
        m_AudioPlaced = false;
        if (m_Buffer) {
            m_Buffer->Stop();
            m_Buffer->SetCurrentPosition(0);
            WriteRing(0, kRingBytes, nullptr);
            m_LastCursor = 0;
            m_Played = m_Written = 0;
            m_ZeroedTo = kRingBytes;
        }
        Pump();
        if (m_Buffer && m_Buffer->Play(0, 0, DSBPLAY_LOOPING) < 0) DropSound();
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            m_RunTick = GetTickCount();
            m_Running = true;
        }
        StartDriver();
        return S_OK;
    }

    HRESULT Stop() override {
        StopDriver();
        std::lock_guard<std::mutex> decode(m_DecodeLock);
        std::lock_guard<std::mutex> lock(m_Lock);
        if (!m_Running) return S_OK;
        m_StoppedAt = PositionLocked();
        m_Running = false;
        m_NeedSeek = true;
        if (m_Buffer) m_Buffer->Stop();
        return S_OK;
    }

    double Position() override {
        std::lock_guard<std::mutex> lock(m_Lock);
        return PositionLocked();
    }

    HRESULT SetPosition(double seconds) override {
        const bool wasRunning = m_Running;
        if (wasRunning) Stop();
        {
            std::lock_guard<std::mutex> decode(m_DecodeLock);
            std::lock_guard<std::mutex> lock(m_Lock);
            seconds = std::min(seconds, m_Duration);
            // A file not yet read from is at its start already.
            m_NeedSeek = m_NeedSeek || !m_Fresh || seconds != 0.0;
            m_StoppedAt = seconds;
            ClearFrames();
        }
        return wasRunning ? Run() : S_OK;
    }

    void SetVolume(LONG volume) override {
        m_Volume = volume;
        if (m_Buffer) m_Buffer->SetVolume(volume);
    }

    bool TakeDuePicture(int width, int height, bool again, VideoPicture* out) override {
        AVFrame* frame = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            const double now = ClockLocked();
            while (!m_Frames.empty() && m_Frames.front().time <= now + 0.001) {
                av_frame_free(&m_Current);
                m_Current = m_Frames.front().frame;
                m_Frames.pop_front();
                m_CurrentShown = false;
            }
            if (!m_Current || (m_CurrentShown && !again)) return false;
            m_CurrentShown = true;
            frame = av_frame_clone(m_Current);
        }
        if (!frame) return false;
        out->width = width;
        out->height = height;
        out->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        const bool ok = m_Scaler.Convert(frame, width, height, out->pixels.data());
        av_frame_free(&frame);
        return ok;
    }

  private:
    void OpenSound() {
        void* device = nullptr;
        if (CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &device) < 0)
            return;
        m_Device = static_cast<IDirectSound*>(device);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, static_cast<DWORD>(kAudioRate), kBytesPerSecond, 4, 16, 0};
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
        desc.dwBufferBytes = kRingBytes;
        desc.lpwfxFormat = &format;
        // Without a sound device the movie plays silent on the time since Run.
        if (m_Device->Initialize(nullptr) < 0 || m_Device->SetCooperativeLevel(nullptr, DSSCL_NORMAL) < 0 ||
            m_Device->CreateSoundBuffer(&desc, &m_Buffer, nullptr) < 0) {
            DropSound();
            return;
        }
        m_Buffer->SetVolume(m_Volume);
    }

    void DropSound() {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (m_Buffer) m_Buffer->Release();
        if (m_Device) m_Device->Release();
        m_Buffer = nullptr;
        m_Device = nullptr;
    }

    void StartDriver() {
        if (IsManualClock()) {
            m_ClockListener = AddClockListener([this](DWORD) {
                std::lock_guard<std::mutex> decode(m_DecodeLock);
                Pump();
            });
            return;
        }
        m_Quit = false;
        m_Worker = std::thread([this] {
            std::unique_lock<std::mutex> wake(m_WakeLock);
            while (!m_Quit) {
                wake.unlock();
                {
                    std::lock_guard<std::mutex> decode(m_DecodeLock);
                    Pump();
                }
                wake.lock();
                m_Wake.wait_for(wake, std::chrono::milliseconds(8), [this] { return m_Quit; });
            }
        });
    }

    void StopDriver() {
        if (m_ClockListener) RemoveClockListener(m_ClockListener);
        m_ClockListener = 0;
        if (m_Worker.joinable()) {
            {
                std::lock_guard<std::mutex> wake(m_WakeLock);
                m_Quit = true;
            }
            m_Wake.notify_all();
            m_Worker.join();
        }
    }

    // The sound's clock while the sound plays, else the time since Run; under m_Lock.
    double ClockLocked() {
        if (!m_Running) return m_StoppedAt;
        if (m_Buffer) {
            DWORD cursor = 0;
            if (m_Buffer->GetCurrentPosition(&cursor, nullptr) >= 0) {
                m_Played += (cursor + kRingBytes - m_LastCursor) % kRingBytes;
                m_LastCursor = cursor;
            }
            return m_Base + static_cast<double>(m_Played) / kBytesPerSecond;
        }
        return m_Base + static_cast<DWORD>(GetTickCount() - m_RunTick) / 1000.0;
    }

    double PositionLocked() {
        const double now = ClockLocked();
        if (!m_Running) return now;
        // Program streams only estimate their length: the end is where the streams drain.
        if (m_Eof && now >= m_EndTime) return m_Duration;
        return std::min(now, m_Duration - 0.001);
    }

    // Decodes until the ring is full and the pictures reach past the clock, then writes the ring.
    // Under m_DecodeLock.
    void Pump() {
        double now;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            now = ClockLocked();
            if (m_Written < m_Played) {
                // An underrun: the sound of the time already passed is skipped, so that what follows
                // stays on the clock.
                const std::uint64_t gap = std::min<std::uint64_t>(m_Played - m_Written, PendingBytes());
                m_PendingAt += gap / 2;
                m_Written = m_Played;
            }
        }
        for (;;) {
            bool wantSound = false, wantPicture = false;
            {
                std::lock_guard<std::mutex> lock(m_Lock);
                wantSound = m_Buffer && m_Written + PendingBytes() < m_Played + kSoundLead;
                wantPicture = m_Decoder.HasVideo() && m_Frames.size() < kMaxQueuedFrames &&
                              (m_Frames.empty() || m_Frames.back().time < now + kVideoLead);
            }
            if (m_Eof || !(wantSound || wantPicture)) break;
            m_Fresh = false;
            if (!m_Decoder.Step(*this)) {
                std::lock_guard<std::mutex> lock(m_Lock);
                m_Eof = true;
            }
        }
        WriteSound();
    }

    std::uint64_t PendingBytes() const { return (m_Pending.size() - m_PendingAt) * 2; }

    void WriteSound() {
        if (!m_Buffer) return;
        std::uint64_t played;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            played = m_Played;
        }
        const std::uint64_t room = played + kSoundLead - std::min(m_Written, played + kSoundLead);
        const std::uint64_t bytes = std::min<std::uint64_t>(room, PendingBytes()) & ~std::uint64_t{3};
        if (bytes) {
            WriteRing(m_Written, static_cast<DWORD>(bytes), &m_Pending[m_PendingAt]);
            m_PendingAt += bytes / 2;
            std::lock_guard<std::mutex> lock(m_Lock);
            m_Written += bytes;
        }
        if (m_PendingAt > m_Pending.size() / 2) {
            m_Pending.erase(m_Pending.begin(), m_Pending.begin() + static_cast<std::ptrdiff_t>(m_PendingAt));
            m_PendingAt = 0;
        }
        // What was played is silenced, so that the ring plays silence, not old sound, when decoding
        // falls behind or the movie has ended.
        const std::uint64_t from = std::max(m_ZeroedTo, m_Written);
        const std::uint64_t to = played + kRingBytes;
        if (to > from)
            WriteRing(from, static_cast<DWORD>(std::min<std::uint64_t>(to - from, kRingBytes)), nullptr);
        m_ZeroedTo = std::max(m_ZeroedTo, to);
    }

    // Copies `bytes` (zeros for null) into the ring from the absolute byte `at` on.
    void WriteRing(std::uint64_t at, DWORD bytes, const std::int16_t* data) {
        void *a = nullptr, *b = nullptr;
        DWORD na = 0, nb = 0;
        if (m_Buffer->Lock(static_cast<DWORD>(at % kRingBytes), bytes, &a, &na, &b, &nb, 0) < 0) return;
        const auto* src = reinterpret_cast<const std::uint8_t*>(data);
        if (src) {
            std::memcpy(a, src, na);
            if (b) std::memcpy(b, src + na, nb);
        } else {
            std::memset(a, 0, na);
            if (b) std::memset(b, 0, nb);
        }
        m_Buffer->Unlock(a, na, b, nb);
    }

    void OnVideo(double time, double duration, const AVFrame* frame) override {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_EndTime = std::max(m_EndTime, time + duration);
        // After a jump the decoder starts at the key frame before the target.
        if (time + duration <= m_Base) return;
        if (AVFrame* copy = av_frame_clone(frame)) m_Frames.push_back({time, copy});
    }

    void OnAudio(double time, const std::int16_t* samples, int frames) override {
        if (!m_Buffer) return;
        std::size_t skip = 0;
        if (!m_AudioPlaced && time >= 0.0) {
            // The first sound after a start or a jump sits at its own time: silence before it, or
            // the part before the start cut off.
            const double offset = (time - m_Base) * kAudioRate;
            if (offset > 0)
                m_Pending.insert(m_Pending.end(), static_cast<std::size_t>(offset) * 2, 0);
            else
                skip = std::min<std::size_t>(static_cast<std::size_t>(-offset),
                                             static_cast<std::size_t>(frames));
        }
        m_AudioPlaced = true;
        m_Pending.insert(m_Pending.end(), samples + skip * 2, samples + static_cast<std::size_t>(frames) * 2);
        std::lock_guard<std::mutex> lock(m_Lock);
        m_EndTime =
            std::max(m_EndTime, m_Base + static_cast<double>(m_Written + PendingBytes()) / kBytesPerSecond);
    }

    void ClearFrames() {
        for (QueuedFrame& f : m_Frames)
            av_frame_free(&f.frame);
        m_Frames.clear();
        av_frame_free(&m_Current);
        m_CurrentShown = false;
    }

    MovieDecoder m_Decoder;
    PictureScaler m_Scaler;
    double m_Duration = 0.0;
    LONG m_Volume = 0;

    // The decoder and the sound writing: the driver's step and the control calls.
    std::mutex m_DecodeLock;
    // What the main thread reads while the driver decodes.
    std::mutex m_Lock;

    IDirectSound* m_Device = nullptr;
    IDirectSoundBuffer* m_Buffer = nullptr;
    DWORD m_LastCursor = 0;
    // Bytes of sound since Run: played by the mixer, written into the ring, silenced behind the cursor.
    std::uint64_t m_Played = 0;
    std::uint64_t m_Written = 0;
    std::uint64_t m_ZeroedTo = 0;
    std::vector<std::int16_t> m_Pending;
    std::size_t m_PendingAt = 0;
    bool m_AudioPlaced = false;

    std::deque<QueuedFrame> m_Frames;
    AVFrame* m_Current = nullptr;
    bool m_CurrentShown = false;

    bool m_Running = false;
    bool m_Fresh = true;
    bool m_NeedSeek = false;
    bool m_Eof = false;
    double m_EndTime = 0.0;
    double m_Base = 0.0;
    double m_StoppedAt = 0.0;
    DWORD m_RunTick = 0;

    int m_ClockListener = 0;
    std::thread m_Worker;
    std::mutex m_WakeLock;
    std::condition_variable m_Wake;
    bool m_Quit = false;
};
} // namespace

std::unique_ptr<MovieEngine> CreateFfmpegEngine() {
    return std::make_unique<FfmpegEngine>();
}
} // namespace platform::movie
