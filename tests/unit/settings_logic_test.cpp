#include "settings/settings_logic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

// Readable failures: print rectangles as {l, t, r, b}. File-local, as other
// test files may want their own.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

constexpr LONG kMin = INT32_MIN;
constexpr LONG kMax = INT32_MAX;

// Three monitors side by side, each with its bars somewhere else:
//   left:      -1280..0    x 0..1024,    task bar on top (work from y 30)
//   primary:   0..1920     x 0..1080,    task bar at the bottom (work to y 1040)
//   right:     1920..3200  x -200..824,  docked bar on its left (work from x 1980)
const RECT kLeftWork = {-1280, 30, 0, 1024};
const RECT kPrimaryWork = {0, 0, 1920, 1040};
const RECT kRightWork = {1980, -200, 3200, 824};

std::vector<MonitorArea> ThreeMonitors() {
    return {
        {{0, 0, 1920, 1080}, kPrimaryWork, true},
        {{1920, -200, 3200, 824}, kRightWork, true},
        {{-1280, 0, 0, 1024}, kLeftWork, true},
    };
}

RECT Clamp(const RECT& r) { return ClampRectToWorkAreas(r, ThreeMonitors(), kPrimaryWork); }

TEST(SettingsClamp, EachEdgeIsPulledOntoTheWorkAreaOfItsMonitorKeepingTheSize) {
    // Left of the right monitor's docked bar.
    EXPECT_EQ((RECT{1980, 100, 2140, 260}), Clamp({1940, 100, 2100, 260}));
    // Under the left monitor's task bar at the top.
    EXPECT_EQ((RECT{-500, 30, -340, 190}), Clamp({-500, 10, -340, 170}));
    // Past the primary's right edge (it overlaps the primary more than the right monitor).
    EXPECT_EQ((RECT{1760, 200, 1920, 360}), Clamp({1800, 200, 1960, 360}));
    // Over the primary's task bar at the bottom.
    EXPECT_EQ((RECT{100, 880, 260, 1040}), Clamp({100, 1000, 260, 1160}));
    // Past two edges at once.
    EXPECT_EQ((RECT{3040, -200, 3200, -40}), Clamp({3100, -250, 3260, -90}));
}

TEST(SettingsClamp, TheMonitorWithTheLargestIntersectionDecides) {
    // 20 px on the primary, 140 px on the right monitor: the right one's work
    // area applies, and its docked bar pushes the widget right.
    EXPECT_EQ((RECT{1980, 100, 2140, 260}), Clamp({1900, 100, 2060, 260}));
    // 140 px on the primary, 20 px on the right monitor: the primary applies.
    EXPECT_EQ((RECT{1760, 100, 1920, 260}), Clamp({1780, 100, 1940, 260}));
    // The order of the list does not matter when the overlaps differ.
    std::vector<MonitorArea> reversed = ThreeMonitors();
    std::swap(reversed[0], reversed[2]);
    EXPECT_EQ((RECT{1980, 100, 2140, 260}),
              ClampRectToWorkAreas({1900, 100, 2060, 260}, reversed, kPrimaryWork));
}

TEST(SettingsClamp, ComparisonsAreStrict) {
    for (const RECT& onEdges : {kPrimaryWork, RECT{1760, 880, 1920, 1040}, RECT{0, 0, 160, 160},
                                RECT{1980, 664, 2140, 824}, RECT{-1280, 30, -1120, 190}})
        EXPECT_EQ(onEdges, Clamp(onEdges));
}

TEST(SettingsClamp, WiderOrTallerThanTheWorkAreaEndsOnTheFarEdgeWithTheCornerOnScreen) {
    // The right (bottom) clamp wins over the left (top) one; the corner the
    // widget is created at stays on the work area.
    EXPECT_EQ((RECT{0, 100, 1920, 260}), Clamp({-100, 100, 2100, 260}));
    EXPECT_EQ((RECT{100, 0, 260, 1040}), Clamp({100, -50, 260, 1200}));
    EXPECT_EQ((RECT{0, 0, 1920, 1040}), Clamp({-10, -10, 5000, 5000}));
}

