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
AVCodecContext* OpenCodec(AVFormatContext* format, AVMediaType type, int* index) {
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (stream < 0 || !codec) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
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
    av_frame_free(&m_Frame);
    av_packet_free(&m_Packet);
    swr_free(&m_Resampler);
    avcodec_free_context(&m_Video);
    avcodec_free_context(&m_Audio);
    avformat_close_input(&m_Format);
    m_VideoStream = m_AudioStream = -1;
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
    m_Video = OpenCodec(m_Format, AVMEDIA_TYPE_VIDEO, &m_VideoStream);
    m_Audio = OpenCodec(m_Format, AVMEDIA_TYPE_AUDIO, &m_AudioStream);
    if (m_Audio) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in{};
        if (m_Audio->ch_layout.nb_channels > 0)
            av_channel_layout_copy(&in, &m_Audio->ch_layout);
        else
            av_channel_layout_default(&in, 1);
        if (m_Audio->sample_rate <= 0 ||
            swr_alloc_set_opts2(&m_Resampler, &stereo, AV_SAMPLE_FMT_S16, kAudioRate, &in,
                                m_Audio->sample_fmt, m_Audio->sample_rate, 0, nullptr) < 0 ||
            swr_init(m_Resampler) < 0) {
            swr_free(&m_Resampler);
            avcodec_free_context(&m_Audio);
            m_AudioStream = -1;
        }
        m_InChannels = in.nb_channels;
        m_InFormat = m_Audio ? m_Audio->sample_fmt : -1;
        m_InRate = m_Audio ? m_Audio->sample_rate : 0;
        av_channel_layout_uninit(&in);
    }
    m_Packet = av_packet_alloc();
    m_Frame = av_frame_alloc();
    if ((!m_Video && !m_Audio) || !m_Packet || !m_Frame) {
        Close();
        return false;
    }
    m_Start = m_Format->start_time != AV_NOPTS_VALUE ? m_Format->start_time / double(AV_TIME_BASE) : 0.0;
    m_Duration = m_Format->duration > 0 ? m_Format->duration / double(AV_TIME_BASE) : 0.0;
    m_NextVideoTime = 0.0;
    m_Ended = false;
    return true;
}

double MovieDecoder::TimeOf(std::int64_t pts, int stream) const {
    return pts * av_q2d(m_Format->streams[stream]->time_base) - m_Start;
}

bool MovieDecoder::Step(Sink& sink) {
    if (m_Ended || !m_Format) return false;
    const int read = av_read_frame(m_Format, m_Packet);
    if (read < 0) {
        // The end of the file, or data that cannot be read on: the decoders give up what they hold.
        if (m_Video) Decode(m_Video, nullptr, sink);
        if (m_Audio) Decode(m_Audio, nullptr, sink);
        m_Ended = true;
        return true;
    }
    if (m_Video && m_Packet->stream_index == m_VideoStream)
        Decode(m_Video, m_Packet, sink);
    else if (m_Audio && m_Packet->stream_index == m_AudioStream)
        Decode(m_Audio, m_Packet, sink);
    av_packet_unref(m_Packet);
    return true;
}

void MovieDecoder::Decode(AVCodecContext* codec, const AVPacket* packet, Sink& sink) {
    // A damaged packet is skipped: the next one may decode again.
    if (avcodec_send_packet(codec, packet) < 0 && packet) return;
    Deliver(codec, sink);
}

void MovieDecoder::Deliver(AVCodecContext* codec, Sink& sink) {
    while (avcodec_receive_frame(codec, m_Frame) >= 0) {
        const std::int64_t pts = m_Frame->best_effort_timestamp;
        if (codec == m_Video) {
            const AVRational rate = m_Format->streams[m_VideoStream]->avg_frame_rate;
            double duration = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
            if (duration <= 0.0 || duration > 1.0) duration = 0.04;
            const double time = pts != AV_NOPTS_VALUE ? TimeOf(pts, m_VideoStream) : m_NextVideoTime;
            m_NextVideoTime = time + duration;
            if (m_Frame->width > 0 && m_Frame->height > 0) sink.OnVideo(time, duration, m_Frame);
        } else {
            const double time = pts != AV_NOPTS_VALUE ? TimeOf(pts, m_AudioStream) : -1.0;
            // The resampler reads as many planes as it was set up for: a frame of another shape is
            // dropped rather than read past its end.
            const bool fits = m_Frame->ch_layout.nb_channels == m_InChannels &&
                              m_Frame->format == m_InFormat && m_Frame->sample_rate == m_InRate;
            const int room = !fits ? 0 : swr_get_out_samples(m_Resampler, m_Frame->nb_samples);
            if (room > 0) {
                std::vector<std::int16_t> out(static_cast<std::size_t>(room) * 2);
                std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(out.data())};
                const int got = swr_convert(m_Resampler, planes, room,
                                            const_cast<const std::uint8_t**>(m_Frame->extended_data),
                                            m_Frame->nb_samples);
                if (got > 0) sink.OnAudio(time, out.data(), got);
            }
        }
        av_frame_unref(m_Frame);
    }
}

bool MovieDecoder::Seek(double seconds) {
    if (!m_Format) return false;
    const std::int64_t target = static_cast<std::int64_t>((seconds + m_Start) * AV_TIME_BASE);
    if (avformat_seek_file(m_Format, -1, INT64_MIN, target, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(m_Format, -1, INT64_MIN, target, INT64_MAX, AVSEEK_FLAG_ANY) < 0)
        return false;
    if (m_Video) avcodec_flush_buffers(m_Video);
    if (m_Audio) avcodec_flush_buffers(m_Audio);
    // Drop what the resampler still holds from before the jump.
    if (m_Resampler) swr_init(m_Resampler);
    m_NextVideoTime = seconds;
    m_Ended = false;
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
