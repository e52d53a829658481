// The Advanced settings dialog: what it shows at opening, which noise lengths it refuses for an averaging
// period, what it stores and saves on OK, and that Cancel changes nothing.
#include "AppTestSupport.h"

#include "app/Resource.h"
#include "settings/CSettingsDlg.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using namespace lwapp;

// Runs the dialog modally on a window thread of its own while the test drives it.
class SettingsDialogTest : public testing::Test {
protected:
    void SetUp() override {
        UseProgramResources();
        g_settings.averagingPeriod = 1;
        g_settings.sensitivityFactor = 1;
        g_settings.noiseLength = 0;
    }

    void Open() {
        thread_ = std::make_unique<UiThread>([this] {
            CSettingsDlg dialog;
            result_ = dialog.DoModal();
        });
        dialog_ = WaitForWindow(L"Advanced settings");
        ASSERT_NE(dialog_, nullptr);
    }

    // Waits for the dialog to end and returns its result.
    INT_PTR Result() {
        EXPECT_TRUE(Eventually([this] { return result_.load() != kRunning; }));
        thread_->Join();
        return result_.load();
    }

    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    int Pos(int id) const { return static_cast<int>(SendMessage(Item(id), TBM_GETPOS, 0, 0)); }
    void SetPos(int id, int pos) const { SendMessage(Item(id), TBM_SETPOS, TRUE, pos); }

    void PressOk() { Click(Item(IDOK)); }

    // The refusal, if one comes up; it is answered.
    std::optional<std::wstring> Refusal() {
        const HWND box = WaitForMessageBox();
        if (box == nullptr) {
            return std::nullopt;
        }
        const auto info = platform::controls::ReadMessageBox(box);
        EXPECT_TRUE(info.has_value());
        EXPECT_EQ(info->caption, L"Settings error");
        EXPECT_EQ(info->type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST));
        platform::controls::PressMessageBoxButton(box, IDOK);
        EXPECT_TRUE(Eventually([] { return MessageBoxCount() == 0; }));
        return info->text;
    }

    static constexpr INT_PTR kRunning = -100;
    DataFolder data_;
    std::unique_ptr<UiThread> thread_;
    std::atomic<INT_PTR> result_{kRunning};
    HWND dialog_ = nullptr;
};

