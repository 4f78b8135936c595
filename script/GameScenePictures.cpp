// Host command group 10: the script's pictures on the compositor's layers, effects, fades, the frozen
// screen and MoveChar. Every layer number is checked before it is used.
#include "script/GameScene.h"

#include "app/RunState.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/runtime.h"
#include "script/ScriptMessages.h"

#include <cstdio>
#include <cstring>

namespace {
enum : DWORD {
    kSubLoad = 0,
    kSubShow = 1,
    kSubHide = 2,
    kSubRemove = 3,
    kSubLoadShown = 4,
    kSubHideRemove = 5,
    kSubCreateLayer = 6,
    kSubDrawLayer = 7,
    kSubSetDrawPoint = 8,
    kSubSetDrawRect = 9,
    kSubDeleteLayer = 10,
    kSubChange = 11,
    kSubEffectLoadShown = 12,
    kSubEffectHideRemove = 13,
    kSubEffectChange = 14,
    kSubEffect = 15,
    kSubEffectShow = 16,
    kSubBlackOut = 17,
    kSubWhiteIn = 20,
    kSubShowCG = 21,
    kSubSnapshot = 22,
    kSubFromSnapshot = 23,
    kSubMoveChar = 24,
    kSubEffectParams = 25,
    kSubEffectChangeInPlace = 26,
    kSubGreyBackground = 27,
    kSubGreyFilter = 28,
    kSubSepiaBackground = 29,
    kSubSepiaFilter = 30,
};

constexpr int kGrey = 1;
constexpr int kSepia = 2;
// A layer of the script's own making is at most this wide and high.
constexpr LONG kMaxLayerSide = 4096;

// The picture a graphic names: its file name without the extension.
struct PictureName {
    explicit PictureName(const GraphicDef& def) {
        CopyBounded(text, def.fileName);
        if (char* dot = std::strchr(text, '.')) *dot = '\0';
    }
    char text[sizeof(GraphicDef::fileName)];
};

std::string IdLine(const char* id) {
    char line[256];
    std::snprintf(line, sizeof line, script_messages::kIdLine, id ? id : "");
    return line;
}
} // namespace

bool CGameScene::CheckLayerNumber(int layer, const char* id) {
    if (layer >= 0 && layer < kLayerCount) return true;
    char message[128];
    std::snprintf(message, sizeof message, script_messages::kBadLayer, layer);
    ScriptFault(message, IdLine(id).c_str());
    return false;
}

bool CGameScene::CheckLayerFree(int layer, const char* newId) {
    const CLayer* picture = g_pScreen ? g_pScreen->GetLayer(layer) : nullptr;
    if (!picture) return true;
    char message[128], before[128], after[128];
    std::snprintf(message, sizeof message, script_messages::kLayerInUse, layer);
    const char* name = picture->GetName();
    std::snprintf(before, sizeof before, script_messages::kPreviousIdLine,
                  name ? name : script_messages::kSystemName);
    std::snprintf(after, sizeof after, script_messages::kNextIdLine, newId ? newId : "");
    ScriptFault(message, before, after);
    return false;
}

bool CGameScene::CheckLayerUsed(int layer, const char* id) {
    if (g_pScreen && g_pScreen->GetLayer(layer)) return true;
    char message[128];
    std::snprintf(message, sizeof message, script_messages::kLayerUnused, layer);
    ScriptFault(message, IdLine(id).c_str());
    return false;
}

CLayer* CGameScene::UsedLayer(DWORD layer, const char* id) {
    const int n = static_cast<int>(layer);
    if (!CheckLayerNumber(n, id) || !CheckLayerUsed(n, id)) return nullptr;
    return g_pScreen->GetLayer(n);
}

void CGameScene::DeleteLayerPicture(int layer) {
    DeleteLayerObject(g_pScreen->SetLayer(layer, nullptr));
}

const GraphicDef* CGameScene::ArgGraphic() {
    const char* id = ArgText(1);
    if (!id) return nullptr;
    const GraphicDef* def = FindGraphic(id);
    if (!def) ReportUnknownID(id);
    return def;
}

