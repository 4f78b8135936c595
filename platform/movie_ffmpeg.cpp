// The engine that really plays: FFmpeg decodes a little ahead of the clock, the sound goes through the
// layer's mixer, and a few pictures wait in a queue until the clock reaches them. Decoding runs on a
// worker thread, or, on the manual clock, as a step of every clock move, so that tests see the same
// result every time.
//
// Whatever a damaged file's stamps say, what is held stays small (a few pictures, a second of sound,
// the packets read on the way to them) and the movie ends: when its streams have drained, and at the
// latest a little after the container's length (without one, once nothing new has come for a while).
#include "platform/movie_decoder.h"
#include "platform/movie_internal.h"
#include "platform/movie_sound.h"
#include "platform/time.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
#include <thread>

namespace platform::movie {
namespace {
constexpr double kSoundLead = 1.0;
constexpr double kVideoLead = 0.25;
// Decoded pictures waiting for their time: a few, and no more bytes than this unless one alone is more.
constexpr std::size_t kMaxQueuedFrames = 8;
constexpr std::size_t kMaxQueuedFrameBytes = 32u << 20;
// The length reported when the container does not know one.
constexpr double kUnknownDuration = 86400.0;
// A container's length from the stamps is an estimate too: past it by this much the movie is over
// even if more comes.
constexpr double kEndGrace = 2.0;
// Without such a length, the movie is over once nothing new to show or play has come for this long.
constexpr double kStallLimit = 5.0;

struct QueuedFrame {
    double time;
    AVFrame* frame;
};

std::size_t BytesOf(const AVFrame* frame) {
    std::size_t bytes = 0;
    for (const AVBufferRef* buffer : frame->buf)
        if (buffer) bytes += buffer->size;
    return bytes;
}

class FfmpegEngine final : public MovieEngine, private MovieDecoder::Sink {
  public:
    ~FfmpegEngine() override {
        StopDriver();
        ClearFrames();
    }

    HRESULT Open(const std::string& hostPath) override {
        if (!m_Decoder.Open(hostPath)) return VFW_E_UNSUPPORTED_STREAM;
        m_Duration = m_Decoder.Duration() > 0.0 ? m_Decoder.Duration() : kUnknownDuration;
        // A length guessed from the bit rate alone bounds nothing.
        m_DurationFromStamps = m_Decoder.DurationFromStamps();
        // Without a sound device the movie plays silent on the time since Run.
        if (m_Decoder.HasAudio()) m_Sound.Open(m_Volume);
        return S_OK;
    }

    double Duration() const override { return m_Duration; }

    HRESULT Run() override {
        std::lock_guard<std::mutex> decode(m_DecodeLock);
        if (m_Running) return S_OK;
        if (m_NeedSeek && !m_Decoder.Seek(m_StoppedAt)) return E_FAIL;
        m_NeedSeek = false;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            ClearFrames();
            m_Drained = false;
            m_Base = m_StoppedAt;
            m_VideoEnd = m_Base;
            m_AudioPlaced = false;
            m_Sound.Rewind();
        }
        Pump();
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            m_Sound.Play();
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
        m_Sound.Stop();
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
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Volume = volume;
        m_Sound.SetVolume(volume);
    }

    bool TakeDuePicture(int width, int height, bool again, VideoPicture* out) override {
        AVFrame* frame = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            TakeDueFramesLocked(ClockLocked());
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
        if (m_Sound.HasOutput()) return m_Base + m_Sound.Played();
        return m_Base + static_cast<DWORD>(GetTickCount() - m_RunTick) / 1000.0;
    }

    // Where the pictures and the sound decoded so far run out.
    double ContentEndLocked() const { return std::max(m_VideoEnd, m_Base + m_Sound.Queued()); }

    double PositionLocked() {
        const double now = ClockLocked();
        if (!m_Running) return now;
        const double end = ContentEndLocked();
        // Program streams only estimate their length: the end is where the streams drain, and a file
        // whose stamps run on past that length is cut a little after it.
        const bool over = (m_Drained && now >= end) ||
                          (m_DurationFromStamps ? now >= m_Duration + kEndGrace : now >= end + kStallLimit);
        return over ? m_Duration : std::min(now, m_Duration - 0.001);
    }

    // The newest due picture becomes the current one; the ones before it are passed over.
    void TakeDueFramesLocked(double now) {
        while (!m_Frames.empty() && m_Frames.front().time <= now + 0.001) {
            av_frame_free(&m_Current);
            m_Current = PopFront();
            m_CurrentShown = false;
        }
    }