TEST(SettingsClamp, ARectangleOnNoMonitorGoesInsideThePrimaryWorkAreasCorner) {
    // A disconnected monitor below the right one; size unchanged.
    EXPECT_EQ((RECT{50, 50, 210, 290}), Clamp({2000, 900, 2160, 1140}));
    EXPECT_EQ((RECT{50, 50, 210, 210}), Clamp({-5000, -5000, -4840, -4840}));
    // Touching a monitor's edge is not intersecting it.
    EXPECT_EQ((RECT{50, 50, 210, 210}), Clamp({3200, 0, 3360, 160}));
    // The primary work area need not start at 0,0.
    EXPECT_EQ((RECT{110, 80, 270, 240}),
              ClampRectToWorkAreas({9000, 9000, 9160, 9160}, ThreeMonitors(), {60, 30, 1920, 1080}));
    // No monitors at all.
    EXPECT_EQ((RECT{50, 50, 210, 210}), ClampRectToWorkAreas({500, 500, 660, 660}, {}, kPrimaryWork));
}

TEST(SettingsClamp, EmptyOrInvertedRectanglesIntersectNothing) {
    // Such as the loader's own defaults, whose right edge lies left of the left.
    EXPECT_EQ((RECT{50, 50, -250, 200}), Clamp({550, 100, 250, 250}));
    EXPECT_EQ((RECT{50, 50, 50, 210}), Clamp({300, 300, 300, 460}));
    EXPECT_EQ((RECT{50, 50, 50, 50}), Clamp({0, 0, 0, 0}));
}

TEST(SettingsClamp, UnknownWorkAreaLeavesTheRectangleAlone) {
    std::vector<MonitorArea> monitors = ThreeMonitors();
    monitors[0].workKnown = false;
    EXPECT_EQ((RECT{-40, 1000, 120, 1160}),
              ClampRectToWorkAreas({-40, 1000, 120, 1160}, monitors, kPrimaryWork));
}

TEST(SettingsClamp, CoordinatesNearThe32BitLimitsStayOnAMonitor) {
    // Spanning every monitor, with a width and height that overflow 32 bits.
    EXPECT_EQ(kPrimaryWork, Clamp({kMin, kMin, kMax, kMax}));
    EXPECT_EQ((RECT{0, 100, 1920, 260}), Clamp({-10, 100, kMax, 260}));
    // Mostly on the left monitor, whose work area then applies.
    EXPECT_EQ((RECT{-1280, 100, 0, 260}), Clamp({kMin, 100, 10, 260}));
    EXPECT_EQ((RECT{100, 0, 260, 1040}), Clamp({100, kMin, 260, kMax}));
    // Far off every monitor, at either end of the range.
    EXPECT_EQ((RECT{50, 50, 150, 210}), Clamp({kMax - 100, 100, kMax, 260}));
    EXPECT_EQ((RECT{50, 50, 210, 210}), Clamp({kMin, kMin, kMin + 160, kMin + 160}));
    // A size too large for 32 bits in the corner: the far edges are pinned.
    EXPECT_EQ((RECT{50, 50, kMax, 150}), Clamp({kMin, 5000, kMax, 5100}));
    EXPECT_EQ((RECT{50, 50, kMin, kMin}), Clamp({kMax, kMax, kMin, kMin}));
    // A monitor list that is itself absurd still picks without overflowing.
    const std::vector<MonitorArea> huge = {{{kMin, kMin, kMax, kMax}, kPrimaryWork, true}};
    EXPECT_EQ(kPrimaryWork, ClampRectToWorkAreas({kMin, kMin, kMax, kMax}, huge, kPrimaryWork));
}

TEST(SettingsFirstRun, WidgetsStartSideBySideOnALargeScreen) {
    const RECT work = {0, 0, 1280, 1024};
    EXPECT_EQ((RECT{550, 100, 710, 260}), DefaultPlacement(550, 100, 160, 160, work));
    EXPECT_EQ((RECT{700, 100, 860, 260}), DefaultPlacement(700, 100, 160, 160, work));
    EXPECT_EQ((RECT{850, 100, 1010, 260}), DefaultPlacement(850, 100, 160, 160, work));
    EXPECT_EQ((RECT{850, 100, 1170, 260}), DefaultPlacement(850, 100, 320, 160, work));
}

TEST(SettingsFirstRun, ASmallScreenPullsOnlyTheWidgetsThatDoNotFit) {
    const RECT work = {0, 0, 800, 570};
    EXPECT_EQ((RECT{550, 100, 710, 260}), DefaultPlacement(550, 100, 160, 160, work));
    EXPECT_EQ((RECT{640, 100, 800, 260}), DefaultPlacement(700, 100, 160, 160, work));
    EXPECT_EQ((RECT{640, 100, 800, 260}), DefaultPlacement(850, 100, 160, 160, work));
    // Extra large capacity bars on a tiny screen: the corner stays on it.
    EXPECT_EQ((RECT{0, 0, 400, 300}), DefaultPlacement(850, 100, 640, 320, {0, 0, 400, 300}));
    // A task bar at the top or left of the primary monitor.
    EXPECT_EQ((RECT{550, 120, 710, 280}), DefaultPlacement(550, 100, 160, 160, {0, 120, 800, 600}));
}

