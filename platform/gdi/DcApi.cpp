// Device context calls: creation, selection and the text colour state.
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiBackend.h"

using namespace platform::gdi;

HDC platform::gdi::CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip) {
    if (!surface) {
        return nullptr;
    }
    return DeviceContexts().add(DeviceContext::ForSurface(std::move(surface), origin, clip));
}

HDC CreateCompatibleDC(HDC) {
    return DeviceContexts().add(DeviceContext::ForMemory());
}

BOOL DeleteDC(HDC hdc) {
    return DeviceContexts().remove(hdc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    const auto dc = DeviceContexts().find(hdc);
    const auto object = Objects().find(obj);
    if (!dc || !object) {
        return nullptr;
    }
    return dc->select(obj, object);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    const auto dc = DeviceContexts().find(hdc);
    return dc ? dc->setTextColor(color) : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    const auto dc = DeviceContexts().find(hdc);
    return dc ? dc->setBkColor(color) : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    const auto dc = DeviceContexts().find(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    return dc->setBkMode(mode);
}

COLORREF GetTextColor(HDC hdc) {
    const auto state = StateOf(hdc);
    return state ? state->textColor : CLR_INVALID;
}

COLORREF GetBkColor(HDC hdc) {
    const auto state = StateOf(hdc);
    return state ? state->bkColor : CLR_INVALID;
}

int GetBkMode(HDC hdc) {
    const auto state = StateOf(hdc);
    return state ? state->bkMode : 0;
}
