#include "graphics/UpdateRect.h"

#include <algorithm>
#include <limits>

namespace {
constexpr LONG kScreenWidth = 640;
constexpr LONG kScreenHeight = 480;
} // namespace

void CUpdateRect::AddRect(const RECT* r) {
    if (!r) {
        valid = 0;
        return;
    }
    if (valid) {
        UnionRect(&rect, r);
    } else {
        rect = *r;
    }
    valid = 1;
    if (rect.left < 0) rect.left = 0;
    if (rect.top < 0) rect.top = 0;
    if (rect.right > kScreenWidth) rect.right = kScreenWidth;
    if (rect.bottom > kScreenHeight) rect.bottom = kScreenHeight;
}

RECT* CUpdateRect::GetRect(RECT* out) const {
    if (!valid || !out) return nullptr;
    *out = rect;
    return out;
}

void CUpdateRect::UnionRect(RECT* a, const RECT* b) {
    a->left = std::min(a->left, b->left);
    a->top = std::min(a->top, b->top);
    a->right = std::max(a->right, b->right);
    a->bottom = std::max(a->bottom, b->bottom);
}

LONG ClampToLong(long long v) {
    return static_cast<LONG>(
        std::clamp<long long>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

RECT ClampedRect(long long left, long long top, long long right, long long bottom) {
    return RECT{ClampToLong(left), ClampToLong(top), ClampToLong(right), ClampToLong(bottom)};
}
