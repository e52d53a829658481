#include "MessageLog.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace lwtest {

void MessageLog::watch(std::set<UINT> messages) {
    std::lock_guard lock(mutex_);
    watched_ = std::move(messages);
    entries_.clear();
}

void MessageLog::add(const std::string& window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(mutex_);
    if (watched_.count(message)) {
        entries_.push_back(Recorded{window, message, wParam, lParam});
    }
}

std::vector<Recorded> MessageLog::take() {
    std::lock_guard lock(mutex_);
    auto out = std::move(entries_);
    entries_.clear();
    return out;
}

std::size_t MessageLog::count(const std::string& window, UINT message) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& e : entries_) {
        n += e.window == window && e.message == message;
    }
    return n;
}

MessageLog& Log() {
    static MessageLog log;
    return log;
}

std::string MessageName(UINT message) {
    static const std::map<UINT, const char*> names = {
        {WM_CREATE, "WM_CREATE"},           {WM_DESTROY, "WM_DESTROY"},       {WM_SIZE, "WM_SIZE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},       {WM_KILLFOCUS, "WM_KILLFOCUS"},   {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},         {WM_PAINT, "WM_PAINT"},           {WM_CLOSE, "WM_CLOSE"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},   {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_KEYDOWN, "WM_KEYDOWN"},         {WM_KEYUP, "WM_KEYUP"},           {WM_CHAR, "WM_CHAR"},
        {WM_INITDIALOG, "WM_INITDIALOG"},   {WM_COMMAND, "WM_COMMAND"},       {WM_TIMER, "WM_TIMER"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},   {WM_MOVE, "WM_MOVE"},
    };
    const auto it = names.find(message);
    if (it != names.end()) {
        return it->second;
    }
    std::ostringstream out;
    if (message >= WM_USER && message < WM_APP) {
        out << "WM_USER+" << (message - WM_USER);
    } else {
        out << "0x" << std::hex << message;
    }
    return out.str();
}

namespace {

std::string Describe(const std::string& window, UINT message, std::optional<WPARAM> wParam) {
    std::ostringstream out;
    out << window << ":" << MessageName(message);
    if (wParam) {
        out << "(" << *wParam << ")";
    }
    return out.str();
}

} // namespace

void ExpectSequence(const std::vector<Recorded>& actual, const std::vector<Expected>& expected,
                    const std::string& context, const char* onlyWindow) {
    std::vector<Recorded> rows;
    for (const auto& r : actual) {
        if (!onlyWindow || r.window == onlyWindow) {
            rows.push_back(r);
        }
    }
    bool same = rows.size() == expected.size();
    for (std::size_t i = 0; same && i < rows.size(); ++i) {
        same = rows[i].window == expected[i].window && rows[i].message == expected[i].message &&
               (!expected[i].wParam || *expected[i].wParam == rows[i].wParam);
    }
    if (same) {
        return;
    }
    std::ostringstream report;
    report << context << ": message sequence differs\n";
    for (std::size_t i = 0; i < std::max(rows.size(), expected.size()); ++i) {
        report << "  " << i << ": expected "
               << (i < expected.size() ? Describe(expected[i].window, expected[i].message, expected[i].wParam)
                                       : std::string("(nothing)"))
               << ", got "
               << (i < rows.size() ? Describe(rows[i].window, rows[i].message, rows[i].wParam)
                                   : std::string("(nothing)"))
               << "\n";
    }
    ADD_FAILURE() << report.str();
}

} // namespace lwtest
