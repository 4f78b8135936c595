// The movie's sound through the layer's mixer: a looping buffer kept filled a little ahead of its play
// cursor from the decoded sound queued behind it, with the silence before a late start only counted,
// never stored. Without a sound device nothing plays, but what is queued is still counted, so that the
// movie keeps the same length. Not thread-safe: the engine guards it.
#pragma once

#include "platform/dsound.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::movie {

class MovieSound {
  public:
    MovieSound() = default;
    ~MovieSound();
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // Makes the buffer at `volume` (hundredths of a decibel); false leaves the sound unplayed.
    bool Open(LONG volume);
    bool HasOutput() const { return m_Buffer != nullptr; }
    void SetVolume(LONG volume);
    // Empties the queue and the ring and rewinds; Play then starts the ring from its beginning.
    void Rewind();
    // A buffer that will not play is let go: the sound is then only counted.
    void Play();
    void Stop();
    // Seconds the mixer has played since Rewind: the sound's clock.
    double Played();
    // Seconds queued since Rewind: played, in the ring, and waiting, silence included.
    double Queued() const;
    // Queues `silence` seconds of silence, then `frames` sample frames of 16-bit stereo.
    void Queue(double silence, const std::int16_t* samples, std::size_t frames);
    // Sample frames decoded and waiting for the ring.
    std::size_t WaitingFrames() const { return (m_Pending.size() - m_PendingAt) / 2; }
    // Fills the ring up to `lead` seconds ahead of the cursor and silences what was played. When the
    // queue fell behind the cursor, the sound of the time already passed is skipped, so that what
    // follows stays on the clock.
    void Write(double lead);

  private:
    std::uint64_t WaitingBytes() const { return m_Silence + (m_Pending.size() - m_PendingAt) * 2; }
    void Skip(std::uint64_t bytes);
    // Copies `bytes` (zeros for null) into the ring from the absolute byte `at` on.
    void WriteRing(std::uint64_t at, DWORD bytes, const std::int16_t* data);
    void Release();

    IDirectSound* m_Device = nullptr;
    IDirectSoundBuffer* m_Buffer = nullptr;
    DWORD m_LastCursor = 0;
    // Bytes since Rewind: played by the mixer, written into the ring (or, without one, counted),
    // silenced behind the cursor.
    std::uint64_t m_Played = 0;
    std::uint64_t m_Written = 0;
    std::uint64_t m_ZeroedTo = 0;
    // Bytes of silence to write before the waiting samples.
    std::uint64_t m_Silence = 0;
    std::vector<std::int16_t> m_Pending;
    std::size_t m_PendingAt = 0;
};

} // namespace platform::movie
