// A headless display in one of the four formats, with surfaces whose rows are wider than their pixels.
#pragma once

#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>

namespace pt = platform::testing;

inline std::string FormatName(pt::DisplayFormat f) {
    switch (f) {
    case pt::DisplayFormat::Rgb565:
        return "Rgb565";
    case pt::DisplayFormat::Rgb555:
        return "Rgb555";
    case pt::DisplayFormat::Rgb24:
        return "Rgb24";
    case pt::DisplayFormat::Xrgb32:
        return "Xrgb32";
    default:
        return "Pal8";
    }
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
    int Bits() const {
        switch (GetParam()) {
        case pt::DisplayFormat::Rgb24:
            return 24;
        case pt::DisplayFormat::Xrgb32:
            return 32;
        default:
            return 16;
        }
    }
    // The display's value for 0xRRGGBB, each channel cut to its width.
    DWORD Pixel(DWORD rgb) const {
        const DWORD r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        switch (GetParam()) {
        case pt::DisplayFormat::Rgb565:
            return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        case pt::DisplayFormat::Rgb555:
            return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        default:
            return rgb & 0xFFFFFF;
        }
    }
    IDirectDraw* dd = nullptr;
};

inline auto AllFormats() {
    return ::testing::Values(pt::DisplayFormat::Rgb565, pt::DisplayFormat::Rgb555, pt::DisplayFormat::Rgb24,
                             pt::DisplayFormat::Xrgb32);
}

inline std::string FormatParamName(const ::testing::TestParamInfo<pt::DisplayFormat>& info) {
    return FormatName(info.param);
}
