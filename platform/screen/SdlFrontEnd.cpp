#include "platform/screen/SdlFrontEnd.h"

#include "platform/screen/SdlInput.h"
#include "platform/shell/Power.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>

namespace platform::screen {

// The SDL window; made, used and destroyed on the screen thread only. At a whole zoom factor the frame
// is drawn straight into the window's own surface (shared memory with the X server where there is one),
// each pixel as a zoom-by-zoom square, and only the rectangles that changed are copied and shown: no
// renderer, no texture and no GL driver for a phone-sized picture. With kZoomFit the window fills the
// display and SDL's software renderer scales the picture and the mouse's coordinates alike.
class SdlFrontEnd::Window {
public:
    explicit Window(int zoom) : zoom_(zoom) {}
    ~Window() {
        if (texture_) {
            SDL_DestroyTexture(texture_);
        }
        if (renderer_) {
            SDL_DestroyRenderer(renderer_);
        }
        if (window_) {
            SDL_DestroyWindow(window_);
        }
    }

    bool Open(int width, int height, std::string* error) {
        const bool fit = zoom_ == kZoomFit;
        width_ = std::max(1, width);
        height_ = std::max(1, height);
        window_ = SDL_CreateWindow("Phone screen - F1/F2 soft keys, F5 turns", SDL_WINDOWPOS_UNDEFINED,
                                   SDL_WINDOWPOS_UNDEFINED, width_ * std::max(1, zoom_),
                                   height_ * std::max(1, zoom_), fit ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        bool ready = window_ != nullptr;
        if (ready && fit) {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
            ready = renderer_ != nullptr && FitTexture();
        } else if (ready) {
            ready = SDL_GetWindowSurface(window_) != nullptr;
        }
        if (!ready) {
            *error = std::string("SDL could not open the screen window: ") + SDL_GetError();
            return false;
        }
        return true;
    }

    // Copies the given rectangles of the frame to the window and shows them.
    void Present(const gdi::Surface& frame, std::vector<RECT> rects) {
        std::vector<SDL_Rect> shown;
        {
            std::lock_guard lock(frame.mutex());
            if (frame.width() != width_ || frame.height() != height_) {
                width_ = std::max(1, frame.width());
                height_ = std::max(1, frame.height());
                if (renderer_) {
                    FitTexture();
                } else {
                    SDL_SetWindowSize(window_, width_ * zoom_, height_ * zoom_);
                }
                rects.assign(1, RECT{0, 0, width_, height_});
            }
            SDL_Surface* target = renderer_ ? nullptr : SDL_GetWindowSurface(window_);
            if (!renderer_ && (!target || target->w < width_ * zoom_ || target->h < height_ * zoom_)) {
                return; // the window has not taken its new size yet; its resize event shows it all
            }
            for (const RECT& r : rects) {
                if (r.right <= r.left || r.bottom <= r.top || r.left < 0 || r.top < 0 || r.right > width_ ||
                    r.bottom > height_) {
                    continue;
                }
                if (renderer_) {
                    const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
                    SDL_UpdateTexture(texture_, &area,
                                      frame.pixels() + static_cast<std::size_t>(r.top) * width_ + r.left,
                                      width_ * static_cast<int>(sizeof(std::uint32_t)));
                } else {
                    shown.push_back(Zoom(frame, r, target));
                }
            }
        }
        if (renderer_) {
            ShowTexture();
        } else if (!shown.empty()) {
            SDL_UpdateWindowSurfaceRects(window_, shown.data(), static_cast<int>(shown.size()));
        }
    }

    // Draws the whole frame again (the window was uncovered or resized).
    void Redraw(const gdi::Surface& frame) { Present(frame, {RECT{0, 0, frame.width(), frame.height()}}); }

private:
    // kZoomFit: a texture of the frame's size, scaled by the renderer by the largest whole factor.
    bool FitTexture() {
        if (texture_) {
            SDL_DestroyTexture(texture_);
        }
        SDL_RenderSetLogicalSize(renderer_, width_, height_);
        SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width_,
                                     height_);
        return texture_ != nullptr;
    }

    void ShowTexture() {
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    // Copies one rectangle of the frame, each pixel as a zoom-by-zoom square; returns where it landed.
    SDL_Rect Zoom(const gdi::Surface& frame, const RECT& r, SDL_Surface* target) {
        const SDL_Rect area{r.left * zoom_, r.top * zoom_, (r.right - r.left) * zoom_,
                            (r.bottom - r.top) * zoom_};
        if (target->format->format != SDL_PIXELFORMAT_RGB888 &&
            target->format->format != SDL_PIXELFORMAT_ARGB8888) {
            // An unusual display: let SDL convert and scale.
            SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
                const_cast<std::uint32_t*>(frame.pixels()), frame.width(), frame.height(), 32,
                frame.width() * static_cast<int>(sizeof(std::uint32_t)), SDL_PIXELFORMAT_RGB888);
            if (source) {
                SDL_Rect from{r.left, r.top, r.right - r.left, r.bottom - r.top};
                SDL_Rect to = area;
                SDL_BlitScaled(source, &from, target, &to);
                SDL_FreeSurface(source);
            }
            return area;
        }
        SDL_LockSurface(target);
        const int width = r.right - r.left;
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* in = frame.pixels() + static_cast<std::size_t>(y) * frame.width() + r.left;
            auto* out =
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(target->pixels) +
                                                 static_cast<std::size_t>(y) * zoom_ * target->pitch) +
                r.left * zoom_;
            for (int x = 0; x < width; ++x) {
                std::fill_n(out + x * zoom_, zoom_, in[x]);
            }
            for (int row = 1; row < zoom_; ++row) {
                std::memcpy(reinterpret_cast<std::uint8_t*>(out) + row * target->pitch, out,
                            static_cast<std::size_t>(width) * zoom_ * sizeof(std::uint32_t));
            }
        }
        SDL_UnlockSurface(target);
        return area;
    }

    const int zoom_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr; // kZoomFit only
    SDL_Texture* texture_ = nullptr;   // kZoomFit only
    int width_ = 0;
    int height_ = 0;
};

