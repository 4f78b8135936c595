// The movie mode over the scripted graph: how it starts, polls, ends, is skipped and fails.
#include "MovieFixture.h"

#include <algorithm>
#include <string>

using pt::MovieCall;

TEST_F(MovieTest, PlaysAtTheMusicLevelUntilThePositionReachesTheDuration) {
    struct Row {
        const char* name;
        int bgmLevel;
        LONG volume;
    };
    for (const Row& row :
         {Row{"level 0 is silent", 0, -10000}, Row{"level 2", 2, -1100}, Row{"level 4", 4, 0}}) {
        SCOPED_TRACE(row.name);
        pt::UseFakeMovie({3.0, 0.0});
        WriteMovieFile();
        SetLevels(row.bgmLevel, 0);
        CMovieMode mode;
        mode.Play();
        const pt::MovieGraphState playing = pt::LastMovieGraph();
        EXPECT_EQ(playing.renderedPath, dir.File("op.mpg"));
        EXPECT_EQ(playing.owner, g_hWnd);
        EXPECT_EQ(playing.messageDrain, g_hWnd);
        EXPECT_EQ(playing.windowStyle, 0x46000000);
        EXPECT_TRUE(EqualRect(&playing.windowRect, &GetScreenRect()[0]));
        EXPECT_TRUE(playing.running);
        EXPECT_EQ(playing.visible, OATRUE);
        EXPECT_EQ(playing.volume, row.volume);
        EXPECT_TRUE(IsMoviePlaying());
        // The graph runs from the middle of Play, 100 ms before it returns.
        EXPECT_EQ(PlayToEnd(mode, 5000), 2900);
        mode.Close();
        const pt::MovieGraphState after = pt::LastMovieGraph();
        EXPECT_FALSE(after.exists);
        EXPECT_EQ(after.volume, 0) << "the graph's own volume is put back";
        EXPECT_EQ(after.owner, nullptr);
        EXPECT_EQ(after.visible, OAFALSE);
        EXPECT_FALSE(IsMoviePlaying());
    }
}

TEST_F(MovieTest, AStoredPositionInTheLastSecondPlaysFromTheStart) {
    struct Row {
        const char* name;
        double stored;
        long playsMs;
    };
    for (const Row& row : {Row{"half a second left", 9.5, 9900}, Row{"a second and more left", 8.8, 1100}}) {
        SCOPED_TRACE(row.name);
        pt::UseFakeMovie({10.0, row.stored});
        WriteMovieFile();
        CMovieMode mode;
        mode.Play();
        EXPECT_EQ(PlayToEnd(mode, 20000), row.playsMs);
    }
}

TEST_F(MovieTest, OnlyTheReleaseOfTheButtonOrOfEnterSkips) {
    struct Row {
        const char* name;
        void (*input)(CMovieMode&);
        int state;
    };
    const Row rows[] = {
        {"left button down", [](CMovieMode& m) { m.OnLButtonDown(5, 5); }, 2},
        {"left button up", [](CMovieMode& m) { m.OnLButtonUp(5, 5); }, 3},
        {"Enter down", [](CMovieMode& m) { m.OnKeyDown(VK_RETURN); }, 2},
        {"Enter up", [](CMovieMode& m) { m.OnKeyUp(VK_RETURN); }, 3},
        {"Escape up", [](CMovieMode& m) { m.OnKeyUp(VK_ESCAPE); }, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        pt::UseFakeMovie({30.0, 0.0});
        WriteMovieFile();
        CMovieMode mode;
        mode.Play();
        row.input(mode);
        EXPECT_EQ(mode.Run(), row.state);
        EXPECT_EQ(pt::LastMovieGraph().running, row.state == 2);
    }
}

TEST_F(MovieTest, AVideoWindowHiddenWhileTheMovieRunsIsShownAtTheNextPoll) {
    pt::UseFakeMovie({30.0, 0.0});
    WriteMovieFile();
    CMovieMode mode;
    mode.Play();
    pt::HideVideoWindows();
    EXPECT_EQ(mode.Run(), 2);
    EXPECT_EQ(pt::LastMovieGraph().visible, OATRUE);
}

// Whatever step fails, the title follows at the next pass and nothing is left playing.
TEST_F(MovieTest, AFailureAtAnyStepEndsTheModeAtTheNextRun) {
    struct Row {
        const char* name;
        MovieCall call;
        bool raise;
        bool file;
    };
    const Row rows[] = {
        {"no op.mpg", MovieCall::Stop, false, false},
        {"the graph cannot be made", MovieCall::CreateGraph, false, true},
        {"a fault while making the graph", MovieCall::CreateGraph, true, true},
        {"no media control", MovieCall::QueryMediaControl, false, true},
        {"no media position", MovieCall::QueryMediaPosition, false, true},
        {"no video window", MovieCall::QueryVideoWindow, false, true},
        {"a fault asking for the sound", MovieCall::QueryBasicAudio, true, true},
        {"the file does not render", MovieCall::RenderFile, false, true},
        {"a fault while rendering", MovieCall::RenderFile, true, true},
        {"no owner", MovieCall::PutOwner, false, true},
        {"no message drain", MovieCall::PutMessageDrain, false, true},
        {"no window style", MovieCall::PutWindowStyle, false, true},
        {"no window position", MovieCall::SetWindowPosition, false, true},
        {"no duration", MovieCall::GetDuration, false, true},
        {"no position", MovieCall::GetCurrentPosition, false, true},
        {"no auto-show", MovieCall::PutAutoShow, false, true},
        {"the volume cannot be set", MovieCall::PutVolume, false, true},
        {"the graph does not run", MovieCall::Run, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        pt::UseFakeMovie({30.0, 0.0});
        if (row.file) WriteMovieFile();
        if (!row.file) std::remove(dir.File("op.mpg").c_str());
        if (row.call != MovieCall::Stop) pt::FailMovieCall(row.call, 0, row.raise);
        CMovieMode mode;
        mode.Play();
        EXPECT_FALSE(IsMoviePlaying());
        EXPECT_FALSE(pt::LastMovieGraph().running);
        EXPECT_EQ(mode.Run(), 3);
        mode.Close();
        EXPECT_FALSE(pt::LastMovieGraph().exists);
    }
}

TEST_F(MovieTest, AGraphThatCannotTellItsVolumeStillPlays) {
    pt::UseFakeMovie({30.0, 0.0});
    WriteMovieFile();
    pt::FailMovieCall(MovieCall::GetVolume);
    CMovieMode mode;
    mode.Play();
    EXPECT_EQ(mode.Run(), 2);
    EXPECT_TRUE(IsMoviePlaying());
}

TEST_F(MovieTest, APathTooLongForTheWideBufferIsNeverRendered) {
    pt::UseFakeMovie({30.0, 0.0});
    CMoviePlayer player;
    ASSERT_TRUE(player.Create(640, 480));
    const std::string path = dir.ProgramPath() + std::string(300, 'a') + ".mpg";
    pt::TakeMovieCalls();
    EXPECT_FALSE(player.Open(path.c_str()));
    const auto calls = pt::TakeMovieCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), MovieCall::RenderFile), 0);
}

TEST_F(MovieTest, FullScreenPutsTheMainWindowAtTheCorner) {
    pt::UseFakeMovie({30.0, 0.0});
    WriteMovieFile();
    SetWindowPos(g_hWnd, HWND_NOTOPMOST, 200, 100, 0, 0, SWP_NOSIZE);
    SetLevels(4, 1);
    CMovieMode mode;
    mode.Play();
    RECT r;
    GetWindowRect(g_hWnd, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
}
