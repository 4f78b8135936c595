// The program's sound device: its creation and the failures on the way, the silent system sound, the
// eight slots and the loaders that fill them.
#include "SoundTestSupport.h"

using namespace soundtest;

namespace {
using SoundCall = pt::SoundCall;

TEST_F(SoundTest, CreationLevelsFormatsAndFailures) {
    const std::string priority = Line("CDSoundCtrl::Create", "DSSCL_PRIORITY レベルでの設定に失敗しました");
    struct Row {
        const char* name;
        std::vector<SoundCall> faults;
        int result;
        std::string log;
        long devicesLeft;
        DWORD level, rate; // of a device that works
    };
    const Row rows[] = {
        {"CreatesTheDeviceAtPriorityWithCdFormat", {}, 1, "", 1, DSSCL_PRIORITY, 44100},
        {"WithoutThePriorityLevelTheDeviceKeepsThePrimarysOwnFormat",
         {SoundCall::PriorityLevel},
         1,
         priority,
         1,
         DSSCL_NORMAL,
         22050},
        {"ARefusedPrimaryFormatDropsToTheNormalLevel",
         {SoundCall::SetPrimaryFormat},
         1,
         Line("CDSoundCtrl::Create", "プライマリバッファのフォーマット設定に失敗しました"),
         1,
         DSSCL_NORMAL,
         22050},
        {"no device",
         {SoundCall::CreateDevice},
         0,
         Line("CDSoundCtrl::Create", "DirectSound オブジェクトの取得に失敗しました"),
         0},
        {"no initialisation",
         {SoundCall::Initialize},
         0,
         Line("CDSoundCtrl::Create", "DirectSound オブジェクトの初期化に失敗しました"),
         0},
        {"no primary buffer",
         {SoundCall::CreatePrimary},
         0,
         Line("CDSoundCtrl::Create", "プライマリバッファの作成に失敗しました"),
         0},
        // The device stays until the object goes.
        {"no level at all",
         {SoundCall::PriorityLevel, SoundCall::NormalLevel},
         0,
         priority + Line("CDSoundCtrl::Create", "協調レベルの設定に失敗しました"),
         1},
        {"ASystemSoundThatCannotBeMadeFailsTheCreation",
         {SoundCall::CreateBuffer},
         0,
         Line("CDSoundBufferCtrlBase::CreateSound", "DirectSoundBuffer の作成に失敗しました") +
             Line("CDSoundCtrl::_DSBCSystemSoundPlay", "システムサウンドデータの作成に失敗しました"),
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        pt::ClearSoundFaults();
        for (SoundCall call : row.faults)
            pt::FailSoundCall(call);
        pt::TakeDebugOutput();
        CDSoundCtrl device;
        EXPECT_EQ(device.Create(nullptr), row.result);
        EXPECT_EQ(pt::TakeDebugOutput(), row.log);
        EXPECT_EQ(static_cast<long>(pt::SoundDevices().size()), row.devicesLeft);
        if (row.result) {
            EXPECT_EQ(device.GetLevel(), row.level);
            EXPECT_EQ(device.GetPrimaryFormat().nSamplesPerSec, row.rate);
            EXPECT_TRUE(device.GetSystemSound()->IsPlaying());
        } else {
            EXPECT_EQ(device.GetSystemSound(), nullptr);
        }
        device.Release();
        EXPECT_TRUE(pt::SoundDevices().empty());
    }
}

TEST_F(SoundTest, TheSystemSoundLoopsSilenceUntilTheDeviceGoes) {
    CDSoundCtrl device;
    pt::CaptureMixedSound(true);
    ASSERT_EQ(device.Create(nullptr), 1);
    EXPECT_EQ(pt::SoundDevices()[0].primaryFormat.nAvgBytesPerSec, 176400u);
    ASSERT_EQ(pt::SoundBuffers().size(), 1u);
    const pt::SoundBufferState silence = pt::SoundBuffers()[0];
    EXPECT_EQ(silence.size, 176400u);
    EXPECT_TRUE(silence.playing && silence.looping);
    EXPECT_EQ(silence.volume, 0);
    Advance(1500);
    const Samples out = pt::TakeMixedSound();
    EXPECT_EQ(out, Samples(66150 * 2, 0));
    // Release lets the output drain for half a second first.
    const DWORD before = GetTickCount();
    device.Release();
    EXPECT_EQ(GetTickCount() - before, 500u);
    EXPECT_TRUE(pt::SoundBuffers().empty());
}

TEST_F(DeviceTest, EightSlotsAndANinthLoadIsRefusedWithoutTouchingItsFile) {
    const Bytes wave = fixtures::WriteWave(CdWave(100));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Load(wave), i);
    Entry* ninth = Keep(wave);
    std::fseek(ninth->file(), 37 + 5, SEEK_SET);
    EXPECT_EQ(ctrl.LoadSound(ninth->file(), ninth->size()), -1);
    EXPECT_EQ(ninth->Position(), 5);
    WAVEFORMATEX cd{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    EXPECT_EQ(ctrl.CreateSound(wave.data(), 100, &cd), -1);
    EXPECT_EQ(ctrl.LoadSoundFromFile(dir.File("e0").c_str()), -1);
    // A released slot is the first free one again.
    EXPECT_EQ(ctrl.ReleaseSound(3), 1);
    EXPECT_EQ(ctrl.ReleaseSound(3), 0);
    EXPECT_EQ(ctrl.ReleaseSound(5), 1);
    std::fseek(ninth->file(), 37, SEEK_SET);
    EXPECT_EQ(ctrl.LoadSound(ninth->file(), ninth->size()), 3);
    EXPECT_EQ(pt::TakeDebugOutput(), "");
}

TEST_F(DeviceTest, EntriesThatAreNoSoundAreRefusedAndTheirFilesRewound) {
    fixtures::WaveDesc adpcm = CdWave(10);
    adpcm.formatTag = 2;
    const std::string failed =
        Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました");
    struct Row {
        const char* name;
        Bytes bytes;
        bool stream;
        std::string log;
    };
    const Row rows[] = {
        {"OnlyRiffAndOggEntriesAreTaken", {'M', 'A', 'I', '\n', 0, 0, 0, 0}, false, ""},
        {"shorter than a tag", {'R', 'I', 'F'}, false, ""},
        {"stream shorter than a tag", {'R', 'I', 'F'}, true, ""},
        {"AFailedLoadIsLoggedAndFreesItsSlot", fixtures::WriteWave(adpcm), false,
         Line("CDSBCStaticWave::LoadSoundInfo",
              "このサウンドフォーマットは対応していません : [FormatTag = 2]") +
             failed},
        {"Ogg tag without a stream",
         {'O', 'g', 'g', 'S', 1, 2, 3, 4, 5, 6, 7, 8},
         false,
         Line("CDSBCStaticOgg::LoadSoundInfo", "指定されたファイルはサウンドファイルではありません") +
             failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Entry* e = Keep(row.bytes);
        EXPECT_EQ(row.stream ? ctrl.LoadSound(e->file(), e->size(), nullptr, 0)
                             : ctrl.LoadSound(e->file(), e->size()),
                  -1);
        EXPECT_EQ(pt::TakeDebugOutput(), row.log);
        EXPECT_EQ(e->Position(), 0);
        EXPECT_EQ(ctrl.GetController(0), nullptr);
    }
    EXPECT_EQ(ctrl.LoadSound(nullptr, 100), -1);
    SCOPED_TRACE("AStreamWhoseIntroIsItsMainEntryIsRefused");
    Entry* w = Keep(fixtures::WriteWave(CdWave(100)));
    EXPECT_EQ(ctrl.LoadSound(w->file(), w->size(), w->file(), w->size()), -1);
    EXPECT_EQ(
        pt::TakeDebugOutput(),
        Line("CDSoundCtrl::LoadSound", "メインサウンドファイルポインタとイントロファイルポインタが一緒です"));
}

TEST_F(DeviceTest, FreeSlotsAnswerWithZeroAndVolumesOutsideTheRangeAreIgnored) {
    EXPECT_EQ(ctrl.Play(2, 1), 0);
    EXPECT_EQ(ctrl.Stop(2), 0);
    EXPECT_EQ(ctrl.IsPlaying(2), 0);
    EXPECT_EQ(ctrl.SetCurrentVolume(2, -100), 0);
    ctrl.SetVolume(2, -100);
    ASSERT_EQ(Load(fixtures::WriteWave(CdWave(100))), 0);
    for (LONG volume : {-500L, 100L, -10001L})
        ctrl.SetVolume(0, volume);
    EXPECT_EQ(ctrl.GetController(0)->GetVolume(), -500);
    EXPECT_EQ(ctrl.SetCurrentVolume(0, 1), 0);
    EXPECT_EQ(ctrl.SetCurrentVolume(0, -10001), 0);
    EXPECT_EQ(ctrl.SetCurrentVolume(0, -2000), 1);
    EXPECT_EQ(ctrl.GetController(0)->GetVolume(), -500);
    EXPECT_EQ(ctrl.GetController(0)->GetCurrentVolume(), -2000);
}

TEST_F(DeviceTest, SoundsFromMemoryAndFromAFileOfTheirOwn) {
    const fixtures::WaveDesc wave = CdWave(4410);
    const WAVEFORMATEX cd{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    const int made = ctrl.CreateSound(wave.pcm.data(), static_cast<DWORD>(wave.pcm.size()), &cd);
    ASSERT_EQ(made, 0);
    EXPECT_EQ(FirstDifference(PlayFor(made, 0, 100), Heard(wave.pcm, 2, 16)), -1);
    // The slot keeps the file it opened and closes it with the sound.
    ASSERT_TRUE(fixtures::WriteFileBytes(dir.File("own.wav"), fixtures::WriteWave(wave)));
    const long files = OpenFileCount();
    const int loaded = ctrl.LoadSoundFromFile((dir.ProgramPath() + "OWN.WAV").c_str());
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(OpenFileCount(), files + 1);
    EXPECT_EQ(FirstDifference(PlayFor(loaded, 0, 100), Heard(wave.pcm, 2, 16)), -1);
    EXPECT_EQ(ctrl.ReleaseSound(loaded), 1);
    EXPECT_EQ(OpenFileCount(), files);
    EXPECT_EQ(pt::TakeDebugOutput(), "");

    EXPECT_EQ(ctrl.CreateSound(nullptr, 100, &cd), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSoundCtrl::CreateSound", "サウンドデータの読み込みに失敗しました"));
    EXPECT_EQ(ctrl.LoadSoundFromFile(dir.File("none.wav").c_str()), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSoundCtrl::LoadSoundFromFile", "サウンドファイルのオープンに失敗しました"));
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("text.wav"), "not a sound"));
    EXPECT_EQ(ctrl.LoadSoundFromFile(dir.File("text.wav").c_str()), -1);
    EXPECT_EQ(OpenFileCount(), files);
    EXPECT_EQ(ctrl.GetController(1), nullptr);
}
} // namespace
