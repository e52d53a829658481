// Which destinations an alarm may dial, checked by lineMakeCall for every telephony service before the
// service sees the call. Two rules:
// - An emergency number is never dialled automatically: a monitor that calls 112 each time a child cries
//   would tie up the emergency services. The numbers are a built-in list of the common ones, the
//   profile's `[line] emergency_numbers` and whatever a service reports (a modem's or network's list).
//   A destination is compared by the number it dials: spaces, dashes, dots, parentheses and slashes are
//   left out, a `sip:`, `sips:` or `tel:` address gives its user part, a caller-id prefix (*31#, #31#)
//   is skipped, and the number ends where the first character other than a digit, '+', '*' or '#' stands
//   (a pause, the rest of a SIP user name).
// - A cellular service takes only digits, '+', '*', '#' and the pause characters it declares; anything
//   else would reach the modem unchecked (ModemManager hands the text to ATD as it is).
// A refusal answers LINEERR_INVALADDRESS, says why on standard error and puts our reason into the line
// indicator (LineHealth.h), so that the screen shows why the alarm did not call; the next accepted call
// takes it away.
#pragma once

#include "platform/tapi/Tapi.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform::tapi {

// How a service's dial strings look.
struct DialPlan {
    bool cellular = false; // digits, '+', '*', '#' and `pauses` only
    std::wstring pauses;   // the pause characters the service accepts (cellular only)
};

// The screen's words for a refusal.
inline constexpr const wchar_t* kEmergencyRefusalText = L"Emergency numbers are never called automatically";
inline constexpr const wchar_t* kDialTextRefusalText = L"The stored number cannot be dialled";

// The built-in emergency numbers.
const std::vector<std::string>& BuiltInEmergencyNumbers();

// Replaces the emergency numbers that `origin` contributes ("profile", a modem's object path); an empty
// list withdraws them. Each entry is taken through DialledNumber. Any thread.
void SetEmergencyNumbers(const std::string& origin, const std::vector<std::string>& numbers);

// The number `destination` dials (see above); empty when it dials no number.
std::string DialledNumber(std::wstring_view destination);

bool IsEmergencyNumber(std::wstring_view destination);

// True when `destination` is not empty and holds only digits, '+', '*', '#' and `pauses`.
bool IsCellularDialText(std::wstring_view destination, std::wstring_view pauses);

// 0 when `plan` allows `destination`; otherwise LINEERR_INVALADDRESS, with the refusal reported.
LONG CheckDestination(const DialPlan& plan, std::wstring_view destination);

// An accepted call: a refusal no longer shows.
void DestinationAccepted();

} // namespace platform::tapi
