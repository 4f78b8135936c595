// Shared set-up of the script tests: a settings record whose program folder is a fresh temporary
// folder (so "errmes.log" lands there), a pinned local time, and scripts assembled from text.
#pragma once

#include "app/RunState.h"
#include "files/Config.h"
#include "platform/testing.h"
#include "script/GameScene.h"
#include "tools/fixtures/ScriptAssembler.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ScriptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetRunState();
        g_pConfig = new CConfig;
        g_pConfig->SetSystemProgramPath(dir.ProgramPath().c_str());
        platform::testing::PinLocalTime(2004, 3, 5, 9, 7, 3);
    }
    void TearDown() override {
        scene.reset();
        DestroyConfig();
        platform::testing::UnpinLocalTime();
        ResetRunState();
    }

    // Assembles the text; fails the test when it does not assemble.
    fixtures::AssembledScript Assemble(const std::string& source) {
        fixtures::AssembledScript out;
        std::string error;
        EXPECT_TRUE(fixtures::AssembleScript(source, &out, &error)) << error;
        return out;
    }
    // Writes the bytes as `name` in the folder and loads them in a fresh scene; LoadScript's result.
    int LoadBytes(const std::vector<unsigned char>& bytes, const std::string& name = "main.sct") {
        fixtures::WriteFileBytes(dir.File(name), bytes);
        scene = std::make_unique<CGameScene>();
        return scene->LoadScript(dir.File(name).c_str());
    }
    // Assembles and loads; asserts nothing beyond the assembly itself.
    int Load(const std::string& source, const std::string& name = "main.sct") {
        return LoadBytes(Assemble(source).file, name);
    }
    // Runs frames the way the scene does: Execute, and the host command it stopped at. Stops at a host
    // command of group `stopGroup` without carrying it out; returns whether it got there.
    bool RunUntilHost(int stopGroup = 99, int maxFrames = 1000) {
        for (int i = 0; i < maxFrames; ++i) {
            if (scene->IsFinished() || scene->IsHalted()) return false;
            if (scene->Execute() == 1) {
                if (scene->GetCode()[scene->GetPc()] == stopGroup) return true;
                scene->DispatchCommand();
            }
        }
        return false;
    }
    std::string Log() { return fixtures::ReadFileText(dir.File("errmes.log")); }

    fixtures::TempDir dir;
    std::unique_ptr<CGameScene> scene;
};
