#include "tools/fixtures/TempDir.h"
#include "tools/replay/Timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
const std::string kReplay = std::string(QUORIN_BINARY_DIR) + "/tools/replay/quorin-replay";

struct ReplayRun {
    int code = -1;
    std::string out;
};

ReplayRun Replay(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv{const_cast<char*>(kReplay.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(kReplay.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ReplayRun run;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        run.out.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Width and height from a PNG's header chunk.
std::pair<unsigned, unsigned> PngSize(const std::string& path) {
    const std::vector<unsigned char> d = fixtures::ReadFileBytes(path);
    if (d.size() < 24 || d[1] != 'P' || d[2] != 'N' || d[3] != 'G') return {0, 0};
    auto be = [&](std::size_t at) {
        return (d[at] << 24u) | (d[at + 1] << 16u) | (d[at + 2] << 8u) | d[at + 3];
    };
    return {be(16), be(20)};
}
} // namespace

TEST(Replay, ShotAndQuitOnAnEmptyFolder) {
    fixtures::TempDir game, work;
    ASSERT_TRUE(fixtures::WriteFileText(work.File("timeline.txt"), "# start, look, leave\n"
                                                                   "0 move 320 240\n"
                                                                   "40 click 100 -5  # above the window\n"
                                                                   "60 key RETURN\n"
                                                                   "80 wheel -120\n"
                                                                   "100 shot title\n"
                                                                   "100 shot again\n"
                                                                   "200 quit\n"));
    for (const char* depth : {"32", "16", "555", "24"}) {
        const std::string out = work.Path() + "out" + depth;
        const ReplayRun run = Replay({"--depth", depth, game.Path(), work.File("timeline.txt"), out});
        EXPECT_EQ(run.code, 0) << depth;
        EXPECT_EQ(PngSize(out + "/title.png"), std::make_pair(640u, 480u)) << depth;
        EXPECT_EQ(PngSize(out + "/again.png"), std::make_pair(640u, 480u)) << depth;
        EXPECT_EQ(run.out.find("shot title "), 0u) << run.out;
        EXPECT_NE(run.out.find("\nshot again "), std::string::npos) << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2) << run.out;
    }
    // The program really started there: it wrote its settings.
    EXPECT_TRUE(std::filesystem::exists(game.File("Quorin.ini")));
}

TEST(Replay, RefusesBadArgumentsAndTimelines) {
    fixtures::TempDir game, work;
    fixtures::WriteFileText(work.File("bad.txt"), "10 jump 1 2\n20 quit\n");
    fixtures::WriteFileText(work.File("noquit.txt"), "10 shot a\n");
    EXPECT_EQ(Replay({game.Path(), work.File("bad.txt"), work.Path() + "o"}).code, 2);
    EXPECT_EQ(Replay({game.Path(), work.File("noquit.txt"), work.Path() + "o"}).code, 2);
    EXPECT_EQ(Replay({game.Path(), work.File("missing.txt"), work.Path() + "o"}).code, 2);
    EXPECT_EQ(Replay({"--depth", "8", game.Path(), work.File("bad.txt"), work.Path() + "o"}).code, 2);
    EXPECT_EQ(Replay({game.Path(), work.File("bad.txt")}).code, 2);
}

TEST(Timeline, EventsArgumentsAndOrder) {
    const replay::Timeline t = replay::ParseTimeline("30 keydown menu\n"
                                                     "10 rclick -3 4 # right\n"
                                                     "\n"
                                                     "   # nothing here\n"
                                                     "10 up 5 6\n"
                                                     "20 keyup 0x12\n"
                                                     "25 key f5\n"
                                                     "25 key a\n"
                                                     "40 quit\n");
    ASSERT_TRUE(t.error.empty()) << t.error;
    ASSERT_EQ(t.events.size(), 7u);
    EXPECT_EQ(t.events[0].kind, replay::EventKind::RightClick);
    EXPECT_EQ(t.events[0].x, -3);
    EXPECT_EQ(t.events[1].kind, replay::EventKind::Up); // same time: file order kept
    EXPECT_EQ(t.events[2].vk, static_cast<UINT>(VK_MENU));
    EXPECT_EQ(t.events[3].vk, 0x74u);
    EXPECT_EQ(t.events[4].vk, static_cast<UINT>('A'));
    EXPECT_EQ(t.events[5].kind, replay::EventKind::KeyDown);
    EXPECT_EQ(t.events[6].kind, replay::EventKind::Quit);

    EXPECT_EQ(replay::ParseTimeline("x quit\n").error.substr(0, 2), "1:");
    EXPECT_EQ(replay::ParseTimeline("1 quit\n2 click 1\n3 quit\n").error.substr(0, 2), "2:");
    EXPECT_FALSE(replay::ParseTimeline("1 shot ../escape\n2 quit\n").error.empty());
    EXPECT_FALSE(replay::ParseTimeline("1 key NOPE\n2 quit\n").error.empty());
    EXPECT_FALSE(replay::ParseTimeline("5 quit\n1 move 99999 0\n").error.empty());
}