    AVFrame* PopFront() {
        AVFrame* frame = m_Frames.front().frame;
        m_FrameBytes -= BytesOf(frame);
        m_Frames.pop_front();
        return frame;
    }

    bool FrameRoomLocked() const {
        return m_Frames.size() < kMaxQueuedFrames && m_FrameBytes < kMaxQueuedFrameBytes;
    }

    // Decodes until the sound is queued a little ahead and the pictures reach past the clock or fill
    // the queue, then writes the ring. Under m_DecodeLock.
    void Pump() {
        for (;;) {
            bool wantSound = false, wantPicture = false;
            {
                std::lock_guard<std::mutex> lock(m_Lock);
                const double now = ClockLocked();
                // Pictures leave the queue by the clock, whether or not a window shows them.
                TakeDueFramesLocked(now);
                wantSound = m_Decoder.HasAudio() && m_Base + m_Sound.Queued() < now + kSoundLead;
                wantPicture = m_Decoder.HasVideo() && FrameRoomLocked() &&
                              (m_Frames.empty() || m_Frames.back().time < now + kVideoLead);
            }
            if (!wantSound && !wantPicture) break;
            m_Fresh = false;
            const bool stepped = m_Decoder.Step(*this, wantPicture, wantSound);
            RecordUse();
            if (!stepped) break;
        }
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Drained = m_Decoder.Drained();
        m_Sound.Write(kSoundLead);
    }

    void RecordUse() {
        testing::MovieBufferUse use;
        use.packetBytes = m_Decoder.HeldBytes();
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            use.frames = m_Frames.size();
            use.frameBytes = m_FrameBytes;
            use.soundFrames = m_Sound.WaitingFrames();
        }
        RecordBufferUse(use);
    }

    void OnVideo(double time, double duration, const AVFrame* frame) override {
        std::lock_guard<std::mutex> lock(m_Lock);
        // After a jump the decoder starts at the key frame before the target.
        if (time + duration <= m_Base) return;
        AVFrame* copy = av_frame_clone(frame);
        if (!copy) return;
        m_VideoEnd = std::max(m_VideoEnd, time + duration);
        // In time order, so that a picture stamped a little late does not hold back those after it.
        auto at = m_Frames.end();
        while (at != m_Frames.begin() && std::prev(at)->time > time)
            --at;
        m_Frames.insert(at, {time, copy});
        m_FrameBytes += BytesOf(copy);
        // A packet that decodes to several pictures may overfill the queue: the earliest ones go.
        while (m_Frames.size() > 1 &&
               (m_Frames.size() > kMaxQueuedFrames || m_FrameBytes > kMaxQueuedFrameBytes)) {
            AVFrame* dropped = PopFront();
            av_frame_free(&dropped);
        }
    }

    void OnAudio(double time, const std::int16_t* samples, int frames) override {
        std::lock_guard<std::mutex> lock(m_Lock);
        double silence = 0.0;
        std::size_t skip = 0;
        if (!m_AudioPlaced) {
            // The first sound after a start or a jump sits at its own time: silence before it, or the
            // part before the start cut off.
            const double offset = time - m_Base;
            if (offset > 0.0)
                silence = offset;
            else
                skip = std::min(static_cast<std::size_t>(-offset * kAudioRate),
                                static_cast<std::size_t>(frames));
            m_AudioPlaced = skip < static_cast<std::size_t>(frames);
        }
        m_Sound.Queue(silence, samples + skip * 2, static_cast<std::size_t>(frames) - skip);
    }

    void ClearFrames() {
        for (QueuedFrame& f : m_Frames)
            av_frame_free(&f.frame);
        m_Frames.clear();
        m_FrameBytes = 0;
        av_frame_free(&m_Current);
        m_CurrentShown = false;
    }

    MovieDecoder m_Decoder;
    PictureScaler m_Scaler;
    double m_Duration = 0.0;
    bool m_DurationFromStamps = false;

    // The decoder: the driver's step and the control calls.
    std::mutex m_DecodeLock;
    // Everything else, which the main thread reads while the driver decodes.
    std::mutex m_Lock;

    MovieSound m_Sound;
    LONG m_Volume = 0;
    bool m_AudioPlaced = false;

    std::deque<QueuedFrame> m_Frames;
    std::size_t m_FrameBytes = 0;
    AVFrame* m_Current = nullptr;
    bool m_CurrentShown = false;
    double m_VideoEnd = 0.0;

    bool m_Running = false;
    bool m_Fresh = true;
    bool m_NeedSeek = false;
    bool m_Drained = false;
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