void CGameScene::DispatchPictures(DWORD sub) {
    // Without a compositor there is nothing to draw on.
    if (!g_pScreen) return;
    CScreen& screen = *g_pScreen;
    const auto effect = [&](int n) {
        const DWORD value = Arg(n);
        if (!m_bHalted) screen.SetEffect(static_cast<int>(value));
        return !m_bHalted;
    };
    switch (sub) {
    case kSubLoad:
        CmdLoadGraphic(0);
        break;
    case kSubShow:
        CmdShowGraphic();
        break;
    case kSubHide:
        CmdHideGraphic(false);
        break;
    case kSubRemove:
        CmdRemoveGraphic();
        break;
    case kSubLoadShown:
        CmdLoadGraphic(1);
        break;
    case kSubHideRemove:
        CmdHideGraphic(true);
        break;
    case kSubCreateLayer:
        CmdCreateLayer();
        break;
    case kSubDrawLayer:
        CmdDrawLayer();
        break;
    case kSubSetDrawPoint:
        CmdSetDrawPoint();
        break;
    case kSubSetDrawRect:
        CmdSetDrawRect();
        break;
    case kSubDeleteLayer:
        CmdDeleteLayer();
        break;
    case kSubChange:
        CmdChangeGraphic(false);
        break;
    case kSubEffectLoadShown:
        if (effect(2)) CmdLoadGraphic(1);
        break;
    case kSubEffectHideRemove:
        if (effect(2)) CmdHideGraphic(true);
        break;
    case kSubEffectChange:
        if (effect(2)) CmdChangeGraphic(false);
        break;
    case kSubEffect:
        effect(1);
        break;
    case kSubEffectShow:
        if (effect(2)) CmdShowGraphic();
        break;
    case kSubShowCG:
        CmdShowCG();
        break;
    case kSubSnapshot:
        screen.TakeSnapshot();
        break;
    case kSubFromSnapshot: {
        const DWORD value = Arg(1);
        if (!m_bHalted) screen.TransitionFromSnapshot(static_cast<int>(value));
        break;
    }
    case kSubMoveChar: {
        const DWORD source = Arg(1), target = Arg(2), x = Arg(3), tenths = Arg(4);
        // The compositor checks both layer numbers and reports its own errors.
        if (!m_bHalted)
            screen.MoveChar(static_cast<int>(source), static_cast<int>(target), static_cast<int>(x),
                            static_cast<int>(tenths));
        break;
    }
    case kSubEffectParams: {
        const DWORD v0 = Arg(1), v1 = Arg(2), v2 = Arg(3), v3 = Arg(4);
        if (!m_bHalted)
            screen.SetEffectParams(static_cast<int>(v0), static_cast<int>(v1), static_cast<int>(v2),
                                   static_cast<int>(v3));
        break;
    }
    case kSubEffectChangeInPlace:
        if (effect(2)) CmdChangeGraphic(true);
        break;
    case kSubGreyBackground:
        CmdReloadBackground(kGrey);
        break;
    case kSubSepiaBackground:
        CmdReloadBackground(kSepia);
        break;
    case kSubGreyFilter:
        CmdBackgroundFilter(kGrey);
        break;
    case kSubSepiaFilter:
        CmdBackgroundFilter(kSepia);
        break;
    default:
        if (sub >= kSubBlackOut && sub <= kSubWhiteIn && effect(1))
            screen.Fade(static_cast<int>(sub - kSubBlackOut) + CScreen::kBlackOut);
        break;
    }
}

void CGameScene::CmdLoadGraphic(BYTE visible) {
    const GraphicDef* def = ArgGraphic();
    if (!def || !CheckLayerNumber(def->layer, def->id) || !CheckLayerFree(def->layer, def->id)) return;
    g_pScreen->LoadLayer(def->layer, PictureName(*def).text, visible, def->x, def->y, def->colorKey);
}

void CGameScene::CmdShowGraphic() {
    const GraphicDef* def = ArgGraphic();
    if (!def) return;
    if (def->layer == 0) return ScriptFault(script_messages::kDrawOnBackground, IdLine(def->id).c_str());
    if (UsedLayer(static_cast<DWORD>(def->layer), def->id)) g_pScreen->ShowLayer(def->layer, 1);
}

void CGameScene::CmdHideGraphic(bool remove) {
    const GraphicDef* def = ArgGraphic();
    if (!def) return;
    if (def->layer == 0) return ScriptFault(script_messages::kUndrawOnBackground, IdLine(def->id).c_str());
    if (!UsedLayer(static_cast<DWORD>(def->layer), def->id)) return;
    g_pScreen->ShowLayer(def->layer, 0);
    // A transition has taken its picture of the layer already.
    if (remove) DeleteLayerPicture(def->layer);
}

void CGameScene::CmdRemoveGraphic() {
    const GraphicDef* def = ArgGraphic();
    if (!def || !UsedLayer(static_cast<DWORD>(def->layer), def->id)) return;
    DeleteLayerPicture(def->layer);
    MarkWholeScreen();
}

