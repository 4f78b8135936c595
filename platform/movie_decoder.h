// FFmpeg under the movie engine: demuxes a file, decodes its best video and audio streams, and hands
// out pictures as decoded frames and sound as 44,100 Hz 16-bit stereo, each with its time in seconds
// from the start of the file.
//
// Each stream is decoded only while its consumer wants more; packets of the other stream read on the
// way wait undecoded, up to a bound. Times follow the stamps while they follow the stream: a stamp that
// jumps further than a real file does from where its stream was going is damage, and the frame takes
// the time its stream was going to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct SwsContext;

namespace platform::movie {

inline constexpr int kAudioRate = 44100;
inline constexpr int kAudioBytesPerFrame = 4; // 16-bit stereo
// Packets read ahead and held for a stream that wants nothing yet: reading stops beyond this.
inline constexpr std::size_t kMaxHeldPacketBytes = 4u << 20;

class MovieDecoder {
  public:
    class Sink {
      public:
        virtual ~Sink() = default;
        // `frame` stays the decoder's: a sink that keeps it takes a reference of its own.
        virtual void OnVideo(double time, double duration, const AVFrame* frame) = 0;
        virtual void OnAudio(double time, const std::int16_t* samples, int frames) = 0;
    };

    MovieDecoder() = default;
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    // False when the file cannot be read or holds neither a video nor an audio stream it can decode.
    bool Open(const std::string& hostPath);
    // The container's length; 0 when it does not know.
    double Duration() const { return m_Duration; }
    // The length comes from the stamps or the streams, not only from a guess by the bit rate.
    bool DurationFromStamps() const { return m_DurationFromStamps; }
    bool HasVideo() const { return m_Video.codec != nullptr; }
    bool HasAudio() const { return m_Audio.codec != nullptr; }
    // Decodes one packet for a wanted stream: one it holds, else the next one read (a packet of a
    // stream not wanted is held instead); at the end of the file a wanted decoder gives up what it
    // still holds. False when nothing more can be done for the wanted streams now: they are drained,
    // or reading waits until held packets are taken.
    bool Step(Sink& sink, bool wantVideo, bool wantAudio);
    // Everything has been read, decoded and handed out.
    bool Drained() const;
    // Bytes of the packets held now.
    std::size_t HeldBytes() const { return m_HeldBytes; }
    // Decoding goes on from the key frame at or before `seconds`.
    bool Seek(double seconds);

  private:
    // Where a stream's next frame falls, and whether a frame has been placed since the start or a jump.
    struct Timeline {
        double expected = 0.0;
        bool placed = false;
    };
    struct Stream {
        AVCodecContext* codec = nullptr;
        int index = -1;
        std::deque<AVPacket*> held;
        bool flushed = false;
        // Where its frames have got, and where its packets read have got.
        Timeline line;
        Timeline read;
    };

    bool DecodeHeld(Stream& stream, Sink& sink);
    void Hold(Stream& stream);
    void Decode(Stream& stream, const AVPacket* packet, Sink& sink);
    void Deliver(Stream& stream, Sink& sink);
    void DeliverAudio(Sink& sink);
    double FrameDuration() const;
    double Follow(Timeline& line, std::int64_t pts, int index, double length, double reach);
    double FirstReach(const Stream& stream) const;
    void Restart(double seconds, bool afterSeek);
    void Close();

    AVFormatContext* m_Format = nullptr;
    Stream m_Video;
    Stream m_Audio;
    SwrContext* m_Resampler = nullptr;
    AVPacket* m_Packet = nullptr;
    AVFrame* m_Frame = nullptr;
    int m_InChannels = 0;
    int m_InFormat = -1;
    int m_InRate = 0;
    double m_Duration = 0.0;
    bool m_DurationFromStamps = false;
    double m_Start = 0.0;
    std::size_t m_HeldBytes = 0;
    // After a jump the key frame before the target may lie well before it.
    bool m_AfterSeek = false;
    bool m_ReadEnded = false;
};

// Converts decoded frames to 0x00RRGGBB pictures of any size, keeping its scaler between calls.
class PictureScaler {
  public:
    PictureScaler() = default;
    ~PictureScaler();
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    bool Convert(const AVFrame* frame, int width, int height, std::uint32_t* pixels);

  private:
    SwsContext* m_Context = nullptr;
};

} // namespace platform::movie
