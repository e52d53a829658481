#include "platform/gdi/FontLocator.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace platform::gdi {
namespace {

namespace fs = std::filesystem;

const std::string kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";
const std::vector<std::string> kSearchRoots = {"/usr/share/fonts", "/usr/local/share/fonts"};

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string Locate(const std::string& fileName) {
    if (auto found = FindFontFile(fileName, {kDejaVuFolder + fileName}, kSearchRoots)) {
        return *found;
    }
    std::string searched;
    for (const auto& root : kSearchRoots) {
        searched += (searched.empty() ? "" : ", ") + root;
    }
    throw std::runtime_error("Lullwatch: the font " + fileName + " was not found at " + kDejaVuFolder +
                             fileName + " nor below " + searched +
                             ". Install the Debian package fonts-dejavu-core.");
}

} // namespace

std::optional<std::string> FindFontFile(const std::string& fileName,
                                        const std::vector<std::string>& fixedPaths,
                                        const std::vector<std::string>& searchRoots) {
    for (const auto& path : fixedPaths) {
        if (IsFile(path)) {
            return path;
        }
    }
    for (const auto& root : searchRoots) {
        std::error_code error;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().filename() == fileName && IsFile(it->path())) {
                return it->path().string();
            }
        }
    }
    return std::nullopt;
}

FontFiles LocateDejaVuSans() {
    return FontFiles{Locate("DejaVuSans.ttf"), Locate("DejaVuSans-Bold.ttf")};
}

} // namespace platform::gdi
