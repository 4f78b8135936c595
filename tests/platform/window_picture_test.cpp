// What the real window does with the picture before SDL sees it: finding what a present really
// changed, placing the picture in a larger window, scaling only the changed part, and the beat of the
// idle pass's frames.
#include "platform/frame_pacer.h"
#include "platform/window_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace platform;

namespace {
bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A picture of one pixel format with rows padded beyond the pixels, as a surface's pitch pads them.
struct Picture {
    Picture(const PixelFormat& f, int w, int h)
        : format(&f), width(w), height(h), pitch(w * f.BytesPerPixel() + 12) {
        bytes.resize(static_cast<std::size_t>(pitch) * h);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    std::uint8_t* At(int x, int y) {
        return &bytes[static_cast<std::size_t>(y) * pitch + x * format->BytesPerPixel()];
    }
    RECT TakeInto(KeptPicture& kept, const RECT* hint) {
        return kept.Take(*format, bytes.data(), pitch, width, height, hint);
    }
    const PixelFormat* format;
    int width, height, pitch;
    std::vector<std::uint8_t> bytes;
};

class KeptPictureTest : public ::testing::TestWithParam<PixelLayout> {};

// After a first picture, each row changes bytes of the same picture and presents it with a hint;
// what the kept picture reports is the bounding box of the pixels that really differ.
TEST_P(KeptPictureTest, FindsWhatReallyChanged) {
    const PixelFormat& format = FormatOf(GetParam());
    const int bytes = format.BytesPerPixel();
    const struct {
        const char* name;
        std::vector<std::pair<POINT, int>> changes; // pixel, and which of its bytes changes
        RECT hint;                                  // all zero: no hint
        RECT want;
    } rows[] = {
        {"the same picture again", {}, {}, {0, 0, 0, 0}},
        {"the same picture again within the corner", {}, {0, 0, 80, 64}, {0, 0, 0, 0}},
        {"one pixel", {{{10, 20}, 0}}, {}, {10, 20, 11, 21}},
        {"the last byte of a pixel", {{{7, 3}, bytes - 1}}, {}, {7, 3, 8, 4}},
        {"two far apart", {{{5, 5}, 0}, {{600, 400}, bytes - 1}}, {}, {5, 5, 601, 401}},
        {"the corners of the picture", {{{0, 0}, 0}, {{639, 479}, bytes - 1}}, {}, {0, 0, 640, 480}},
        {"inside the hint", {{{70, 60}, 0}}, {0, 0, 80, 64}, {70, 60, 71, 61}},
        {"outside the hint is not looked at", {{{300, 300}, 0}}, {0, 0, 80, 64}, {0, 0, 0, 0}},
        {"so it is found by a look at all of it", {}, {}, {300, 300, 301, 301}},
        {"a hint beyond the picture", {{{639, 0}, 0}}, {600, -10, 700, 10}, {639, 0, 640, 1}},
    };
    Picture picture(format, 640, 480);
    KeptPicture kept;
    EXPECT_TRUE(Same(picture.TakeInto(kept, nullptr), RECT{0, 0, 640, 480})) << "the first picture";
    for (const auto& row : rows) {
        for (const auto& [at, byte] : row.changes)
            picture.At(at.x, at.y)[byte] ^= 0x5A;
        const RECT got = picture.TakeInto(kept, row.hint.right ? &row.hint : nullptr);
        EXPECT_TRUE(Same(got, row.want)) << row.name << ": " << Text(got);
    }
    // The padding after each row is no part of the picture.
    picture.bytes[static_cast<std::size_t>(picture.pitch) - 1] ^= 0xFF;
    EXPECT_TRUE(Same(picture.TakeInto(kept, nullptr), RECT{0, 0, 0, 0})) << "padding";
    // What was taken is kept pixel for pixel.
    for (int y : {0, 300, 479})
        EXPECT_EQ(std::memcmp(kept.Pixels() + static_cast<std::ptrdiff_t>(y) * kept.Pitch(), picture.At(0, y),
                              static_cast<std::size_t>(640 * bytes)),
                  0)
            << "row " << y;
    // Another size, or another format, is new everywhere.
    Picture smaller(format, 320, 240);
    EXPECT_TRUE(Same(smaller.TakeInto(kept, nullptr), RECT{0, 0, 320, 240}));
    const PixelFormat& other =
        FormatOf(GetParam() == PixelLayout::Xrgb32 ? PixelLayout::Rgb565 : PixelLayout::Xrgb32);
    Picture reformatted(other, 320, 240);
    EXPECT_TRUE(Same(reformatted.TakeInto(kept, nullptr), RECT{0, 0, 320, 240}));
    kept.Forget();
    EXPECT_TRUE(Same(reformatted.TakeInto(kept, nullptr), RECT{0, 0, 320, 240})) << "after Forget";
}

INSTANTIATE_TEST_SUITE_P(Formats, KeptPictureTest,
                         ::testing::Values(PixelLayout::Rgb565, PixelLayout::Rgb555, PixelLayout::Rgb24,
                                           PixelLayout::Xrgb32),
                         [](const auto& info) { return std::to_string(static_cast<int>(info.param)); });

TEST(WindowPicture, FitsThePictureKeepingItsShapeAndMapsPositionsBothWays) {
    const struct {
        const char* name;
        int width, height;
        PictureArea want;
        POINT window, picture; // a window position and the picture pixel under it
    } rows[] = {
        {"the picture's own size", 640, 480, {0, 0, 640, 480}, {639, 479}, {639, 479}},
        {"the same shape, larger", 1024, 768, {0, 0, 1024, 768}, {1023, 767}, {639, 479}},
        {"wider: bars left and right", 1920, 1080, {240, 0, 1440, 1080}, {240, 0}, {0, 0}},
        {"left of the picture", 1920, 1080, {240, 0, 1440, 1080}, {239, 1079}, {-1, 479}},
        {"right of the picture", 1920, 1080, {240, 0, 1440, 1080}, {1680, 540}, {640, 240}},
        {"taller: bars above and below", 800, 800, {0, 100, 800, 600}, {400, 99}, {320, -1}},
        {"an odd width", 1366, 768, {171, 0, 1024, 768}, {1194, 767}, {639, 479}},
        {"no window", 0, 0, {0, 0, 0, 0}, {5, 6}, {5, 6}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PictureArea a = FitPicture(640, 480, row.width, row.height);
        EXPECT_EQ(std::vector<int>({a.left, a.top, a.width, a.height}),
                  std::vector<int>({row.want.left, row.want.top, row.want.width, row.want.height}));
        const POINT p = WindowToPicture(a, 640, 480, row.window);
        EXPECT_EQ(p.x * 10000 + p.y, row.picture.x * 10000 + row.picture.y);
        if (a.width == 0) continue;
        // Each picture pixel's first window pixel lies under it, and its left neighbour's does not.
        for (POINT q : {POINT{0, 0}, POINT{1, 1}, POINT{319, 240}, POINT{639, 479}}) {
            const POINT w = PictureToWindow(a, 640, 480, q);
            const POINT back = WindowToPicture(a, 640, 480, w);
            const POINT before = WindowToPicture(a, 640, 480, POINT{w.x - 1, w.y - 1});
            EXPECT_EQ(back.x * 10000 + back.y, q.x * 10000 + q.y);
            EXPECT_EQ(before.x * 10000 + before.y, (q.x - 1) * 10000 + q.y - 1);
        }
    }
}

// A picture scaled whole into a window, then changed in a part and only ScaledRect of that part scaled
// again, gives the window a whole new scaling would: a change can be redrawn alone. The bars beside the
// picture are never written.
class ScalerTest : public ::testing::TestWithParam<SIZE> {};

TEST_P(ScalerTest, ScalingAChangedPartGivesWhatScalingTheWholeGives) {
    const SIZE size = GetParam();
    const PictureArea area = FitPicture(640, 480, size.cx, size.cy);
    std::mt19937 random(7);
    std::vector<std::uint32_t> source(640 * 480);
    for (auto& p : source)
        p = random();
    constexpr std::uint32_t kBar = 0xDEADBEEF;
    std::vector<std::uint32_t> partly(static_cast<std::size_t>(size.cx) * size.cy, kBar), whole = partly;
    const PixelRows picture{reinterpret_cast<std::uint8_t*>(source.data()), 640 * 4, 640, 480};
    const PixelRows partlyRows{reinterpret_cast<std::uint8_t*>(partly.data()), static_cast<int>(size.cx) * 4,
                               static_cast<int>(size.cx), static_cast<int>(size.cy)};
    const PixelRows wholeRows{reinterpret_cast<std::uint8_t*>(whole.data()), partlyRows.pitch,
                              partlyRows.width, partlyRows.height};
    PictureScaler scaler, fresh;
    const RECT all{0, 0, static_cast<LONG>(size.cx), static_cast<LONG>(size.cy)};
    scaler.Scale(picture, partlyRows, area, all);
    const struct {
        const char* name;
        RECT changed;
    } rows[] = {
        {"one pixel inside", {300, 200, 301, 201}}, {"the fixed corner", {0, 0, 80, 64}},
        {"the last pixel", {639, 479, 640, 480}},   {"a column at the left edge", {0, 100, 1, 300}},
        {"a wide band", {13, 241, 627, 250}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (LONG y = row.changed.top; y < row.changed.bottom; ++y)
            for (LONG x = row.changed.left; x < row.changed.right; ++x)
                source[static_cast<std::size_t>(y) * 640 + x] = random();
        scaler.Scale(picture, partlyRows, area, ScaledRect(area, 640, 480, row.changed));
        fresh.Scale(picture, wholeRows, area, all);
        std::size_t differ = 0;
        for (std::size_t i = 0; i < whole.size(); ++i)
            differ += whole[i] != partly[i];
        EXPECT_EQ(differ, 0u);
    }
    std::size_t bars = 0;
    for (std::uint32_t p : whole)
        bars += p == kBar;
    EXPECT_EQ(bars, static_cast<std::size_t>(size.cx) * size.cy -
                        static_cast<std::size_t>(area.width) * area.height);
    // At the picture's own size the scaling is a copy.
    if (area.width == 640 && area.height == 480) {
        EXPECT_TRUE(partly == source);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, ScalerTest,
                         ::testing::Values(SIZE{640, 480}, SIZE{1024, 768}, SIZE{1920, 1080}, SIZE{800, 600},
                                           SIZE{1280, 1024}, SIZE{701, 499}),
                         [](const auto& info) {
                             return std::to_string(info.param.cx) + "x" + std::to_string(info.param.cy);
                         });

// The idle pass's frames keep the display's beat: input between two frames adds one without moving
// the next, a loop that fell behind starts afresh instead of drawing a burst, and a picture that
// stands still is looked at every second frame until something moves again.
TEST(FramePacer, WaitsForTheNextBeat) {
    constexpr long long kFrame = 16667;
    const struct {
        const char* name;
        long long at;   // microseconds since the first frame
        bool moved;     // something was shown or input arrived then (instead of asking for the wait)
        long long wait; // what the pacer says
    } rows[] = {
        {"the first frame at once", 0, false, 0},
        {"a pass soon after waits for the next beat", 2000, false, kFrame - 2000},
        {"early input does not move the beat", 9000, true, 0},
        {"so the pass after it waits for it", 9100, false, kFrame - 9100},
        {"on the beat", kFrame, false, 0},
        {"the next beat follows it", kFrame + 100, false, kFrame - 100},
        {"late by 3 ms", 2 * kFrame + 3000, false, 0},
        {"the beat stays where it was", 2 * kFrame + 4000, false, kFrame - 4000},
        {"more than a frame behind", 10 * kFrame, false, 0},
        {"starts afresh from there", 10 * kFrame + 1000, false, kFrame - 1000},
    };
    FramePacer pacer;
    const long long start = 5000000;
    for (const auto& row : rows) {
        if (row.moved) {
            pacer.Moved(start + row.at, kFrame);
            continue;
        }
        EXPECT_EQ(pacer.WaitBefore(start + row.at, kFrame), row.wait) << row.name;
    }
    // Still for kStillFrames frames (counting the frames above): every second frame from then on, and
    // every frame again, the next one within a frame, once something moves.
    long long now = start + 11 * kFrame;
    for (int frame = 3; frame < FramePacer::kStillFrames; ++frame, now += kFrame)
        ASSERT_EQ(pacer.WaitBefore(now, kFrame), 0) << "frame " << frame;
    EXPECT_EQ(pacer.WaitBefore(now, kFrame), 0) << "the last frame of the first half second";
    EXPECT_EQ(pacer.WaitBefore(now + 10, kFrame), 2 * kFrame - 10) << "then every second frame";
    pacer.Moved(now + 100, kFrame);
    EXPECT_EQ(pacer.WaitBefore(now + 200, kFrame), kFrame - 100) << "moved: within a frame";
    EXPECT_EQ(pacer.WaitBefore(now + 100 + kFrame, kFrame), 0);
    EXPECT_EQ(pacer.WaitBefore(now + 200 + kFrame, kFrame), kFrame - 100) << "and every frame";
}
} // namespace
