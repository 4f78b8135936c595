#include "tests/transition/Engine.h"

#include "tools/fixtures/PictureWriter.h"

using namespace transition_test;
using fixtures::RuleShape;

namespace {
constexpr int kSampleRows = 9; // every ninth row is compared with the reference

// The plain path of a mask wipe from the formulas: calls at increasing times; the level rises by the
// level step at every level-step time, each started pixel gains the alpha of the alpha steps passed
// since the last call, and finishes at 256.
class WipeReference {
  public:
    WipeReference(const Picture& before, const Picture& after, std::vector<int> levels, const LONG timing[4])
        : m_Before(before), m_After(after), m_Levels(std::move(levels)), frame(before),
          m_Alpha(m_Levels.size(), 0), m_Done(m_Levels.size(), false) {
        for (int i = 0; i < 4; ++i)
            m_Timing[i] = timing[i];
        m_Left = 0;
        for (int y = 0; y < before.height; y += kSampleRows)
            m_Left += before.width;
    }
    // True when the last sampled pixel finished in this call.
    bool Call(DWORD t) {
        const long long level = std::min<long long>(256, t / m_Timing[0] * m_Timing[1]);
        const long long steps = t / m_Timing[2];
        const long long delta = std::min<long long>(256, (steps - m_LastSteps) * m_Timing[3]);
        m_LastSteps = steps;
        if (delta == 0) return false;
        for (int y = 0; y < frame.height; y += kSampleRows)
            for (int x = 0; x < frame.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * frame.width + x;
                if (m_Done[i] || m_Levels[i] > level) continue;
                m_Alpha[i] += static_cast<int>(delta);
                if (m_Alpha[i] >= 256) {
                    m_Done[i] = true;
                    --m_Left;
                    frame.SetPixel(x, y, m_After.Pixel(x, y));
                } else {
                    frame.SetPixel(
                        x, y, RefBlend(frame.format, m_Before.Pixel(x, y), m_After.Pixel(x, y), m_Alpha[i]));
                }
            }
        return m_Left == 0;
    }
    bool Finished(int x, int y) const { return m_Done[static_cast<std::size_t>(y) * frame.width + x]; }

  private:
    Picture m_Before, m_After;
    std::vector<int> m_Levels;

  public:
    Picture frame;

  private:
    std::vector<int> m_Alpha;
    std::vector<bool> m_Done;
    LONG m_Timing[4];
    long long m_LastSteps = 0;
    long long m_Left;
};

std::vector<int> LevelsOf(const std::vector<unsigned char>& maskBytes) {
    return std::vector<int>(maskBytes.begin() + 1040, maskBytes.end());
}

// Compares the sampled rows; the vector path differs only where listed: byte 3 of 32-bit pixels, and
// a finished 24-bit pixel one short in each channel that rises.
void ExpectSameFrame(const Picture& got, const WipeReference& ref, const Picture& before, bool simd) {
    for (int y = 0; y < got.height; y += kSampleRows)
        for (int x = 0; x < got.width; ++x) {
            const std::uint32_t g = got.Pixel(x, y), want = ref.frame.Pixel(x, y);
            if (got.format == 32) {
                ASSERT_EQ(g & 0xFFFFFF, want & 0xFFFFFF) << x << "," << y;
                if (!simd) {
                    ASSERT_EQ(g, want) << x << "," << y;
                }
            } else if (got.format == 24 && simd) {
                for (int c = 0; c < 3; ++c) {
                    const int gc = (g >> (8 * c)) & 0xFF, wc = (want >> (8 * c)) & 0xFF;
                    const int bc = (before.Pixel(x, y) >> (8 * c)) & 0xFF;
                    ASSERT_TRUE(gc == wc || (ref.Finished(x, y) && wc > bc && gc == wc - 1)) << x << "," << y;
                }
            } else {
                ASSERT_EQ(g, want) << x << "," << y;
            }
        }
}
} // namespace

