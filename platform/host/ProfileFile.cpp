#include "platform/host/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ini.h>

namespace platform::host {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// inih leaves the comment at the end of a continuation line in the value; the first line loses it.
std::string WithoutComment(std::string value) {
    for (std::size_t i = 1; i < value.size(); ++i) {
        if ((value[i] == ';' || value[i] == '#') && std::isspace(static_cast<unsigned char>(value[i - 1]))) {
            value.erase(i);
            break;
        }
    }
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) {
        value.pop_back();
    }
    return value;
}

// The file as inih reads it, line by line, remembering whether the line just read starts with a blank:
// inih hands a continuation line to OnValue under the key of the line before it, exactly as it hands a
// second line with the same key, and only the blank tells them apart.
struct Lines {
    std::FILE* file;
    bool indented = false;
};

char* ReadLine(char* text, int size, void* stream) {
    auto* lines = static_cast<Lines*>(stream);
    char* line = std::fgets(text, size, lines->file);
    lines->indented = line != nullptr && (line[0] == ' ' || line[0] == '\t');
    return line;
}

struct Reading {
    const Lines* lines;
    ProfileFile* profile;
    std::string lastSection;
    std::string lastKey;
    std::string error;
};

int OnValue(void* user, const char* section, const char* name, const char* value) {
    auto& reading = *static_cast<Reading*>(user);
    const std::string s = Lower(section);
    const std::string k = Lower(name);
    auto& keys = reading.profile->sections[s];
    if (s == reading.lastSection && k == reading.lastKey && reading.lines->indented) {
        keys[k] += " " + WithoutComment(value); // a continuation line
        return 1;
    }
    if (keys.count(k) != 0) {
        reading.error = "section [" + s + "], key " + k + ": given twice";
        return 0;
    }
    keys[k] = value;
    reading.lastSection = s;
    reading.lastKey = k;
    return 1;
}

} // namespace

bool ReadProfileFile(const std::string& path, ProfileFile* profile, std::string* error) {
    *profile = ProfileFile{};
    profile->path = path;
    const auto slash = path.rfind('/');
    profile->directory = slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
    Lines lines{std::fopen(path.c_str(), "r")};
    if (lines.file == nullptr) {
        *error = path + ": cannot open the profile";
        return false;
    }
    Reading reading{&lines, profile, "", "", ""};
    const int result = ini_parse_stream(ReadLine, &lines, OnValue, &reading);
    std::fclose(lines.file);
    if (!reading.error.empty()) {
        *error = path + ": " + reading.error;
        return false;
    }
    if (result != 0) {
        *error = path + ", line " + std::to_string(result) + ": not a [section] or a key = value line";
        return false;
    }
    return true;
}

bool ApplyOverride(const std::string& assignment, ProfileFile* profile, std::string* error) {
    const auto dot = assignment.find('.');
    const auto equals = assignment.find('=');
    if (dot == std::string::npos || equals == std::string::npos || dot == 0 || dot + 1 >= equals) {
        *error = "--set " + assignment + ": expected <section>.<key>=<value>";
        return false;
    }
    const std::string section = Lower(assignment.substr(0, dot));
    const std::string key = Lower(assignment.substr(dot + 1, equals - dot - 1));
    profile->sections[section][key] = assignment.substr(equals + 1);
    return true;
}

} // namespace platform::host
