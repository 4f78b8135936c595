// mkdemo [FOLDER]: writes the demo game into FOLDER (default build/demo).
// mkdemo --png FOLDER [PREFIX]: writes the demo's pictures (those whose names begin with PREFIX) as PNG.
#include "tools/mkdemo/DemoWriter.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    std::string error;
    if (argc >= 3 && std::strcmp(argv[1], "--png") == 0) {
        if (demo::WritePicturePreviews(argv[2], argc >= 4 ? argv[3] : "", &error)) return 0;
    } else if (argc <= 2 && (argc < 2 || argv[1][0] != '-')) {
        if (demo::WriteDemoGame(argc == 2 ? argv[1] : "build/demo", &error)) return 0;
    } else {
        std::fprintf(stderr, "usage: mkdemo [FOLDER]\n       mkdemo --png FOLDER [PREFIX]\n");
        return 2;
    }
    std::fprintf(stderr, "mkdemo: %s\n", error.c_str());
    return 1;
}
