// The drawing objects behind HGDIOBJ handles: solid (or null) brushes, bitmaps and fonts, and the one
// table that names them. Stock objects live at fixed handles and cannot be deleted; every other object
// is created by the Create* calls and removed by DeleteObject. A device context that still has a
// deleted object selected keeps using it until something else is selected or the context is deleted.
#pragma once

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/HandleTable.h"
#include "platform/gdi/Surface.h"

#include <memory>
#include <variant>

namespace platform::gdi {

struct BrushObject {
    bool null = false;       // NULL_BRUSH: paints nothing
    COLORREF color = 0;      // as given
    std::uint32_t pixel = 0; // the same colour as a surface pixel
};

struct BitmapObject {
    std::shared_ptr<Surface> surface; // the bitmap's pixels; a memory DC draws into it
    WORD bitsPixel = 32;              // what GetObject reports: 24 for decoded files
};

struct FontObject {
    LOGFONT log{};
    bool bold = false; // weight 600 or more
};

struct GdiObject {
    std::variant<BrushObject, BitmapObject, FontObject> value;
    bool stock = false;
};

using ObjectTable = HandleTable<HGDIOBJ, const GdiObject>;

// The process-wide object table, with the stock objects already in it.
ObjectTable& Objects();

// Registers a new object and returns its handle.
HGDIOBJ AddObject(GdiObject object);

// The handle of a stock object (GetStockObject's numbering), or nullptr.
HGDIOBJ StockObject(int which);

// The 1x1 bitmap that every new memory DC starts with.
HGDIOBJ DefaultBitmap();

// The font a device context starts with (DEFAULT_GUI_FONT).
LOGFONT DefaultGuiFont();

} // namespace platform::gdi
