#include "platform/screen/Screen.h"

#include "platform/fs/BackendModule.h"
#include "platform/gdi/GdiBackend.h"
#include "platform/screen/HeadlessFrontEnd.h"
#include "platform/screen/SdlFrontEnd.h"
#include "platform/screen/StatusText.h"
#include "platform/shell/Power.h"
#include "platform/status/Indicators.h"
#include "platform/win/Desktop.h"

#include <cstdlib>

namespace platform::screen {
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Stands for a front-end whose module could not be loaded: it fails to start with the loader's reason,
// so that the host handles it as any front-end that cannot run.
class UnloadedFrontEnd final : public FrontEnd {
public:
    explicit UnloadedFrontEnd(std::string why) : why_(std::move(why)) {}
    const char* Name() const override { return "sdl"; }
    bool Start(FrontEndHost&, std::string* error) override {
        *error = why_;
        return false;
    }
    void Wake() override {}
    void Stop() override {}

private:
    const std::string why_;
};

std::unique_ptr<FrontEnd> MakeSdlFrontEnd(int zoom) {
    std::string why;
    const auto make = fs::FindBackend<decltype(lullwatch_sdl_front_end)>("lullwatch-sdl.so",
                                                                         "lullwatch_sdl_front_end", &why);
    if (!make) {
        return std::make_unique<UnloadedFrontEnd>(why);
    }
    return std::unique_ptr<FrontEnd>(make(zoom));
}

RECT FullScreen() {
    const auto layout = desktop::Layout();
    return RECT{0, 0, layout.width, layout.height};
}

} // namespace

bool DisplayPresent() {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

std::unique_ptr<FrontEnd> MakeFrontEnd(FrontEndChoice choice, int zoom, std::string* note) {
    switch (choice) {
    case FrontEndChoice::Sdl:
        return MakeSdlFrontEnd(zoom);
    case FrontEndChoice::Headless:
        return std::make_unique<HeadlessFrontEnd>();
    case FrontEndChoice::Auto:
        break;
    }
    if (DisplayPresent()) {
        *note = "a display is present: the screen is shown in a window";
        return MakeSdlFrontEnd(zoom);
    }
    *note = "no display ($DISPLAY and $WAYLAND_DISPLAY are unset): the screen runs headless";
    return std::make_unique<HeadlessFrontEnd>();
}

void Screen::Shared::Changed(const RECT& rect) {
    std::shared_ptr<Compositor> target;
    {
        std::lock_guard lock(mutex);
        target = compositor;
    }
    if (target) {
        Composed(target->Compose({rect}));
    }
}

void Screen::Shared::Composed(const std::vector<RECT>& rects) {
    if (rects.empty()) {
        return;
    }
    for (const RECT& r : rects) {
        composed.Add(r);
    }
    std::lock_guard lock(mutex);
    if (frontEnd) {
        frontEnd->Wake();
    }
}

Screen::Screen(std::unique_ptr<FrontEnd> frontEnd) : frontEnd_(std::move(frontEnd)) {}

Screen::~Screen() {
    Stop();
}

void Screen::SetCloseHandler(std::function<void()> handler) {
    closeHandler_ = std::move(handler);
}

bool Screen::Start(std::string* error) {
    if (started_) {
        return true;
    }
    const auto shared = shared_;
    desktop::SetChangeListener([shared](const RECT& rect) { shared->Changed(rect); });
    const auto captionChanged = [shared] {
        const auto layout = desktop::Layout();
        shared->Changed(RECT{0, 0, layout.width, desktop::kCaptionBarHeight});
    };
    SetStatusTextListener(captionChanged);
    indicatorListener_ = status::AddListener([captionChanged](const status::Raised&) { captionChanged(); });
    shell::SetDisplayListener([shared](bool) { shared->Changed(FullScreen()); });
    {
        std::lock_guard lock(shared_->mutex);
        shared_->compositor = compositor_;
    }
    shared_->composed.Add(FullScreen());
    compositor_->ComposeAll();
    if (!frontEnd_->Start(*this, error)) {
        Unlisten();
        return false;
    }
    {
        std::lock_guard lock(shared_->mutex);
        shared_->frontEnd = frontEnd_.get();
    }
    frontEnd_->Wake();
    started_ = true;
    return true;
}

void Screen::Stop() {
    if (!started_) {
        return;
    }
    started_ = false;
    Unlisten();
    frontEnd_->Stop();
}

void Screen::Unlisten() {
    desktop::SetChangeListener(nullptr);
    SetStatusTextListener(nullptr);
    status::RemoveListener(indicatorListener_);
    indicatorListener_ = 0;
    shell::SetDisplayListener(nullptr);
    std::lock_guard lock(shared_->mutex);
    shared_->compositor = nullptr;
    shared_->frontEnd = nullptr;
}

std::vector<RECT> Screen::TakeComposed() {
    return shared_->composed.Take();
}

gdi::Image Screen::Snapshot() {
    shared_->Composed(compositor_->ComposeAll());
    return compositor_->Frame()->snapshot();
}

bool Screen::WriteSnapshot(const std::string& path, std::string* error) {
    if (!gdi::WritePng(Snapshot(), path)) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

void Screen::Turn() {
    const auto layout = desktop::Layout();
    desktop::SetScreenSize(layout.height, layout.width);
}

bool Screen::DisplayOn() const {
    return shell::IsDisplayOn();
}

void Screen::RequestClose() {
    if (closeHandler_) {
        closeHandler_();
    }
}

} // namespace platform::screen
