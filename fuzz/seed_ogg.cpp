// Seeds for fuzz_ogg: short Ogg Vorbis entries, mono and stereo, at several rates.
#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/TempDir.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string dir = std::string(argv[1]) + "/";
    int n = 0;
    for (int channels : {1, 2})
        for (int rate : {22050, 44100}) {
            const int frames = rate / 4;
            ++n;
            fixtures::WriteFileBytes(dir + "ogg" + std::to_string(n),
                                     fixtures::WriteOgg(fixtures::MakeToneSamples(frames, channels, rate, n),
                                                        channels, rate, 0.0f));
        }
    fixtures::WriteFileBytes(dir + "empty", fixtures::WriteOgg({}, 2, 44100));
    return 0;
}
