// Pictures back out of their stored form, through the program's own reader, as PNG files.
#include "tools/mkdemo/DemoWriter.h"

#include "graphics/AmFile.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace demo {
namespace {
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::FILE* fp = std::fopen(path.c_str(), "wb");
    if (!fp) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, fp);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<std::size_t>(y) * width * 3));
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return ok;
}

// The picture as RGB rows, top first; an alpha plane is shown over a grey checkerboard.
bool Decode(const Bytes& bytes, int* width, int* height, std::vector<std::uint8_t>* rgb) {
    std::FILE* fp = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (!fp) return false;
    CAmFile reader;
    PictureInfo info{};
    BYTE* pixels = nullptr;
    RGBQUAD* palette = nullptr;
    const bool ok = reader.ReadHeader(fp, &info, FALSE) && info.bitCount == 8 &&
                    reader.LoadImage(fp, &pixels, TRUE, &palette, FALSE);
    std::fclose(fp);
    if (!ok) return false;
    *width = static_cast<int>(info.width);
    *height = static_cast<int>(info.height);
    rgb->assign(static_cast<std::size_t>(*width) * *height * 3, 0);
    const BYTE* plane = reader.GetPlane();
    for (int y = 0; y < *height; ++y)
        for (int x = 0; x < *width; ++x) {
            const RGBQUAD q = palette[pixels[static_cast<std::size_t>(*height - 1 - y) * *width + x]];
            const int a = plane ? plane[static_cast<std::size_t>(y) * *width + x] : 255;
            const int under = ((x / 8 + y / 8) % 2) ? 200 : 150;
            std::uint8_t* out = rgb->data() + (static_cast<std::size_t>(y) * *width + x) * 3;
            out[0] = static_cast<std::uint8_t>((q.rgbRed * a + under * (255 - a)) / 255);
            out[1] = static_cast<std::uint8_t>((q.rgbGreen * a + under * (255 - a)) / 255);
            out[2] = static_cast<std::uint8_t>((q.rgbBlue * a + under * (255 - a)) / 255);
        }
    delete[] pixels;
    delete[] palette;
    return true;
}
} // namespace

bool WritePicturePreviews(const std::string& folder, const std::string& only, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const Asset& a : Catalogue()) {
        if (a.kind != Kind::Picture && a.kind != Kind::AlphaPicture) continue;
        if (!only.empty() && a.name.compare(0, only.size(), only) != 0) continue;
        int w = 0, h = 0;
        std::vector<std::uint8_t> rgb;
        const std::string path = (std::filesystem::path(folder) / (a.name + ".png")).string();
        if (!Decode(a.build(a), &w, &h, &rgb) || !WritePng(path, w, h, rgb)) {
            if (error) *error = "cannot preview " + a.name;
            return false;
        }
    }
    return true;
}
} // namespace demo
