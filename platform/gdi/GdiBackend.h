// What the rest of the platform (the window core, the screen front-ends) uses to tie drawing to windows
// and screens. The program itself never calls these; it sees only GdiApi.h.
#pragma once

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/Surface.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform::gdi {

// A device context that draws into `surface` with its logical (0,0) at `origin` and clipped to `clip`
// (both in surface coordinates; the surface's bounds clip as well, even after a resize). It starts with
// the white brush, DEFAULT_GUI_FONT, black text on an opaque white background. Released with DeleteDC.
// A bitmap cannot be selected into it.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip);

// Decodes a BMP file image in memory (file header, BITMAPINFOHEADER or a later version of it, 24 bits
// per pixel, uncompressed, bottom-up or top-down rows padded to 4 bytes) into a new bitmap whose
// GetObject reports 24 bits per pixel. nullptr for anything else, including truncated data.
HBITMAP CreateBitmapFromBmp(const void* data, std::size_t size);

// Writes 8-bit RGB PNG files. False (and no file, or a partial one) when the file cannot be written.
bool WritePng(const Image& image, const std::string& path);
bool WritePng(const Surface& surface, const std::string& path); // takes a snapshot under the lock

// Loads the DejaVu Sans faces for text now rather than on the first text call. Throws
// std::runtime_error naming the places searched and the Debian package to install when a face is
// missing; text calls throw the same error. Safe to call any number of times from any thread.
void LoadFonts();

} // namespace platform::gdi
