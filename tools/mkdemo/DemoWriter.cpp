#include "tools/mkdemo/DemoWriter.h"

#include "platform/text_encoding.h"

#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/MovieWriter.h"
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/Scenario.h"

#include <atomic>
#include <filesystem>
#include <thread>

namespace demo {
namespace fs = std::filesystem;

std::vector<Bytes> BuildAll(int threads) {
    const std::vector<Asset>& assets = Catalogue();
    std::vector<Bytes> built(assets.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < assets.size(); i = next++)
            built[i] = assets[i].build(assets[i]);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return built;
}

std::string DemoSettings(const std::string& programFolder) {
    // Windowed, so that the demo opens beside the terminal; the opening movie plays before the title.
    return fixtures::SettingsIni(programFolder, {{"TextSpeed", "0"},
                                                 {"EffectSwitch", "1"},
                                                 {"WindowMode", "0"},
                                                 {"BgmSwitch", "3"},
                                                 {"SESwitch", "3"},
                                                 {"VoiceSwitch", "4"},
                                                 {"MovieSwitch", "1"}});
}

namespace {
// The folder as the program names it: absolute, '\\' separators, a trailing '\\'.
std::string ProgramFolder(const fs::path& folder) {
    std::string s = fs::weakly_canonical(fs::absolute(folder)).string();
    for (char& c : s)
        if (c == '/') c = '\\';
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}
} // namespace

bool WriteDemoGame(const std::string& folder, std::string* error) {
    const fs::path root(folder);
    std::error_code ec;
    fs::create_directories(root / "SaveData", ec);
    if (ec) return Fail(error, "cannot make " + (root / "SaveData").string() + ": " + ec.message());

    const unsigned cores = std::thread::hardware_concurrency();
    const std::vector<Bytes> built = BuildAll(static_cast<int>(cores == 0 ? 1 : (cores < 4 ? cores : 4)));
    const std::vector<Asset>& assets = Catalogue();
    for (Archive archive : kArchives) {
        std::vector<fixtures::ArcEntryData> entries;
        for (std::size_t i = 0; i < assets.size(); ++i)
            if (assets[i].archive == archive) entries.push_back({assets[i].name, built[i]});
        const fs::path path = root / ArchiveFileName(archive);
        if (!fixtures::WriteArc(path.string(), entries)) return Fail(error, "cannot write " + path.string());
    }

    // The story and the replay script; the story's read-text seed is "at".
    std::string why;
    if (!fixtures::WriteAssembledScript(kMainScenario, (root / "main.sct").string(), (root / "at").string(),
                                        &why))
        return Fail(error, "scenario/main.txt: " + why);
    if (!fixtures::WriteAssembledScript(kSceneScenario, (root / "scene.sct").string(), "", &why))
        return Fail(error, "scenario/scene.txt: " + why);

    // The opening movie: a few seconds of the title over the evening sky, with a soft tone.
    fixtures::MovieDesc movie;
    movie.seconds = 4.0;
    movie.title = platform::Utf8ToSjis("クオリン　～坂の上の約束～");
    movie.background = 0x3a2a5a;
    movie.toneHz = 392.0;
    movie.toneLevel = 0.25;
    const fs::path op = root / "op.mpg";
    if (!fixtures::WriteMovie(op.string(), movie)) return Fail(error, "cannot write " + op.string());

    // The settings are the player's once written: the config panel changes them, and a player may edit
    // them by hand (MovieSwitch=0 for the logo). Writing the demo again must not undo either.
    const fs::path ini = root / "Quorin.ini";
    if (fs::exists(ini, ec)) return true;
    if (!fixtures::WriteFileText(ini.string(), DemoSettings(ProgramFolder(root))))
        return Fail(error, "cannot write " + ini.string());
    return true;
}
} // namespace demo
