#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/Color.h"

#include <cwchar>

namespace platform::gdi {
namespace {

// Stock objects sit at small fixed handles; created objects are numbered from kFirstObjectId.
constexpr std::uintptr_t kStockBase = 0x100;
constexpr std::uintptr_t kDefaultBitmapId = kStockBase + 64;
constexpr std::uintptr_t kFirstObjectId = 0x10000;

HGDIOBJ StockHandle(std::uintptr_t id) {
    return reinterpret_cast<HGDIOBJ>(id);
}

std::shared_ptr<const GdiObject> StockBrush(bool null, COLORREF color) {
    return std::make_shared<const GdiObject>(GdiObject{BrushObject{null, color, ToPixel(color)}, true});
}

ObjectTable* MakeTable() {
    auto* table = new ObjectTable(kFirstObjectId);
    table->addAt(StockHandle(kStockBase + WHITE_BRUSH), StockBrush(false, RGB(255, 255, 255)));
    table->addAt(StockHandle(kStockBase + LTGRAY_BRUSH), StockBrush(false, RGB(192, 192, 192)));
    table->addAt(StockHandle(kStockBase + GRAY_BRUSH), StockBrush(false, RGB(128, 128, 128)));
    table->addAt(StockHandle(kStockBase + DKGRAY_BRUSH), StockBrush(false, RGB(64, 64, 64)));
    table->addAt(StockHandle(kStockBase + BLACK_BRUSH), StockBrush(false, RGB(0, 0, 0)));
    table->addAt(StockHandle(kStockBase + NULL_BRUSH), StockBrush(true, 0));
    table->addAt(StockHandle(kStockBase + DEFAULT_GUI_FONT),
                 std::make_shared<const GdiObject>(GdiObject{FontObject{DefaultGuiFont(), false}, true}));
    table->addAt(StockHandle(kDefaultBitmapId),
                 std::make_shared<const GdiObject>(
                     GdiObject{BitmapObject{std::make_shared<Surface>(1, 1, 0), 1}, true}));
    return table;
}

} // namespace

ObjectTable& Objects() {
    // Never destroyed: threads that outlive main() may still draw while the process ends.
    static ObjectTable* const table = MakeTable();
    return *table;
}

HGDIOBJ AddObject(GdiObject object) {
    return Objects().add(std::make_shared<const GdiObject>(std::move(object)));
}

HGDIOBJ DefaultBitmap() {
    return StockHandle(kDefaultBitmapId);
}

HGDIOBJ StockObject(int which) {
    switch (which) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH:
    case DEFAULT_GUI_FONT:
        return StockHandle(kStockBase + static_cast<std::uintptr_t>(which));
    default:
        return nullptr;
    }
}

LOGFONT DefaultGuiFont() {
    LOGFONT font{};
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    std::wcsncpy(font.lfFaceName, L"Tahoma", std::size(font.lfFaceName) - 1);
    return font;
}

} // namespace platform::gdi
