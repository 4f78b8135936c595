// A screen of several layers caught mid-transition and mid-fade, kept as PNG files under the build
// folder for a person to look at.
#include "tests/screen/ScreenFixture.h"

using namespace screen_test;

namespace {
// A 640x480 background: a diagonal colour ramp with a grid, so that a wipe's edge is easy to see.
fixtures::Bytes RampBmp() {
    fixtures::PictureDesc desc;
    desc.width = 640;
    desc.height = 480;
    desc.bitCount = 24;
    desc.pixels.resize(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            DWORD rgb =
                (static_cast<DWORD>(x * 255 / 639) << 16) | (static_cast<DWORD>(y * 255 / 479) << 8) | 0x60;
            if (x % 40 == 0 || y % 40 == 0) rgb = 0x202020;
            desc.pixels[static_cast<std::size_t>(y) * 640 + x] = rgb;
        }
    return fixtures::WriteBmp(desc);
}

// A soft-edged disc in an "AM" picture: its alpha falls from the middle outwards.
fixtures::Bytes DiscAm(int size, DWORD rgb) {
    fixtures::PictureDesc desc;
    desc.width = size;
    desc.height = size;
    desc.bitCount = 24;
    desc.pixels.assign(static_cast<std::size_t>(size) * size, rgb);
    fixtures::Bytes plane(static_cast<std::size_t>(size) * size);
    const int r = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int d2 = (x - r) * (x - r) + (y - r) * (y - r);
            const int a = d2 >= r * r ? 0 : 255 - 255 * d2 / (r * r);
            plane[static_cast<std::size_t>(y) * size + x] = static_cast<BYTE>(a);
        }
    return fixtures::WriteAm(desc, plane, fixtures::AmOptions{});
}

class PictureTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // A second archive with the pictures of this scene.
        delete g_pGraphicArc;
        ASSERT_TRUE(fixtures::WriteArc(dir.File("scene.arc"), {{"ramp", RampBmp()},
                                                               {"disc", DiscAm(200, 0xFFFFFF)},
                                                               {"keyed", KeyedBmp(120, 120)},
                                                               {"red", SolidBmp(160, 120, kRed)},
                                                               {"green", SolidBmp(100, 300, kGreen)}}));
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "scene.arc").c_str());
    }
};
} // namespace

TEST_F(PictureTest, SeveralLayersMidTransitionAndMidFade) {
    g_pScreen->LoadLayer(0, "ramp", 1, 0, 0, 0);
    g_pScreen->LoadLayer(1, "green", 1, 40, 90, 0);
    g_pScreen->LoadLayer(2, "keyed", 1, 420, 60, 1);
    g_pScreen->LoadLayer(6, "disc", 1, 60, 200, 0);
    FullFrame();
    EXPECT_EQ(At(160, 300), 0xFEFEFEu); // the disc's middle, alpha 255
    EXPECT_EQ(At(259, 201), 0x676B60u); // its clear corner shows the ramp
    EXPECT_EQ(At(460, 120), kWhite);    // the keyed picture's square; its frame is transparent
    EXPECT_EQ(At(421, 61), 0xA82060u);

    // A top-to-bottom wipe brings in a red picture and the disc moved over it.
    g_pScreen->SetEffectEnable(1);
    g_pScreen->SetEffect(4);
    g_pScreen->TakeSnapshot();
    g_pScreen->LoadLayer(3, "red", 1, 240, 160, 0);
    g_pScreen->SetLayerPos(6, 400, 250);
    g_pScreen->TransitionFromSnapshot(4);
    Frame();
    Advance(140);
    Frame();
    ASSERT_TRUE(g_pScreen->IsRunning());
    // Above the wipe's edge (row 210 or so) the new screen, below it the old one.
    EXPECT_EQ(At(300, 200), kRed);
    EXPECT_EQ(At(160, 300), 0xFEFEFEu);
    EXPECT_EQ(At(500, 350), 0xC7BA60u); // the ramp where the disc will be
    EXPECT_TRUE(pt::SaveSurfacePng(back->GetSurface(), ArtifactPath("screen_mid_transition.png")));
    RunToEnd();
    EXPECT_EQ(At(500, 350), 0xFEFEFEu);
    EXPECT_EQ(At(161, 301), 0x40A060u); // the disc has left

    // Then a cross-fade to black, caught half-way.
    g_pScreen->SetEffect(1);
    g_pScreen->Fade(CScreen::kBlackOut);
    Frame();
    Advance(320);
    Frame();
    const DWORD red = At(300, 200);
    EXPECT_GT(red >> 16, 0x70u);
    EXPECT_LT(red >> 16, 0x90u);
    EXPECT_TRUE(pt::SaveSurfacePng(back->GetSurface(), ArtifactPath("screen_mid_fade.png")));
    RunToEnd();
    EXPECT_EQ(At(300, 200), 0u);
}
