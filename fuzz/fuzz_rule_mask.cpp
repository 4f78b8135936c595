// A rule mask from "mask.arc": the check, the laying over the screen and a few wipe scans over the
// levels it gives, in every pixel format and path.
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionRuleMask.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The entry in a buffer of its own size, so that any read past it is caught.
    std::vector<BYTE> entry(data, data + size);
    std::vector<BYTE> screen(transition::kScreenPixels);
    if (!transition::LoadRuleMask(entry.data(), entry.size(), screen.data())) return 0;

    // A corner of the screen, wiped with each path; the scans must stay inside the area and end.
    constexpr int kW = 37, kH = 9;
    for (int format : {15, 16, 24, 32})
        for (int path = 0; path < 4; ++path) {
            const int pitch = kW * transition::BytesPerPixel(format);
            std::vector<BYTE> before(static_cast<std::size_t>(pitch) * kH, 0x11);
            std::vector<BYTE> after(before.size(), 0xEE);
            std::vector<BYTE> draw = before;
            std::vector<WORD> mask(static_cast<std::size_t>(transition::kScreenWidth) * kH);
            std::vector<WORD> alpha(mask.size(), 0);
            for (std::size_t i = 0; i < mask.size(); ++i)
                mask[i] = screen[i];
            const transition::PixelArea area{before.data(), pitch, after.data(), pitch,
                                             draw.data(),   pitch, kW,           kH};
            transition::MaskScan scan{mask.data(), alpha.data(), transition::kScreenWidth, 0, 64, kW * kH, 0};
            const transition::ColorKey key{0xEEEE, 0xEEEEEE};
            for (int call = 0; call < 12; ++call) {
                scan.level = call * 32 > 256 ? 256 : call * 32;
                DWORD counts[256];
                transition::CountMaskLevels(mask.data(), transition::kScreenWidth, kW, kH, counts);
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
        }
    return 0;
}
