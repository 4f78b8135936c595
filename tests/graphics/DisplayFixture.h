// The one display of the graphics tests: headless in one of the four formats (or the 8-bit one), new
// surfaces with rows wider than their pixels, the manual clock, a clean update region and run state,
// and a graphic archive written for the test. Parameterised suites take the format as their parameter.
#pragma once

#include "app/RunState.h"
#include "files/ArcFile.h"
#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/DisplayFormats.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace graphics_test {
namespace pt = platform::testing;
using fixtures::Bytes;
using fixtures::PictureDesc;

inline constexpr DWORD kClockStart = 200000;

class DisplayFixture : public ::testing::Test {
  protected:
    // The display in `format`; earlier surfaces of the test are released first.
    void UseDisplay(pt::DisplayFormat format, int pitchAlignment = 8, int pitchPadding = 12) {
        ReleaseDisplay();
        m_Format = format;
        pt::UseHeadlessDisplay(format);
        pt::SetSurfacePitch(pitchAlignment, pitchPadding);
        pt::UseManualClock(kClockStart);
        ResetUpdateRegion();
        ResetRunState();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        baseSurfaces = pt::LiveSurfaceCount();
    }
    void TearDown() override {
        ReleaseDisplay();
        pt::ForceSimd(pt::SimdChoice::Detect);
        pt::UseRealClock();
    }
    void ReleaseDisplay() {
        surfaces.clear();
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        dd = nullptr;
        ResetUpdateRegion();
        ResetRunState();
    }

    int Bits() const { return fixtures::DisplayBits(m_Format); }
    bool Is555() const { return m_Format == pt::DisplayFormat::Rgb555; }
    // The display's stored value of 0xRRGGBB: each channel keeps its top bits.
    DWORD Pixel(DWORD rgb) const { return fixtures::DisplayPixel(m_Format, rgb); }
    // A stored pixel without the byte that a 32-bit display does not show.
    DWORD Raw(IDirectDrawSurface* s, int x, int y) const {
        const DWORD v = pt::ReadSurfaceRaw(s, x, y);
        return Bits() == 32 ? v & 0xFFFFFF : v;
    }
    // A surface the fixture owns, filled with a raw value.
    IDirectDrawSurface* MakeSurface(int w, int h, DWORD fill = 0) {
        surfaces.push_back(std::make_unique<CDDrawSurface>());
        EXPECT_TRUE(surfaces.back()->CreateEmpty(dd, SIZE{w, h}));
        FillSurface(surfaces.back()->GetSurface(), fill, nullptr);
        return surfaces.back()->GetSurface();
    }
    // Every pixel of `s` is `inside` within `r` and `outside` elsewhere (raw values).
    void ExpectRect(IDirectDrawSurface* s, const RECT& r, DWORD inside, DWORD outside) const {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(s->GetSurfaceDesc(&desc), DD_OK);
        for (int y = 0; y < static_cast<int>(desc.dwHeight); ++y)
            for (int x = 0; x < static_cast<int>(desc.dwWidth); ++x)
                ASSERT_EQ(Raw(s, x, y), PtInRect(&r, POINT{x, y}) ? inside : outside) << x << "," << y;
    }
    // Pixels of `s`: x, y and the stored value (without the unshown byte of 32 bits).
    void ExpectRaw(IDirectDrawSurface* s, std::initializer_list<std::array<DWORD, 3>> pixels) const {
        for (const auto& p : pixels)
            EXPECT_EQ(Raw(s, static_cast<int>(p[0]), static_cast<int>(p[1])), p[2]) << p[0] << "," << p[1];
    }
    // "graphic.arc" with these entries, opened as the graphic archive.
    void UseArchive(const std::vector<fixtures::ArcEntryData>& entries) {
        delete g_pGraphicArc;
        ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"), entries));
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        ASSERT_TRUE(g_pGraphicArc->IsArchiveMode());
    }
    // Surfaces made since the display was chosen, the fixture's own included.
    int ExtraSurfaces() const { return pt::LiveSurfaceCount() - baseSurfaces; }

    pt::DisplayFormat m_Format = pt::DisplayFormat::Xrgb32;
    IDirectDraw* dd = nullptr;
    int baseSurfaces = 0;
    std::vector<std::unique_ptr<CDDrawSurface>> surfaces;
    fixtures::TempDir dir;
};

// A suite run once in each of the four formats.
class DisplayTest : public DisplayFixture, public ::testing::WithParamInterface<pt::DisplayFormat> {
  protected:
    void SetUp() override { UseDisplay(GetParam()); }
};

inline std::string FormatName(const ::testing::TestParamInfo<pt::DisplayFormat>& info) {
    return fixtures::DisplayFormatName(info.param);
}
#define GRAPHICS_IN_EVERY_FORMAT(suite)                                                                      \
    INSTANTIATE_TEST_SUITE_P(Formats, suite, ::testing::ValuesIn(fixtures::kDisplayFormats),                 \
                             ::graphics_test::FormatName)

// A solid 24-bit picture, as a desc.
inline PictureDesc Solid(int w, int h, DWORD rgb) {
    PictureDesc d;
    d.width = w;
    d.height = h;
    d.bitCount = 24;
    d.pixels.assign(static_cast<std::size_t>(w) * h, rgb);
    return d;
}
} // namespace graphics_test
