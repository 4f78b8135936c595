#include "fuzz/seed_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    int n = 0;
    for (int depth : {8, 16, 24, 32})
        for (int width : {1, 4, 7})
            for (int variant = 0; variant < 4; ++variant) {
                const auto s = fixtures::MakeTestPicture(width, 3, depth, depth * 3 + width + variant);
                fixtures::Bytes plane(static_cast<std::size_t>(width) * 3);
                for (std::size_t i = 0; i < plane.size(); ++i)
                    plane[i] = static_cast<std::uint8_t>(i * 37);
                fixtures::AmOptions o;
                o.planeKind = (variant & 1) ? 1 : 2;
                if (o.planeKind == 1)
                    for (auto& v : plane)
                        v %= 17;
                o.colourRunLength = (variant & 2) != 0;
                o.planeRunLength = (variant & 1) != 0;
                o.paddedRows = variant == 1;
                o.planePaddedRows = variant == 2;
                WriteSeed(argv[1], "am" + std::to_string(n++), fixtures::WriteAm(s, plane, o));
            }
    WriteSeed(argv[1], "cm", fixtures::WriteCm(fixtures::MakeTestPicture(5, 2, 24, 1), {true, false, 1}));
    WriteSeed(argv[1], "bmp", fixtures::WriteBmp(fixtures::MakeTestPicture(5, 2, 4, 1)));
    return 0;
}
