// The headless sound device every sound fuzz target feeds: created once, on the manual clock, with
// streaming steps that follow the clock.
#pragma once

#include "platform/testing.h"
#include "platform/time.h"
#include "sound/DSoundCtrl.h"
#include "sound/ThreadCtrl.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace soundfuzz {
inline CDSoundCtrl& Device() {
    static CDSoundCtrl* device = [] {
        platform::testing::UseManualClock(1000);
        platform::testing::UseSoundBackend(platform::testing::SoundBackend::Headless);
        CThreadCtrl::SetMode(CThreadCtrl::Mode::Clocked);
        auto* d = new CDSoundCtrl;
        d->Create(nullptr);
        return d;
    }();
    return *device;
}

inline void Advance(DWORD ms) {
    for (; ms >= 5; ms -= 5)
        platform::testing::AdvanceClock(5);
}

// The input as an entry of its own: a FILE over a copy of the bytes.
class MemoryEntry {
  public:
    MemoryEntry(const std::uint8_t* data, std::size_t size) : m_Bytes(data, data + size) {
        if (!m_Bytes.empty()) m_File = fmemopen(m_Bytes.data(), m_Bytes.size(), "rb");
    }
    ~MemoryEntry() {
        if (m_File) std::fclose(m_File);
    }
    std::FILE* file() const { return m_File; }
    DWORD size() const { return static_cast<DWORD>(m_Bytes.size()); }
    void Rewind() { std::fseek(m_File, 0, SEEK_SET); }

  private:
    std::vector<std::uint8_t> m_Bytes;
    std::FILE* m_File = nullptr;
};

// Loads the entry whole (when its sound is small enough to hold) and streamed, and plays each a little.
inline void PlayBothWays(MemoryEntry& entry, bool whole) {
    CDSoundCtrl& device = Device();
    if (whole) {
        const int slot = device.LoadSound(entry.file(), entry.size());
        if (slot >= 0) {
            device.SetVolume(slot, -600);
            device.Play(slot, 1);
            Advance(20);
            device.Stop(slot);
            device.ReleaseSound(slot);
        }
        entry.Rewind();
    }
    const int slot = device.LoadSound(entry.file(), entry.size(), nullptr, 0);
    if (slot >= 0) {
        // Past the first refills of the ring.
        device.Play(slot, 0);
        Advance(130);
        device.Stop(slot);
        device.ReleaseSound(slot);
    }
}
} // namespace soundfuzz
