// Seeds for fuzz_movie: small movies with pictures and sound, pictures alone and sound alone.
#include "tools/fixtures/MovieWriter.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string dir = std::string(argv[1]) + "/";
    fixtures::MovieDesc desc;
    desc.width = 64;
    desc.height = 48;
    desc.seconds = 0.3;
    desc.videoBitRate = 100000;
    desc.title.clear();
    bool ok = fixtures::WriteMovie(dir + "both.mpg", desc);
    desc.sound = false;
    ok = fixtures::WriteMovie(dir + "pictures.mpg", desc) && ok;
    desc.sound = true;
    desc.video = false;
    ok = fixtures::WriteMovie(dir + "sound.mpg", desc) && ok;
    return ok ? 0 : 1;
}
