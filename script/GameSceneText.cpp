// Host command group 2: the message window's pages, choices, speaker name, colours and the player's
// names.
#include "script/GameScene.h"

#include "files/SaveData.h"
#include "platform/runtime.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

#include <cstring>

namespace {
enum : DWORD {
    kSubSetText = 0,
    kSubNewPage = 1,
    kSubAddChoice = 2,
    kSubShowChoices = 3,
    kSubSpeakerName = 4,
    kSubClearName = 5,
    kSubNewPageClearName = 6,
    kSubShowWindow = 7,
    kSubHideWindow = 8,
    kSubFontSize = 9,
    kSubTextColor = 10,
    kSubNameColor = 11,
    kSubPlayerName = 12,
};
// The window's font sizes.
constexpr DWORD kFontSizeCount = 5;
} // namespace

void CGameScene::DispatchText(DWORD sub) {
    if (sub == kSubPlayerName) return CmdGetPlayerName();
    if (!m_pMessageWindow) return;
    CMessageWindow& window = *m_pMessageWindow;
    switch (sub) {
    case kSubSetText:
        CmdSetText();
        break;
    case kSubNewPage:
        CmdNewPage();
        break;
    case kSubAddChoice: {
        const char* text = ArgText(1);
        const DWORD value = Arg(2);
        if (text && !m_bHalted) window.AddChoice(text, value);
        break;
    }
    case kSubShowChoices:
        CmdShowChoices();
        break;
    case kSubSpeakerName:
        if (const char* name = ArgText(1)) {
            window.ClearSpeakerName();
            window.SetSpeakerName(name);
        }
        break;
    case kSubClearName:
        window.ClearSpeakerName();
        break;
    case kSubNewPageClearName:
        CmdNewPageClearName();
        break;
    case kSubShowWindow:
        window.SetVisible(1);
        m_bWindowShown = m_bWindowVisible = true;
        break;
    case kSubHideWindow:
        window.SetVisible(0);
        m_bWindowShown = m_bWindowVisible = false;
        break;
    case kSubFontSize: {
        const DWORD size = Arg(1);
        if (m_bHalted) break;
        // The window has glyph tables for its five sizes only.
        if (size >= kFontSizeCount) {
            ReportBadIndex(kFontSizeCount, size);
            break;
        }
        window.SetFontSize(static_cast<int>(size));
        break;
    }
    case kSubTextColor:
    case kSubNameColor: {
        const DWORD red = Arg(1), green = Arg(2), blue = Arg(3);
        if (m_bHalted) break;
        const int r = static_cast<int>(red & 0xFF), g = static_cast<int>(green), b = static_cast<int>(blue);
        if (sub == kSubTextColor)
            window.SetTextColor(r, g, b, 0);
        else
            window.SetNameColor(r, g, b, 0);
        break;
    }
    default:
        break;
    }
}

void CGameScene::SetResumePoint(DWORD pc) {
    m_ResumePc = pc;
    const CallFrame* top = m_CallStack.GetTail(0);
    CopyBounded(m_ResumeBlock, top ? top->blockName : "");
}

void CGameScene::CmdSetText() {
    const char* text = ArgText(1);
    if (!text) return;
    m_SceneMode = kModeText;
    m_pMessageWindow->SetText(text);
    if (m_TextState == kTextNewPage) {
        // A save made during this page starts again at this text (pc is on its group byte).
        SetResumePoint(m_Pc - 1);
        m_RecordedFontSize = m_pMessageWindow->GetFontSize();
        CaptureState();
    }
    m_TextState = kTextShown;
}

void CGameScene::CmdNewPage() {
    m_RecordedFontSize = m_pMessageWindow->GetFontSize();
    m_pMessageWindow->ClearPage();
    m_pMessageWindow->SetVoiceName(nullptr);
    if (g_pSoundManager) g_pSoundManager->StopVoice();
    MarkTextRead();
    SetResumePoint(m_Pc + 5);
    CaptureState();
    m_TextState = kTextNewPage;
}

void CGameScene::CmdNewPageClearName() {
    CmdNewPage();
    m_pMessageWindow->ClearSpeakerName();
    // A load resumes after this command: its page starts without the name the page before ended with.
    m_SnapState.speakerName[0] = '\0';
}

void CGameScene::CmdShowChoices() {
    // Without a choice to take, waiting for one would never end: the script goes on.
    if (!m_pMessageWindow->ShowChoices()) return;
    m_SceneMode = kModeChoices;
    m_pMessageWindow->SetChoicesVisible(1);
    MarkWholeScreen();
}

void CGameScene::CmdGetPlayerName() {
    const DWORD which = Arg(2);
    if (m_bHalted || !ArgBuffer(1, nullptr)) return;
    const char* name = "";
    if (g_pSaveData) name = which == 0 ? g_pSaveData->GetFamilyName() : g_pSaveData->GetGivenName();
    // The record's field need not hold its terminator.
    StoreText(1, std::string(name, strnlen(name, CSaveData::kNameSize)));
}
