// Loading compiled scripts: the tables as the file gives them, and every malformed file refused with
// its reason, leaving a scene that holds no runnable script.
#include "ScriptTestSupport.h"

#include "platform/text_encoding.h"

#include <cstdint>
#include <string>

namespace pt = platform::testing;

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

void Put32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t v) {
    ASSERT_LE(at + 4, bytes.size());
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t Get32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
} // namespace

class LoaderTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        baseline = Assemble(kBaseline).file;
    }
    // The file is refused: LoadScript gives 0, the trace names `reason`, nothing is left to run.
    void ExpectRefused(const std::vector<unsigned char>& bytes, const std::string& reason) {
        pt::CaptureDebugOutput(true);
        EXPECT_EQ(LoadBytes(bytes), 0);
        const std::string trace = pt::TakeDebugOutput();
        pt::CaptureDebugOutput(false);
        EXPECT_NE(trace.find("CGameScene::LoadScriptFile -> "), std::string::npos) << trace;
        EXPECT_NE(trace.find(reason), std::string::npos) << trace;
        EXPECT_EQ(scene->GetBlockCount(), 0);
        EXPECT_EQ(scene->GetCallStack().GetCount(), 0);
        EXPECT_EQ(scene->GetSoundCount(), 0);
        EXPECT_TRUE(scene->GetDataBlob().empty());
        EXPECT_EQ(scene->Execute(), 0);
    }
    std::vector<unsigned char> baseline;
};

TEST_F(LoaderTest, LoadsTablesBlobAndBlockZero) {
    ASSERT_EQ(LoadBytes(baseline), 1);
    EXPECT_STREQ(g_ScriptPath, dir.File("main.sct").c_str());
    EXPECT_EQ(scene->GetPc(), 0u);
    EXPECT_STREQ(GetScriptName(), "main");

    ASSERT_EQ(scene->GetSoundCount(), 2);
    const SoundDef* bgm = scene->FindSound("BGM01");
    ASSERT_NE(bgm, nullptr);
    EXPECT_STREQ(bgm->id, "Bgm01");
    EXPECT_STREQ(bgm->fileName, "bgm01.ogg");
    EXPECT_EQ(bgm->kind, 1);
    EXPECT_EQ(scene->FindSound("se01")->kind, 0);
    EXPECT_EQ(scene->FindSound("se02"), nullptr);

    const GraphicDef* bg = scene->FindGraphic("bg01");
    ASSERT_NE(bg, nullptr);
    EXPECT_STREQ(bg->fileName, "bg01.cmp");
    EXPECT_EQ(bg->layer, 2);
    EXPECT_EQ(bg->x, 12);
    EXPECT_EQ(bg->y, -34);
    EXPECT_EQ(bg->colorKey, 1);

    ASSERT_EQ(scene->GetBlockCount(), 2);
    EXPECT_EQ(scene->FindBlock("SUB"), 1);
    EXPECT_EQ(scene->FindBlock("Main"), 0);
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
    EXPECT_EQ(scene->GetSavedStart(), 4u);
    EXPECT_EQ(scene->GetSavedSize(), 8u);
    EXPECT_EQ(scene->GetCallStack().GetCount(), 1);
}

TEST_F(LoaderTest, ScriptWithoutBlobOrTablesLoads) {
    ASSERT_EQ(Load(".block main\n    ret\n"), 1);
    EXPECT_TRUE(scene->GetDataBlob().empty());
    EXPECT_TRUE(scene->GetDataSnapshot().empty());
    EXPECT_TRUE(scene->GetGlobalVariables().empty());
    ASSERT_NE(scene->GetLineTable(), nullptr);
    EXPECT_TRUE(scene->GetLineTable()->empty());
}

TEST_F(LoaderTest, ResidentBlockRereadsItsTablesButKeepsItsCode) {
    ASSERT_EQ(LoadBytes(baseline), 1);
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
}

