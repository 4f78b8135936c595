#include "graphics/HitArea.h"
#include "graphics/MaskImage.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The image in a buffer of its own size, so that any read past it is caught.
    std::vector<BYTE> image(data, data + size);
    MaskImageHeader header;
    if (!ReadMaskImageHeader(image.data(), image.size(), &header)) return 0;
    for (BYTE copy : {BYTE{0}, BYTE{1}}) {
        CHitArea area;
        if (!area.SetMask(image.data(), 3, -2, 255, copy, image.size())) continue;
        const int w = static_cast<int>(header.width < 4096 ? header.width : 4096);
        const int h = static_cast<int>(header.height < 4096 ? header.height : 4096);
        for (int y = -3; y < h + 3; y += 1 + h / 16)
            for (int x = 0; x < w + 6; x += 1 + w / 16)
                area.OnMouseMove(x, y);
        area.OnLButtonDown(3, -2);
        area.OnLButtonUp(3 + w - 1, -2 + h - 1);
        area.ReleaseMask();
    }
    return 0;
}
