// Ogg Vorbis entries: the information through the window callbacks, the whole decode and the
// streamed decode.
#include "SoundFuzzDevice.h"

#include "sound/DSBCStaticOgg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    soundfuzz::MemoryEntry entry(data, size);
    if (!entry.file()) return 0;
    soundfuzz::Device();
    bool small = false;
    {
        // A stream may claim any length in its last granule; only short ones are decoded whole here.
        CDSBCStaticOgg probe;
        if (probe.LoadSoundInfo(entry.file(), entry.size())) small = probe.GetDataSize() <= (1u << 20);
    }
    entry.Rewind();
    soundfuzz::PlayBothWays(entry, small);
    return 0;
}
