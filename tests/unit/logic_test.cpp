// The program's pure decisions, each walked through a table of cases.
#include "desktop/desktop_attach_logic.h"
#include "host/host_launcher_logic.h"
#include "metrics/sampling_math.h"
#include "render/chart_layout.h"
#include "settings/menu_logic.h"
#include "settings/settings_logic.h"
#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

TEST(Logic, SamplingAndShownValues) {
    struct {
        bool ok;
        DWORD load;
        ULONGLONG total, avail;
        double ram, swap;
    } memory[] = {{true, 57, 8000, 4500, 57, 43.75},
                  {true, 3, 0, 0, 3, 0},
                  {true, 9, 100, 101, 9, 0},
                  {true, 9, 100, 0, 9, 100},
                  {false, 57, 8000, 4500, 0, 0}};
    for (const auto& r : memory) {
        const MEMORYSTATUSEX s = {sizeof s, r.load, 0, 0, r.total, r.avail, 0, 0, 0};
        EXPECT_EQ(r.ram, MemoryPercentsFrom(r.ok, s).ram) << r.load;
        EXPECT_FLOAT_EQ(static_cast<float>(r.swap),
                        static_cast<float>(MemoryPercentsFrom(r.ok, s).swap));
    }
    struct {
        PDH_STATUS status;
        DWORD cstatus;
        double value, shown;
    } cpu[] = {{ERROR_SUCCESS, PDH_CSTATUS_VALID_DATA, 12.5, 12.5},
               {ERROR_SUCCESS, PDH_CSTATUS_NEW_DATA, 3, 3},
               {ERROR_SUCCESS, PDH_CSTATUS_NO_INSTANCE, 12.5, 0},
               {ERROR_SUCCESS, PDH_CSTATUS_VALID_DATA, NAN, 0},
               {static_cast<PDH_STATUS>(PDH_INVALID_DATA), PDH_CSTATUS_VALID_DATA, 12.5, 0}};
    for (const auto& r : cpu) {
        PDH_FMT_COUNTERVALUE v = {r.cstatus, {}};
        v.doubleValue = r.value;
        EXPECT_EQ(r.shown, CpuPercentFrom(r.status, v));
    }
    struct {
        double percent;
        int shown;
    } truncated[] = {{57.9, 57}, {-0.5, 0},       {-7.9, -7},
                     {NAN, 0},   {1e12, INT_MAX}, {-1e12, INT_MIN}};
    for (const auto& r : truncated) EXPECT_EQ(r.shown, TruncatePercent(r.percent)) << r.percent;
    struct {
        int scale, edge;
    } edges[] = {{1, 160}, {2, 240}, {3, 320}, {0, 160}, {4, 160}, {INT_MAX, 160}};
    for (const auto& r : edges) EXPECT_EQ(r.edge, CreationEdge(r.scale, 96)) << r.scale;
    EXPECT_EQ(L"Swap: -2147483648%", CapacityText(L"Swap", INT_MIN));

    // In the Capacity Bar every widget's text is swapTextColor.
    AppearanceSettings s;
    s.chartTypeValue = ChartStyle::CapacityBar, s.swapTextColor = 3;
    EXPECT_EQ(3u, PaintArgsFor(WidgetKind::Ram, s, {}).textColor);
}

template <typename T, size_t N>
void ExpectAll(const T (&want)[N], const T (&got)[N], const std::string& row) {
    for (size_t i = 0; i < N; ++i)
        EXPECT_FLOAT_EQ(static_cast<float>(want[i]), static_cast<float>(got[i]))
            << row << " #" << i;
}

