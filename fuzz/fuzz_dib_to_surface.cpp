// Picture headers come from files: any BITMAPINFO with its pixels must convert into any display
// format without reading or writing outside the buffers.
#include "graphics/DDrawSurface.h"
#include "platform/testing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pt = platform::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = sizeof(BITMAPINFOHEADER);
    constexpr std::size_t kColours = 256 * 4;
    if (size < 1 + kHeader) return 0;
    static const pt::DisplayFormat kFormats[] = {pt::DisplayFormat::Rgb565, pt::DisplayFormat::Rgb555,
                                                 pt::DisplayFormat::Rgb24, pt::DisplayFormat::Xrgb32,
                                                 pt::DisplayFormat::Pal8};
    pt::UseHeadlessDisplay(kFormats[data[0] % 5]);
    ++data;
    --size;

    // The header as read, then room for a full colour table so that no header can point past it.
    std::vector<std::uint8_t> info(kHeader + kColours, 0);
    const std::size_t infoBytes = size < info.size() ? size : info.size();
    std::memcpy(info.data(), data, infoBytes);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = 40; // the readers always build a 40-byte header
    const long long width = header->biWidth;
    const long long height =
        header->biHeight < 0 ? -static_cast<long long>(header->biHeight) : header->biHeight;
    if (width <= 0 || height <= 0 || width * height > (1 << 18) || header->biBitCount > 32) return 0;

    // Pixel rows as the readers hand them over: padded to 4 bytes, or the packed 24/16-bit form of the
    // direct conversion, whichever is larger.
    const long long bits = header->biBitCount ? header->biBitCount : 1;
    const long long padded = (width * bits + 31) / 32 * 4 * height;
    const long long evenWidth16 = ((width + 1) & ~1LL) * 2 * height;
    const long long packed = width * 3 * height;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(std::max({padded, evenWidth16, packed})), 0);
    if (size > infoBytes) {
        const std::size_t rest = size - infoBytes;
        std::memcpy(pixels.data(), data + infoBytes, rest < pixels.size() ? rest : pixels.size());
    }

    IDirectDraw* dd = nullptr;
    if (DirectDrawCreate(nullptr, &dd, nullptr) != DD_OK) return 0;
    {
        CDDrawSurface surface;
        if (surface.CreateEmpty(dd, SIZE{37, 23})) {
            BltDibToSurface(surface.GetSurface(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                            pixels.data());
            const DWORD* masks = reinterpret_cast<const DWORD*>(info.data() + kHeader);
            CopyDibToSurface(surface.GetSurface(), pixels.data(), static_cast<int>(width),
                             static_cast<int>(height), header->biBitCount == 16 ? masks : nullptr);
            surface.SetColorKeyFromCorner(static_cast<int>(pixels[0] % 4));
        }
    }
    dd->Release();
    return 0;
}
