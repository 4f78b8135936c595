// A headless display in one of the four formats, with surfaces whose rows are wider than their pixels.
#pragma once

#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "tools/fixtures/DisplayFormats.h"

#include <gtest/gtest.h>

#include <string>

namespace pt = platform::testing;

inline std::string FormatName(pt::DisplayFormat f) {
    return fixtures::DisplayFormatName(f);
}

class SurfaceTest : public ::testing::TestWithParam<pt::DisplayFormat> {
  protected:
    void SetUp() override {
        pt::UseHeadlessDisplay(GetParam());
        pt::SetSurfacePitch(16, 12);
        ResetUpdateRegion();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    }
    void TearDown() override {
        ResetUpdateRegion();
        if (dd) dd->Release();
    }
    int Bits() const { return fixtures::DisplayBits(GetParam()); }
    // The display's value for 0xRRGGBB, each channel cut to its width.
    DWORD Pixel(DWORD rgb) const { return fixtures::DisplayPixel(GetParam(), rgb); }
    IDirectDraw* dd = nullptr;
};

inline auto AllFormats() {
    return ::testing::ValuesIn(fixtures::kDisplayFormats);
}

inline std::string FormatParamName(const ::testing::TestParamInfo<pt::DisplayFormat>& info) {
    return FormatName(info.param);
}
