// fuzz-runs: 3000
// Scenario text handed to the message window: any bytes as texts, a speaker name and a choice, laid
// out and revealed to the end. Nothing may read or write outside the window's buffers and pictures.
// Input: one byte of switches, then texts separated by '\n'; the first is also the speaker name and
// the second a choice.
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "graphics/Screen.h"
#include "platform/testing.h"
#include "text/MessageWindow.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pt = platform::testing;

namespace {

struct Stage {
    Stage() {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Rgb565);
        pt::UseManualClock(1000);
        pt::UseFontFile(pt::kPinnedGothicFont);
        DirectDrawCreate(nullptr, &dd, nullptr);
        SetDirectDraw(dd);
        fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", fixtures::WriteSolidBmp(640, 480, 0x406080)},
                                                     {"sg022", fixtures::WriteSolidBmp(596, 136, 0x183050)},
                                                     {"sg023", fixtures::WriteSolidBmp(64, 16, 0xFFFFFF)},
                                                     {"sg024", fixtures::WriteSolidBmp(480, 80, 0x305070)}});
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        g_pScreen = new CScreen;
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
    }
    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Stage stage;
    if (size < 1) return 0;
    const std::uint8_t switches = data[0];
    std::vector<std::string> texts(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    SetSkipMode(switches & 1);
    CMessageWindow window(0);
    window.SetVisible(1);
    window.SetNickName(texts[0].c_str());
    window.SetFontSize((switches >> 1) & 7);
    window.SetSpeakerName(texts[0].c_str());
    if (texts.size() > 1 && (switches & 0x10) && window.AddChoice(texts[1].c_str(), 1)) {
        window.ShowChoices();
        window.OnKeyDown(VK_DOWN);
        window.OnKeyDown(VK_RETURN);
        window.OnKeyUp(VK_RETURN);
    }
    for (const std::string& text : texts) {
        window.SetText(text.c_str());
        for (int frame = 0; frame < 80; ++frame) {
            pt::AdvanceClock(150);
            const int state = window.Update();
            if (state == CMessageWindow::kStateIdle) break;
            if (state == CMessageWindow::kStateClickWait) window.Resume();
            window.AnimateClickIcon();
        }
        if (switches & 0x20) window.ClearPage();
    }
    window.BacklogBack();
    window.RedrawText();
    window.BacklogForward();
    SetSkipMode(0);
    return 0;
}