TEST_F(LoaderTest, MissingFileAndBadHeaderAreRefused) {
    pt::CaptureDebugOutput(true);
    scene = std::make_unique<CGameScene>();
    EXPECT_EQ(scene->LoadScript(dir.File("none.sct").c_str()), 0);
    EXPECT_NE(pt::TakeDebugOutput().find("cannot open"), std::string::npos);
    // A path that does not fit g_ScriptPath would name another file once cut: refused.
    const std::string longPath = dir.File(std::string(300, 'a') + ".sct");
    EXPECT_EQ(scene->LoadScript(longPath.c_str()), 0);
    EXPECT_NE(pt::TakeDebugOutput().find("script path too long"), std::string::npos);
    pt::CaptureDebugOutput(false);

    ExpectRefused(std::vector<unsigned char>(baseline.begin(), baseline.begin() + 20), "header too short");
    auto bytes = baseline;
    bytes[3] = 'X';
    ExpectRefused(bytes, "not an MSC file");
    bytes = baseline;
    bytes[8] = 2;
    ExpectRefused(bytes, "unknown format bytes");
    bytes = baseline;
    bytes[9] = 1; // magic and byte 8 right
    ExpectRefused(bytes, "unknown format bytes");
}

TEST_F(LoaderTest, BadChunkListsAreRefused) {
    auto bytes = baseline;
    Put32(bytes, kSoundChunk, 2);
    ExpectRefused(bytes, "unknown chunk type");

    bytes = baseline;
    Put32(bytes, kGraphicChunk, 0);
    ExpectRefused(bytes, "chunk type repeated");

    ExpectRefused(std::vector<unsigned char>(baseline.begin(), baseline.begin() + kGraphicChunk),
                  "chunk list ends before the block table");

    bytes = baseline;
    Put32(bytes, kSoundChunk + 4, 0xFFFFFFFFu);
    ExpectRefused(bytes, "chunk records run past the end of the file");
    bytes = baseline;
    Put32(bytes, kBlockChunk + 4, 0x10000000u);
    ExpectRefused(bytes, "chunk records run past the end of the file");

    // A block chunk with no records.
    std::vector<unsigned char> empty(baseline.begin(), baseline.begin() + 32);
    const unsigned char chunk[8] = {3, 0, 0, 0, 0, 0, 0, 0};
    empty.insert(empty.end(), chunk, chunk + 8);
    Put32(empty, 10, 0);
    Put32(empty, 14, 0);
    Put32(empty, 18, 0);
    ExpectRefused(empty, "no block records");
}

TEST_F(LoaderTest, NamesMustEndInsideTheirFields) {
    for (std::size_t field : {kSoundChunk + 8 + 17, kGraphicChunk + 8, kMainRecord}) {
        auto bytes = baseline;
        for (std::size_t i = 0; i < 17; ++i)
            bytes[field + i] = 'A';
        ExpectRefused(bytes, "name without its terminator");
    }
    // A variable name in block 0's body fails block 0.
    auto bytes = baseline;
    const std::uint32_t body = Get32(bytes, kMainRecord + 19);
    const std::uint32_t codeSize = Get32(bytes, kMainRecord + 23);
    const std::size_t firstGlobal = body + codeSize + 264;
    ASSERT_EQ(bytes[firstGlobal], 'g');
    for (std::size_t i = 0; i < 17; ++i)
        bytes[firstGlobal + i] = 'A';
    ExpectRefused(bytes, "block 0 failed to load");
}

