// The DirectDraw family on the headless display: surfaces in the display's format, checked rects,
// locks, lost surfaces, the windowed primary with its clipper and the full-screen modes.
#include "platform/ddraw.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace pt = platform::testing;

namespace {
IDirectDrawSurface* MakeSurface(IDirectDraw* dd, DWORD width, DWORD height,
                                DWORD caps = DDSCAPS_OFFSCREENPLAIN) {
    DDSURFACEDESC desc{};
    desc.dwFlags = caps == DDSCAPS_PRIMARYSURFACE ? DDSD_CAPS : DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface* s = nullptr;
    return dd->CreateSurface(&desc, &s, nullptr) == DD_OK ? s : nullptr;
}

HRESULT Fill(IDirectDrawSurface* s, DWORD color, RECT r = {0, 0, 0, 0}) {
    DDBLTFX fx{};
    fx.dwFillColor = color;
    return s->Blt(r.right ? &r : nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

class DirectDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        hwnd = CreateHeadlessWindow(DefWindowProcA);
    }
    void TearDown() override {
        if (dd) dd->Release();
        DestroyWindow(hwnd);
        pt::ClearMessages();
    }
    IDirectDraw* dd = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(DirectDrawTest, SurfacesTakeTheDisplayFormatAndCheckTheirRects) {
    IDirectDrawSurface* s = MakeSurface(dd, 8, 4);
    ASSERT_NE(s, nullptr);
    DDSURFACEDESC desc{};
    ASSERT_EQ(s->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount * 0x1000000 + desc.ddpfPixelFormat.dwRBitMask, 0x20FF0000u);
    EXPECT_EQ(desc.dwWidth, 8u);
    EXPECT_GE(desc.lPitch, 32);
    EXPECT_EQ(Fill(s, 0xFFFFFF, {6, 0, 9, 4}), DDERR_INVALIDRECT);
    EXPECT_EQ(Fill(s, 0xFFFFFF, {3, 0, 1, 4}), DDERR_INVALIDRECT);
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 7, 3), 0u);
    IDirectDrawSurface* other = MakeSurface(dd, 4, 4);
    RECT src{0, 0, 5, 4};
    EXPECT_EQ(s->Blt(nullptr, other, &src, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(s->Blt(nullptr, other, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_NOCOLORKEY);
    other->Release();
    // CopiesWithinOneSurfaceMayOverlap
    for (int x = 0; x < 6; ++x)
        pt::WriteSurfaceRaw(s, x, 0, static_cast<DWORD>(x + 1));
    RECT from{0, 0, 4, 1}, to{2, 0, 6, 1};
    EXPECT_EQ(s->Blt(&to, s, &from, DDBLT_WAIT, nullptr), DD_OK);
    std::string row;
    for (int x = 0; x < 6; ++x)
        row += std::to_string(pt::ReadSurfaceRaw(s, x, 0));
    EXPECT_EQ(row, "121234");
    s->Release();
    DDSURFACEDESC wrong{};
    wrong.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    wrong.dwWidth = wrong.dwHeight = 4;
    wrong.ddpfPixelFormat.dwRGBBitCount = 16;
    IDirectDrawSurface* none = nullptr;
    EXPECT_EQ(dd->CreateSurface(&wrong, &none, nullptr), DDERR_INVALIDPIXELFORMAT);
    wrong.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    wrong.dwWidth = 0;
    EXPECT_EQ(dd->CreateSurface(&wrong, &none, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, LockGivesThePixelsAndBlocksBlitsUntilUnlocked) {
    IDirectDrawSurface* s = MakeSurface(dd, 4, 4);
    RECT r{1, 2, 3, 4};
    DDSURFACEDESC desc{};
    HDC dc = nullptr;
    ASSERT_EQ(s->Lock(&r, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    static_cast<BYTE*>(desc.lpSurface)[0] = 0x7F;
    EXPECT_EQ(Fill(s, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->GetDC(&dc), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 1, 2), 0x7Fu);
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(Fill(s, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(Fill(s, 0x123456), DD_OK);
    // LostSurfacesRefuseWorkUntilRestored; the memory comes back, its content does not.
    pt::LoseSurface(s);
    EXPECT_EQ(s->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Fill(s, 0), DDERR_SURFACELOST);
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    pt::FailRestores(true);
    EXPECT_NE(s->Restore(), DD_OK);
    pt::FailRestores(false);
    EXPECT_EQ(s->Restore() | s->IsLost(), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 0, 0), 0u);
    // A surface kept after its DirectDraw object is gone stays lost for good.
    dd->Release();
    dd = nullptr;
    EXPECT_EQ(s->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(s->Restore(), DDERR_WRONGMODE);
    s->Release();
}

TEST_F(DirectDrawTest, WindowedPrimaryTakesScreenCoordinatesThroughItsClipper) {
    platform::SetClientOrigin(hwnd, POINT{100, 50});
    ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* primary = MakeSurface(dd, 0, 0, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, hwnd) | primary->SetClipper(clipper), DD_OK);
    IDirectDrawSurface* back = MakeSurface(dd, 640, 480);
    Fill(back, 0x00FF00);
    const int before = pt::PresentCount();
    RECT client{100, 50, 740, 530}, shifted{50, 50, 690, 530};
    EXPECT_EQ(primary->Blt(&client, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pt::PresentCount(), before + 1);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(primary, 0, 0) & pt::ReadSurfaceRgbAt(primary, 639, 479), 0x00FF00u);
    // Hanging off the client area: cut to it, the source cut alike.
    Fill(back, 0xFF0000);
    EXPECT_EQ(primary->Blt(&shifted, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(primary, 589, 0), 0xFF0000u);
    EXPECT_EQ(pt::ReadSurfaceRgbAt(primary, 590, 0), 0x00FF00u);
    back->Release();
    clipper->Release();
    primary->Release();
}

TEST_F(DirectDrawTest, FullScreenModesAndTheirDepths) {
    pt::SetFullScreenDepths({32, 16});
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 32), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(640, 480, 24), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(dd->SetDisplayMode(800, 600, 16), DDERR_UNSUPPORTEDMODE);
    IDirectDrawSurface* before = MakeSurface(dd, 4, 4);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16), DD_OK);
    EXPECT_TRUE(pt::IsFullScreen());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    // The mode change took the old surface's memory; new ones come in the mode's format.
    EXPECT_EQ(before->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(before->Restore(), DDERR_WRONGMODE);
    IDirectDrawSurface* after = MakeSurface(dd, 4, 4);
    DDPIXELFORMAT pf{};
    after->GetPixelFormat(&pf);
    EXPECT_EQ(pf.dwRGBBitCount * 0x10000 + pf.dwGBitMask, 0x1007E0u);
    after->Release();
    before->Release();
    // Releasing the object gives the desktop back.
    dd->Release();
    dd = nullptr;
    EXPECT_FALSE(pt::IsFullScreen());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}
} // namespace
