// Finding font files: the fixed path first, then a search below the font folders.
#include "platform/gdi/FontLocator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::gdi::FindFontFile;

class FontLocator : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(testing::TempDir()) / ("gdi_fonts_" + std::to_string(::getpid()));
        fs::create_directories(root_ / "a" / "deep" / "down");
        fs::create_directories(root_ / "fixed");
        std::ofstream(root_ / "a" / "deep" / "down" / "Face.ttf") << "x";
        std::ofstream(root_ / "fixed" / "Face.ttf") << "x";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(FontLocator, FixedPathComesFirst) {
    const auto fixed = (root_ / "fixed" / "Face.ttf").string();
    EXPECT_EQ(FindFontFile("Face.ttf", {"/nowhere/Face.ttf", fixed}, {(root_ / "a").string()}), fixed);
}

TEST_F(FontLocator, SearchFindsTheFileBelowARoot) {
    EXPECT_EQ(FindFontFile("Face.ttf", {"/nowhere/Face.ttf"}, {"/nowhere", (root_ / "a").string()}),
              (root_ / "a" / "deep" / "down" / "Face.ttf").string());
}

TEST_F(FontLocator, NothingWhenAbsent) {
    EXPECT_EQ(FindFontFile("Other.ttf", {"/nowhere/Other.ttf"}, {root_.string(), "/nowhere"}), std::nullopt);
}

TEST(FontFiles, DejaVuSansIsInstalled) {
    const auto files = platform::gdi::LocateDejaVuSans();
    EXPECT_TRUE(fs::is_regular_file(files.regular));
    EXPECT_TRUE(fs::is_regular_file(files.bold));
}

} // namespace
