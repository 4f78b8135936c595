// Loading compiled scripts: the tables as the file gives them, and every malformed file refused with
// its reason, leaving a scene that holds no runnable script.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pt = platform::testing;
using Bytes = std::vector<unsigned char>;

namespace {
// Layout of kBaseline, from the record sizes: header 32, sound chunk at 32 (one record), graphic chunk
// at 77 (one record), block chunk at 133 (records of "main" at 141 and "sub" at 176).
const char kBaseline[] = R"(
.sound Bgm01, "bgm01.ogg", bgm
.sound se01, "se01.wav", se
.graphic BG01, "bg01.cmp", 2, 12, -34, key
.global g, g, int
.data
g: .int 5
.saved
   .int 1, 2
.endsaved
.block main
    .line 1
    cmd 0, 1, "sub"
    .line 2
    host 99, 0
    .var v, slot, text
    .local
slot: .int 0
    .endlocal
.block sub, resident
    .line 7
    ret
)";
constexpr std::size_t kSoundChunk = 32, kGraphicChunk = 32 + 8 + 2 * 37, kBlockChunk = kGraphicChunk + 8 + 48;
constexpr std::size_t kMainRecord = kBlockChunk + 8, kSubRecord = kMainRecord + 35;

void Put32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t Get32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

class LoaderTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        baseline = Assemble(kBaseline).file;
    }
    Bytes baseline;
};

TEST_F(LoaderTest, LoadsTablesBlobAndBlockZero) {
    ASSERT_EQ(LoadBytes(baseline), 1);
    EXPECT_STREQ(g_ScriptPath, dir.File("main.sct").c_str());
    EXPECT_EQ(scene->GetPc(), 0u);
    EXPECT_STREQ(GetScriptName(), "main");
    ASSERT_EQ(scene->GetSoundCount(), 2);
    const SoundDef* bgm = scene->FindSound("BGM01");
    ASSERT_NE(bgm, nullptr);
    EXPECT_EQ(std::string(bgm->id) + "|" + bgm->fileName + "|" + std::to_string(bgm->kind),
              "Bgm01|bgm01.ogg|1");
    EXPECT_EQ(scene->FindSound("se01")->kind, 0);
    EXPECT_EQ(scene->FindSound("se02"), nullptr);
    const GraphicDef* bg = scene->FindGraphic("bg01");
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(std::string(bg->fileName) + "|" + std::to_string(bg->layer) + "|" + std::to_string(bg->x) +
                  "|" + std::to_string(bg->y) + "|" + std::to_string(bg->colorKey),
              "bg01.cmp|2|12|-34|1");
    ASSERT_EQ(scene->GetBlockCount(), 2);
    EXPECT_EQ(scene->FindBlock("SUB") * 10 + scene->FindBlock("Main"), 10);
    EXPECT_EQ(scene->FindBlock("other"), -1);
    const CGameScene::ScriptBlock* main = scene->GetBlock(0);
    EXPECT_TRUE(main->loaded);
    EXPECT_EQ(main->record.localSize, 4u);
    EXPECT_EQ(main->record.localOffset + 4, main->record.codeSize);
    ASSERT_EQ(main->variables.size(), 1u);
    EXPECT_STREQ(main->variables[0].name, "v");
    EXPECT_EQ(main->variables[0].type, 0);
    EXPECT_EQ(main->lines.size(), 2u);
    EXPECT_FALSE(scene->GetBlock(1)->loaded) << "other blocks wait for their first call";
    EXPECT_EQ(scene->GetBlock(1)->record.resident, 1);
    ASSERT_EQ(scene->GetGlobalVariables().size(), 1u);
    EXPECT_EQ(scene->GetGlobalVariables()[0].address, 0x80000000u);
    ASSERT_GE(scene->GetDataBlob().size(), 12u);
    EXPECT_EQ(scene->GetDataBlob()[0], 5);
    EXPECT_EQ(scene->GetDataSnapshot().size(), scene->GetDataBlob().size());
    EXPECT_EQ(scene->GetCodeSnapshot().size(), main->record.codeSize);
    EXPECT_EQ(scene->GetSavedStart() * 100 + scene->GetSavedSize(), 408u);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 1);

    SCOPED_TRACE("ResidentBlockRereadsItsTablesButKeepsItsCode");
    ASSERT_EQ(scene->Execute(), 1);
    scene->DispatchCommand();
    EXPECT_EQ(scene->GetBlock(1)->lines.size(), 1u);
    const BYTE* code = scene->GetBlock(1)->code.data();
    EXPECT_EQ(scene->Execute(), 0);
    EXPECT_TRUE(scene->GetBlock(1)->loaded);
    EXPECT_TRUE(scene->GetBlock(1)->lines.empty()) << "tables are dropped on return";
    EXPECT_EQ(scene->LoadBlock(1, nullptr), scene->GetBlock(1)->record.codeSize);
    EXPECT_EQ(scene->GetBlock(1)->code.data(), code);
    EXPECT_EQ(scene->GetBlock(1)->lines.size(), 1u);

    SCOPED_TRACE("ScriptWithoutBlobOrTablesLoads");
    ASSERT_EQ(Load(".block main\n    ret\n"), 1);
    EXPECT_TRUE(scene->GetDataBlob().empty() && scene->GetDataSnapshot().empty());
    EXPECT_TRUE(scene->GetGlobalVariables().empty());
    ASSERT_NE(scene->GetLineTable(), nullptr);
    EXPECT_TRUE(scene->GetLineTable()->empty());
}