TEST_F(EngineTest, MaskWipeFramesFollowTheRuleMaskOnEveryPath) {
    const auto mask = fixtures::RuleMaskShape(RuleShape::Diagonal, 640, 480);
    for (int format : kFormats)
        for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
            SCOPED_TRACE(format * 10 + (simd == pt::SimdChoice::Simd));
            Use(format, 640, 480, simd);
            auto engine = MakeEngine({{"lt_to_rb_dia", mask}});
            const TransitionParams p = Params(29);
            ASSERT_EQ(engine->Start(&p), 1);
            WipeReference ref(before, after, LevelsOf(mask), p.timing);
            int done = 0;
            DWORD t = 0;
            while (!done && t < 4000) {
                t += 20;
                int changed = -1;
                done = StepAt(*engine, t, &changed);
                EXPECT_EQ(changed, 1);
                const bool refDone = ref.Call(t);
                if (t % 500 == 0 || done)
                    ExpectSameFrame(DrawPicture(), ref, before, simd == pt::SimdChoice::Simd);
                if (done) {
                    EXPECT_TRUE(refDone);
                }
            }
            // The last pixels start at 2560 ms and need 32 alpha steps.
            EXPECT_EQ(t, 3180u);
        }
}

TEST_F(EngineTest, APixelStartsInTheFirstCallThatReachesItsLevel) {
    Use(32, 640, 480, pt::SimdChoice::Plain);
    std::vector<unsigned char> levels(640 * 480, 200);
    levels[5 * 640 + 7] = 10;
    auto engine = MakeEngine({{"mesh", fixtures::RuleMaskBytes(640, 480, levels)}});
    const TransitionParams p = Params(38);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 80); // level 8
    EXPECT_EQ(DrawPicture().Pixel(7, 5), before.Pixel(7, 5));
    StepAt(*engine, 100); // level 10, one alpha step
    EXPECT_EQ(DrawPicture().Pixel(7, 5), RefBlend(32, before.Pixel(7, 5), after.Pixel(7, 5), 8));
    EXPECT_EQ(DrawPicture().Pixel(8, 5), before.Pixel(8, 5));
}

TEST_F(EngineTest, AMaskOfZerosWipesAsACrossFade) {
    Use(16);
    auto engine =
        MakeEngine({{"mesh", fixtures::RuleMaskBytes(640, 480, std::vector<unsigned char>(640 * 480, 0))}});
    const TransitionParams p = Params(38);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 100);
    const Picture frame = DrawPicture();
    for (int y = 0; y < 480; y += 11)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(frame.Pixel(x, y), RefBlend(16, before.Pixel(x, y), after.Pixel(x, y), 40));
    EXPECT_EQ(StepAt(*engine, 620), 0);
    EXPECT_EQ(StepAt(*engine, 640), 1);
}

TEST_F(EngineTest, AMaskOf255sWaitsUntilTheLevelPasses255) {
    Use(32);
    auto engine =
        MakeEngine({{"mesh", fixtures::RuleMaskBytes(640, 480, std::vector<unsigned char>(640 * 480, 255))}});
    const TransitionParams p = Params(38);
    ASSERT_EQ(engine->Start(&p), 1);
    for (DWORD t = 20; t <= 2540; t += 20)
        ASSERT_EQ(StepAt(*engine, t), 0);
    EXPECT_TRUE(DrawPicture().SamePixels(before)) << "level 254 does not reach 255";
    StepAt(*engine, 2560);
    EXPECT_EQ(DrawPicture().Pixel(3, 3) & 0xFFFFFF, RefBlend(32, before.Pixel(3, 3), after.Pixel(3, 3), 8));
    EXPECT_EQ(StepAt(*engine, 3160), 0);
    EXPECT_EQ(StepAt(*engine, 3180), 1);
}

TEST_F(EngineTest, Effects4And11AreHardEdgedSweepsEndingBy320Ms) {
    const auto down = fixtures::RuleMaskShape(RuleShape::TopToBottom, 640, 480);
    const auto up = fixtures::RuleMaskShape(RuleShape::BottomToTop, 640, 480);
    for (LONG effect : {4, 11})
        for (int format : {16, 32}) {
            SCOPED_TRACE(effect * 100 + format);
            Use(format);
            auto engine = MakeEngine({{"top_to_bottom", down}, {"bottom_to_top", up}});
            const TransitionParams p = Params(effect);
            ASSERT_EQ(engine->Start(&p), 1);
            int done = 0;
            DWORD t = 0;
            while (!done && t < 1000) {
                t += 10;
                done = StepAt(*engine, t);
                const Picture frame = DrawPicture();
                for (int y = 0; y < 480; y += 5) {
                    // Every pixel is the before or the after pixel: never a blend.
                    const bool isBefore = frame.Pixel(0, y) == before.Pixel(0, y);
                    ASSERT_TRUE(isBefore || (frame.Pixel(0, y) & 0xFFFFFF) == (after.Pixel(0, y) & 0xFFFFFF))
                        << y;
                    const bool started = (effect == 4 ? y * 255 / 479 : (479 - y) * 255 / 479) <=
                                         static_cast<int>(t / 20 * 16);
                    ASSERT_EQ(isBefore, !started) << "row " << y << " at " << t;
                }
            }
            EXPECT_TRUE(done);
            EXPECT_LE(t, 320u);
        }
}

