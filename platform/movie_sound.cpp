#include "platform/movie_sound.h"

#include "platform/movie_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::movie {
namespace {
constexpr DWORD kBytesPerSecond = kAudioRate * kAudioBytesPerFrame;
// Two seconds of sound in the ring: the clock may move up to the ring's length between two looks at
// the cursor.
constexpr DWORD kRingBytes = 2 * kBytesPerSecond;
// Longer than any movie: a count of silence beyond it is cut here rather than overflowing.
constexpr double kMaxSilence = 1e7;
// Decoding stops a second ahead of the cursor, but one packet may decode to more: what lies beyond
// this much waiting is dropped.
constexpr std::size_t kMaxWaitingFrames = 4 * kAudioRate;

std::uint64_t BytesOf(double seconds) {
    if (!(seconds > 0.0)) return 0;
    return static_cast<std::uint64_t>(std::min(seconds, kMaxSilence) * kAudioRate) * kAudioBytesPerFrame;
}
} // namespace

MovieSound::~MovieSound() {
    Release();
}

void MovieSound::Release() {
    if (m_Buffer) m_Buffer->Release();
    if (m_Device) m_Device->Release();
    m_Buffer = nullptr;
    m_Device = nullptr;
}

bool MovieSound::Open(LONG volume) {
    Release();
    void* device = nullptr;
    if (CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &device) < 0)
        return false;
    m_Device = static_cast<IDirectSound*>(device);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, static_cast<DWORD>(kAudioRate), kBytesPerSecond, 4, 16, 0};
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = kRingBytes;
    desc.lpwfxFormat = &format;
    if (m_Device->Initialize(nullptr) < 0 || m_Device->SetCooperativeLevel(nullptr, DSSCL_NORMAL) < 0 ||
        m_Device->CreateSoundBuffer(&desc, &m_Buffer, nullptr) < 0) {
        Release();
        return false;
    }
    m_Buffer->SetVolume(volume);
    return true;
}

void MovieSound::SetVolume(LONG volume) {
    if (m_Buffer) m_Buffer->SetVolume(volume);
}

void MovieSound::Rewind() {
    m_Pending.clear();
    m_PendingAt = 0;
    m_Silence = 0;
    m_LastCursor = 0;
    m_Played = m_Written = 0;
    if (!m_Buffer) return;
    m_Buffer->Stop();
    m_Buffer->SetCurrentPosition(0);
    WriteRing(0, kRingBytes, nullptr);
    m_ZeroedTo = kRingBytes;
}

void MovieSound::Play() {
    if (m_Buffer && m_Buffer->Play(0, 0, DSBPLAY_LOOPING) < 0) Release();
}

void MovieSound::Stop() {
    if (m_Buffer) m_Buffer->Stop();
}

double MovieSound::Played() {
    DWORD cursor = 0;
    if (m_Buffer && m_Buffer->GetCurrentPosition(&cursor, nullptr) >= 0) {
        m_Played += (cursor + kRingBytes - m_LastCursor) % kRingBytes;
        m_LastCursor = cursor;
    }
    return static_cast<double>(m_Played) / kBytesPerSecond;
}

double MovieSound::Queued() const {
    return static_cast<double>(m_Written + WaitingBytes()) / kBytesPerSecond;
}

void MovieSound::Queue(double silence, const std::int16_t* samples, std::size_t frames) {
    frames = std::min(frames, kMaxWaitingFrames - std::min(kMaxWaitingFrames, WaitingFrames()));
    if (!m_Buffer) {
        // Nothing plays: the sound only keeps its place in the movie's time.
        m_Written += BytesOf(silence) + frames * kAudioBytesPerFrame;
        return;
    }
    m_Silence += BytesOf(silence);
    m_Pending.insert(m_Pending.end(), samples, samples + frames * 2);
}

void MovieSound::Skip(std::uint64_t bytes) {
    const std::uint64_t silence = std::min(bytes, m_Silence);
    m_Silence -= silence;
    const std::uint64_t data = std::min<std::uint64_t>(bytes - silence, (m_Pending.size() - m_PendingAt) * 2);
    m_PendingAt += static_cast<std::size_t>(data / 2);
}

void MovieSound::Write(double lead) {
    if (!m_Buffer) return;
    if (m_Written < m_Played) {
        Skip(m_Played - m_Written);
        m_Written = m_Played;
    }
    const std::uint64_t until = m_Played + BytesOf(lead);
    std::uint64_t room = (until > m_Written ? until - m_Written : 0) & ~std::uint64_t{3};
    // The silence before a late start, then the samples.
    const std::uint64_t silence = std::min(room, m_Silence);
    if (silence) {
        WriteRing(m_Written, static_cast<DWORD>(silence), nullptr);
        m_Silence -= silence;
        m_Written += silence;
        room -= silence;
    }
    const std::uint64_t bytes = std::min<std::uint64_t>(room, (m_Pending.size() - m_PendingAt) * 2);
    if (bytes) {
        WriteRing(m_Written, static_cast<DWORD>(bytes), &m_Pending[m_PendingAt]);
        m_PendingAt += static_cast<std::size_t>(bytes / 2);
        m_Written += bytes;
    }
    if (m_PendingAt > m_Pending.size() / 2) {
        m_Pending.erase(m_Pending.begin(), m_Pending.begin() + static_cast<std::ptrdiff_t>(m_PendingAt));
        m_PendingAt = 0;
    }
    // What was played is silenced, so that the ring plays silence, not old sound, when decoding falls
    // behind or the movie has ended.
    const std::uint64_t from = std::max(m_ZeroedTo, m_Written);
    const std::uint64_t to = m_Played + kRingBytes;
    if (to > from)
        WriteRing(from, static_cast<DWORD>(std::min<std::uint64_t>(to - from, kRingBytes)), nullptr);
    m_ZeroedTo = std::max(m_ZeroedTo, to);
}

void MovieSound::WriteRing(std::uint64_t at, DWORD bytes, const std::int16_t* data) {
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

} // namespace platform::movie
