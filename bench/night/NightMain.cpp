// The simulated night: runs the real monitor for a night of device-hours at a sped-up clock, a loud burst
// every 10 device-minutes, every call answered and hung up, and prints per device-hour the calls placed
// and ended, the captures resumed, and the process's resident memory, descriptors and threads.
//
//   lullwatch_night <lullwatch binary> <test profile> [hours [clock factor [section.key=value ...]]]
#include "Night.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <lullwatch binary> <test profile> [hours [clock factor]]\n", argv[0]);
        return 2;
    }
    lwnight::NightOptions options;
    options.program = argv[1];
    options.profile = argv[2];
    if (argc > 3) {
        options.hours = std::atoi(argv[3]);
    }
    if (argc > 4) {
        options.clockFactor = std::atof(argv[4]);
    }
    for (int i = 5; i < argc; ++i) {
        options.settings.push_back(argv[i]);
    }
    std::printf("device-hour  placed  ended  resumed  resident-kB  descriptors  threads\n");
    std::fflush(stdout);
    const auto result = lwnight::RunNight(options, [](const lwnight::HourFigures& h) {
        std::printf("%11d  %6d  %5d  %7d  %11ld  %11d  %7d\n", h.hour, h.placed, h.ended, h.resumed,
                    h.process.residentKb, h.process.descriptors, h.process.threads);
        std::fflush(stdout);
    });
    if (!result.hours.empty()) {
        const auto& first = result.hours.front();
        const auto& last = result.hours.back();
        std::printf("calls placed %d, ended %d, captures resumed %d of %d bursts; resident growth after the "
                    "first device-hour %+ld kB; program exit code %d\n",
                    last.placed, last.ended, last.resumed, options.hours * 6,
                    last.process.residentKb - first.process.residentKb, result.exitCode);
    }
    if (!result.ok) {
        std::fprintf(stderr, "the night stopped early: %s\n", result.error.c_str());
        return 1;
    }
    return result.exitCode == 0 ? 0 : 1;
}
