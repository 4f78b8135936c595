// Seeds: one small DIB of each depth the picture readers produce, behind a display-format byte.
#include "platform/gdi.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
void Write(const std::string& dir, const std::string& name, std::uint8_t format, int width, int height,
           int bits, DWORD compression, const std::vector<DWORD>& colours) {
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = compression;
    h.biClrUsed = bits <= 8 ? static_cast<DWORD>(colours.size()) : 0;
    std::vector<std::uint8_t> out{format};
    const auto* hp = reinterpret_cast<const std::uint8_t*>(&h);
    out.insert(out.end(), hp, hp + sizeof h);
    for (DWORD c : colours)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(c >> (8 * i)));
    const int stride = (width * bits + 31) / 32 * 4;
    for (int i = 0; i < stride * height; ++i)
        out.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    if (std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb")) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string dir = argv[1];
    Write(dir, "rgb24", 0, 5, 3, 24, BI_RGB, {});
    Write(dir, "pal8", 3, 4, 2, 8, BI_RGB, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
    Write(dir, "mask565", 1, 3, 3, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F});
    Write(dir, "mask555", 2, 3, 2, 16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F});
    Write(dir, "nibble", 3, 9, 2, 4, BI_RGB, std::vector<DWORD>(16, 0x808080));
    Write(dir, "mono", 0, 10, 2, 1, BI_RGB, {0x000000, 0xFFFFFF});
    Write(dir, "rgb32", 4, 2, 2, 32, BI_BITFIELDS, {0xFF0000, 0x00FF00, 0x0000FF});
    return 0;
}