// Each row damages the baseline; the file is refused, the trace names the reason, nothing is left to run.
TEST_F(LoaderTest, MalformedFilesAreRefusedWithTheirReason) {
    const std::uint32_t blobSize = Get32(baseline, 10),
                        fileSize = static_cast<std::uint32_t>(baseline.size());
    const std::uint32_t body = Get32(baseline, kMainRecord + 19),
                        codeSize = Get32(baseline, kMainRecord + 23);
    const std::size_t tables = body + codeSize; // block 0's global table, own table and line table follow
    auto put = [](std::vector<std::pair<std::size_t, std::uint32_t>> fields) {
        return std::function<void(Bytes&)>([=](Bytes& b) {
            for (const auto& [at, value] : fields)
                Put32(b, at, value);
        });
    };
    auto cut = [](std::size_t size) {
        return std::function<void(Bytes&)>([=](Bytes& b) { b.resize(size); });
    };
    auto name = [](std::size_t at) {
        return std::function<void(Bytes&)>(
            [=](Bytes& b) { std::fill_n(b.begin() + static_cast<long>(at), 17, 'A'); });
    };
    auto noBlocks = [](Bytes& b) {
        b.resize(32);
        b.insert(b.end(), {3, 0, 0, 0, 0, 0, 0, 0});
        Put32(b, 10, 0), Put32(b, 14, 0), Put32(b, 18, 0);
    };
    // A table flag of block 0 without the table: the file ends inside it.
    auto flagWithoutTable = [&](Bytes& b) {
        b.resize(Get32(b, kSubRecord + 19));
        Put32(b, kSubRecord + 19, 0), Put32(b, kSubRecord + 23, 0);
        b[kMainRecord + 18] |= 2;
        b.resize(tables + 2 * 264 + 2 * 22 + 2);
    };
    const struct {
        const char* reason;
        std::function<void(Bytes&)> damage;
    } rows[] = {
        {"header too short", cut(20)},
        {"not an MSC file", [](Bytes& b) { b[3] = 'X'; }},
        {"unknown format bytes", [](Bytes& b) { b[8] = 2; }},
        {"unknown format bytes", [](Bytes& b) { b[9] = 1; }},
        {"unknown chunk type", put({{kSoundChunk, 2}})},
        {"chunk type repeated", put({{kGraphicChunk, 0}})},
        {"chunk list ends before the block table", cut(kGraphicChunk)},
        {"chunk records run past the end of the file", put({{kSoundChunk + 4, 0xFFFFFFFFu}})},
        {"chunk records run past the end of the file", put({{kBlockChunk + 4, 0x10000000u}})},
        {"no block records", noBlocks},
        {"name without its terminator", name(kSoundChunk + 8 + 17)},
        {"name without its terminator", name(kGraphicChunk + 8)},
        {"name without its terminator", name(kMainRecord)},
        {"block 0 failed to load", name(tables + 264)}, // the global's name in block 0's body
        {"data blob runs past the end of the file", put({{10, 0x00FFFFFFu}})},
        {"saved area outside the data blob", put({{14, blobSize + 1}, {18, 0}})},
        {"saved area outside the data blob", put({{14, blobSize - 4}, {18, 8}})},
        {"saved area outside the data blob", put({{14, 1}, {18, 0xFFFFFFFFu}})},
        {"saved area outside the data blob", put({{14, 0xFFFFFFF0u}, {18, 0x20}})},
        {"block body outside the file", put({{kSubRecord + 19, fileSize}})},
        {"block body outside the file", put({{kSubRecord + 23, 0x7FFFFFFFu}})},
        {"block body outside the file", put({{kMainRecord + 19, 0xFFFFFFF0u}})}, // wraps with its size
        {"local area outside the block's code", put({{kMainRecord + 27, codeSize + 1}})},
        {"local area outside the block's code", put({{kMainRecord + 31, codeSize}})},
        {"local area outside the block's code", put({{kMainRecord + 31, 0xFFFFFFFEu}})},
        {"block 0 failed to load", put({{tables + 260, 0x08000000u}})},              // global count
        {"block 0 failed to load", put({{tables + 264 + 22 + 260, 0x08000000u}})},   // own count
        {"block 0 failed to load", put({{tables + 2 * 264 + 2 * 22, 0x08000000u}})}, // line count
        {"block 0 failed to load", flagWithoutTable},
    };
    ASSERT_EQ(Get32(baseline, tables + 260) + Get32(baseline, tables + 2 * 264 + 2 * 22), 3u)
        << "1 global, 2 lines";
    pt::CaptureDebugOutput(true);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(std::to_string(i) + ": " + rows[i].reason);
        Bytes bytes = baseline;
        rows[i].damage(bytes);
        pt::TakeDebugOutput();
        EXPECT_EQ(LoadBytes(bytes), 0);
        const std::string trace = pt::TakeDebugOutput();
        EXPECT_NE(trace.find("CGameScene::LoadScriptFile -> "), std::string::npos) << trace;
        EXPECT_NE(trace.find(rows[i].reason), std::string::npos) << trace;
        EXPECT_EQ(scene->GetBlockCount() + scene->GetCallStack().GetCount() + scene->GetSoundCount(), 0);
        EXPECT_TRUE(scene->GetDataBlob().empty());
        EXPECT_EQ(scene->Execute(), 0);
    }
    // An empty saved area at the end of the blob is fine.
    Bytes bytes = baseline;
    put({{14, blobSize}, {18, 0}})(bytes);
    EXPECT_EQ(LoadBytes(bytes), 1);
    // No file, and a path that does not fit g_ScriptPath (cut, it would name another file).
    scene = std::make_unique<CGameScene>();
    EXPECT_EQ(scene->LoadScript(dir.File("none.sct").c_str()), 0);
    EXPECT_NE(pt::TakeDebugOutput().find("cannot open"), std::string::npos);
    EXPECT_EQ(scene->LoadScript(dir.File(std::string(300, 'a') + ".sct").c_str()), 0);
    EXPECT_NE(pt::TakeDebugOutput().find("script path too long"), std::string::npos);
    pt::CaptureDebugOutput(false);
}

