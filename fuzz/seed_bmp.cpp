#include "fuzz/seed_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    int n = 0;
    for (int depth : {1, 4, 8, 16, 24, 32})
        for (int width : {1, 3, 8}) {
            const auto s = fixtures::MakeTestPicture(width, 3, depth, depth + width, depth == 16);
            WriteSeed(argv[1], "bmp" + std::to_string(n++), fixtures::WriteBmp(s));
            // The headers and short tables of image tools, top-down rows, and the fixed layouts.
            const std::uint32_t header = width == 3 ? 108 : 124;
            WriteSeed(argv[1], "bmp" + std::to_string(n++),
                      fixtures::WriteBmp(s, {header, width == 8 ? 20 : 2, width != 1, width == 1}));
        }
    return 0;
}