// --- decoding --------------------------------------------------------------

StoredBytes Read(const std::vector<std::uint8_t>& bytes) {
    return {ERROR_SUCCESS, bytes.data(), static_cast<DWORD>(bytes.size())};
}
const std::vector<std::uint8_t> kGarbage(32, 0xAB);
const StoredBytes kMissing = {ERROR_FILE_NOT_FOUND, nullptr, 0};
const StoredBytes kTooLong = {ERROR_MORE_DATA, kGarbage.data(), 0};  // platform left bytes behind

TEST(SettingsDecoding, ColoursAreTakenByteForByteWhenTheyFit) {
    const std::uint32_t fallback = 0xFF009688;
    EXPECT_EQ(0x80112233u, StoredColor(Read({0x33, 0x22, 0x11, 0x80}), fallback));
    // Shorter data replaces only its own low-order bytes of the default.
    EXPECT_EQ(0xFF00BBAAu, StoredColor(Read({0xAA, 0xBB}), fallback));
    EXPECT_EQ(fallback, StoredColor(Read({}), fallback));
    EXPECT_EQ(fallback, StoredColor(kMissing, fallback));
    // Too long: neither the default half overwritten nor the first bytes taken.
    EXPECT_EQ(fallback, StoredColor(kTooLong, fallback));
    EXPECT_EQ(fallback, StoredColor(Read({1, 2, 3, 4, 5}), fallback));
    EXPECT_EQ(fallback, StoredColor({ERROR_ACCESS_DENIED, kGarbage.data(), 4}, fallback));
}

TEST(SettingsDecoding, ScaleAndChartStyleSetTheRadioIndexOnlyInRange) {
    std::int32_t value = 1, index = 0;
    ApplyStoredStep(Read({2, 0, 0, 0}), value, index);
    EXPECT_EQ(2, value);
    EXPECT_EQ(1, index);

    // Out of range: kept as read, the index stays where it was.
    for (std::int32_t odd : {5, 0, -1, INT32_MIN, INT32_MAX}) {
        value = 3, index = 2;
        ApplyStoredStep(Read({std::uint8_t(odd), std::uint8_t(odd >> 8), std::uint8_t(odd >> 16),
                              std::uint8_t(odd >> 24)}),
                        value, index);
        EXPECT_EQ(odd, value);
        EXPECT_EQ(2, index);
    }

    // Short data lands in the low-order bytes of the value held before.
    value = 1, index = 0;
    ApplyStoredStep(Read({3}), value, index);
    EXPECT_EQ(3, value);
    EXPECT_EQ(2, index);
    value = 1, index = 0;
    ApplyStoredStep(Read({}), value, index);
    EXPECT_EQ(1, value);
    EXPECT_EQ(0, index);

    // Unreadable: back to 1 and index 0, whatever came before.
    for (const StoredBytes& bad : {kMissing, kTooLong, Read({2, 0, 0, 0, 0})}) {
        value = 3, index = 2;
        ApplyStoredStep(bad, value, index);
        EXPECT_EQ(1, value);
        EXPECT_EQ(0, index);
    }
}

TEST(SettingsDecoding, RectanglesCountAsStoredOnlyWhenSomeBytesWereTaken) {
    const RECT fallback = {550, 100, 250, 250};
    RECT r = fallback;
    const LONG fields[4] = {-20, 30, 140, 190};
    const auto* p = reinterpret_cast<const std::uint8_t*>(fields);
    EXPECT_TRUE(StoredRect(Read(std::vector<std::uint8_t>(p, p + 16)), r));
    EXPECT_EQ((RECT{-20, 30, 140, 190}), r);

    // Eight bytes: left and top from the registry, right and bottom as before.
    r = fallback;
    EXPECT_TRUE(StoredRect(Read(std::vector<std::uint8_t>(p, p + 8)), r));
    EXPECT_EQ((RECT{-20, 30, 250, 250}), r);

    for (const StoredBytes& none : {Read({}), kMissing, kTooLong, Read(kGarbage)}) {
        r = fallback;
        EXPECT_FALSE(StoredRect(none, r));
        EXPECT_EQ(fallback, r);
    }
}

}  // namespace
