// Host command group 20: background music, looping sound effects and voices by the IDs of the
// script's sound table.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "files/Config.h"
#include "script/ScriptMessages.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

#include <cstdio>

namespace {
enum : DWORD {
    kSubPlayBGM = 0,
    kSubStopBGM = 1,
    kSubPlayLoopSE = 2,
    kSubStopLoopSE = 3,
    kSubPlayVoice = 4,
    kSubStopVoice = 5,
    kSubBGMEnable = 6,
    kSubSEEnable = 7,
    kSubVoiceEnable = 8,
    kSubFadeInBGM = 9,
    kSubFadeOutBGM = 10,
    kSubFadeInLoopSE = 11,
    kSubFadeOutLoopSE = 12,
    kSubChangeBGM = 13,
    kSubPlayVoiceNumber = 14,
};
// Kinds of the sound table.
constexpr int kKindSE = 0;
constexpr int kKindBGM = 1;
constexpr int kKindVoice = 2;

// The speaker prefixes of numbered voices.
constexpr const char* kVoicePrefixes[] = {"ka", "hi", "ao", "mo", "jo"};
constexpr DWORD kVoicePrefixCount = sizeof kVoicePrefixes / sizeof kVoicePrefixes[0];

bool EffectsOff() {
    return IsSkipping() || (g_pConfig && g_pConfig->GetEffectSwitch() == 0);
}
} // namespace

void CGameScene::ReportSoundKind(int kind, const char* id) {
    const char* message = script_messages::kNotSE;
    if (kind == kKindBGM) message = script_messages::kNotSound;
    if (kind == kKindVoice) message = script_messages::kNotVoice;
    char line[256];
    std::snprintf(line, sizeof line, script_messages::kIdLine, id ? id : "");
    ScriptFault(message, line);
}

const SoundDef* CGameScene::ArgSound(int kind) {
    const char* id = ArgText(1);
    // An ID that no definition has plays nothing, without an error.
    const SoundDef* def = id ? FindSound(id) : nullptr;
    if (!def) return nullptr;
    if (def->kind != kind) {
        ReportSoundKind(kind, id);
        return nullptr;
    }
    return def;
}

void CGameScene::DispatchSound(DWORD sub) {
    if (!g_pSoundManager) return;
    CSoundManager& sound = *g_pSoundManager;
    switch (sub) {
    case kSubPlayBGM:
        CmdPlayBGM();
        break;
    case kSubStopBGM:
        sound.StopBGM();
        break;
    case kSubPlayLoopSE:
        CmdPlayLoopSE();
        break;
    case kSubStopLoopSE:
        if (const char* name = ArgText(1)) sound.StopLoopSE(name);
        break;
    case kSubPlayVoice:
        CmdPlayVoice();
        break;
    case kSubStopVoice:
        sound.StopVoice();
        break;
    case kSubBGMEnable:
    case kSubSEEnable:
    case kSubVoiceEnable: {
        const int on = Arg(1) ? 1 : 0;
        if (m_bHalted) break;
        if (sub == kSubBGMEnable)
            sound.SetBGMEnable(on);
        else if (sub == kSubSEEnable)
            sound.SetSEEnable(on);
        else
            sound.SetVoiceEnable(on);
        break;
    }
    case kSubFadeInBGM:
        CmdFadeInSound(kKindBGM);
        break;
    case kSubFadeOutBGM:
        CmdFadeOutSound(kKindBGM);
        break;
    case kSubFadeInLoopSE:
        CmdFadeInSound(kKindSE);
        break;
    case kSubFadeOutLoopSE:
        CmdFadeOutSound(kKindSE);
        break;
    case kSubChangeBGM:
        CmdChangeBGM();
        break;
    case kSubPlayVoiceNumber:
        CmdPlayVoiceNumber();
        break;
    default:
        break;
    }
}

void CGameScene::CmdPlayBGM() {
    const DWORD loop = Arg(2);
    if (m_bHalted) return;
    if (const SoundDef* def = ArgSound(kKindBGM)) g_pSoundManager->PlayBGM(def->id, loop ? 1 : 0);
}

void CGameScene::CmdPlayLoopSE() {
    const DWORD loop = Arg(2);
    if (m_bHalted) return;
    if (const SoundDef* def = ArgSound(kKindSE)) g_pSoundManager->PlayLoopSE(def->id, loop ? 1 : 0);
}

void CGameScene::CmdPlayVoice() {
    if (const char* name = ArgText(1)) PlayLineVoice(name);
}

void CGameScene::PlayLineVoice(const char* name) {
    // The window keeps it for the replay key even when skipping keeps it silent.
    if (m_pMessageWindow) m_pMessageWindow->SetVoiceName(name);
    if (!IsSkipping()) g_pSoundManager->PlayVoice(name);
}

void CGameScene::CmdFadeInSound(int kind) {
    const DWORD loop = Arg(2), duration = Arg(3);
    if (m_bHalted) return;
    const SoundDef* def = ArgSound(kind);
    if (!def) return;
    CSoundManager& sound = *g_pSoundManager;
    // While skipping or without effects the sound starts at once.
    const bool now = EffectsOff();
    const int looping = loop ? 1 : 0;
    const int ms = static_cast<int>(duration);
    if (kind == kKindBGM && now) sound.PlayBGM(def->id, looping);
    if (kind == kKindBGM && !now) sound.FadeInBGM(def->id, ms, looping);
    if (kind == kKindSE && now) sound.PlayLoopSE(def->id, looping);
    if (kind == kKindSE && !now) sound.FadeInLoopSE(def->id, ms, looping);
}

void CGameScene::CmdFadeOutSound(int kind) {
    const DWORD duration = Arg(2);
    if (m_bHalted) return;
    const SoundDef* def = ArgSound(kind);
    if (!def) return;
    CSoundManager& sound = *g_pSoundManager;
    // While skipping or without effects the sound stops at once.
    const bool now = EffectsOff();
    const int ms = static_cast<int>(duration);
    if (kind == kKindBGM && now) sound.StopBGM();
    if (kind == kKindBGM && !now) sound.FadeOutBGM(ms);
    if (kind == kKindSE && now) sound.StopLoopSE(def->id);
    if (kind == kKindSE && !now) sound.FadeOutLoopSE(def->id, ms);
}

void CGameScene::CmdChangeBGM() {
    const char* name = ArgText(1);
    const int duration = static_cast<int>(Arg(2));
    const int loop = Arg(3) ? 1 : 0;
    if (!name || m_bHalted) return;
    if (!EffectsOff()) {
        g_pSoundManager->CrossFadeBGM(name, duration, loop);
    } else {
        g_pSoundManager->StopBGM();
        g_pSoundManager->PlayBGM(name, loop);
    }
}

void CGameScene::CmdPlayVoiceNumber() {
    const DWORD prefix = Arg(1), number = Arg(2);
    if (m_bHalted) return;
    if (prefix >= kVoicePrefixCount) return ReportBadIndex(kVoicePrefixCount, prefix);
    char name[CSoundManager::kNameSize];
    std::snprintf(name, sizeof name, "%s%04d", kVoicePrefixes[prefix], static_cast<int>(number));
    PlayLineVoice(name);
}
