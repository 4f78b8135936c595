// The movie mode over FFmpeg, on a movie our writer encodes and on the demo game's "op.mpg": length,
// pictures, end and sound.
#include "MovieFixture.h"

#include "tests/demo/DemoFolder.h"
#include "tools/fixtures/MovieWriter.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <vector>

namespace {
double DurationOf(const std::string& hostPath) {
    IGraphBuilder* graph = nullptr;
    IMediaPosition* position = nullptr;
    double duration = -1.0;
    const std::wstring wide(hostPath.begin(), hostPath.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph))) &&
        SUCCEEDED(graph->RenderFile(wide.c_str(), nullptr)) &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position))))
        position->get_Duration(&duration);
    if (position) position->Release();
    if (graph) graph->Release();
    return duration;
}

// Each channel within `tolerance` of the other colour (the codec does not keep colours exactly).
bool Near(DWORD a, DWORD b, int tolerance = 24) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

DWORD At(const std::vector<DWORD>& picture, int x, int y) {
    return picture.at(static_cast<std::size_t>(y) * 640 + x);
}

// Level of the left channel over [from, to) seconds of interleaved 44.1 kHz output, in dB below
// the written tone's own level; -200 for silence.
double LevelDb(const std::vector<std::int16_t>& mixed, double from, double to, double toneLevel) {
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = static_cast<std::size_t>(from * 44100); i < static_cast<std::size_t>(to * 44100);
         ++i) {
        const double s = mixed.at(2 * i);
        sum += s * s;
        ++n;
    }
    const double rms = std::sqrt(sum / static_cast<double>(n));
    return rms < 1.0 ? -200.0 : 20.0 * std::log10(rms / (toneLevel * 32767.0 / std::sqrt(2.0)));
}
} // namespace

// A movie as the writer draws it: the background, a square that crosses from the left edge to the
// right, and a steady tone.
struct Source {
    const char* name;
    double seconds;
    DWORD background;
    double toneLevel;
    // Puts the movie at the path; false when it cannot.
    bool (*place)(const std::string& path);
};

// The test's name, where ctest lists it.
void PrintTo(const Source& source, std::ostream* os) {
    *os << source.name;
}

const Source kSources[] = {
    {"written", 2.0, fixtures::MovieDesc{}.background, fixtures::MovieDesc{}.toneLevel,
     [](const std::string& path) {
         fixtures::MovieDesc desc;
         desc.seconds = 2.0;
         return fixtures::WriteMovie(path, desc);
     }},
    {"demo", 4.0, 0x3A2A5A, 0.25,
     [](const std::string& path) {
         const fixtures::TempDir* demo = demo_test::DemoFolder();
         std::error_code ec;
         return demo && std::filesystem::copy_file(demo->File("op.mpg"), path,
                                                   std::filesystem::copy_options::overwrite_existing, ec);
     }},
};

class MovieSourceTest : public MovieTest, public ::testing::WithParamInterface<Source> {
  protected:
    void SetUp() override {
        MovieTest::SetUp();
        ASSERT_TRUE(GetParam().place(dir.File("op.mpg")));
    }
};

INSTANTIATE_TEST_SUITE_P(Movies, MovieSourceTest, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info) { return info.param.name; });

TEST_P(MovieSourceTest, TheDecoderShowsTheMovieInTheWindowUntilItsEnd) {
    const Source& movie = GetParam();
    EXPECT_NEAR(DurationOf(dir.File("op.mpg")), movie.seconds, movie.seconds * 0.05);

    CMovieMode mode;
    mode.Play();
    const int presents = pt::VideoPresentCount();
    ASSERT_EQ(Pass(mode), 2);
    const std::vector<DWORD> first = pt::LastVideoPicture();
    ASSERT_EQ(first.size(), 640u * 480u);
    // The graph ran 100 ms before Play returned and this first pass.
    const long rest = PlayToEnd(mode, static_cast<DWORD>(movie.seconds * 1000) + 2000);
    EXPECT_NEAR(rest + 200, movie.seconds * 1000, movie.seconds * 50);
    EXPECT_GE(pt::VideoPresentCount() - presents, movie.seconds * 10 - 5)
        << "a new picture at nearly every pass";
    const std::vector<DWORD> last = pt::LastVideoPicture();
    EXPECT_TRUE(Near(At(first, 620, 20), movie.background));
    EXPECT_TRUE(Near(At(last, 620, 20), movie.background));
    EXPECT_TRUE(Near(At(first, 100, 240), 0xF0F0F0));
    EXPECT_TRUE(Near(At(last, 100, 240), movie.background));
    EXPECT_TRUE(Near(At(last, 620, 240), 0xF0F0F0));
    mode.Close();
    EXPECT_FALSE(IsMoviePlaying());
}

TEST_P(MovieSourceTest, TheSoundIsMixedAtTheMusicLevel) {
    struct Row {
        const char* name;
        int bgmLevel;
        double db;
    };
    const Source& movie = GetParam();
    for (const Row& row : {Row{"level 4", 4, 0.0}, Row{"level 2", 2, -11.0}, Row{"level 0", 0, -200.0}}) {
        SCOPED_TRACE(row.name);
        SetLevels(row.bgmLevel, 0);
        CMovieMode mode;
        mode.Play();
        // The capture starts 100 ms into the movie.
        pt::CaptureMixedSound(true);
        PlayToEnd(mode, static_cast<DWORD>(movie.seconds * 1000) + 2000);
        const std::vector<std::int16_t> mixed = pt::TakeMixedSound();
        EXPECT_NEAR(LevelDb(mixed, 0.4, 1.4, movie.toneLevel), row.db, 1.0);
        // After the end the ring plays silence, not the sound again.
        EXPECT_EQ(LevelDb(mixed, movie.seconds - 0.05, movie.seconds, movie.toneLevel), -200.0);
        mode.Close();
        pt::CaptureMixedSound(false);
    }
}

// The real program's path: decoding on its own thread, the clock of the layer's mixer in real time.
TEST_F(MovieTest, OnTheRealClockTheWorkerThreadPlaysTheMovieToItsEnd) {
    fixtures::MovieDesc desc;
    desc.seconds = 0.5;
    ASSERT_TRUE(fixtures::WriteMovie(dir.File("op.mpg"), desc));
    pt::UseRealClock();
    CMovieMode mode;
    mode.Play();
    const int presents = pt::VideoPresentCount();
    int state = 2;
    // A bounded wait: the movie lasts half a second.
    for (int i = 0; i < 400 && state == 2; ++i) {
        platform::SleepShowingVideo(25);
        state = mode.Run();
    }
    EXPECT_EQ(state, 3);
    EXPECT_GT(pt::VideoPresentCount(), presents);
}
