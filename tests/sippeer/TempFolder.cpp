#include "tests/sippeer/TempFolder.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace sippeer {

TempFolder::TempFolder(const std::string& prefix) {
    std::error_code ec;
    const std::string pattern = (std::filesystem::temp_directory_path(ec) / (prefix + "XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) {
        path_ = buffer.data();
    }
}

TempFolder::~TempFolder() {
    if (!keep_ && !path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

bool TempFolder::Write(const std::string& name, const std::string& text) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace sippeer