TEST_F(LoaderTest, BlobAndSavedAreaMustLieInside) {
    auto bytes = baseline;
    Put32(bytes, 10, 0x00FFFFFFu);
    ExpectRefused(bytes, "data blob runs past the end of the file");

    const std::uint32_t blobSize = Get32(baseline, 10);
    const std::uint32_t bad[][2] = {
        {blobSize + 1, 0}, {blobSize - 4, 8}, {1, 0xFFFFFFFFu}, {0xFFFFFFF0u, 0x20}};
    for (const auto& area : bad) {
        bytes = baseline;
        Put32(bytes, 14, area[0]);
        Put32(bytes, 18, area[1]);
        ExpectRefused(bytes, "saved area outside the data blob");
    }
    bytes = baseline;
    Put32(bytes, 14, blobSize);
    Put32(bytes, 18, 0);
    EXPECT_EQ(LoadBytes(bytes), 1) << "an empty saved area at the end of the blob is fine";
}

TEST_F(LoaderTest, BlockBodiesAndLocalAreasMustLieInside) {
    const std::uint32_t fileSize = static_cast<std::uint32_t>(baseline.size());
    const std::uint32_t mainCode = Get32(baseline, kMainRecord + 23);
    struct Patch {
        std::size_t at;
        std::uint32_t value;
        const char* reason;
    } patches[] = {
        {kSubRecord + 19, fileSize, "block body outside the file"},
        {kSubRecord + 23, 0x7FFFFFFFu, "block body outside the file"},
        {kMainRecord + 19, 0xFFFFFFF0u, "block body outside the file"}, // wraps in 32 bits with its size
        {kMainRecord + 27, mainCode + 1, "local area outside the block's code"},
        {kMainRecord + 31, mainCode, "local area outside the block's code"},
        {kMainRecord + 31, 0xFFFFFFFEu, "local area outside the block's code"},
    };
    for (const Patch& p : patches) {
        auto bytes = baseline;
        Put32(bytes, p.at, p.value);
        ExpectRefused(bytes, p.reason);
    }
}

TEST_F(LoaderTest, BlockZeroTablesMustLieInside) {
    const std::uint32_t body = Get32(baseline, kMainRecord + 19);
    const std::uint32_t codeSize = Get32(baseline, kMainRecord + 23);
    // Global table count, the block's own table count, the line count.
    const std::size_t globalCount = body + codeSize + 260;
    const std::size_t ownCount = body + codeSize + 264 + 22 + 260;
    const std::size_t lineCount = body + codeSize + 2 * 264 + 2 * 22;
    ASSERT_EQ(Get32(baseline, globalCount), 1u);
    ASSERT_EQ(Get32(baseline, ownCount), 1u);
    ASSERT_EQ(Get32(baseline, lineCount), 2u);
    for (std::size_t at : {globalCount, ownCount, lineCount}) {
        auto bytes = baseline;
        Put32(bytes, at, 0x08000000u);
        ExpectRefused(bytes, "block 0 failed to load");
    }
    // A table flag without the table: the file ends inside it.
    const std::uint32_t subBody = Get32(baseline, kSubRecord + 19);
    auto bytes = std::vector<unsigned char>(baseline.begin(), baseline.begin() + subBody);
    Put32(bytes, kSubRecord + 19, 0);
    Put32(bytes, kSubRecord + 23, 0);
    bytes[kMainRecord + 18] |= 2;
    bytes.resize(body + codeSize + 2 * 264 + 2 * 22 + 2);
    ExpectRefused(bytes, "block 0 failed to load");
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
    const std::string a = platform::Utf8ToSjis("アb"), dz = platform::Utf8ToSjis("ヂb");
    EXPECT_EQ(scene->FindBlock(a.c_str()), 1);
    EXPECT_EQ(scene->FindBlock(dz.c_str()), 2);
    EXPECT_EQ(scene->FindSound(platform::Utf8ToSjis("効果ヂ").c_str())->kind, 2);
    EXPECT_EQ(scene->FindGraphic(platform::Utf8ToSjis("絵ヂ").c_str())->layer, 2);
    EXPECT_EQ(scene->FindBlock(platform::Utf8ToSjis("ア").c_str()), -1);
    ASSERT_TRUE(RunUntilHost(99));
    EXPECT_EQ(scene->GetRegister(5), 2u);
}
