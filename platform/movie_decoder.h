// FFmpeg under the movie engine: demuxes a file, decodes its best video and audio streams, and hands
// out pictures as decoded frames and sound as 44,100 Hz 16-bit stereo, each with its time in seconds
// from the start of the file.
#pragma once

#include <cstdint>
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
    bool HasVideo() const { return m_Video != nullptr; }
    bool HasAudio() const { return m_Audio != nullptr; }
    // Reads one packet and decodes what it holds; at the end of the file the decoders give up what
    // they still hold. False once everything has been handed out.
    bool Step(Sink& sink);
    // Decoding goes on from the key frame at or before `seconds`.
    bool Seek(double seconds);

  private:
    void Decode(AVCodecContext* codec, const AVPacket* packet, Sink& sink);
    void Deliver(AVCodecContext* codec, Sink& sink);
    double TimeOf(std::int64_t pts, int stream) const;
    void Close();

    AVFormatContext* m_Format = nullptr;
    AVCodecContext* m_Video = nullptr;
    AVCodecContext* m_Audio = nullptr;
    int m_VideoStream = -1;
    int m_AudioStream = -1;
    SwrContext* m_Resampler = nullptr;
    AVPacket* m_Packet = nullptr;
    AVFrame* m_Frame = nullptr;
    int m_InChannels = 0;
    int m_InFormat = -1;
    int m_InRate = 0;
    double m_Duration = 0.0;
    double m_Start = 0.0;
    double m_NextVideoTime = 0.0;
    bool m_Ended = false;
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
