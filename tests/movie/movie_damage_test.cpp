// Damaged movies, written by our writer and then changed as a few bytes would change them: each plays
// to its end in about its own length, shows its pictures and plays its sound on the way, and holds no
// more than a small multiple of what the whole file holds.
#include "MovieFixture.h"

#include "tools/fixtures/MovieStamps.h"
#include "tools/fixtures/MovieWriter.h"
#include "tools/fixtures/WaveWriter.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace {
using fixtures::MovieStream;

constexpr double kSeconds = 2.0;

struct Played {
    long endMs = -1;
    int pictures = 0;
    bool heard = false;
    pt::MovieBufferUse peak;
};

// The written tone in the movie's second half-second to second and a half (the capture starts 200 ms
// in, when Play returns).
bool ToneHeard(const std::vector<std::int16_t>& mixed) {
    int peak = 0;
    for (std::size_t i = 2 * 22050; i < mixed.size() && i < 2 * 66150; i += 2)
        peak = std::max(peak, std::abs(static_cast<int>(mixed[i])));
    return peak > 32767 / 4;
}

struct Row {
    const char* name;
    std::function<bool(const std::string&)> damage;
    // The end, in ms after Play, between these.
    long endFrom = 1900;
    long endTo = 2400;
    bool video = true;
    bool sound = true;
    const char* format = "mpeg";
    bool soundDevice = true;
    double soundDelay = 0.0;
    // False for a file that holds nothing to play: the title follows at the first pass.
    bool playable = true;
};

bool Shift(const std::string& path, MovieStream stream, int index, double seconds, bool following = false) {
    return fixtures::ShiftMovieStamps(path, stream, index, seconds, following);
}
} // namespace

class MovieDamageTest : public MovieTest {
  protected:
    Played Play(const Row& row) {
        fixtures::MovieDesc desc;
        desc.seconds = kSeconds;
        desc.width = 320;
        desc.height = 240;
        desc.video = row.video;
        desc.sound = row.sound;
        desc.format = row.format;
        desc.soundDelay = row.soundDelay;
        const std::string path = dir.File("op.mpg");
        EXPECT_TRUE(fixtures::WriteMovie(path, desc));
        if (row.damage) {
            EXPECT_TRUE(row.damage(path)) << "the damage";
        }
        if (!row.soundDevice) {
            pt::FailSoundCall(pt::SoundCall::Initialize);
        }
        Played played;
        CMovieMode mode;
        mode.Play();
        const int pictures = pt::VideoPresentCount();
        pt::CaptureMixedSound(true);
        const long rest = PlayToEnd(mode, 20000);
        // Play itself takes 200 ms.
        played.endMs = rest < 0 ? -1 : rest + 200;
        played.pictures = pt::VideoPresentCount() - pictures;
        played.heard = ToneHeard(pt::TakeMixedSound());
        pt::CaptureMixedSound(false);
        played.peak = pt::MovieBufferPeak();
        mode.Close();
        pt::ClearSoundFaults();
        return played;
    }
};

TEST_F(MovieDamageTest, DamagedFilesPlayToTheirEndInBoundedTimeAndMemory) {
    const Played clean = Play({.name = "the whole file"});
    ASSERT_NEAR(clean.endMs, 2100, 150);
    ASSERT_TRUE(clean.heard);
    ASSERT_GT(clean.peak.frames, 0u);
    const Row rows[] = {
        {.name = "a picture stamped an hour ahead",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Video, 8, 3600.0); }},
        {.name = "a picture stamped 1,000 s back",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Video, 8, -1000.0); }},
        {.name = "a picture stamped 1.5 s back",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Video, 8, -1.5); }},
        {.name = "the first sound stamped 3,000 s late",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Audio, 0, 3000.0); }},
        {.name = "the first sound stamped 90,000 s late",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Audio, 0, 90000.0); }},
        {.name = "all the sound stamped 3,000 s late",
         .damage = [](const std::string& p) { return Shift(p, MovieStream::Audio, 0, 3000.0, true); }},
        {.name = "cut in the middle",
         .damage =
             [](const std::string& p) {
                 std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2);
                 return true;
             },
         .endFrom = 700,
         .endTo = 1600},
        {.name = "pictures only", .sound = false},
        {.name = "sound only", .video = false},
        {.name = "sound only, and no sound device", .video = false, .soundDevice = false},
        {.name = "sound that starts three seconds in", .endFrom = 4900, .endTo = 5400, .soundDelay = 3.0},
        {.name = "sound at one sample a second",
         .damage =
             [](const std::string& p) {
                 fixtures::WaveDesc wave;
                 wave.channels = 1;
                 wave.rate = 1;
                 wave.pcm.assign(2 * 128, 0x40);
                 return fixtures::WriteFileBytes(p, fixtures::WriteWave(wave));
             },
         .endFrom = 300,
         .endTo = 300,
         .video = false,
         .playable = false},
        {.name = "bare pictures, whose length is a guess from the bit rate",
         .sound = false,
         .format = "mpeg1video"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Played played = Play(row);
        EXPECT_GE(played.endMs, row.endFrom);
        EXPECT_LE(played.endMs, row.endTo);
        // A new picture at nearly every pass while the pictures last, and the tone from the start.
        if (row.video) {
            EXPECT_GE(played.pictures, (std::min<long>(row.endFrom, kSeconds * 1000) - 500) / 100);
        }
        EXPECT_EQ(played.heard, row.playable && row.sound && row.soundDevice && row.soundDelay == 0.0);
        EXPECT_LE(played.peak.frames, clean.peak.frames);
        EXPECT_LE(played.peak.frameBytes, 2 * clean.peak.frameBytes);
        // Packets wait while one stream runs ahead of the other in the file: seconds of them for the
        // sound that starts late, still a few kilobytes.
        EXPECT_LE(played.peak.packetBytes, 4 * clean.peak.packetBytes);
        EXPECT_LE(played.peak.soundFrames, 2 * clean.peak.soundFrames);
    }
}
