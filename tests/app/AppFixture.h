// The whole start-up path in this process on the headless display, with a script run at every pass
// of the message loop.
#pragma once

#include "sound/SoundManager.h"
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "app/WinMain.h"
#include "files/Config.h"
#include "graphics/UpdateRegion.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/testing.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace pt = platform::testing;

class AppTest : public ::testing::Test {
  protected:
    static constexpr DWORD kStart = 100000;

    void SetUp() override {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::UseManualClock(kStart);
        pt::ResetWindowClasses();
        pt::ClearMessages();
        pt::SetCursorShowCount(0);
        pt::TakeMessageBoxes();
        ResetRunState();
        ResetUpdateRegion();
        ResetDisplayGlobals();
        ::setenv("QUORIN_LOCK_DIR", lockDir.Path().c_str(), 1);
        std::string folder = game.Path();
        char program[] = "quorin";
        char* argv[] = {program, folder.data()};
        SetProgramArguments(2, argv);
        Script() = nullptr;
        Steps().clear();
        Pass() = 0;
        NextStep() = 0;
        platform::SetEventPump(Pump);
    }

    void TearDown() override {
        EXPECT_GE(NextStep(), Steps().size()) << "steps left unrun";
        platform::SetEventPump(nullptr);
        if (IsWindow(g_hWnd)) DestroyWindow(g_hWnd);
        g_hWnd = nullptr;
        delete g_pGameCtrl;
        g_pGameCtrl = nullptr;
        DestroyConfig();
        DestroySoundManager();
        ResetDisplayGlobals();
        ResetUpdateRegion();
        ResetRunState();
        pt::UseRealClock();
        pt::ClearMessages();
        pt::TakeMessageBoxes();
        CloseInstanceMutex();
        ::unsetenv("QUORIN_LOCK_DIR");
    }

    // The settings file before the start, with WindowMode as given.
    void WriteWindowMode(int mode) {
        ASSERT_TRUE(fixtures::WriteFileText(game.File("Quorin.ini"),
                                            fixtures::DefaultSettingsIni(game.ProgramPath())));
        const std::string ini = game.ProgramPath() + "Quorin.ini";
        WritePrivateProfileStringA("Config", "WindowMode", std::to_string(mode).c_str(), ini.c_str());
    }

    int Start() { return WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL); }

    // Steps run one after another, each at the first pass that finds the queue empty; after the last
    // one the window is closed for real.
    void Then(std::function<void()> step) { Steps().push_back(std::move(step)); }

    static std::function<void(int)>& Script() {
        static std::function<void(int)> script;
        return script;
    }
    static std::vector<std::function<void()>>& Steps() {
        static std::vector<std::function<void()>> steps;
        return steps;
    }
    static int& Pass() {
        static int pass = 0;
        return pass;
    }
    static std::size_t& NextStep() {
        static std::size_t next = 0;
        return next;
    }

    static void Pump(bool) {
        const int pass = ++Pass();
        if (pass > 200000) {
            ADD_FAILURE() << "the message loop did not end";
            PostQuitMessage(99);
            return;
        }
        if (pass == 1) NextStep() = 0;
        if (Script()) {
            Script()(pass);
            return;
        }
        if (!pt::PendingMessages().empty()) return;
        if (NextStep() < Steps().size()) {
            Steps()[NextStep()++]();
        } else if (NextStep() == Steps().size()) {
            ++NextStep();
            if (IsWindow(g_hWnd)) PostMessageA(g_hWnd, WM_CLOSE, 0, 1);
        }
    }

    // Alt+Enter as the keyboard delivers it.
    static void AltEnter() {
        pt::PostKeyDown(g_hWnd, VK_MENU);
        pt::PostKeyDown(g_hWnd, VK_RETURN);
        pt::PostKeyUp(g_hWnd, VK_RETURN);
        pt::PostKeyUp(g_hWnd, VK_MENU);
    }

    fixtures::TempDir lockDir;
    fixtures::TempDir game;
};