TEST(Logic, ChartGeometry) {
    struct {
        int edge;
        float dpi;
        int value;
        float pen, diameter, left, labelTop, labelPx, valuePx, sweep;
    } gauges[] = {{160, 1, 0, 12, 136, 12, -12.48f, 16.32f, 29.92f, 0.1f},
                  {320, 1, 25, 12, 272, 24, -24.96f, 32.64f, 59.84f, 90},
                  {160, 1.5f, 99, 18, 136, 12, -12.48f, 16.32f, 29.92f, 356.4f},
                  {160, 2, 104, 24, 136, 12, -12.48f, 16.32f, 29.92f, 360},
                  {160, 1, -5, 12, 136, 12, -12.48f, 16.32f, 29.92f, 0.1f}};
    for (const auto& r : gauges) {
        const GaugeLayout g = GaugeLayoutFor(r.edge, r.edge, r.dpi, r.value);
        ExpectAll({r.pen, r.diameter, r.left, r.left, r.labelTop, r.labelPx, r.valuePx, r.sweep},
                  {g.penWidth, g.diameter, g.left, g.top, g.labelTop, g.labelFontPx, g.valueFontPx,
                   g.sweep},
                  "gauge " + std::to_string(r.edge) + " " + std::to_string(r.value));
    }
    EXPECT_FLOAT_EQ(92.0f, GaugeLayoutFor(320, 160, 1.0f, 42).left);

    struct {
        int edge;
        float dpi;
        int scale, gap, segH, stackH, segW, left, top, step, corner, bandTop, bandH;
        float labelPx, valuePx;
    } segments[] = {{160, 1, 1, 3, 6, 87, 136, 12, 35, 9, 3, 122, 38, 22, 20},
                    {320, 1, 2, 3, 14, 167, 272, 24, 70, 17, 3, 237, 83, 44, 40},
                    {480, 1, 3, 3, 23, 257, 408, 36, 105, 26, 3, 362, 118, 66, 60},
                    {160, 1.5f, 1, 4, 5, 86, 136, 12, 35, 9, 4, 121, 39, 33, 30},
                    {160, 4, 1, 12, 0, 108, 136, 12, 35, 12, 12, 143, 17, 88, 80},
                    {160, 0.5f, 1, 1, 7, 79, 136, 12, 35, 8, 2, 114, 46, 11, 10}};
    for (const auto& r : segments) {
        const SegmentLayout s = SegmentLayoutFor(r.edge, r.edge, r.dpi, r.scale);
        ExpectAll({float(r.gap), float(r.segH), float(r.stackH), float(r.segW), float(r.left),
                   float(r.top), float(r.step), float(r.corner), float(r.bandTop), float(r.bandH),
                   float(r.top + 9 * r.step), r.labelPx, r.valuePx},
                  {float(s.gap), float(s.segmentHeight), float(s.stackHeight),
                   float(s.segmentWidth), float(s.left), float(s.stackTop), float(s.step),
                   float(s.corner), float(s.valueBandTop), float(s.valueBandHeight),
                   float(SegmentTop(s, 9)), s.labelFontPx, s.valueFontPx},
                  "segments " + std::to_string(r.edge) + " " + std::to_string(r.dpi));
    }
    // Lit segments count from the bottom one.
    struct {
        int value, lit;
    } lit[] = {{-5, 0}, {0, 0}, {9, 0}, {10, 1}, {45, 4}, {99, 9}, {100, 10}, {150, 10}};
    for (const auto& r : lit) {
        int n = 0;
        for (int i = 0; i < 10; ++i) n += SegmentLit(r.value, i) ? 1 << (9 - i) : 0;
        EXPECT_EQ((1 << r.lit) - 1, n) << r.value;
    }

    struct {
        int w, h;
        float dpi;
        int scale, value;
        float font, limit, top, width, height, fill;
        bool drawn;
    } capacity[] = {{320, 160, 1, 1, 50, 15, 58, 34, 290, 9, 145, true},
                    {640, 320, 1, 2, 1, 26, 80, 56, 610, 9, 6.1f, true},
                    {960, 480, 1, 3, 105, 39, 120, 78, 930, 27, 930, true},
                    {480, 240, 1.5f, 1, 0, 22.5f, 87, 51, 435, 13.5f, 0, false},
                    {960, 480, 1.25f, 3, -3, 48.75f, 120, 97.5f, 922.5f, 3.75f, 0, false},
                    {39, 160, 1, 1, 1, 15, 58, 34, 9, 9, 0.09f, false},
                    {320, 160, 20, 1, 100, 300, 40, 680, 1, 1, 1, true}};
    for (const auto& r : capacity) {
        const CapacityLayout c = CapacityLayoutFor(r.w, r.h, r.dpi, r.scale, r.value);
        ExpectAll({15 * r.dpi, 12 * r.dpi, r.font, r.limit, r.top, r.width, r.height, r.fill, r.dpi,
                   float(r.drawn)},
                  {c.margin, c.textTop, c.fontPx, float(c.barLimit), c.barTop, c.barWidth,
                   c.barHeight, c.fillWidth, c.outlineWidth, float(c.drawFill)},
                  "capacity " + std::to_string(r.w) + " " + std::to_string(r.dpi));
    }

    // Windows grow with the display scale, and all drawn in them keeps its
    // 96-dpi proportions up to a pixel of rounding.
    for (float f : {1.25f, 1.5f, 1.75f, 2.0f, 2.5f, 3.0f})
        for (int scale = 1; scale <= 3; ++scale) {
            const std::string row = std::to_string(f) + " scale " + std::to_string(scale);
            const unsigned dpi = unsigned(96 * f);
            const WidgetSize bar = StyleWindowSize(ChartStyle::CapacityBar, scale, dpi);
            const int h = bar.height,
                      h1 = StyleWindowSize(ChartStyle::CapacityBar, scale, 96).height;
            EXPECT_EQ(bar.width, int(f * 2 * h1)) << row;
            EXPECT_EQ(h, StyleWindowSize(ChartStyle::CircularGauge, scale, dpi).width) << row;
            EXPECT_EQ(int(f * CreationEdge(scale, 96)), CreationEdge(scale, dpi)) << row;
            const GaugeLayout g = GaugeLayoutFor(h, h, f, 0), g1 = GaugeLayoutFor(h1, h1, 1, 0);
            EXPECT_FLOAT_EQ((g.left - g.penWidth / 2) / h, (g1.left - g1.penWidth / 2) / h1) << row;
            const SegmentLayout s = SegmentLayoutFor(h, h, f, scale),
                                s1 = SegmentLayoutFor(h1, h1, 1, scale);
            EXPECT_GE(s.segmentHeight, f * s1.segmentHeight - 1) << row;
            EXPECT_LE(s.labelFontPx / (s.stackTop + 1), s1.labelFontPx / s1.stackTop) << row;
            EXPECT_LE(s.valueFontPx, s.valueBandHeight) << row;
            EXPECT_FLOAT_EQ(CapacityLayoutFor(bar.width, h, f, scale, 50).barHeight / h,
                            CapacityLayoutFor(2 * h1, h1, 1, scale, 50).barHeight / h1)
                << row << ": the track is a bar";
        }
    EXPECT_EQ(320, StyleWindowSize(ChartStyle::CapacityBar, 1, 0).width) << "a gone window: 96 dpi";
}

