// Picture objects on a headless display in each of the four formats, reading pictures from a graphic
// archive written for the test.
#pragma once

#include "tools/fixtures/DisplayFormats.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "graphics/Layer.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pt = platform::testing;

inline std::string DisplayName(const ::testing::TestParamInfo<pt::DisplayFormat>& info) {
    return fixtures::DisplayFormatName(info.param);
}

inline auto DisplayFormats() {
    return ::testing::ValuesIn(fixtures::kDisplayFormats);
}

class LayerTest : public ::testing::TestWithParam<pt::DisplayFormat> {
  protected:
    void SetUp() override {
        pt::UseHeadlessDisplay(GetParam());
        pt::SetSurfacePitch(8, 4); // rows wider than their pixels
        ResetUpdateRegion();
        ResetRunState();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        baseSurfaces = pt::LiveSurfaceCount();
    }
    void TearDown() override {
        targets.clear();
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        ResetUpdateRegion();
        ResetRunState();
    }

    // Writes "graphic.arc" with these entries and opens it as the graphic archive.
    void UseArchive(const std::vector<fixtures::ArcEntryData>& entries) {
        delete g_pGraphicArc;
        const std::string path = dir.File("graphic.arc");
        ASSERT_TRUE(fixtures::WriteArc(path, entries));
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        ASSERT_TRUE(g_pGraphicArc->IsArchiveMode());
    }

    int Bits() const { return fixtures::DisplayBits(GetParam()); }
    bool Is555() const { return GetParam() == pt::DisplayFormat::Rgb555; }
    // The display's value for 0xRRGGBB: each channel keeps its top bits.
    DWORD Pixel(DWORD rgb) const { return fixtures::DisplayPixel(GetParam(), rgb); }
    // A stored pixel without the byte a 32-bit display does not show.
    DWORD Raw(IDirectDrawSurface* s, int x, int y) const {
        const DWORD v = pt::ReadSurfaceRaw(s, x, y);
        return Bits() == 32 ? v & 0xFFFFFF : v;
    }
    IDirectDrawSurface* MakeTarget(int w, int h, DWORD fill) {
        targets.emplace_back(std::make_unique<CDDrawSurface>());
        EXPECT_TRUE(targets.back()->CreateEmpty(dd, SIZE{w, h}));
        FillSurface(targets.back()->GetSurface(), fill, nullptr);
        return targets.back()->GetSurface();
    }

    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    int baseSurfaces = 0;
    std::vector<std::unique_ptr<CDDrawSurface>> targets;
};
