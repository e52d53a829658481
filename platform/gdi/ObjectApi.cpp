// GDI object calls: creation, stock objects, GetObject and DeleteObject.
#include "platform/gdi/Color.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using namespace platform::gdi;

namespace {

template <typename Out> int CopyOut(const Out& value, int size, LPVOID out) {
    if (out == nullptr) {
        return static_cast<int>(sizeof(Out));
    }
    if (size < static_cast<int>(sizeof(Out))) {
        return 0;
    }
    std::memcpy(out, &value, sizeof(Out));
    return static_cast<int>(sizeof(Out));
}

BITMAP Describe(const BitmapObject& bitmap) {
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bitmap.surface->width();
    info.bmHeight = bitmap.surface->height();
    info.bmWidthBytes = ((info.bmWidth * bitmap.bitsPixel + 31) / 32) * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = bitmap.bitsPixel;
    info.bmBits = nullptr;
    return info;
}

} // namespace

HGDIOBJ GetStockObject(int which) {
    return StockObject(which);
}

BOOL DeleteObject(HGDIOBJ obj) {
    const auto object = Objects().find(obj);
    if (!object) {
        return FALSE;
    }
    if (object->stock) {
        return TRUE; // deleting a stock object is allowed and does nothing
    }
    return Objects().remove(obj) ? TRUE : FALSE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
    const auto object = Objects().find(obj);
    if (!object) {
        return 0;
    }
    return std::visit(
        [&](const auto& value) -> int {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, BitmapObject>) {
                return CopyOut(Describe(value), size, out);
            } else if constexpr (std::is_same_v<T, FontObject>) {
                return CopyOut(value.log, size, out);
            } else {
                return CopyOut(LOGBRUSH{value.null ? BS_NULL : BS_SOLID, value.color, 0}, size, out);
            }
        },
        object->value);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return AddObject(GdiObject{BrushObject{false, color & 0x00FFFFFF, ToPixel(color)}, false});
}

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (font == nullptr) {
        return nullptr;
    }
    FontObject object{*font, font->lfWeight >= 600};
    object.log.lfFaceName[std::size(object.log.lfFaceName) - 1] = L'\0';
    return AddObject(GdiObject{object, false});
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width <= 0 || height <= 0) {
        width = 1; // the device gives a 1x1 bitmap for an empty size
        height = 1;
    }
    return AddObject(GdiObject{BitmapObject{std::make_shared<Surface>(width, height, 0), 32}, false});
}
