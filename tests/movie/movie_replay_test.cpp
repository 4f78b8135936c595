// quorin-replay on the demo game while its opening movie plays: a shot saves the movie's picture once
// there is one, and the screen as the back buffer holds it while there is none.
#include "tests/demo/DemoFolder.h"
#include "tools/fixtures/MovieWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(MovieReplay, AShotWhileTheMovieShowsNoPictureSavesTheScreen) {
    struct Row {
        const char* name;
        bool video;
    };
    const fixtures::TempDir* demo = demo_test::DemoFolder();
    ASSERT_NE(demo, nullptr);
    fixtures::TempDir dir;
    // A copy of the game whose settings name the copy's own folders.
    std::filesystem::copy(demo->Path(), dir.File("game"), std::filesystem::copy_options::recursive);
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("game/Quorin.ini"),
                                        demo::DemoSettings(dir.ProgramPath() + "game\\")));
    const std::string timeline = dir.File("movie.timeline");
    // The demo's movie starts after a second of the logo and lasts four.
    ASSERT_TRUE(fixtures::WriteFileText(timeline, "2000 shot movie\n2100 quit\n"));
    for (const Row& row : {Row{"pictures and sound", true}, Row{"sound alone", false}}) {
        SCOPED_TRACE(row.name);
        fixtures::MovieDesc movie;
        movie.seconds = 4.0;
        movie.video = row.video;
        ASSERT_TRUE(fixtures::WriteMovie(dir.File("game/op.mpg"), movie));
        const std::string out = dir.File(row.video ? "out-video" : "out-sound");
        const std::string command = std::string(QUORIN_BINARY_DIR) + "/tools/replay/quorin-replay " +
                                    dir.File("game") + " " + timeline + " " + out + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_TRUE(std::filesystem::is_regular_file(out + "/movie.png"));
        // The shot fell while the movie's sound played.
        EXPECT_NE(fixtures::ReadFileText(out + "/movie.sound").find("buffer 352800 2 44100 playing looping"),
                  std::string::npos)
            << fixtures::ReadFileText(out + "/movie.sound");
    }
}