TEST(Logic, StoredValues) {
    const std::uint32_t word = 0x11223344;
    const std::uint8_t one = 0x77, six[6] = {1, 2, 3, 4, 5, 6};
    const RECT stored = {10, 20, 170, 180};
    auto bytes = [](const void* data, DWORD size, LONG status = ERROR_SUCCESS) {
        return StoredBytes{status, data, size};
    };
    for (auto [stored, color] : {std::pair{bytes(&word, 4), 0x11223344u},
                                 {bytes(&one, 1), 0xFF009677u},
                                 {bytes(six, 6), 0xFF009688u},
                                 {bytes(&word, 4, ERROR_MORE_DATA), 0xFF009688u}})
        EXPECT_EQ(color, StoredColor(stored, 0xFF009688)) << std::hex << color;

    // ScaleValue and chartTypeValue start at 3, radio index 2.
    const std::int32_t two = 2;
    struct {
        StoredBytes stored;
        std::int32_t value, index;
    } steps[] = {{bytes(&two, 4), 2, 1},
                 {bytes(&stored.left, 4), 10, 2},
                 {bytes(&word, 4), 0x11223344, 2},
                 {bytes(six, 6), 1, 0},
                 {bytes(&word, 4, ERROR_FILE_NOT_FOUND), 1, 0},
                 {bytes(&one, 1), 0x77, 2},
                 {bytes(six + 1, 4), 0x05040302, 2}};
    for (const auto& r : steps) {
        std::int32_t value = 3, index = 2;
        ApplyStoredStep(r.stored, value, index);
        EXPECT_EQ(std::make_pair(r.value, r.index), std::make_pair(value, index));
    }

    struct {
        StoredBytes bytes;
        bool taken;
        RECT rect;
    } rects[] = {{bytes(&stored, 16), true, stored},
                 {bytes(six, 6), true, {0x04030201, 0x0605, 3, 4}},
                 {bytes(nullptr, 0), false, {1, 2, 3, 4}},
                 {bytes(&stored, 16, ERROR_MORE_DATA), false, {1, 2, 3, 4}}};
    for (const auto& r : rects) {
        RECT rect = {1, 2, 3, 4};
        EXPECT_EQ(r.taken, StoredRect(r.bytes, rect));
        EXPECT_EQ(r.rect, rect);
    }
}

