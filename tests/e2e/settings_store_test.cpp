// The settings key as the program reads and writes it: first run, a stored
// layout coming back, what saves and what does not.

#include "tests/e2e/settings_support.h"

using namespace settingstest;

namespace {

struct Placed {
    LONG left, top, edge;
};

void ExpectPlaced(HWND window, const Placed& p, const char* which) {
    const RECT r = ScreenRect(window);
    EXPECT_TRUE(SameRect(RECT{p.left, p.top, p.left + p.edge, p.top + p.edge}, r))
        << which << " is at " << Show(r);
}

void ExpectPlaced(const VitalGauge& app, const Placed& cpu, const Placed& ram,
                  const Placed& swap) {
    ExpectPlaced(app.windows.cpu, cpu, "CPU");
    ExpectPlaced(app.windows.ram, ram, "RAM");
    ExpectPlaced(app.windows.swap, swap, "Swap");
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }

    void StartApp() {
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
    }

    VitalGauge app;
};

TEST_F(SettingsStore, FirstRunPlacesWidgetsSideBySideWithDefaultsAndExitSavesThem) {
    const RECT work = PrimaryWorkArea();
    ASSERT_TRUE(work.left <= 550 && work.top <= 100 && work.right >= 1010 && work.bottom >= 260)
        << "this test needs a screen that holds the default places";
    StartApp();
    ExpectPlaced(app, {550, 100, 160}, {700, 100, 160}, {850, 100, 160});
    EXPECT_TRUE(ReadSettingsKey().empty()) << "starting must not write the key";

    ExitThroughCpuWidget(app);
    const RegSnapshot key = ReadSettingsKey();
    ExpectElevenWellFormedValues(key);
    EXPECT_EQ(1u, DwordIn(key, L"ScaleValue"));
    EXPECT_EQ(1u, DwordIn(key, L"chartTypeValue"));
    for (const wchar_t* name : {L"cpuProgressColor", L"ramProgressColor", L"swapProgressColor"})
        EXPECT_EQ(0xFF009688u, DwordIn(key, name));
    for (const wchar_t* name : {L"cpuTextColor", L"ramTextColor", L"swapTextColor"})
        EXPECT_EQ(0xFF212121u, DwordIn(key, name));
    EXPECT_TRUE(SameRect(RECT{550, 100, 710, 260}, RectIn(key, L"WindowPos")));
    EXPECT_TRUE(SameRect(RECT{700, 100, 860, 260}, RectIn(key, L"WindowPos2")));
    EXPECT_TRUE(SameRect(RECT{850, 100, 1010, 260}, RectIn(key, L"WindowPos3")));
}

TEST_F(SettingsStore, StoredLayoutComesBackAndExitWritesEveryValueBackUnchanged) {
    // Scale 2 in the Segmented Bar style: created 240 pixels square, then
    // painted at 320, the size the stored rectangles have.
    WriteSettingsDword(L"ScaleValue", 2);
    WriteSettingsDword(L"chartTypeValue", 2);
    WriteSettingsRect(L"WindowPos", {100, 200, 420, 520});
    WriteSettingsRect(L"WindowPos2", {400, 500, 720, 820});
    WriteSettingsRect(L"WindowPos3", {900, 50, 1220, 370});
    const std::uint32_t colors[6] = {0xFF102030, 0x80405060, 0x00708090,
                                     0xFFA0B0C0, 0x12345678, 0xFEDCBA98};
    for (int i = 0; i < 6; ++i) WriteSettingsDword(DwordNames()[2 + i], colors[i]);
    const RegSnapshot stored = ReadSettingsKey();
    ASSERT_EQ(11u, stored.size());

    StartApp();
    ExpectPlaced(app, {100, 200, 320}, {400, 500, 320}, {900, 50, 320});
    ExitThroughCpuWidget(app);
    EXPECT_EQ(stored, ReadSettingsKey());
}

TEST_F(SettingsStore, StoredRectanglesArePulledOntoTheWorkAreaAndTheCloseMessageSavesNothing) {
    const RECT work = PrimaryWorkArea();
    // No painter for style 0, so the creation size stays.
    WriteSettingsDword(L"chartTypeValue", 0);
    // Partly left of the screen; past its bottom right corner; on no monitor.
    WriteSettingsRect(L"WindowPos", {work.left - 100, 200, work.left + 60, 360});
    WriteSettingsRect(L"WindowPos2",
                      {work.right - 80, work.bottom - 40, work.right + 80, work.bottom + 120});
    WriteSettingsRect(L"WindowPos3", {work.right + 5000, 5000, work.right + 5160, 5160});
    const RegSnapshot stored = ReadSettingsKey();

    StartApp();
    ExpectPlaced(app, {work.left, 200, 160}, {work.right - 160, work.bottom - 160, 160},
                 {work.left + 50, work.top + 50, 160});
    EndWithCloseMessage(app);
    EXPECT_EQ(stored, ReadSettingsKey()) << "the close message must not save";
}

