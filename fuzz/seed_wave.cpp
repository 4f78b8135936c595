// Seeds for fuzz_wave: WAVE entries of every PCM format and chunk layout the reader meets.
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string dir = std::string(argv[1]) + "/";
    int n = 0;
    auto put = [&](const fixtures::WaveDesc& s) {
        fixtures::WriteFileBytes(dir + "wave" + std::to_string(n++), fixtures::WriteWave(s));
    };
    for (int bits : {8, 16})
        for (int channels : {1, 2})
            for (int rate : {11025, 22050, 44100}) {
                fixtures::WaveDesc s;
                s.bits = bits;
                s.channels = channels;
                s.rate = rate;
                s.pcm = fixtures::MakePcm(rate / 20, channels, bits);
                put(s);
            }
    fixtures::WaveDesc odd;
    odd.pcm = fixtures::MakePcm(300, 2, 16);
    odd.pcm.resize(1001);
    odd.beforeFmt = {{"LIST", {1, 2, 3}}};
    odd.beforeData = {{"fact", {4, 0, 0, 0}}};
    odd.afterData = {{"smpl", fixtures::Bytes(36, 0)}};
    put(odd);
    odd.fmtSize = 18;
    put(odd);
    odd.dataSizeClaim = 100000;
    put(odd);
    fixtures::WaveDesc empty;
    put(empty);
    return 0;
}
