#include "tools/mkdemo/Layouts.h"

namespace demo {
Rect SceneItem(int page, int i) {
    switch (page) {
    case 0:
        return i < 19 ? Rect{270, 38 + 22 * i, 422, 58 + 22 * i}
                      : Rect{444, 38 + 22 * (i - 19), 616, 58 + 22 * (i - 19)};
    case 1:
        return i < 13 ? Rect{270, 82 + 22 * i, 422, 102 + 22 * i}
                      : Rect{444, 82 + 22 * (i - 13), 616, 102 + 22 * (i - 13)};
    default:
        if (i < 3) return {502, 160 + 22 * i, 630, 180 + 22 * i};
        if (i < 7) return {426, 342 + 22 * (i - 3), 602, 362 + 22 * (i - 3)};
        if (i < 10) return {188, 232 + 22 * (i - 7), 328, 252 + 22 * (i - 7)};
        return {332, 42 + 22 * (i - 10), 488, 62 + 22 * (i - 10)};
    }
}

int SceneArtY(int page, int i) {
    if (page < 2) return 20 * i;
    if (i < 3) return 20 * i;
    if (i < 7) return 260 + 20 * (i - 3);
    if (i < 10) return 60 + 20 * (i - 7);
    return 120 + 20 * (i - 10);
}
} // namespace demo
