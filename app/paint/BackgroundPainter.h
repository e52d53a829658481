// The main window's background: picture 133 of the program's resources, scaled to the client area, with
// the part it does not cover filled white.
//
// In portrait (and square) client areas the picture spans the full width and keeps its proportions, so
// it may run past the bottom or leave a white band below it. In landscape its width is 52/43 of the
// client height and its height follows from its proportions; it then runs past the bottom and leaves a
// white strip on the right. The picture is loaded from the resources on every erase and released
// afterwards; nothing is cached.
#pragma once

#include "platform/afx/Afx.h"

// Where the picture goes in a client area of clientWidth x clientHeight: drawn at (0, 0) with the size
// drawnWidth x drawnHeight, and the rectangle `white` (possibly empty) filled white.
struct BackgroundLayout {
    int drawnWidth;
    int drawnHeight;
    RECT white;
};

// The width of the picture in a landscape client area, per pixel of client height: the nearest double to
// 52/43.
inline constexpr double kLandscapeWidthFactor = 1.2093023255813953;

// The layout for a picture of pictureWidth x pictureHeight (pictureWidth above 0). Every product and
// quotient is taken in double precision and each result truncated toward zero.
BackgroundLayout LayOutBackground(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

// Erases `window`'s background into `dc` with the picture. Returns TRUE in every case, also when the
// picture cannot be loaded (then nothing is drawn), so that the window manager never erases it itself.
BOOL PaintBackground(CWnd& window, CDC* dc);
