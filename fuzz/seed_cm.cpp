#include "fuzz/seed_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    int n = 0;
    for (int depth : {4, 8, 16, 24, 32})
        for (int width : {1, 4, 7})
            for (int variant = 0; variant < 4; ++variant) {
                const auto s = fixtures::MakeTestPicture(width, 3, depth, depth + width + variant);
                const fixtures::CmOptions o{(variant & 1) != 0, (variant & 2) != 0, 1};
                WriteSeed(argv[1], "cm" + std::to_string(n++), fixtures::WriteCm(s, o));
            }
    // A BMP, which the reader hands to its base.
    WriteSeed(argv[1], "bmp", fixtures::WriteBmp(fixtures::MakeTestPicture(5, 2, 8, 1)));
    return 0;
}
