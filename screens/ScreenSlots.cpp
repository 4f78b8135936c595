#include "screens/ScreenSlots.h"

#include "graphics/Layer.h"
#include "graphics/Screen.h"

void ShowFullScreenPicture(int slot, const char* name) {
    if (!g_pScreen) return;
    if (g_pScreen->GetLayer(slot))
        g_pScreen->ChangeLayer(slot, name, 1, 0, 0, 0, -1, -1, -1, -1);
    else
        g_pScreen->LoadLayer(slot, name, 1, 0, 0, 0);
}

CLayer* NewScreenPicture(const char* name, int parts, BYTE visible, int x, int y, BYTE colorKey) {
    CLayer* layer = CreateLayerObject(parts);
    layer->Load(name, visible, x, y, colorKey, 0);
    return layer;
}

CLayer* ReplaceScreenLayer(int slot, CLayer* layer) {
    CLayer* old = g_pScreen ? g_pScreen->SetLayer(slot, layer) : layer;
    // A slot the compositor has not hands the picture back: it is not kept.
    if (old == layer) return DeleteLayerObject(layer);
    DeleteLayerObject(old);
    return layer;
}