TEST_F(EngineTest, VectorAndPlainWipesGiveTheSameFramesAtAnyWidth) {
    const auto mask = fixtures::RuleMaskShape(RuleShape::Noise, 640, 480);
    for (int format : kFormats)
        for (LONG width : {640, 600, 77, 13, 3}) {
            SCOPED_TRACE(format * 1000 + width);
            std::vector<Picture> frames[2];
            for (int path = 0; path < 2; ++path) {
                Use(format, 640, 480, path ? pt::SimdChoice::Simd : pt::SimdChoice::Plain);
                auto engine = MakeEngine({{"random", mask}});
                TransitionParams p = Params(47);
                p.destX = 9;
                p.destY = 4;
                p.source = RECT{1, 2, 1 + width, 62};
                ASSERT_EQ(engine->Start(&p), 1);
                int done = 0;
                for (DWORD t = 40; !done; t += 40) {
                    done = StepAt(*engine, t);
                    if (t % 400 == 0 || done) frames[path].push_back(DrawPicture());
                }
            }
            ASSERT_EQ(frames[0].size(), frames[1].size()) << "both paths end in the same call";
            for (std::size_t f = 0; f < frames[0].size(); ++f)
                for (int y = 0; y < 70; ++y)
                    for (int x = 0; x < 640; ++x) {
                        const std::uint32_t a = frames[0][f].Pixel(x, y), b = frames[1][f].Pixel(x, y);
                        if (format == 24) {
                            for (int c = 0; c < 3; ++c)
                                ASSERT_LE(std::abs(static_cast<int>((a >> (8 * c)) & 0xFF) -
                                                   static_cast<int>((b >> (8 * c)) & 0xFF)),
                                          1);
                        } else {
                            ASSERT_EQ(a & (format == 32 ? 0xFFFFFFu : ~0u),
                                      b & (format == 32 ? 0xFFFFFFu : ~0u))
                                << "frame " << f << " at " << x << "," << y;
                        }
                    }
            // Outside the area nothing changes.
            EXPECT_EQ(frames[0].back().Pixel(8, 10), before.Pixel(8, 10));
            EXPECT_EQ(frames[1].back().Pixel(9 + width, 10),
                      width + 9 < 640 ? before.Pixel(9 + width, 10) : frames[1].back().Pixel(9 + width, 10));
        }
}

TEST_F(EngineTest, ASmallMaskIsTiledAndItsCountsComeFromTheTiledScreen) {
    // A 320 x 240 mask whose header counts describe it once: the 24-bit plain scan still finishes every
    // pixel of the four copies.
    const auto mask = fixtures::RuleMaskShape(RuleShape::Noise, 320, 240);
    Use(24, 640, 480, pt::SimdChoice::Plain);
    auto engine = MakeEngine({{"mosaic", mask}});
    const TransitionParams p = Params(45);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 1000);
    const Picture frame = DrawPicture();
    for (int y = 0; y < 240; y += 7)
        for (int x = 0; x < 320; ++x) {
            ASSERT_EQ(frame.Pixel(x + 320, y) == before.Pixel(x + 320, y),
                      frame.Pixel(x, y) == before.Pixel(x, y));
            ASSERT_EQ(frame.Pixel(x, y + 240) == before.Pixel(x, y + 240),
                      frame.Pixel(x, y) == before.Pixel(x, y));
        }
    int done = 0;
    DWORD t = 1000;
    while (!done && t < 10000)
        done = StepAt(*engine, t += 20);
    EXPECT_EQ(t, 3180u);
    EXPECT_TRUE(DrawPicture().SamePixels(after));
}