namespace {

// The display the environment names, for messages: DISPLAY and WAYLAND_DISPLAY as they are set.
std::string NamedDisplay() {
    std::string named;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            named += std::string(named.empty() ? "" : ", ") + name + "=" + value;
        }
    }
    return named.empty() ? "no DISPLAY or WAYLAND_DISPLAY set" : named;
}

// SDL falls back to drivers that draw nowhere (offscreen, dummy) when no display answers. Such a driver
// only counts when the user asked for it by name.
bool ShowsAWindow(const char* driver) {
    if (driver == nullptr) {
        return false;
    }
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") {
        return true;
    }
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked != nullptr && name == asked;
}

} // namespace

SdlFrontEnd::SdlFrontEnd(int zoom) : zoom_(zoom == kZoomFit ? kZoomFit : std::max(1, zoom)) {}

SdlFrontEnd::~SdlFrontEnd() {
    Stop();
}

bool SdlFrontEnd::Start(FrontEndHost& host, std::string* error) {
    stopping_.store(false, std::memory_order_release);
    std::promise<std::string> started;
    auto result = started.get_future();
    thread_ = std::thread([this, &host, started = std::move(started)]() mutable {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The window's surface stays plain memory: no GL context behind it, and the screen saver is the
        // desktop's to decide unless a monitoring session runs (see KeepScreenOn).
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            started.set_value("SDL could not use the display (" + NamedDisplay() + "): " + SDL_GetError());
            return;
        }
        if (!ShowsAWindow(SDL_GetCurrentVideoDriver())) {
            started.set_value("SDL found no working display (" + NamedDisplay() + ")");
        } else {
            Window window(zoom_);
            std::string failure;
            const auto frame = host.Frame();
            if (!window.Open(frame->width(), frame->height(), &failure)) {
                started.set_value(failure + " (" + NamedDisplay() + ")");
            } else {
                wakeEvent_.store(SDL_RegisterEvents(1), std::memory_order_release);
                platform::shell::SetUnattendedListener([this](bool) { WakeForScreenSaver(); });
                started.set_value("");
                Run(host, window);
                platform::shell::SetUnattendedListener(nullptr);
                wakeEvent_.store(0, std::memory_order_release);
            }
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    });
    const std::string failure = result.get();
    if (!failure.empty()) {
        thread_.join();
        *error = failure;
        return false;
    }
    Wake();
    return true;
}

void SdlFrontEnd::Wake() {
    const std::uint32_t type = wakeEvent_.load(std::memory_order_acquire);
    if (type == 0 || type == static_cast<std::uint32_t>(-1) || wakePending_.exchange(true)) {
        return;
    }
    SDL_Event event{};
    event.type = type;
    if (SDL_PushEvent(&event) != 1) {
        wakePending_.store(false);
    }
}

void SdlFrontEnd::WakeForScreenSaver() {
    screenSaverCheck_.store(true, std::memory_order_release);
    Wake();
}

void SdlFrontEnd::KeepScreenOn() {
    const bool on = platform::shell::IsUnattendedMode();
    if (on == SDL_IsScreenSaverEnabled()) {
        if (on) {
            SDL_DisableScreenSaver();
        } else {
            SDL_EnableScreenSaver();
        }
    }
}

void SdlFrontEnd::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_.store(true, std::memory_order_release);
    wakePending_.store(false);
    Wake();
    thread_.join();
}

void SdlFrontEnd::Run(FrontEndHost& host, Window& window) {
    const std::uint32_t wakeType = wakeEvent_.load(std::memory_order_acquire);
    KeepScreenOn();
    while (!stopping_.load(std::memory_order_acquire)) {
        SDL_Event event;
        if (!SDL_WaitEvent(&event)) {
            continue;
        }
        bool compose = false;
        bool expose = false;
        do {
            if (event.type == wakeType) {
                compose = true;
            } else if (event.type == SDL_WINDOWEVENT &&
                       (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                        event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
                expose = true;
            } else {
                switch (HandleSdlEvent(event, std::max(1, zoom_))) {
                case SdlAction::Turn:
                    host.Turn();
                    break;
                case SdlAction::Close:
                    host.RequestClose();
                    break;
                case SdlAction::None:
                    break;
                }
            }
        } while (SDL_PollEvent(&event));
        if (screenSaverCheck_.exchange(false, std::memory_order_acq_rel)) {
            KeepScreenOn();
        }
        if (compose) {
            wakePending_.store(false, std::memory_order_release);
            auto rects = host.TakeComposed();
            if (!expose) {
                window.Present(*host.Frame(), std::move(rects));
            }
        }
        if (expose) {
            window.Redraw(*host.Frame());
        }
    }
}

} // namespace platform::screen

extern "C" platform::screen::FrontEnd* lullwatch_sdl_front_end(int zoom) {
    return new platform::screen::SdlFrontEnd(zoom);
}
