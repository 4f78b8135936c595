// The program's sound device: its creation and the failures on the way, the silent system sound and
// the eight slots.
#include "SoundTestSupport.h"

#include "sound/DSBCStaticWave.h"
#include "sound/DSoundCtrl.h"

#include <memory>

using namespace soundtest;

namespace {
using SoundCall = pt::SoundCall;

class DSoundCtrlTest : public SoundTest {
  protected:
    std::string CreateLog(SoundCall call, int skip = 0) {
        pt::FailSoundCall(call, skip);
        pt::TakeDebugOutput();
        result = ctrl.Create(nullptr);
        return pt::TakeDebugOutput();
    }
    CDSoundCtrl ctrl;
    int result = -1;
};

TEST_F(DSoundCtrlTest, CreatesTheDeviceAtPriorityWithCdFormatAndASilentSystemSound) {
    pt::CaptureMixedSound(true);
    ASSERT_EQ(ctrl.Create(nullptr), 1);
    EXPECT_EQ(ctrl.GetLevel(), static_cast<DWORD>(DSSCL_PRIORITY));
    EXPECT_EQ(ctrl.GetPrimaryFormat().nSamplesPerSec, 44100u);
    EXPECT_EQ(ctrl.GetPrimaryFormat().wBitsPerSample, 16);
    EXPECT_EQ(ctrl.GetPrimaryFormat().nChannels, 2);
    ASSERT_EQ(pt::SoundDevices().size(), 1u);
    EXPECT_EQ(pt::SoundDevices()[0].primaryFormat.nAvgBytesPerSec, 176400u);
    const auto buffers = pt::SoundBuffers();
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_EQ(buffers[0].size, 176400u);
    EXPECT_TRUE(buffers[0].playing);
    EXPECT_TRUE(buffers[0].looping);
    EXPECT_EQ(buffers[0].volume, 0);
    Advance(1500);
    const Samples out = pt::TakeMixedSound();
    EXPECT_EQ(out.size(), 66150u * 2);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), static_cast<long>(out.size()));
    EXPECT_TRUE(pt::SoundBuffers()[0].playing);
    // Release lets the output drain for half a second first.
    const DWORD before = GetTickCount();
    ctrl.Release();
    EXPECT_EQ(GetTickCount() - before, 500u);
    EXPECT_TRUE(pt::SoundBuffers().empty());
    EXPECT_TRUE(pt::SoundDevices().empty());
}

TEST_F(DSoundCtrlTest, WithoutThePriorityLevelTheDeviceKeepsThePrimarysOwnFormat) {
    const std::string log = CreateLog(SoundCall::PriorityLevel);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(log, Line("CDSoundCtrl::Create", "DSSCL_PRIORITY レベルでの設定に失敗しました"));
    EXPECT_EQ(ctrl.GetLevel(), static_cast<DWORD>(DSSCL_NORMAL));
    EXPECT_EQ(ctrl.GetPrimaryFormat().nSamplesPerSec, 22050u);
    EXPECT_EQ(ctrl.GetPrimaryFormat().wBitsPerSample, 8);
    EXPECT_TRUE(ctrl.GetSystemSound()->IsPlaying());
}

TEST_F(DSoundCtrlTest, ARefusedPrimaryFormatDropsToTheNormalLevel) {
    const std::string log = CreateLog(SoundCall::SetPrimaryFormat);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(log, Line("CDSoundCtrl::Create", "プライマリバッファのフォーマット設定に失敗しました"));
    EXPECT_EQ(ctrl.GetLevel(), static_cast<DWORD>(DSSCL_NORMAL));
    EXPECT_EQ(ctrl.GetPrimaryFormat().nSamplesPerSec, 22050u);
}

TEST_F(DSoundCtrlTest, EachCreationFailureIsLoggedAndLeavesNoSound) {
    struct Case {
        SoundCall call;
        int skip;
        const char* message;
    };
    const Case cases[] = {
        {SoundCall::CreateDevice, 0, "DirectSound オブジェクトの取得に失敗しました"},
        {SoundCall::Initialize, 0, "DirectSound オブジェクトの初期化に失敗しました"},
        {SoundCall::CreatePrimary, 0, "プライマリバッファの作成に失敗しました"},
    };
    for (const Case& c : cases) {
        CDSoundCtrl device;
        pt::FailSoundCall(c.call, c.skip);
        pt::TakeDebugOutput();
        EXPECT_EQ(device.Create(nullptr), 0);
        EXPECT_EQ(pt::TakeDebugOutput(), Line("CDSoundCtrl::Create", c.message));
        device.Release();
        EXPECT_TRUE(pt::SoundDevices().empty());
        pt::ClearSoundFaults();
    }
    pt::FailSoundCall(SoundCall::PriorityLevel);
    pt::FailSoundCall(SoundCall::NormalLevel);
    EXPECT_EQ(ctrl.Create(nullptr), 0);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSoundCtrl::Create", "DSSCL_PRIORITY レベルでの設定に失敗しました") +
                  Line("CDSoundCtrl::Create", "協調レベルの設定に失敗しました"));
    // The device stays until the object goes.
    EXPECT_EQ(pt::SoundDevices().size(), 1u);
}

TEST_F(DSoundCtrlTest, ASystemSoundThatCannotBeMadeFailsTheCreation) {
    const std::string log = CreateLog(SoundCall::CreateBuffer);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Contains(
        log, Line("CDSoundCtrl::_DSBCSystemSoundPlay", "システムサウンドデータの作成に失敗しました")));
    EXPECT_EQ(ctrl.GetSystemSound(), nullptr);
}

class DeviceTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(ctrl.Create(nullptr), 1);
        pt::TakeDebugOutput();
    }
    // Entries live as long as the device, which may still hold them.
    Entry* Keep(const std::string& name, const fixtures::Bytes& bytes) {
        entries.push_back(std::make_unique<Entry>(dir, name, bytes));
        return entries.back().get();
    }
    Entry* Wave(const std::string& name, int frames = 100) {
        fixtures::WaveDesc s;
        s.pcm = fixtures::MakePcm(frames, 2, 16);
        return Keep(name, fixtures::WriteWave(s));
    }
    std::vector<std::unique_ptr<Entry>> entries;
    CDSoundCtrl ctrl;
};

TEST_F(DeviceTest, EightSlotsAndANinthLoadIsRefusedWithoutTouchingItsFile) {
    for (int i = 0; i < 8; ++i) {
        Entry* e = Wave("w" + std::to_string(i));
        EXPECT_EQ(ctrl.LoadSound(e->file(), e->size()), i);
    }
    Entry* ninth = Wave("ninth");
    std::fseek(ninth->file(), 37 + 5, SEEK_SET);
    EXPECT_EQ(ctrl.LoadSound(ninth->file(), ninth->size()), -1);
    EXPECT_EQ(ninth->Position(), 5);
    // A released slot is the first free one again.
    EXPECT_EQ(ctrl.ReleaseSound(3), 1);
    EXPECT_EQ(ctrl.ReleaseSound(3), 0);
    EXPECT_EQ(ctrl.ReleaseSound(5), 1);
    std::fseek(ninth->file(), 37, SEEK_SET);
    EXPECT_EQ(ctrl.LoadSound(ninth->file(), ninth->size()), 3);
    EXPECT_EQ(pt::TakeDebugOutput(), "");
}

TEST_F(DeviceTest, OnlyRiffAndOggEntriesAreTaken) {
    Entry* text = Keep("text", fixtures::Bytes{'M', 'A', 'I', '\n', 0, 0, 0, 0});
    EXPECT_EQ(ctrl.LoadSound(text->file(), text->size()), -1);
    EXPECT_EQ(text->Position(), 0);
    Entry* tiny = Keep("tiny", fixtures::Bytes{'R', 'I', 'F'});
    EXPECT_EQ(ctrl.LoadSound(tiny->file(), tiny->size()), -1);
    EXPECT_EQ(ctrl.LoadSound(tiny->file(), tiny->size(), nullptr, 0), -1);
    EXPECT_EQ(ctrl.LoadSound(nullptr, 100), -1);
    EXPECT_EQ(pt::TakeDebugOutput(), "");
    EXPECT_EQ(ctrl.GetController(0), nullptr);
}

TEST_F(DeviceTest, AFailedLoadIsLoggedAndFreesItsSlot) {
    fixtures::WaveDesc s;
    s.pcm = fixtures::MakePcm(10, 2, 16);
    s.formatTag = 2;
    Entry* adpcm = Keep("adpcm", fixtures::WriteWave(s));
    EXPECT_EQ(ctrl.LoadSound(adpcm->file(), adpcm->size()), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticWave::LoadSoundInfo",
                   "このサウンドフォーマットは対応していません : [FormatTag = 2]") +
                  Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました"));
    EXPECT_EQ(ctrl.GetController(0), nullptr);
    EXPECT_EQ(adpcm->Position(), 0);
    fixtures::Bytes garbage = {'O', 'g', 'g', 'S', 1, 2, 3, 4, 5, 6, 7, 8};
    Entry* ogg = Keep("ogg", garbage);
    EXPECT_EQ(ctrl.LoadSound(ogg->file(), ogg->size()), -1);
    EXPECT_EQ(pt::TakeDebugOutput(),
              Line("CDSBCStaticOgg::LoadSoundInfo", "指定されたファイルはサウンドファイルではありません") +
                  Line("CDSoundCtrl::LoadSound (static)", "サウンドファイルの読み込みに失敗しました"));
}

TEST_F(DeviceTest, AStreamWhoseIntroIsItsMainEntryIsRefused) {
    Entry* w = Wave("w");
    EXPECT_EQ(ctrl.LoadSound(w->file(), w->size(), w->file(), w->size()), -1);
    EXPECT_EQ(
        pt::TakeDebugOutput(),
        Line("CDSoundCtrl::LoadSound", "メインサウンドファイルポインタとイントロファイルポインタが一緒です"));
}

TEST_F(DeviceTest, FreeSlotsAnswerWithZero) {
    EXPECT_EQ(ctrl.Play(2, 1), 0);
    EXPECT_EQ(ctrl.Stop(2), 0);
    EXPECT_EQ(ctrl.IsPlaying(2), 0);
    EXPECT_EQ(ctrl.SetCurrentVolume(2, -100), 0);
    ctrl.SetVolume(2, -100);
    Entry* w = Wave("w");
    ASSERT_EQ(ctrl.LoadSound(w->file(), w->size()), 0);
    // Volumes outside -10000 to 0 are ignored.
    ctrl.SetVolume(0, -500);
    ctrl.SetVolume(0, 100);
    ctrl.SetVolume(0, -10001);
    EXPECT_EQ(ctrl.GetController(0)->GetVolume(), -500);
    EXPECT_EQ(ctrl.SetCurrentVolume(0, 1), 0);
    EXPECT_EQ(ctrl.SetCurrentVolume(0, -2000), 1);
    EXPECT_EQ(ctrl.GetController(0)->GetVolume(), -500);
    EXPECT_EQ(ctrl.GetController(0)->GetCurrentVolume(), -2000);
}
} // namespace
