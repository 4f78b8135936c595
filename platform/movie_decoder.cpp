#include "platform/movie_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <vector>

namespace platform::movie {
namespace {
// How far a stamp may lie from where its stream was going: more is damage, not the file's timing.
constexpr double kStampJump = 2.0;
// After a jump decoding starts at the key frame before the target, which may lie well before it.
constexpr double kSeekReach = 60.0;
// Far beyond any movie the game shows at 640x480.
constexpr std::int64_t kMaxPixels = 4096 * 4096;
// Sound outside these rates is no movie's: a header that claims one Hz would stretch each sample over
// a second.
constexpr int kMinSoundRate = 1000;
constexpr int kMaxSoundRate = 384000;

AVCodecContext* OpenCodec(AVFormatContext* format, AVMediaType type, int* index) {
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (stream < 0 || !codec) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    // A damaged header that claims an enormous picture is refused, not allocated.
    context->max_pixels = kMaxPixels;
    if (avcodec_parameters_to_context(context, format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    *index = stream;
    return context;
}
} // namespace

MovieDecoder::~MovieDecoder() {
    Close();
}

void MovieDecoder::Close() {
    Restart(0.0, false);
    av_frame_free(&m_Frame);
    av_packet_free(&m_Packet);
    swr_free(&m_Resampler);
    avcodec_free_context(&m_Video.codec);
    avcodec_free_context(&m_Audio.codec);
    avformat_close_input(&m_Format);
    m_Video.index = m_Audio.index = -1;
}

bool MovieDecoder::Open(const std::string& hostPath) {
    Close();
    av_log_set_level(AV_LOG_QUIET);
    // A movie is one local file: playlists and the like never reach out to other files or the network.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&m_Format, hostPath.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return false;
    if (avformat_find_stream_info(m_Format, nullptr) < 0) {
        Close();
        return false;
    }
    m_Video.codec = OpenCodec(m_Format, AVMEDIA_TYPE_VIDEO, &m_Video.index);
    m_Audio.codec = OpenCodec(m_Format, AVMEDIA_TYPE_AUDIO, &m_Audio.index);
    if (AVCodecContext* audio = m_Audio.codec) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in{};
        if (audio->ch_layout.nb_channels > 0)
            av_channel_layout_copy(&in, &audio->ch_layout);
        else
            av_channel_layout_default(&in, 1);
        if (audio->sample_rate < kMinSoundRate || audio->sample_rate > kMaxSoundRate ||
            swr_alloc_set_opts2(&m_Resampler, &stereo, AV_SAMPLE_FMT_S16, kAudioRate, &in, audio->sample_fmt,
                                audio->sample_rate, 0, nullptr) < 0 ||
            swr_init(m_Resampler) < 0) {
            swr_free(&m_Resampler);
            avcodec_free_context(&m_Audio.codec);
            m_Audio.index = -1;
        }
        m_InChannels = in.nb_channels;
        m_InFormat = m_Audio.codec ? m_Audio.codec->sample_fmt : -1;
        m_InRate = m_Audio.codec ? m_Audio.codec->sample_rate : 0;
        av_channel_layout_uninit(&in);
    }
    m_Packet = av_packet_alloc();
    m_Frame = av_frame_alloc();
    if ((!m_Video.codec && !m_Audio.codec) || !m_Packet || !m_Frame) {
        Close();
        return false;
    }
    m_Start = m_Format->start_time != AV_NOPTS_VALUE ? m_Format->start_time / double(AV_TIME_BASE) : 0.0;
    m_Duration = m_Format->duration > 0 ? m_Format->duration / double(AV_TIME_BASE) : 0.0;
    m_DurationFromStamps =
        m_Duration > 0.0 && m_Format->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
    Restart(0.0, false);
    return true;
}

void MovieDecoder::Restart(double seconds, bool afterSeek) {
    for (Stream* s : {&m_Video, &m_Audio}) {
        for (AVPacket*& packet : s->held)
            av_packet_free(&packet);
        s->held.clear();
        s->flushed = false;
        s->line = s->read = Timeline{seconds, false};
    }
    m_HeldBytes = 0;
    m_AfterSeek = afterSeek;
    m_ReadEnded = false;
}

double MovieDecoder::FrameDuration() const {
    const AVRational rate = m_Format->streams[m_Video.index]->avg_frame_rate;
    const double duration = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
    return duration > 0.0 && duration <= 1.0 ? duration : 0.04;
}

// The time of a frame `length` seconds long stamped `pts`: its stamp when that lies from where the
// stream was going back to a little before, on to a little after `reach`; else where the stream was
// going. Either way the stream goes on from the end of this frame.
double MovieDecoder::Follow(Timeline& line, std::int64_t pts, int index, double length, double reach) {
    double time = line.expected;
    if (pts != AV_NOPTS_VALUE) {
        const double stamp = pts * av_q2d(m_Format->streams[index]->time_base) - m_Start;
        const double back = !line.placed && m_AfterSeek ? kSeekReach : kStampJump;
        if (stamp >= line.expected - back && stamp <= std::max(reach, line.expected) + kStampJump)
            time = stamp;
    }
    line.expected = time + length;
    line.placed = true;
    return time;
}

// A stream's first frame may start as far in as reading has got in either stream: a file may start
// one stream after the other. Later frames follow their own stream.
double MovieDecoder::FirstReach(const Stream& stream) const {
    return stream.line.placed ? 0.0 : std::max(m_Video.read.expected, m_Audio.read.expected);
}

bool MovieDecoder::Step(Sink& sink, bool wantVideo, bool wantAudio) {
    if (!m_Format) return false;
    wantVideo = wantVideo && m_Video.codec;
    wantAudio = wantAudio && m_Audio.codec;
    if (wantVideo && !m_Video.held.empty()) return DecodeHeld(m_Video, sink);
    if (wantAudio && !m_Audio.held.empty()) return DecodeHeld(m_Audio, sink);
    if (!wantVideo && !wantAudio) return false;
    if (!m_ReadEnded) {
        // Held packets are the other stream's, waiting for their consumer: reading waits with them.
        if (m_HeldBytes >= kMaxHeldPacketBytes) return false;
        if (av_read_frame(m_Format, m_Packet) < 0) {
            // The end of the file, or data that cannot be read on.
            m_ReadEnded = true;
            return true;
        }
        const int index = m_Packet->stream_index;
        Stream* stream = m_Video.codec && index == m_Video.index   ? &m_Video
                         : m_Audio.codec && index == m_Audio.index ? &m_Audio
                                                                   : nullptr;
        if (stream) {
            const std::int64_t stamp = m_Packet->dts != AV_NOPTS_VALUE ? m_Packet->dts : m_Packet->pts;
            const double length = stream == &m_Video
                                      ? FrameDuration()
                                      : m_Packet->duration * av_q2d(m_Format->streams[index]->time_base);
            Follow(stream->read, stamp, index, std::max(length, 0.0), 0.0);
            if (stream == &m_Video ? wantVideo : wantAudio)
                Decode(*stream, m_Packet, sink);
            else
                Hold(*stream);
        }
        av_packet_unref(m_Packet);
        return true;
    }
    // The end of the file: a wanted decoder gives up what it still holds.
    for (Stream* s : {&m_Video, &m_Audio}) {
        if (s->codec && !s->flushed && (s == &m_Video ? wantVideo : wantAudio)) {
            Decode(*s, nullptr, sink);
            s->flushed = true;
            return true;
        }
    }
    return false;
}

bool MovieDecoder::Drained() const {
    if (!m_Format) return true;
    for (const Stream* s : {&m_Video, &m_Audio})
        if (s->codec && (!s->held.empty() || !s->flushed)) return false;
    return m_ReadEnded;
}

void MovieDecoder::Hold(Stream& stream) {
    AVPacket* packet = av_packet_alloc();
    if (!packet) return;
    av_packet_move_ref(packet, m_Packet);
    m_HeldBytes += static_cast<std::size_t>(packet->size);
    stream.held.push_back(packet);
}

bool MovieDecoder::DecodeHeld(Stream& stream, Sink& sink) {
    AVPacket* packet = stream.held.front();
    stream.held.pop_front();
    m_HeldBytes -= static_cast<std::size_t>(packet->size);
    Decode(stream, packet, sink);
    av_packet_free(&packet);
    return true;
}

void MovieDecoder::Decode(Stream& stream, const AVPacket* packet, Sink& sink) {
    // A damaged packet is skipped: the next one may decode again.
    if (avcodec_send_packet(stream.codec, packet) < 0 && packet) return;
    Deliver(stream, sink);
}

void MovieDecoder::Deliver(Stream& stream, Sink& sink) {
    while (avcodec_receive_frame(stream.codec, m_Frame) >= 0) {
        if (&stream == &m_Video) {
            const double duration = FrameDuration();
            const double time = Follow(m_Video.line, m_Frame->best_effort_timestamp, m_Video.index, duration,
                                       FirstReach(m_Video));
            if (m_Frame->width > 0 && m_Frame->height > 0) sink.OnVideo(time, duration, m_Frame);
        } else {
            DeliverAudio(sink);
        }
        av_frame_unref(m_Frame);
    }
}

void MovieDecoder::DeliverAudio(Sink& sink) {
    // The resampler reads as many planes as it was set up for: a frame of another shape is dropped
    // rather than read past its end.
    const bool fits = m_Frame->ch_layout.nb_channels == m_InChannels && m_Frame->format == m_InFormat &&
                      m_Frame->sample_rate == m_InRate;
    if (!fits) return;
    const double time = Follow(m_Audio.line, m_Frame->best_effort_timestamp, m_Audio.index,
                               static_cast<double>(m_Frame->nb_samples) / m_InRate, FirstReach(m_Audio));
    const int room = swr_get_out_samples(m_Resampler, m_Frame->nb_samples);
    if (room <= 0) return;
    std::vector<std::int16_t> out(static_cast<std::size_t>(room) * 2);
    std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(out.data())};
    const int got =
        swr_convert(m_Resampler, planes, room, const_cast<const std::uint8_t**>(m_Frame->extended_data),
                    m_Frame->nb_samples);
    if (got > 0) sink.OnAudio(time, out.data(), got);
}

bool MovieDecoder::Seek(double seconds) {
    if (!m_Format) return false;
    const std::int64_t target = static_cast<std::int64_t>((seconds + m_Start) * AV_TIME_BASE);
    if (avformat_seek_file(m_Format, -1, INT64_MIN, target, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(m_Format, -1, INT64_MIN, target, INT64_MAX, AVSEEK_FLAG_ANY) < 0)
        return false;
    if (m_Video.codec) avcodec_flush_buffers(m_Video.codec);
    if (m_Audio.codec) avcodec_flush_buffers(m_Audio.codec);
    // Drop what the resampler still holds from before the jump.
    if (m_Resampler) swr_init(m_Resampler);
    Restart(seconds, true);
    return true;
}

PictureScaler::~PictureScaler() {
    sws_freeContext(m_Context);
}

bool PictureScaler::Convert(const AVFrame* frame, int width, int height, std::uint32_t* pixels) {
    m_Context = sws_getCachedContext(m_Context, frame->width, frame->height,
                                     static_cast<AVPixelFormat>(frame->format), width, height,
                                     AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_Context) return false;
    std::uint8_t* planes[4] = {reinterpret_cast<std::uint8_t*>(pixels), nullptr, nullptr, nullptr};
    const int strides[4] = {width * 4, 0, 0, 0};
    return sws_scale(m_Context, frame->data, frame->linesize, 0, frame->height, planes, strides) > 0;
}

} // namespace platform::movie
