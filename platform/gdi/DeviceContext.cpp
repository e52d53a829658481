#include "platform/gdi/DeviceContext.h"

#include <type_traits>
#include <utility>

namespace platform::gdi {
namespace {

constexpr std::uintptr_t kFirstDcId = 0x40000000;

RECT BoundsOf(const Surface& surface) {
    return RECT{0, 0, surface.width(), surface.height()};
}

} // namespace

DeviceContext::DeviceContext(bool memory) : memory_(memory) {
    brushHandle_ = StockObject(WHITE_BRUSH);
    fontHandle_ = StockObject(DEFAULT_GUI_FONT);
    state_.brush = Objects().find(brushHandle_);
    state_.font = Objects().find(fontHandle_);
}

std::shared_ptr<DeviceContext> DeviceContext::ForSurface(std::shared_ptr<Surface> surface, POINT origin,
                                                         RECT clip) {
    std::shared_ptr<DeviceContext> dc(new DeviceContext(false));
    dc->state_.surface = std::move(surface);
    dc->state_.origin = origin;
    dc->state_.clip = clip;
    return dc;
}

std::shared_ptr<DeviceContext> DeviceContext::ForMemory() {
    std::shared_ptr<DeviceContext> dc(new DeviceContext(true));
    dc->select(DefaultBitmap(), Objects().find(DefaultBitmap()));
    return dc;
}

DeviceContext::State DeviceContext::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

HGDIOBJ DeviceContext::select(HGDIOBJ handle, const std::shared_ptr<const GdiObject>& object) {
    std::lock_guard lock(mutex_);
    return std::visit(
        [&](const auto& value) -> HGDIOBJ {
            using T = std::decay_t<decltype(value)>;
            HGDIOBJ previous = nullptr;
            if constexpr (std::is_same_v<T, BrushObject>) {
                previous = std::exchange(brushHandle_, handle);
                state_.brush = object;
            } else if constexpr (std::is_same_v<T, FontObject>) {
                previous = std::exchange(fontHandle_, handle);
                state_.font = object;
            } else {
                if (!memory_) {
                    return nullptr;
                }
                previous = std::exchange(bitmapHandle_, handle);
                state_.surface = value.surface;
                state_.origin = POINT{0, 0};
                state_.clip = BoundsOf(*value.surface);
            }
            return previous;
        },
        object->value);
}

COLORREF DeviceContext::setTextColor(COLORREF color) {
    std::lock_guard lock(mutex_);
    return std::exchange(state_.textColor, color & 0x00FFFFFF);
}

COLORREF DeviceContext::setBkColor(COLORREF color) {
    std::lock_guard lock(mutex_);
    return std::exchange(state_.bkColor, color & 0x00FFFFFF);
}

int DeviceContext::setBkMode(int mode) {
    std::lock_guard lock(mutex_);
    return std::exchange(state_.bkMode, mode);
}

DcTable& DeviceContexts() {
    // Never destroyed, like the object table.
    static DcTable* const table = new DcTable(kFirstDcId);
    return *table;
}

std::optional<DeviceContext::State> StateOf(HDC hdc) {
    const auto dc = DeviceContexts().find(hdc);
    if (!dc) {
        return std::nullopt;
    }
    return dc->state();
}

} // namespace platform::gdi
