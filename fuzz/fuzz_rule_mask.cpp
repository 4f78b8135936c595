// A rule mask from "mask.arc": the check, the laying over the screen and a short wipe over the levels
// it gives, in the pixel format and path that the entry's size picks.
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionRuleMask.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The entry in a buffer of its own size, so that any read past it is caught.
    std::vector<BYTE> entry(data, data + size);
    static std::vector<BYTE> screen(transition::kScreenPixels);
    if (!transition::LoadRuleMask(entry.data(), entry.size(), screen.data())) return 0;

    // A corner of the screen, wiped with one path; the scan must stay inside the area and end.
    constexpr int kW = 37, kH = 9;
    const int format = (size & 3) == 0 ? 15 : (size & 3) == 1 ? 16 : (size & 3) == 2 ? 24 : 32;
    const int path = static_cast<int>((size >> 2) & 3);
    const int pitch = kW * transition::BytesPerPixel(format);
    std::vector<BYTE> before(static_cast<std::size_t>(pitch) * kH, 0x11);
    std::vector<BYTE> after(before.size(), 0xEE);
    std::vector<BYTE> draw = before;
    // The corner's levels, rows kW entries apart.
    std::vector<WORD> mask(static_cast<std::size_t>(kW) * kH);
    std::vector<WORD> alpha(mask.size(), 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            mask[static_cast<std::size_t>(y * kW + x)] =
                screen[static_cast<std::size_t>(y * transition::kScreenWidth + x)];
    const transition::PixelArea area{before.data(), pitch, after.data(), pitch, draw.data(), pitch, kW, kH};
    transition::MaskScan scan{mask.data(), alpha.data(), kW, 0, 64, kW * kH, 0};
    const transition::ColorKey key{0xEEEE, 0xEEEEEE};
    DWORD counts[256];
    transition::CountMaskLevels(mask.data(), kW, kW, kH, counts);
    for (int call = 0; call < 12; ++call) {
        scan.level = call * 32 > 256 ? 256 : call * 32;
        scan.reached = 0;
        for (int v = 0; v <= scan.level && v < 256; ++v)
            scan.reached += static_cast<LONG>(counts[v]);
        int done = 0;
        switch (path) {
        case 0:
            done = transition::ScanMaskPlain(format, area, scan);
            break;
        case 1:
            done = transition::ScanMaskKeyed(format, area, scan, key);
            break;
        case 2:
            done = transition::ScanMaskSimd(format, area, scan);
            break;
        default:
            done = transition::ScanMaskSimdTwin(format, area, scan);
            break;
        }
        if (done) break;
    }
    return 0;
}
