#include "graphics/DDrawSurface.h"

#include "platform/debug.h"

#include <cstdio>

const char* DDErrorName(HRESULT result) {
    struct Entry {
        HRESULT code;
        const char* name;
    };
    static const Entry kNames[] = {
        {DD_OK, "DD_OK"},
        {DDERR_GENERIC, "DDERR_GENERIC"},
        {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
        {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
        {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED"},
        {DDERR_INVALIDCAPS, "DDERR_INVALIDCAPS"},
        {DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT"},
        {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT"},
        {DDERR_INVALIDRECT, "DDERR_INVALIDRECT"},
        {DDERR_NOCOLORKEY, "DDERR_NOCOLORKEY"},
        {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
        {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},
        {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},
        {DDERR_WRONGMODE, "DDERR_WRONGMODE"},
        {DDERR_UNSUPPORTEDMODE, "DDERR_UNSUPPORTEDMODE"},
        {DDERR_PRIMARYSURFACEALREADYEXISTS, "DDERR_PRIMARYSURFACEALREADYEXISTS"},
        {DDERR_CANTCREATEDC, "DDERR_CANTCREATEDC"},
        {DDERR_DCALREADYCREATED, "DDERR_DCALREADYCREATED"},
        {DDERR_NODC, "DDERR_NODC"},
    };
    for (const Entry& e : kNames)
        if (e.code == result) return e.name;
    return "Unknown Error";
}

int TraceDDError(HRESULT result) {
    char line[128];
    std::snprintf(line, sizeof line, " DirectDraw Error %s \n", DDErrorName(result));
    OutputDebugStringA(line);
    return 0;
}
