// Drawing: device contexts over 32-bit framebuffers, GDI objects (brushes, bitmaps, fonts) and the
// drawing calls the program and the controls use. Every call is safe from any thread; a device context
// is used by one thread at a time, as on the device.
//
// Handles are numbers that are never reused: a deleted or made-up handle makes a call fail (0, FALSE,
// nullptr or CLR_INVALID) and does no harm. Stock objects cannot be deleted (DeleteObject on one returns
// TRUE and does nothing). A device context that still has a deleted object selected keeps using it.
// Coordinates are logical: (0,0) is the context's origin; every drawing call is clipped to the
// context's clip rectangle. Rectangles are right/bottom exclusive.
#pragma once

#include "platform/win/WinTypes.h"

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct LOGFONT {
    LONG lfHeight; // negative: character height in pixels; positive: cell height
    LONG lfWidth;
    LONG lfWeight;
    BYTE lfItalic;
    WCHAR lfFaceName[32];
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    std::uintptr_t lbHatch;
};

struct TEXTMETRIC {
    LONG tmHeight; // ascent + descent: the height of one line
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// A memory DC (the argument is not used) holding a 1x1 default bitmap until another is selected.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// Selects a brush, font or (into a memory DC only) bitmap; returns the handle it replaces.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int which);
// Fills BITMAP, LOGFONT or LOGBRUSH; with `out` nullptr returns the size needed.
int GetObject(HGDIOBJ obj, int size, LPVOID out);

HBRUSH CreateSolidBrush(COLORREF color);
// Every face name is drawn in DejaVu Sans; lfWeight 600 or more selects DejaVu Sans Bold.
HFONT CreateFontIndirect(const LOGFONT* font);
// A black 32-bit bitmap (1x1 for an empty size).
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// SRCCOPY only, positive sizes only (otherwise FALSE). Nearest neighbour: destination column i
// (0 <= i < w) takes source column sx + (2*i*(sw-1) + (w-1)) / (2*(w-1)) in integer arithmetic (0 when
// w is 1), i.e. i*(sw-1)/(w-1) rounded half up, so the corners take the source's corners; rows alike.
// Destination pixels whose source pixel lies outside the source DC are left unchanged.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
// SetPixel and GetPixel return CLR_INVALID outside the clip.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
int SetBkMode(HDC hdc, int mode);
COLORREF GetTextColor(HDC hdc);
COLORREF GetBkColor(HDC hdc);
int GetBkMode(HDC hdc);
// Anti-aliased text in the text colour; with OPAQUE each line's box is first filled with the background
// colour. count -1: up to the terminating 0. '\n' breaks lines (dropped with DT_SINGLELINE); DT_WORDBREAK
// wraps at spaces; DT_END_ELLIPSIS cuts a line too wide for the rectangle and ends it in "...";
// DT_VCENTER and DT_BOTTOM need DT_SINGLELINE; '&' marks a mnemonic and is not drawn ("&&" draws '&')
// unless DT_NOPREFIX. Drawing is clipped to the rectangle unless DT_NOCLIP. DT_CALCRECT draws nothing
// and sets the rectangle's right and bottom to bound the text. Returns the text's height, or with
// DT_VCENTER/DT_BOTTOM the offset from the rectangle's top to the bottom of the text. Text calls throw
// std::runtime_error if the DejaVu Sans fonts are missing (see platform::gdi::LoadFonts).
int DrawText(HDC hdc, LPCWSTR text, int count, RECT* rect, UINT format);
BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int count, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);
