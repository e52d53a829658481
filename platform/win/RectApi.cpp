// The device's rectangle calls.
#include "platform/win/RectMath.h"
#include "platform/win/WinApi.h"

using namespace platform::win;

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* dst, const RECT* src) {
    if (!dst || !src) {
        return FALSE;
    }
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) {
    return !rect || IsEmpty(*rect) ? TRUE : FALSE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && SameRect(*a, *b) ? TRUE : FALSE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && Contains(*rect, point) ? TRUE : FALSE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    *rect = Offset(*rect, dx, dy);
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    *rect = RECT{rect->left - dx, rect->top - dy, rect->right + dx, rect->bottom + dy};
    return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) {
        return FALSE;
    }
    *dst = Intersect(*a, *b);
    return IsEmpty(*dst) ? FALSE : TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) {
        return FALSE;
    }
    *dst = Union(*a, *b);
    return IsEmpty(*dst) ? FALSE : TRUE;
}
