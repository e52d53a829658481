// The profile keys of the ModemManager service (`[line] service = modem`):
//   modem = <equipment identifier or object path>   the modem to call from where there are several
//                                                   (default: every modem with voice is a line device)
//   wait_ms = <0..60000>                            how long the start waits for ModemManager's first
//                                                   answer (default 5000; modems found later are added)
#pragma once

#include <map>
#include <string>

namespace platform::tapi::modem {

struct ModemConfig {
    std::string modem;
    int waitMs = 5000;
};

// False with `error` ("<key>: <problem>") for an unknown key or a bad value.
bool ParseModemConfig(const std::map<std::string, std::string>& keys, ModemConfig* config,
                      std::string* error);

} // namespace platform::tapi::modem