void CGameScene::CmdCreateLayer() {
    static constexpr char kName[] = "CreatLayer";
    const DWORD layer = Arg(1), width = Arg(2), height = Arg(3);
    if (m_bHalted) return;
    const int n = static_cast<int>(layer);
    if (!CheckLayerNumber(n, kName) || !CheckLayerFree(n, kName)) return;
    const LONG w = static_cast<LONG>(width), h = static_cast<LONG>(height);
    if (w <= 0 || h <= 0 || w > kMaxLayerSide || h > kMaxLayerSide) {
        char message[128];
        std::snprintf(message, sizeof message, script_messages::kBadLayerSize, static_cast<int>(w),
                      static_cast<int>(h));
        return ScriptFault(message, IdLine(kName).c_str());
    }
    CLayer* picture = CreateLayerObject(0);
    if (!picture->CreateBlank(SIZE{w, h}, 0)) {
        DeleteLayerObject(picture);
        return;
    }
    g_pScreen->SetLayer(n, picture);
}

void CGameScene::CmdDrawLayer() {
    static constexpr char kName[] = "DrawLayer";
    const DWORD target = Arg(1), x = Arg(2), y = Arg(3), source = Arg(4);
    RECT rect;
    SetRect(&rect, static_cast<LONG>(Arg(5)), static_cast<LONG>(Arg(6)), static_cast<LONG>(Arg(7)),
            static_cast<LONG>(Arg(8)));
    if (m_bHalted) return;
    CLayer* from = UsedLayer(source, kName);
    CLayer* to = from ? UsedLayer(target, kName) : nullptr;
    if (!to || !from->GetMainSurface()) return;
    // The blit keeps both rectangles inside their surfaces.
    from->GetMainSurface()->BltTo(to->GetSurface(), static_cast<int>(x), static_cast<int>(y), &rect);
    MarkWholeScreen();
}

void CGameScene::CmdSetDrawPoint() {
    const DWORD layer = Arg(1), x = Arg(2), y = Arg(3);
    if (m_bHalted || !UsedLayer(layer, "SetDrawPoint")) return;
    g_pScreen->SetLayerPos(static_cast<int>(layer), static_cast<int>(x), static_cast<int>(y));
    MarkWholeScreen();
}

void CGameScene::CmdSetDrawRect() {
    const DWORD layer = Arg(1), x = Arg(2), y = Arg(3);
    RECT rect;
    SetRect(&rect, static_cast<LONG>(Arg(4)), static_cast<LONG>(Arg(5)), static_cast<LONG>(Arg(6)),
            static_cast<LONG>(Arg(7)));
    if (m_bHalted) return;
    CLayer* picture = UsedLayer(layer, "SetDrawRect");
    if (!picture) return;
    // The scenario's pictures are made without part slots: this one gets the slot it needs, and shows
    // the rectangle at the point from now on, as the pictures above it are blended over it.
    picture->EnsurePartCount(1);
    picture->SetPart(&rect, static_cast<int>(x), static_cast<int>(y), 0);
    g_pScreen->Compose();
    MarkWholeScreen();
}

void CGameScene::CmdDeleteLayer() {
    const DWORD layer = Arg(1);
    if (m_bHalted || !UsedLayer(layer, "DeleteLayer")) return;
    g_pScreen->ShowLayer(static_cast<int>(layer), 0);
    DeleteLayerPicture(static_cast<int>(layer));
}

void CGameScene::CmdChangeGraphic(bool keepPosition) {
    const GraphicDef* def = ArgGraphic();
    if (!def) return;
    const CLayer* present = UsedLayer(static_cast<DWORD>(def->layer), def->id);
    if (!present) return;
    const int x = keepPosition ? present->m_nX : def->x;
    const int y = keepPosition ? present->m_nY : def->y;
    g_pScreen->ChangeLayer(def->layer, PictureName(*def).text, present->m_bVisible, x, y, def->colorKey, -1,
                           -1, -1, -1);
}

void CGameScene::CmdShowCG() {
    const DWORD effect = Arg(2), cg = Arg(3);
    if (m_bHalted) return;
    g_pScreen->SetEffect(static_cast<int>(effect));
    CmdChangeGraphic(false);
    if (!m_bHalted && g_pSaveData) g_pSaveData->SetCGSeen(static_cast<int>(cg));
}

void CGameScene::CmdReloadBackground(int filter) {
    const char* name = ArgText(1);
    if (!name || !CheckLayerUsed(0, name)) return;
    g_pScreen->GetLayer(0)->Reload(name, 1, 0, 0, 0, filter);
    g_pScreen->Compose();
    MarkWholeScreen();
}

void CGameScene::CmdBackgroundFilter(int filter) {
    const DWORD on = Arg(1);
    CLayer* background = g_pScreen->GetLayer(0);
    if (m_bHalted || !background) return;
    background->SetColorFilter(on ? filter : 0);
    g_pScreen->Compose();
    MarkWholeScreen();
}
