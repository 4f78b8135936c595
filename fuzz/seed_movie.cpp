// Seeds for fuzz_movie: small movies with pictures and sound, pictures alone and sound alone, and
// copies whose stamps are damaged: a picture far ahead, one far back, the sound starting far late.
#include "tools/fixtures/MovieStamps.h"
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

    using fixtures::MovieStream;
    struct Damage {
        const char* name;
        MovieStream stream;
        int index;
        double seconds;
    };
    desc.video = true;
    desc.seconds = 1.0;
    for (const Damage& d : {Damage{"picture-ahead.mpg", MovieStream::Video, 1, 3600.0},
                            Damage{"picture-back.mpg", MovieStream::Video, 1, -1000.0},
                            Damage{"sound-late.mpg", MovieStream::Audio, 0, 90000.0}}) {
        const std::string path = dir + d.name;
        ok = fixtures::WriteMovie(path, desc) &&
             fixtures::ShiftMovieStamps(path, d.stream, d.index, d.seconds) && ok;
    }
    return ok ? 0 : 1;
}