TEST_F(SettingsStore, EndOfAMoveSavesEverythingAndLaterMovesAloneDoNot) {
    StartApp();
    const std::vector<HWND> widgets = WidgetWindows(app);
    const POINT targets[3] = {{40, 600}, {300, 420}, {620, 380}};
    for (int i = 0; i < 3; ++i) {
        // A drag is a move inside the system's move loop, ended by
        // WM_EXITSIZEMOVE: play both parts from outside.
        ASSERT_TRUE(SetWindowPos(widgets[i], nullptr, targets[i].x, targets[i].y, 0, 0,
                                 SWP_NOSIZE | SWP_NOACTIVATE));
        if (i == 0) {
            EXPECT_TRUE(ReadSettingsKey().empty()) << "a move alone must not save";
        }
        DWORD_PTR result = 1;
        ASSERT_TRUE(SendMessageTimeoutW(widgets[i], WM_EXITSIZEMOVE, 0, 0, SMTO_NORMAL, 5000,
                                        &result));
        EXPECT_EQ(0u, result);

        const RegSnapshot key = ReadSettingsKey();
        ExpectElevenWellFormedValues(key);
        for (int w = 0; w < 3; ++w)
            EXPECT_TRUE(SameRect(ScreenRect(widgets[w]), RectIn(key, RectNames()[w])))
                << "after moving widget " << i << ", widget " << w << " saved as "
                << Show(RectIn(key, RectNames()[w]));
        EXPECT_EQ(targets[i].x, RectIn(key, RectNames()[i]).left);
        EXPECT_EQ(targets[i].y, RectIn(key, RectNames()[i]).top);
    }

    const RegSnapshot saved = ReadSettingsKey();
    SetWindowPos(app.windows.cpu, nullptr, 900, 700, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    EndWithCloseMessage(app);
    EXPECT_EQ(saved, ReadSettingsKey()) << "the close message must not save";
}

// Holds the left button down on the X server; lets it go however the test ends.
class HeldLeftButton {
public:
    explicit HeldLeftButton(POINT at) {
        SetCursorPos(at.x, at.y);  // so that the program knows where the press starts
        held_ = RunHostCommand("xdotool mousemove " + std::to_string(at.x) + " " +
                               std::to_string(at.y) + " mousedown 1") == 0;
    }
    ~HeldLeftButton() { Release(); }
    HeldLeftButton(const HeldLeftButton&) = delete;
    HeldLeftButton& operator=(const HeldLeftButton&) = delete;

    bool Held() const { return held_; }
    void Release() {
        if (held_) RunHostCommand("xdotool mouseup 1");
        held_ = false;
    }

private:
    bool held_ = false;
};

TEST_F(SettingsStore, DraggingAWidgetSavesEverythingWhenTheButtonIsReleased) {
    StartApp();
    const RECT before = ScreenRect(app.windows.ram);
    const POINT grab = {before.left + 20, before.top + 20};
    HeldLeftButton button(grab);
    ASSERT_TRUE(button.Held());
    // What a press on the caption starts: the system's own move loop, which
    // follows the pointer until the button goes up.
    PostMessageW(app.windows.ram, WM_SYSCOMMAND, SC_MOVE | HTCAPTION,
                 MAKELPARAM(grab.x, grab.y));
    ASSERT_EQ(0, RunHostCommand("sleep 0.3; xdotool mousemove " + std::to_string(grab.x - 150) +
                                " " + std::to_string(grab.y + 200) + " sleep 0.2 mousemove " +
                                std::to_string(grab.x - 250) + " " +
                                std::to_string(grab.y + 300) + " sleep 0.3"));
    const RECT moved = {before.left - 250, before.top + 300, before.right - 250,
                        before.bottom + 300};
    EXPECT_TRUE(WaitUntil([&] { return SameRect(moved, ScreenRect(app.windows.ram)); }, 3000))
        << "the widget did not follow the pointer: " << Show(ScreenRect(app.windows.ram));
    EXPECT_TRUE(ReadSettingsKey().empty()) << "nothing is saved before the drag ends";

    button.Release();
    ASSERT_TRUE(WaitUntil([] { return !ReadSettingsKey().empty(); }, 5000))
        << "releasing the button did not save";
    const RegSnapshot key = ReadSettingsKey();
    ExpectElevenWellFormedValues(key);
    EXPECT_TRUE(SameRect(moved, RectIn(key, L"WindowPos2"))) << Show(RectIn(key, L"WindowPos2"));
    EXPECT_TRUE(SameRect(ScreenRect(app.windows.cpu), RectIn(key, L"WindowPos")));
    EXPECT_TRUE(SameRect(ScreenRect(app.windows.swap), RectIn(key, L"WindowPos3")));
    EndWithCloseMessage(app);
}

TEST_F(SettingsStore, CreationEdgeFollowsTheScaleAndOddValuesAreSavedBackAsRead) {
    struct Case {
        std::int32_t scale, chart;
        LONG edge;
    } cases[] = {{1, 0, 160}, {2, 0, 240}, {3, -1, 320}, {7, 4, 160}, {0, 0, 160}};
    for (const Case& c : cases) {
        SCOPED_TRACE("ScaleValue " + std::to_string(c.scale));
        DeleteSettingsKey();
        WriteSettingsDword(L"ScaleValue", static_cast<std::uint32_t>(c.scale));
        WriteSettingsDword(L"chartTypeValue", static_cast<std::uint32_t>(c.chart));
        StartApp();
        if (HasFatalFailure()) return;
        // Chart styles outside 1..3 have no painter, so nothing resizes the
        // windows after creation. The default places hold on this screen.
        ExpectPlaced(app, {550, 100, c.edge}, {700, 100, c.edge}, {850, 100, c.edge});
        ExitThroughCpuWidget(app);
        const RegSnapshot key = ReadSettingsKey();
        ExpectElevenWellFormedValues(key);
        EXPECT_EQ(static_cast<std::uint32_t>(c.scale), DwordIn(key, L"ScaleValue"));
        EXPECT_EQ(static_cast<std::uint32_t>(c.chart), DwordIn(key, L"chartTypeValue"));
    }
}

}  // namespace