TEST_F(EngineTest, AMaskWithWrongCountsCannotStallTheWipe) {
    auto mask = fixtures::RuleMaskShape(RuleShape::LeftToRight, 640, 480);
    for (std::size_t v = 0; v < 256; ++v)
        fixtures::PutU32(mask, 16 + 4 * v, v == 0 ? 1 : 0); // counts saying one pixel in all
    Use(24, 640, 480, pt::SimdChoice::Plain);
    auto engine = MakeEngine({{"left_to_right", mask}});
    const TransitionParams p = Params(19);
    ASSERT_EQ(engine->Start(&p), 1);
    int done = 0;
    DWORD t = 0;
    while (!done && t < 10000)
        done = StepAt(*engine, t += 20);
    EXPECT_EQ(t, 3180u);
    EXPECT_TRUE(DrawPicture().SamePixels(after));
}

TEST_F(EngineTest, ScreenSizedAndLargerMasksUseTheirTopLeftCorner) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{800, 600}}) {
        SCOPED_TRACE(w);
        const auto mask =
            fixtures::RuleMaskBytes(w, h, [](int x, int y) { return x < 320 && y < 240 ? 0 : 255; });
        Use(32);
        auto engine = MakeEngine({{"checker", mask}});
        const TransitionParams p = Params(43);
        ASSERT_EQ(engine->Start(&p), 1);
        StepAt(*engine, 640);
        const Picture frame = DrawPicture();
        EXPECT_EQ(frame.Pixel(319, 239) & 0xFFFFFF, after.Pixel(319, 239) & 0xFFFFFF);
        EXPECT_EQ(frame.Pixel(320, 239), before.Pixel(320, 239));
        EXPECT_EQ(frame.Pixel(319, 240), before.Pixel(319, 240));
        EXPECT_EQ(frame.Pixel(639, 479), before.Pixel(639, 479));
    }
}

TEST_F(EngineTest, ADamagedMaskIsRefusedAndTheChangeHappensWithoutATransition) {
    auto shortTotal = fixtures::RuleMaskShape(RuleShape::Noise, 64, 64);
    fixtures::PutU32(shortTotal, 0, 1040 + 64 * 64 - 1);
    auto noRows = fixtures::RuleMaskShape(RuleShape::Noise, 64, 64);
    fixtures::PutU32(noRows, 8, 0);
    auto cut = fixtures::RuleMaskShape(RuleShape::Noise, 64, 64);
    cut.resize(cut.size() - 10);
    Use(32);
    auto engine = MakeEngine({{"mesh", shortTotal}, {"mesh_2", noRows}, {"checker", cut}});
    for (LONG effect : {38, 39, 43, 40 /* not in the archive */}) {
        const TransitionParams p = Params(effect);
        EXPECT_EQ(engine->Start(&p), 0) << effect;
        EXPECT_EQ(engine->IsRunning(), 0);
    }
    EXPECT_TRUE(DrawPicture().SamePixels(before));
}

TEST_F(EngineTest, AKeyedWipeFinishesKeyPixelsWithoutDrawingThem) {
    Use(16);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 100; ++x)
            after.SetPixel(x, y, 0x0841); // and the top-left corner gives the key
    Put(m_After, after);
    auto engine = MakeEngine({{"wave", fixtures::RuleMaskShape(RuleShape::LeftToRight, 640, 480)}});
    TransitionParams p = Params(49);
    p.keySource = kKeyTopLeft;
    ASSERT_EQ(engine->Start(&p), 1);
    int done = 0;
    DWORD t = 0;
    while (!done && t < 5000)
        done = StepAt(*engine, t += 20);
    EXPECT_TRUE(done);
    const Picture frame = DrawPicture();
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 2)
            ASSERT_EQ(frame.Pixel(x, y),
                      after.Pixel(x, y) == 0x0841 ? before.Pixel(x, y) : after.Pixel(x, y));
}

TEST_F(EngineTest, StopEndsAWipeAtOnceAndEndFreesItsBuffers) {
    Use(32);
    auto engine = MakeEngine({{"lens", fixtures::RuleMaskShape(RuleShape::CenterOut, 640, 480)}});
    const TransitionParams p = Params(51);
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 400);
    const Picture mid = DrawPicture();
    EXPECT_EQ(engine->Start(&p), 0) << "a wipe not yet ended holds its buffers";
    engine->RequestStop();
    int changed = 5;
    EXPECT_EQ(StepAt(*engine, 800, &changed), 1);
    EXPECT_EQ(changed, 5);
    EXPECT_TRUE(DrawPicture().SamePixels(mid));
    EXPECT_EQ(engine->IsRunning(), 1);
    engine->End();
    EXPECT_EQ(engine->IsRunning(), 0);
    EXPECT_EQ(engine->Start(&p), 1) << "End freed the buffers";
    EXPECT_EQ(StepAt(*engine, 900, &changed), 0) << "Start cleared the stop request";
}