TEST(Logic, PlacementOnTheWorkAreas) {
    // left -1280..0 (bar on top), primary 0..1920 (bar at the bottom), right
    // 1920..3200 from y -200 (docked bar on its left); the last is unreadable.
    const RECT primaryWork = {0, 0, 1920, 1040};
    const std::vector<MonitorArea> monitors = {
        {{0, 0, 1920, 1080}, primaryWork, true},
        {{1920, -200, 3200, 824}, {1980, -200, 3200, 824}, true},
        {{-1280, 0, 0, 1024}, {-1280, 30, 0, 1024}, true},
        {{0, 2000, 100, 2100}, {}, false}};
    struct {
        RECT in, out;
    } rows[] = {
        {{1940, 100, 2100, 260}, {1980, 100, 2140, 260}},    // under the docked bar
        {{-500, 10, -340, 170}, {-500, 30, -340, 190}},      // under a top bar
        {{100, 1000, 260, 1160}, {100, 880, 260, 1040}},     // over the task bar
        {{3100, -250, 3260, -90}, {3040, -200, 3200, -40}},  // two edges at once
        {{1900, 100, 2060, 260}, {1980, 100, 2140, 260}},    // mostly on the right monitor
        {{1780, 100, 1940, 260}, {1760, 100, 1920, 260}},    // mostly on the primary
        {{1760, 880, 1920, 1040}, {1760, 880, 1920, 1040}},  // on the edges: strict
        {{-100, 100, 2100, 260}, {0, 100, 1920, 260}},       // wider than the work area
        {{-10, -10, 5000, 5000}, {0, 0, 1920, 1040}},
        {{9000, 9000, 9160, 9160}, {50, 50, 210, 210}},  // on no monitor
        {{300, 300, 100, 100}, {50, 50, -150, -150}},    // inverted: on none
        {{INT_MIN, 0, INT_MAX, 100}, {0, 0, 1920, 100}},
        {{10, 2010, 50, 2050}, {10, 2010, 50, 2050}},  // work area unknown: left alone
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.out, ClampRectToWorkAreas(r.in, monitors, primaryWork)) << r.in;
    EXPECT_EQ((RECT{20, 70, INT_MAX, INT_MAX}),
              PlaceInCorner({0, 0, INT_MAX, INT_MAX}, {-30, 20, 0, 0}));
    EXPECT_EQ((RECT{550, 100, 710, 260}), DefaultPlacement(550, 100, 160, 160, primaryWork));
    EXPECT_EQ((RECT{480, 100, 800, 260}), DefaultPlacement(850, 100, 320, 160, {0, 0, 800, 600}));
    // First run: onto the monitor the place is mostly on, else only as far as needed.
    EXPECT_EQ((RECT{1980, 100, 2300, 260}), FirstRunPlacement(1900, 100, 320, 160, monitors, {}));
    EXPECT_EQ((RECT{480, 100, 800, 260}),
              FirstRunPlacement(850, 100, 320, 160, {}, {0, 0, 800, 600}));
}

