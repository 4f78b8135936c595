// Shift-JIS text from a scenario drawn at any place: the glyphs never write outside the pixels.
#include "platform/gdi_font_draw.h"
#include "platform/testing.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kGuard = 64;

struct Sizes {
    std::shared_ptr<const platform::ScaledFont> fonts[3];
    Sizes() {
        platform::testing::UseFontFile(platform::testing::kPinnedGothicFont);
        const int table[3][2] = {{12, 6}, {16, 8}, {36, 18}};
        for (int i = 0; i < 3; ++i)
            fonts[i] =
                platform::ScaledFont::Open(platform::testing::kPinnedGothicFont, table[i][0], table[i][1]);
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Sizes sizes;
    if (size < 4) return 0;
    const int bytesPerPixel = 2 + data[3] % 3;
    const auto& font = sizes.fonts[data[2] % 3];
    if (!font) return 0;
    std::vector<BYTE> pixels(static_cast<std::size_t>(kWidth) * bytesPerPixel * kHeight + kGuard, 0xA5);
    platform::PixelView view;
    view.base = pixels.data();
    view.stride = kWidth * bytesPerPixel;
    view.width = kWidth;
    view.height = kHeight;
    view.bitCount = bytesPerPixel * 8;
    if (bytesPerPixel == 2) {
        view.masks[0] = 0xF800, view.masks[1] = 0x07E0, view.masks[2] = 0x001F;
    } else {
        view.masks[0] = 0xFF0000, view.masks[1] = 0xFF00, view.masks[2] = 0xFF;
    }
    platform::TextStyle style;
    style.backMode = (data[3] & 0x80) ? TRANSPARENT : OPAQUE;
    const int x = static_cast<std::int8_t>(data[0]);
    const int y = static_cast<std::int8_t>(data[1]);
    const char* text = reinterpret_cast<const char*>(data + 4);
    const int count = static_cast<int>(size - 4);
    platform::DrawSjisText(*font, view, x, y, text, count, style);
    for (std::size_t i = pixels.size() - kGuard; i < pixels.size(); ++i)
        if (pixels[i] != 0xA5) std::abort();
    return 0;
}
