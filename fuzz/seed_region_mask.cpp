#include "fuzz/seed_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    int n = 0;
    for (std::uint32_t w : {1u, 40u, 640u})
        for (std::uint32_t h : {1u, 30u, 480u}) {
            fixtures::Bytes values(w * h);
            for (std::size_t i = 0; i < values.size(); ++i)
                values[i] = static_cast<std::uint8_t>((i / 97) % 3 == 0 ? 255 : (i / 13) % 40);
            WriteSeed(argv[1], "mask" + std::to_string(n++), fixtures::WriteMaskImage(w, h, values, true));
        }
    return 0;
}
