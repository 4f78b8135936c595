// WAVE entries: the RIFF walk, the whole load and the streamed prefill and refills.
#include "SoundFuzzDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    soundfuzz::MemoryEntry entry(data, size);
    if (!entry.file()) return 0;
    soundfuzz::PlayBothWays(entry, true);
    return 0;
}