TEST(Logic, MenuColoursAndAlignment) {
    EXPECT_EQ(0x00563412u, ArgbToDialogColor(0x40123456));  // alpha dropped
    EXPECT_EQ(0xFF123456u, DialogColorToArgb(0xAB563412));  // always opaque
    EXPECT_EQ(0xFF646465u, DialogColorToArgb(RGB(100, 100, 100))) << "never the colour key";

    auto box = [](LONG l, LONG t) { return RECT{l, t, l + 160, t + 160}; };
    struct {
        RECT rects[3];
        int clicked;
        bool row;
        int first, firstAt, second, secondAt, across;
    } rows[] = {
        {{box(100, 30), box(400, 60), box(1000, 90)}, 0, true, 1, 550, 2, 1000, 30},
        {{box(100, 30), box(400, 60), box(1000, 90)}, 1, true, 0, -50, 2, 850, 60},
        {{box(100, 30), box(400, 60), box(1000, 90)}, 2, true, 0, 100, 1, 550, 90},
        {{box(7, 100), box(8, 400), box(9, 1000)}, 1, false, 0, -50, 2, 850, 8},
        {{box(7, 100), box(8, 300), box(9, 700)}, 0, false, 1, 400, 2, 700, 7},
        {{box(0, 0), box(500, 0), box(500, 0)}, 0, true, 2, 250, 1, 500, 0},  // ties: later first
        {{box(0, 0), box(100, 0), box(201, 0)}, 1, true, 0, -1, 2, 201, 0},   // odd, negative gap
        {{{INT_MIN, 0, INT_MAX, 10}, box(0, 0), box(10, 0)},
         2,
         true,
         0,
         INT_MIN,
         1,
         10,
         0},  // pinned
    };
    for (const auto& r : rows) {
        const AlignPlan p = PlanAlignment(r.rects, r.clicked, r.row);
        const POINT f = r.row ? p.first : POINT{p.first.y, p.first.x},
                    s = r.row ? p.second : POINT{p.second.y, p.second.x};
        EXPECT_EQ((std::vector<LONG>{r.first, r.firstAt, r.across, r.second, r.secondAt, r.across}),
                  (std::vector<LONG>{p.firstIndex, f.x, f.y, p.secondIndex, s.x, s.y}))
            << r.clicked << " " << r.row;
    }
}

TEST(Logic, HostAndDesktopRules) {
    struct {
        const wchar_t* title;
        bool host;
    } titles[] = {{L"Vendrake Corvanite Plus! Suite", true},
                  {L"Vendrake Corvanite Plus", false},
                  {L"vendrake corvanite plus! x", false},
                  {L" Vendrake Corvanite Plus!", false}};
    for (const auto& r : titles) EXPECT_EQ(r.host, IsHostWindowTitle(r.title)) << r.host;

    // Paths are refused, never cut, when they do not fit 260 characters.
    wchar_t program[kPathChars] = L"untouched", path[kPathChars] = L"old";
    const std::wstring fits(kPathChars - 15, L'a'), longest(kPathChars - 1, L'p');
    EXPECT_FALSE(ComposeHostProgramPath((fits + L"a").c_str(), program));
    EXPECT_STREQ(L"untouched", program);
    EXPECT_TRUE(ComposeHostProgramPath(fits.c_str(), program));
    EXPECT_EQ(fits + L"\\Corvanite.exe", program);
    EXPECT_FALSE(CopyPathIfFits(path, (longest + L"p").c_str(), kPathChars));
    EXPECT_STREQ(L"old", path);
    EXPECT_TRUE(CopyPathIfFits(path, longest.c_str(), longest.size() + 5));
    EXPECT_EQ(longest, path);
    EXPECT_TRUE(CopyPathIfFits(path, L"C:\\x\0junk", 9));
    EXPECT_STREQ(L"C:\\x", path);
    for (auto [own, launch] : {std::pair{IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
                               {BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
                               {HIGH_PRIORITY_CLASS, HIGH_PRIORITY_CLASS}})
        EXPECT_EQ(static_cast<DWORD>(launch), LaunchPriorityClass(own))
            << "host launched from " << own;

    EXPECT_FALSE(IconsHiddenFromRead(ERROR_MORE_DATA, 1))
        << "a longer value may have filled the buffer anyway";
    struct {
        const wchar_t* holder;
        DWORD process, shell;
        bool taken;
    } holders[] = {{L"WorkerW", 7, 7, true},
                   {L"Progman", 7, 7, true},
                   {L"WorkerW", 8, 7, false},
                   {L"#32770", 7, 7, false},
                   {L"WorkerW", 0, 0, false}};
    for (const auto& r : holders)
        EXPECT_EQ(r.taken, IsShellViewHolder(r.holder, r.process, r.shell)) << r.process;
}

}  // namespace
