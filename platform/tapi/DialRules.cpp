#include "platform/tapi/DialRules.h"

#include "platform/tapi/LineHealth.h"
#include "platform/win/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <map>
#include <mutex>

namespace platform::tapi {
namespace {

// The services' own emergency numbers, by origin. Never destroyed: a service's bus thread may still
// report its list while the process ends.
struct ExtraNumbers {
    std::mutex lock;
    std::map<std::string, std::vector<std::string>> byOrigin; // guarded by lock
};

ExtraNumbers& Extra() {
    static auto* extra = new ExtraNumbers;
    return *extra;
}

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'-' || c == L'.' || c == L'(' || c == L')' || c == L'/';
}

bool IsDialCharacter(wchar_t c) {
    return (c >= L'0' && c <= L'9') || c == L'+' || c == L'*' || c == L'#';
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    c = static_cast<wchar_t>(std::towlower(c));
    return c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
}

// The user part of a sip:, sips: or tel: address with its %XX escapes undone; other text unchanged.
std::wstring UserPart(std::wstring_view destination) {
    std::wstring_view rest = destination;
    bool uri = false;
    for (std::wstring_view scheme : {L"sips:", L"sip:", L"tel:"}) {
        if (StartsWithNoCase(rest, scheme)) {
            rest.remove_prefix(scheme.size());
            uri = true;
            break;
        }
    }
    if (uri) {
        rest = rest.substr(0, rest.find_first_of(L"@;?"));
    }
    std::wstring user;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (uri && rest[i] == L'%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
            HexValue(rest[i + 2]) >= 0) {
            user += static_cast<wchar_t>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else {
            user += rest[i];
        }
    }
    return user;
}

void Refuse(const wchar_t* text, const std::string& detail) {
    std::fprintf(stderr, "lullwatch: line: call refused: %s\n", detail.c_str());
    health::CallRefused(text, detail);
}

} // namespace

const std::vector<std::string>& BuiltInEmergencyNumbers() {
    // Europe and much of the world (112), North America (911), the UK and Commonwealth (999), Australia
    // (000), police and fire in Japan, China, Germany and others (110, 119), and those that 3GPP lists
    // for phones without a SIM (08, 118).
    static const std::vector<std::string> numbers = {"112", "911", "999", "000", "110", "119", "118", "08"};
    return numbers;
}

void SetEmergencyNumbers(const std::string& origin, const std::vector<std::string>& numbers) {
    std::vector<std::string> dialled;
    for (const std::string& number : numbers) {
        std::string digits = DialledNumber(platform::FromUtf8(number));
        if (!digits.empty()) {
            dialled.push_back(std::move(digits));
        }
    }
    auto& extra = Extra();
    std::lock_guard guard(extra.lock);
    if (dialled.empty()) {
        extra.byOrigin.erase(origin);
    } else {
        extra.byOrigin[origin] = std::move(dialled);
    }
}

std::string DialledNumber(std::wstring_view destination) {
    std::wstring number;
    for (wchar_t c : UserPart(destination)) {
        if (!IsSeparator(c)) {
            number += c;
        }
    }
    // Caller-id suppression and presentation prefixes dial the number that follows them.
    while (number.starts_with(L"*31#") || number.starts_with(L"#31#")) {
        number.erase(0, 4);
    }
    const auto end =
        std::find_if(number.begin(), number.end(), [](wchar_t c) { return !IsDialCharacter(c); });
    return std::string(number.begin(), end); // only ASCII characters are left
}

bool IsEmergencyNumber(std::wstring_view destination) {
    std::string number = DialledNumber(destination);
    // "+112" is no one's number, and a network may still take it for 112: refuse it the same.
    if (number.starts_with('+')) {
        number.erase(0, 1);
    }
    if (number.empty()) {
        return false;
    }
    const auto& builtIn = BuiltInEmergencyNumbers();
    if (std::find(builtIn.begin(), builtIn.end(), number) != builtIn.end()) {
        return true;
    }
    auto& extra = Extra();
    std::lock_guard guard(extra.lock);
    for (const auto& [origin, numbers] : extra.byOrigin) {
        if (std::find(numbers.begin(), numbers.end(), number) != numbers.end()) {
            return true;
        }
    }
    return false;
}

bool IsCellularDialText(std::wstring_view destination, std::wstring_view pauses) {
    return !destination.empty() && std::all_of(destination.begin(), destination.end(), [&](wchar_t c) {
        return IsDialCharacter(c) || pauses.find(c) != std::wstring_view::npos;
    });
}

LONG CheckDestination(const DialPlan& plan, std::wstring_view destination) {
    const std::string text = platform::ToUtf8(std::wstring(destination));
    if (plan.cellular && !IsCellularDialText(destination, plan.pauses)) {
        const std::string allowed =
            "digits, +, * and #" +
            (plan.pauses.empty() ? std::string() : " and " + platform::ToUtf8(plan.pauses));
        Refuse(kDialTextRefusalText, "\"" + text + "\" is not a phone number (only " + allowed + ")");
        return LINEERR_INVALADDRESS;
    }
    if (IsEmergencyNumber(destination)) {
        Refuse(kEmergencyRefusalText, "\"" + text + "\" is an emergency number, never called automatically");
        return LINEERR_INVALADDRESS;
    }
    return 0;
}

void DestinationAccepted() {
    health::CallAccepted();
}

} // namespace platform::tapi
