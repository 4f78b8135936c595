// The whole program on the demo game through quorin-replay: a save on the fourth page through the bar,
// the save menu and its question; quit; a new start that loads the slot through the bar at the first
// page. The frame after the load is the frame before the save, pixel for pixel.
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
const std::string kReplay = std::string(QUORIN_BINARY_DIR) + "/tools/replay/quorin-replay";
// START, three clicks on to the fourth page, the shot; the bar's save button, slot 1, yes.
constexpr char kSaveRun[] =
    "8100 click 90 110\n17000 click 320 300\n19000 click 320 300\n21000 click 320 300\n"
    "25000 move 320 300\n26000 shot before\n26100 move 150 10\n26200 click 150 10\n"
    "27000 click 200 55\n28000 click 250 300\n29000 quit\n";
// START, and on the first page the bar's load button, slot 1, yes.
constexpr char kLoadRun[] = "8100 click 90 110\n16000 move 220 10\n16100 click 220 10\n17000 click 200 50\n"
                            "18000 click 250 300\n30000 move 320 300\n31000 shot after\n31100 quit\n";

TEST(SaveLoadReplay, FrameAfterTheLoadIsTheFrameBeforeTheSave) {
    fixtures::TempDir dir;
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(dir.File("game"), &error)) << error;
    std::string ini = fixtures::ReadFileText(dir.File("game/Quorin.ini"));
    ini.replace(ini.find("MovieSwitch=1"), 13, "MovieSwitch=0");
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("game/Quorin.ini"), ini));
    const std::string out = std::string(QUORIN_BINARY_DIR) + "/e2e/save-load";
    std::filesystem::remove_all(out);
    for (const auto& [name, timeline] : {std::pair{"save", kSaveRun}, std::pair{"load", kLoadRun}}) {
        ASSERT_TRUE(fixtures::WriteFileText(dir.File(name), timeline));
        const std::string command =
            kReplay + " " + dir.File("game") + " " + dir.File(name) + " " + out + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << name;
    }
    const auto before = fixtures::ReadFileBytes(out + "/before.png");
    ASSERT_GT(before.size(), 1000u);
    // One encoder over the same pixels writes the same bytes.
    EXPECT_TRUE(before == fixtures::ReadFileBytes(out + "/after.png"));
}
} // namespace
