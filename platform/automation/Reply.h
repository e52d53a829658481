// One answer of the automation channel: data lines, then one status line, "ok[ <text>]" or
// "error <reason>". A data line never begins with the word "ok" or "error" (such a line is sent with
// one leading blank), so a reader can always tell the status line apart.
#pragma once

#include <string>
#include <vector>

namespace platform::automation {

struct Reply {
    std::vector<std::string> lines;
    bool ok = true;
    std::string status;

    static Reply Ok(std::string status = "");
    static Reply Error(std::string reason);

    // The reply as sent: every line ends with '\n'. Line breaks inside the status become "; ".
    std::string Format() const;
};

} // namespace platform::automation