TEST_F(EngineTest, EffectTwentyTwoUsesTheMaskOfEffectTwenty) {
    Use(32);
    auto engine = MakeEngine({{"l_to_r_blind", fixtures::RuleMaskShape(RuleShape::Blinds, 640, 480)}});
    for (LONG effect : {20, 22}) {
        const TransitionParams p = Params(effect);
        EXPECT_EQ(engine->Start(&p), 1) << effect;
        engine->End();
    }
    const TransitionParams p = Params(21);
    EXPECT_EQ(engine->Start(&p), 0);
}

TEST_F(EngineTest, ARefusedStartLeavesTheRunningTransitionAsItWas) {
    Use(32, 640, 480, pt::SimdChoice::Plain);
    auto damaged = fixtures::RuleMaskShape(RuleShape::Noise, 64, 64);
    fixtures::PutU32(damaged, 4, 0);
    auto engine = MakeEngine({{"mesh", damaged}});
    TransitionParams p = Params(1);
    p.destX = 10;
    p.source = RECT{0, 0, 100, 100};
    ASSERT_EQ(engine->Start(&p), 1);
    StepAt(*engine, 100);

    // Other surfaces, area and format, all refused at the set-up: a mask that is damaged, one that is
    // missing, a picture format that the pixel routines cannot address.
    IDirectDrawSurface* other = CreateOffscreenSurface(m_DD, SIZE{64, 64});
    for (LONG effect : {38, 40}) {
        TransitionParams q = Params(effect);
        q.before = other;
        q.draw = other;
        q.source = RECT{0, 0, 64, 64};
        EXPECT_EQ(engine->Start(&q), 0);
    }
    other->Release();
    EXPECT_EQ(engine->IsRunning(), 1);

    StepAt(*engine, 200);
    const Picture frame = DrawPicture();
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; ++x) {
            const bool inArea = x >= 10 && x < 110 && y < 100;
            ASSERT_EQ(frame.Pixel(x, y), inArea ? RefBlend(32, before.Pixel(x, y), after.Pixel(x - 10, y), 80)
                                                : before.Pixel(x, y));
        }
}

TEST_F(EngineTest, ALongPauseFinishesEveryStartedPixelInsteadOfWrapping) {
    // Ten minutes between two steps: 30000 alpha steps of 256 would wrap a 16-bit alpha, and a level
    // of 480000 would pass the finished marker 65535 and count finished pixels again.
    const auto mask = fixtures::RuleMaskShape(RuleShape::TopToBottom, 640, 480);
    for (auto simd : {pt::SimdChoice::Plain, pt::SimdChoice::Simd}) {
        Use(16, 640, 480, simd);
        auto engine = MakeEngine({{"top_to_bottom", mask}});
        const TransitionParams p = Params(4);
        ASSERT_EQ(engine->Start(&p), 1);
        EXPECT_EQ(StepAt(*engine, 40), 0);
        EXPECT_EQ(StepAt(*engine, 600000), 1);
        EXPECT_TRUE(DrawPicture().SamePixels(after));
    }
}

TEST_F(EngineTest, ZeroTimingValuesStillFinish) {
    Use(32);
    auto engine = MakeEngine({{"mesh", fixtures::RuleMaskShape(RuleShape::Noise, 640, 480)}});
    TransitionParams p = Params(1);
    p.timing[2] = p.timing[3] = 0; // taken as 1 ms and 1 alpha a step
    ASSERT_EQ(engine->Start(&p), 1);
    EXPECT_EQ(StepAt(*engine, 255), 0);
    EXPECT_EQ(StepAt(*engine, 256), 1);
    engine->End();
    p = Params(38);
    p.timing[0] = p.timing[1] = p.timing[2] = 0;
    p.timing[3] = -5;
    ASSERT_EQ(engine->Start(&p), 1);
    int done = 0;
    DWORD t = 0;
    while (!done && t < 2000)
        done = StepAt(*engine, ++t);
    EXPECT_TRUE(done);
}