TEST_F(SettingsDialogTest, OpensWithTheStoredValuesAndRanges) {
    g_settings.averagingPeriod = 8;
    g_settings.sensitivityFactor = 3;
    g_settings.noiseLength = 100;
    Open();
    EXPECT_EQ(Pos(IDC_AVERAGE_SLIDER), 8);
    EXPECT_EQ(Pos(IDC_SENSITIVITY_SLIDER), 3);
    EXPECT_EQ(Pos(IDC_NOISE_SLIDER), 100);
    EXPECT_EQ(SendMessage(Item(IDC_AVERAGE_SLIDER), TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessage(Item(IDC_AVERAGE_SLIDER), TBM_GETRANGEMAX, 0, 0), 40);
    EXPECT_EQ(SendMessage(Item(IDC_SENSITIVITY_SLIDER), TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessage(Item(IDC_SENSITIVITY_SLIDER), TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_EQ(SendMessage(Item(IDC_NOISE_SLIDER), TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessage(Item(IDC_NOISE_SLIDER), TBM_GETRANGEMAX, 0, 0), 250);
    // The first tab stop, the sensitivity slider, has the focus.
    EXPECT_TRUE(Eventually([this] {
        for (const auto& c : platform::desktop::EnumerateChildren(dialog_)) {
            if (c.focused) {
                return c.id == IDC_SENSITIVITY_SLIDER;
            }
        }
        return false;
    }));
    Click(Item(IDCANCEL));
    EXPECT_EQ(Result(), IDCANCEL);
}

TEST_F(SettingsDialogTest, StoredValueOutsideTheRangeShowsAtTheNearerEnd) {
    g_settings.averagingPeriod = 0;
    Open();
    EXPECT_EQ(Pos(IDC_AVERAGE_SLIDER), 1);
    PressOk();
    EXPECT_EQ(Result(), IDOK);
    EXPECT_EQ(g_settings.averagingPeriod.load(), 1);
    EXPECT_EQ(data_.Read("LullwatchAverage.txt"), "1");
}

struct Edge {
    const char* name;
    int average;
    int noise;
    bool accepted;
};

void PrintTo(const Edge& edge, std::ostream* os) {
    *os << edge.name;
}

// Noise longer than the averaging period (in ms: average * 1000 / 8) is refused; equal is accepted.
const Edge kEdges[] = {
    {"EighthSecondWith125ms", 1, 125, true},  {"EighthSecondWith126ms", 1, 126, false},
    {"EighthSecondWith250ms", 1, 250, false}, {"QuarterSecondWith250ms", 2, 250, true},
    {"FiveSecondsWith0ms", 40, 0, true},
};

class SettingsEdgeTest : public SettingsDialogTest, public testing::WithParamInterface<Edge> {};

TEST_P(SettingsEdgeTest, OkStoresAndSavesOnlyAcceptedValues) {
    const Edge& edge = GetParam();
    Open();
    SetPos(IDC_AVERAGE_SLIDER, edge.average);
    SetPos(IDC_SENSITIVITY_SLIDER, 7);
    SetPos(IDC_NOISE_SLIDER, edge.noise);
    PressOk();
    if (edge.accepted) {
        EXPECT_EQ(Result(), IDOK);
        EXPECT_EQ(g_settings.averagingPeriod.load(), edge.average);
        EXPECT_EQ(g_settings.sensitivityFactor.load(), 7);
        EXPECT_EQ(g_settings.noiseLength.load(), edge.noise);
        EXPECT_EQ(data_.Read("LullwatchAverage.txt"), std::to_string(edge.average));
        EXPECT_EQ(data_.Read("LullwatchSensityvity.txt"), "7");
        EXPECT_EQ(data_.Read("LullwatchDiapason.txt"), std::to_string(edge.noise));
        return;
    }
    EXPECT_EQ(Refusal(), L"Noise must be less than period of sound averaging");
    // Still open, with the sliders where they were, and nothing stored or saved.
    EXPECT_TRUE(IsWindowVisible(dialog_));
    EXPECT_EQ(Pos(IDC_AVERAGE_SLIDER), edge.average);
    EXPECT_EQ(Pos(IDC_NOISE_SLIDER), edge.noise);
    EXPECT_EQ(g_settings.averagingPeriod.load(), 1);
    EXPECT_EQ(g_settings.sensitivityFactor.load(), 1);
    EXPECT_EQ(g_settings.noiseLength.load(), 0);
    EXPECT_FALSE(std::filesystem::exists(data_.SettingsFolder()));
    // A shorter noise length is then accepted.
    SetPos(IDC_NOISE_SLIDER, edge.average * 1000 / 8);
    PressOk();
    EXPECT_EQ(Result(), IDOK);
    EXPECT_EQ(g_settings.noiseLength.load(), edge.average * 1000 / 8);
}

INSTANTIATE_TEST_SUITE_P(NoiseAgainstAveraging, SettingsEdgeTest, testing::ValuesIn(kEdges),
                         [](const testing::TestParamInfo<Edge>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SettingsDialogTest, CancelTouchesNothing) {
    g_settings.averagingPeriod = 4;
    g_settings.sensitivityFactor = 2;
    g_settings.noiseLength = 30;
    Open();
    SetPos(IDC_AVERAGE_SLIDER, 40);
    SetPos(IDC_SENSITIVITY_SLIDER, 20);
    SetPos(IDC_NOISE_SLIDER, 250);
    Click(Item(IDCANCEL));
    EXPECT_EQ(Result(), IDCANCEL);
    EXPECT_EQ(g_settings.averagingPeriod.load(), 4);
    EXPECT_EQ(g_settings.sensitivityFactor.load(), 2);
    EXPECT_EQ(g_settings.noiseLength.load(), 30);
    EXPECT_FALSE(std::filesystem::exists(data_.SettingsFolder()));
}

} // namespace
