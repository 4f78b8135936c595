// Device contexts: DIB sections, the Windows default colours, selection, and blits that convert and
// clip onto a surface.
#include "platform/ddraw.h"
#include "platform/gdi.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace pt = platform::testing;

namespace {
BITMAPINFO Header(int width, int height, int bits, DWORD compression = BI_RGB) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits), compression};
    return info;
}

TEST(Gdi, DibSectionsRefuseWhatTheyCannotHold) {
    void* bits = nullptr;
    for (BITMAPINFO bad :
         {Header(0, 4, 24), Header(4, 4, 12), Header(100000, 4, 24), Header(4, 4, 24, BI_BITFIELDS)})
        EXPECT_EQ(CreateDIBSection(nullptr, &bad, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    BITMAPINFO good = Header(5, -3, 24);
    HBITMAP b = CreateDIBSection(nullptr, &good, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(b && bits);
    EXPECT_TRUE(DeleteObject(b));
}

TEST(Gdi, DeviceContextDefaultsAndSelection) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), 0u);
    BITMAPINFO info = Header(2, 2, 32);
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, b);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), b);
    // A bitmap in use is not deleted, and it lives in one DC at a time.
    EXPECT_FALSE(DeleteObject(b));
    HDC second = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(second, b), nullptr);
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(b) && DeleteDC(second) && DeleteDC(dc));
    // WindowDcReportsTheDesktopDepth
    for (const auto& [format, depth] :
         {std::pair{pt::DisplayFormat::Pal8, 8}, {pt::DisplayFormat::Rgb24, 24}}) {
        pt::UseHeadlessDisplay(format);
        HDC desktop = GetDC(nullptr);
        EXPECT_EQ(GetDeviceCaps(desktop, BITSPIXEL), depth);
        EXPECT_EQ(ReleaseDC(nullptr, desktop), 1);
    }
}

TEST(Gdi, StretchBltConvertsAndClips) {
    pt::UseHeadlessDisplay(pt::DisplayFormat::Rgb565);
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 3;
    desc.dwHeight = 2;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* s = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
    BITMAPINFO info = Header(2, 2, 24);
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    // Bottom-up: the second stored row is the top one; top-left blue, top-right red.
    static_cast<BYTE*>(bits)[8] = static_cast<BYTE*>(bits)[13] = 0xFF;
    HGDIOBJ old = SelectObject(memory, b);
    HDC target = nullptr;
    auto blit = [&](auto call) {
        ASSERT_EQ(s->GetDC(&target), DD_OK);
        call();
        EXPECT_EQ(s->ReleaseDC(target), DD_OK);
    };
    blit([&] {
        EXPECT_EQ(GetDeviceCaps(target, BITSPIXEL), 16);
        // Placed at (2, 1): only the top-left source pixel fits.
        EXPECT_TRUE(StretchBlt(target, 2, 1, 2, 2, memory, 0, 0, 2, 2, SRCCOPY));
        EXPECT_FALSE(StretchBlt(target, 0, 0, 2, 2, memory, 0, 0, 2, 2, 0x00EE0086));
    });
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 2, 1) * 0x10000 + pt::ReadSurfaceRaw(s, 1, 1), 0x001F0000u);
    blit([&] { EXPECT_TRUE(BitBlt(target, 0, 0, 2, 1, memory, 0, 0, SRCCOPY)); });
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 0, 0) * 0x10000 + pt::ReadSurfaceRaw(s, 1, 0), 0x001FF800u);
    // Hanging off the left: the source's second column lands on column 0.
    blit([&] { EXPECT_TRUE(BitBlt(target, -1, 1, 2, 1, memory, 0, 0, SRCCOPY)); });
    EXPECT_EQ(pt::ReadSurfaceRaw(s, 0, 1), 0xF800u);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(b);
    s->Release();
    dd->Release();
}
} // namespace
