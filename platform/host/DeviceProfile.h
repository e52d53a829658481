// The device profile: which device the program runs on. It says how fast the clock runs, where the
// application-data folder is, how the screen is shown, whether and how the automation channel listens,
// where the microphone's sound comes from and which telephony service carries calls. The host reads it
// at start-up; the program itself never sees it.
//
// Sections and keys (every key is optional; an unknown section or key, or a bad value, stops the start
// with a message naming the file, the section and the key):
//
//   [device]
//   clock_factor = <number>      device milliseconds per real millisecond, above 0 and at most 1000
//                                (default 1); must be 1 with a real microphone (sound source alsa)
//   data_root = <folder>         the application-data folder (default $XDG_DATA_HOME or ~/.local/share);
//                                a relative folder starts at the profile's folder, ~/ at $HOME;
//                                "temporary" makes a new private folder that is removed at exit
//   [screen]
//   frontend = auto|sdl|headless auto (default): an SDL window when a display is present, else headless
//   orientation = portrait|landscape   240x320 (default) or 320x240
//   zoom = <1..6>|fit            the SDL window's scale (default 2); fit: full screen, scaled by the
//                                largest whole factor that fits the display
//   [automation]
//   channel = socket|stdio|off   socket (default): a UNIX socket, mode 0600, named on standard error;
//                                stdio: commands on standard input, replies on standard output (the end
//                                of the input ends the program); off: none
//   socket = <path>              where the socket goes (default: a new private folder under
//                                $XDG_RUNTIME_DIR or the temporary folder)
//   [sound]                      the microphone and the output volume: see platform/wave/WaveConfig.h
//   [line]
//   service = simulated|sip|modem|ofono|none   the telephony service (default simulated); sip: calls
//                                over a SIP account; modem: the phone's cellular modem through
//                                ModemManager; ofono: the same through oFono (no keys of its own);
//                                none: lineInitialize finds no driver
//   connect_timeout = <seconds>  a call that has not connected by then is ended as unanswered, whatever
//                                the service (1 to 3600, default 90)
//   emergency_numbers = <n>, ...  numbers never to dial, besides 112, 911, 999, 000, 110, 119, 118, 08
//   ...                          the service's keys: see platform/tapi/simulated/SimulatedLineConfig.h
//                                platform/tapi/sip/SipConfig.h and platform/tapi/modem/ModemConfig.h
//   [record]                     the night's record, night.sqlite in the settings folder
//   enabled = yes|no             keep the record (default yes)
//   keep_days = <n>              nights older than this many days are removed at start, 1..3650 (default 30)
#pragma once

#include "platform/host/ProfileFile.h"
#include "platform/screen/Screen.h"
#include "platform/tapi/ConnectTimeout.h"
#include "platform/tapi/modem/ModemConfig.h"
#include "platform/tapi/simulated/SimulatedLineConfig.h"
#include "platform/tapi/sip/SipConfig.h"
#include "platform/wave/WaveConfig.h"

#include <string>
#include <vector>

namespace platform::host {

struct DeviceProfile {
    enum class DataRoot { Default, Temporary, Folder };
    enum class Automation { Off, Stdio, Socket };
    enum class LineService { None, Simulated, Sip, Modem, Ofono };

    double clockFactor = 1;
    DataRoot dataRoot = DataRoot::Default;
    std::string dataFolder; // DataRoot::Folder: absolute

    screen::FrontEndChoice frontEnd = screen::FrontEndChoice::Auto;
    bool landscape = false;
    int zoom = 2;

    Automation automation = Automation::Socket;
    std::string socketPath; // empty: a private folder

    wave::WaveConfig sound;

    LineService lineService = LineService::Simulated;
    tapi::SimulatedLineConfig simulatedLine;
    tapi::sipline::SipConfig sipLine;
    std::uint64_t connectTimeoutMs = tapi::kDefaultConnectTimeoutMs;
    tapi::modem::ModemConfig modemLine;
    std::vector<std::string> emergencyNumbers; // besides the built-in ones; never dialled

    bool recordEnabled = true;
    int recordKeepDays = 30;
};

// Interprets the file; false with `error` ("<file>, section [<s>], key <k>: <problem>").
bool ParseDeviceProfile(const ProfileFile& file, DeviceProfile* profile, std::string* error);

} // namespace platform::host
