#include "app/paint/BackgroundPainter.h"

#include "app/Resource.h"

namespace {

constexpr COLORREF kFillColour = RGB(255, 255, 255);

} // namespace

BackgroundLayout LayOutBackground(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
    BackgroundLayout layout{};
    if (clientWidth > clientHeight) {
        layout.drawnWidth = static_cast<int>(static_cast<double>(clientHeight) * kLandscapeWidthFactor);
        layout.drawnHeight = static_cast<int>(static_cast<double>(pictureHeight) *
                                              (static_cast<double>(layout.drawnWidth) / pictureWidth));
        layout.white = RECT{layout.drawnWidth, 0, clientWidth, clientHeight};
    } else {
        layout.drawnWidth = clientWidth;
        layout.drawnHeight = static_cast<int>(static_cast<double>(pictureHeight) *
                                              (static_cast<double>(clientWidth) / pictureWidth));
        layout.white = RECT{0, layout.drawnHeight, clientWidth, clientHeight};
    }
    return layout;
}

BOOL PaintBackground(CWnd& window, CDC* dc) {
    CBitmap picture;
    if (!picture.LoadBitmap(IDB_BACKGROUND)) {
        return TRUE;
    }
    BITMAP info{};
    if (picture.GetBitmap(&info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return TRUE;
    }

    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* previous = memory.SelectObject(&picture);

    RECT client{};
    window.GetClientRect(&client);
    const BackgroundLayout layout =
        LayOutBackground(client.right - client.left, client.bottom - client.top, info.bmWidth, info.bmHeight);
    dc->StretchBlt(0, 0, layout.drawnWidth, layout.drawnHeight, &memory, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
    if (layout.white.left < layout.white.right && layout.white.top < layout.white.bottom) {
        CBrush white(kFillColour);
        dc->FillRect(&layout.white, &white);
        white.DeleteObject();
    }

    memory.SelectObject(previous);
    memory.DeleteDC();
    picture.DeleteObject();
    return TRUE;
}
