// The movie mode on the headless display and mixer, on the manual clock, with a 640x480 main window
// and the settings' movie folder in a temporary folder.
#pragma once

#include "app/AppMessages.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "platform/movie.h"
#include "platform/time.h"
#include "platform/testing.h"
#include "screens/MovieMode.h"
#include "screens/MoviePlayer.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace pt = platform::testing;

class MovieTest : public ::testing::Test {
  protected:
    static constexpr DWORD kStart = 100000;

    void SetUp() override {
        pt::UseHeadlessDisplay();
        pt::UseManualClock(kStart);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        pt::UseRealMovie();
        pt::ResetWindowClasses();
        ResetRunState();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "MovieTest";
        RegisterClassA(&wc);
        g_hWnd = CreateWindowExA(0, "MovieTest", "Lunavel", WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                 nullptr, nullptr);
        g_pConfig = new CConfig;
        g_pConfig->SetMovieDataPath(dir.ProgramPath().c_str());
        SetLevels(4, 0);
    }

    void TearDown() override {
        DestroyWindow(g_hWnd);
        g_hWnd = nullptr;
        delete g_pConfig;
        g_pConfig = nullptr;
        pt::UseRealMovie();
        pt::CaptureMixedSound(false);
        pt::UseSoundBackend(pt::SoundBackend::Automatic);
        pt::UseRealClock();
        ResetRunState();
    }

    static void SetLevels(int bgm, int windowMode) {
        ConfigValues v = CConfig::DefaultValues();
        v.BgmSwitch = bgm;
        v.WindowMode = windowMode;
        g_pConfig->SetValues(&v);
    }

    void WriteMovieFile() {
        std::FILE* f = std::fopen(dir.File("op.mpg").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }

    // One idle pass of the message loop while the movie plays: the wait, then the mode's step.
    static int Pass(CMovieMode& mode) {
        platform::SleepShowingVideo(100);
        return mode.Run();
    }

    // Passes until the mode leaves 2; the milliseconds that took, or -1 after `limitMs`.
    static long PlayToEnd(CMovieMode& mode, DWORD limitMs) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start <= limitMs)
            if (Pass(mode) != 2) return static_cast<long>(GetTickCount() - start);
        return -1;
    }

    fixtures::TempDir dir;
};
