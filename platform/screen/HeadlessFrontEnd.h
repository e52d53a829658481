// The front-end without a display, for tests and servers: the composed frame is kept up to date by the
// screen and shown nowhere, so there is nothing to present and no thread. The screen is watched through
// the automation channel (listings, snapshots); input comes only from there.
#pragma once

#include "platform/screen/FrontEnd.h"

namespace platform::screen {

class HeadlessFrontEnd final : public FrontEnd {
public:
    const char* Name() const override { return "headless"; }
    bool Start(FrontEndHost&, std::string*) override { return true; }
    void Wake() override {}
    void Stop() override {}
};

} // namespace platform::screen
