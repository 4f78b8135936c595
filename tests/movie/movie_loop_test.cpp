// The message loop while the movie plays, with the movie mode run as the game object runs mode 2:
// each idle pass waits 100 ms and shows the movie's newest picture; the game's frame stays unshown.
#include "tests/app/AppFixture.h"

#include "platform/movie.h"
#include "platform/time.h"
#include "screens/MovieMode.h"
#include "tools/fixtures/MovieWriter.h"

#include <memory>
#include <vector>

TEST_F(AppTest, IdlePassesOfTheMovieShowItsNewestPicture) {
    WriteWindowMode(0);
    fixtures::MovieDesc desc;
    desc.seconds = 1.0;
    ASSERT_TRUE(fixtures::WriteMovie(game.File("op.mpg"), desc));
    std::unique_ptr<CMovieMode> movie;
    std::vector<DWORD> ticks;
    std::vector<int> pictures;
    int gamePresents = -1;
    Script() = [&](int pass) {
        if (pass == 1) {
            pt::ClearMessages();
            movie = std::make_unique<CMovieMode>();
            movie->Play();
            gamePresents = pt::PresentCount();
        }
        ticks.push_back(GetTickCount());
        pictures.push_back(pt::VideoPresentCount());
        if (movie && movie->Run() != 2) {
            movie.reset();
            PostQuitMessage(0);
        }
    };
    EXPECT_EQ(Start(), 0);
    int idle = 0;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const DWORD step = ticks[i] - ticks[i - 1];
        // An idle pass, or the repaint it asked for, which draws nothing while the movie plays.
        EXPECT_TRUE(step == 100 || step == 0) << i;
        if (step == 100) ++idle;
        // At 25 pictures a second every idle pass has a new one to show, but the one past the end.
        if (i + 1 < ticks.size()) {
            EXPECT_EQ(pictures[i] - pictures[i - 1], step == 100 ? 1 : 0) << i;
        }
    }
    EXPECT_NEAR(idle, 10, 1);
    EXPECT_EQ(pt::PresentCount(), gamePresents);
}
