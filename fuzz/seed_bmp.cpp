#include "fuzz/seed_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    int n = 0;
    for (int depth : {4, 8, 16, 24, 32})
        for (int width : {1, 3, 8}) {
            const auto s = fixtures::MakeTestPicture(width, 3, depth, depth + width);
            WriteSeed(argv[1], "bmp" + std::to_string(n++), fixtures::WriteBmp(s));
        }
    return 0;
}