// Case is folded for ASCII letters only: the second byte of a Shift-JIS character that falls among the
// capitals (ア is 83 41, ヂ 83 61) keeps two different names apart.
TEST_F(LoaderTest, ShiftJisNamesAreNotFoldedInTheirSecondByte) {
    ASSERT_EQ(Load(R"(
.sound "効果ア", "a.wav", se
.sound "効果ヂ", "b.wav", voice
.graphic "絵ア", "a.bmp", 1, 0, 0
.graphic "絵ヂ", "b.bmp", 2, 0, 0
.block main
    cmd 0, 1, "ヂb"
    host 99, 0
.block "アB"
    mov r5, #1
    ret
.block "ヂB"
    mov r5, #2
    ret
)"),
              1);
    auto sjis = [](const char* utf8) { return platform::Utf8ToSjis(utf8); };
    EXPECT_EQ(scene->FindBlock(sjis("アb").c_str()), 1);
    EXPECT_EQ(scene->FindBlock(sjis("ヂb").c_str()), 2);
    EXPECT_EQ(scene->FindBlock(sjis("ア").c_str()), -1);
    EXPECT_EQ(scene->FindSound(sjis("効果ヂ").c_str())->kind, 2);
    EXPECT_EQ(scene->FindGraphic(sjis("絵ヂ").c_str())->layer, 2);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(scene->GetRegister(5), 2u);
}
} // namespace
