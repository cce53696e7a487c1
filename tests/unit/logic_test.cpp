// The program's pure decisions, each walked through a table of cases.
#include "app/rest_logic.h"
#include "desktop/desktop_attach_logic.h"
#include "host/host_launcher_logic.h"
#include "metrics/process_math.h"
#include "metrics/sampling_math.h"
#include "render/chart_layout.h"
#include "render/palette_logic.h"
#include "render/tip_chart_logic.h"
#include "settings/menu_logic.h"
#include "settings/settings_logic.h"
#include "tests/support/harness.h"
#include "widgets/tip_logic.h"
#include "widgets/tray_logic.h"
#include "widgets/widget_logic.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <string>
#include <tuple>

namespace {

// Equal figures, no figure (NaN) included.
bool Same(double want, double got) { return std::isnan(want) ? std::isnan(got) : want == got; }

TEST(Logic, SamplingAndShownValues) {
    // Commit load from the page file's total and free parts; no figure from a failed read.
    for (auto [ok, load, total, avail, ram, swap] : {std::tuple{true, 57, 8000, 4500, 57.0, 43.75},
                                                     {true, 3, 0, 0, 3.0, NAN},
                                                     {true, 9, 100, 101, 9.0, 0.0},
                                                     {true, 9, 1, 0, 9.0, 100.0},
                                                     {false, 57, 8000, 4500, NAN, NAN}}) {
        MEMORYSTATUSEX status = {};
        status.dwLength = sizeof status;
        status.dwMemoryLoad = load;
        status.ullTotalPageFile = total;
        status.ullAvailPageFile = avail;
        EXPECT_TRUE(Same(ram, MemoryPercentsFrom(ok, status).ram)) << load;
        EXPECT_TRUE(Same(swap, MemoryPercentsFrom(ok, status).swap)) << load;
    }
    // The counter while it reads; the system times from its first failed read on, for good.
    const auto invalid = static_cast<PDH_STATUS>(PDH_INVALID_DATA);
    const CpuSource counter = CpuSource::Counter, times = CpuSource::SystemTimes;
    for (auto [source, status, counterStatus, value, fromTimes, shown, next] :
         {std::tuple{counter, ERROR_SUCCESS, PDH_CSTATUS_VALID_DATA, 12.5, 40.0, 12.5, counter},
          {counter, ERROR_SUCCESS, PDH_CSTATUS_NEW_DATA, 3.0, 40.0, 3.0, counter},
          {counter, ERROR_SUCCESS, PDH_CSTATUS_NO_INSTANCE, 12.5, 40.0, 40.0, times},
          {counter, ERROR_SUCCESS, PDH_CSTATUS_VALID_DATA, NAN, 40.0, 40.0, times},
          {counter, invalid, PDH_CSTATUS_VALID_DATA, 12.5, 40.0, 40.0, times},
          {counter, invalid, PDH_CSTATUS_VALID_DATA, 12.5, NAN, NAN, times},
          {times, ERROR_SUCCESS, PDH_CSTATUS_VALID_DATA, 12.5, 40.0, 40.0, times}}) {
        PDH_FMT_COUNTERVALUE read = {static_cast<DWORD>(counterStatus), {}};
        read.doubleValue = value;
        const CpuReading r = NextCpuReading(source, status, read, fromTimes);
        EXPECT_TRUE(Same(shown, r.percent) && next == r.source) << value << " " << fromTimes;
    }
    // The system times between two readings: idle, kernel (idle included) and user deltas.
    const SystemTimes before = {1000, 5000, 3000};
    for (auto [idle, kernel, user, percent] : {std::tuple{250, 500, 500, 75.0},
                                               {1000, 1000, 0, 0.0},
                                               {0, 200, 200, 100.0},
                                               {0, 0, 0, NAN},  // the clock did not move
                                               {600, 500, 0, NAN},
                                               {10, -100, 200, NAN}}) {
        const SystemTimes now = {before.idle + idle, before.kernel + kernel, before.user + user};
        EXPECT_TRUE(Same(percent, CpuPercentFromTimes(before, now))) << idle << " " << kernel;
    }
    EXPECT_TRUE(std::isnan(CpuPercentFromTimes({}, before))) << "nothing read before";
    for (auto [percent, shown] :
         {std::pair{57.9, 57}, {-0.5, 0}, {-7.9, -7}, {NAN, 0}, {1e12, INT_MAX}, {-1e12, INT_MIN}})
        EXPECT_EQ(shown, TruncatePercent(percent)) << percent;
    for (auto [scale, edge] : {std::pair{1, 160}, {2, 240}, {3, 320}, {0, 160}, {INT_MAX, 160}})
        EXPECT_EQ(edge, CreationEdge(scale, 96)) << scale;
    EXPECT_EQ(L"Swap: -2147483648%", CapacityText(L"Swap", INT_MIN));
    EXPECT_EQ(L"CPU: \u2013", CapacityText(L"CPU", 0, false)) << "a dash, never a 0 %";

    // In the Capacity Bar every widget's text is swapTextColor.
    AppearanceSettings s;
    s.chartTypeValue = ChartStyle::CapacityBar;
    s.swapTextColor = 3;
    EXPECT_EQ(3u, PaintArgsFor(WidgetKind::Ram, s, {}).textColor);

    // High contrast draws in the system's colours, never in the colour key.
    const WidgetPaintArgs args = {0xFF112233, 0xFF445566, L"CPU", 5, true};
    const SystemColors white = {RGB(255, 255, 255), RGB(0, 255, 255), RGB(0, 128, 0)},
                       keyed = {RGB(100, 100, 100), RGB(0, 255, 255), RGB(100, 100, 100)};
    for (const auto& [system, chart, colors] :
         {std::tuple{&white, ChartStyle::CapacityBar,
                     std::vector<Argb>{0xFF00FFFF, 0xFFFFFFFF, 0xFF008000, 0xFFFFFFFF}},
          {&keyed, ChartStyle::SegmentedBar, {0xFF00FFFF, 0xFF646465, 0xFF646465, 0xFF646465}}}) {
        const ChartColors c = ColorsToDraw(args, chart, system);
        EXPECT_EQ(colors, (std::vector<Argb>{c.progress, c.text, c.track, c.outline})) << chart;
    }
    for (auto [message, wParam, redraw] : {std::tuple{WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, true},
                                           {WM_SETTINGCHANGE, SPI_SETWORKAREA, false}})
        EXPECT_EQ(redraw, ChangesDrawnColors(message, wParam)) << message;

    // An attached widget, and the icon on a taskbar, take their monitor's DPI,
    // unless the monitor cannot tell.
    for (auto [attached, monitor, window, dpi] :
         {std::tuple{true, 144u, 96u, 144u}, {false, 144u, 96u, 96u}, {true, 0u, 120u, 120u}})
        EXPECT_EQ(dpi, ChooseWidgetDpi(attached, monitor, window)) << attached << monitor;
}

TEST(Logic, HoverDetails) {
    // The figures in full from the reading behind each percentage; GB are 1024³ bytes.
    const ULONGLONG GiB = 1ull << 30;
    const WidgetKind ram = WidgetKind::Ram, swap = WidgetKind::Swap, cpu = WidgetKind::Cpu;
    const std::wstring limit = L"\r\nThe limit is physical memory plus page files.";
    struct {
        WidgetKind kind;
        MetricValues m;
        std::wstring text;
        unsigned processors = 8;
        CpuSource source = CpuSource::Counter;
    } rows[] = {
        {ram,
         {1, 57.9, 1, {17072495001, 7301444403, 0, 0}},
         L"Memory in use: 9.1 GB of 15.9 GB (57 %)\r\nAvailable: 6.8 GB"},
        {ram, {1, NAN, 1, {GiB, GiB, 0, 0}}, L"Memory in use: \u2013\r\nAvailable: \u2013"},
        {swap,
         {1, 1, 43.75, {0, 0, 1500 * GiB, 905808602726}},
         L"Committed: 656.4 GB of 1500.0 GB (43 %)" + limit},
        {swap, {1, 1, 7, {0, 0, GiB, 2 * GiB}}, L"Committed: 0.0 GB of 1.0 GB (7 %)" + limit},
        {swap, {1, 1, NAN, {}}, L"Committed: \u2013" + limit},
        {cpu,
         {40.7, 1, 1, {}},
         L"Processor time: 40 %\r\nLogical processors: 16\r\nFrom the system's times: the "
         L"processor counter cannot be used.",
         16,
         CpuSource::SystemTimes},
        {cpu, {NAN, 1, 1, {}}, L"Processor time: \u2013\r\nLogical processors: \u2013", 0}};
    for (const auto& r : rows) EXPECT_EQ(r.text, FiguresText(r.kind, r.m, r.source, r.processors));

    // Under the pointer, above it when there is no room below, always inside the work area.
    const RECT work = {0, 0, 1920, 1040}, left = {-1280, 30, 0, 1024};
    for (auto [pointer, tip, area, x, y] :
         {std::tuple{POINT{1800, 500}, SIZE{300, 60}, work, 1620, 520},
          {{500, 960}, {300, 60}, work, 500, 980},  // just fits below
          {{500, 1000}, {300, 60}, work, 500, 940},
          {{-1270, 20}, {300, 60}, left, -1270, 40},
          {{-10, 500}, {300, 2000}, left, -300, 30}}) {
        const POINT at = TipPlace(pointer, tip, area, 20);
        EXPECT_EQ((std::vector<LONG>{x, y}), (std::vector<LONG>{at.x, at.y})) << pointer.x;
    }
}

// The bottom row of an icon: '#' where a bar is, '.' where the taskbar shows.
std::string BottomRow(const std::vector<std::uint32_t>& pixels, int size) {
    std::string row;
    for (int x = 0; x < size; ++x) row += pixels[(size - 1) * size + x] ? '#' : '.';
    return row;
}

TEST(Logic, NotificationAreaIcon) {
    // Each bar filled from the bottom as far as the whole percentage its
    // widget shows (a row at least for any load), in its gauge colour; the
    // rest a track that stands out on the taskbar. High contrast draws in
    // the theme's colours, the colour key nudged.
    AppearanceSettings s;
    s.cpuProgressColor = 0xFF0000FF, s.ramProgressColor = 0xFF00FF00,
    s.swapProgressColor = 0xFFFF0000;
    TaskbarLook dark, light, contrast;
    light.light = contrast.highContrast = true;
    contrast.system = {RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 128, 0)};
    const std::vector<Argb> gauges = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000}, keyed(3, 0xFF646465);
    for (auto [size, taskbar, m, rows, fills, track, layout] :
         {std::tuple{16, dark, MetricValues{12.9, 57, 43}, std::vector<int>{2, 9, 7}, gauges,
                     0x8CFFFFFFu, std::string("####..####..####")},
          {20, light, {0, 100, NAN}, {0, 20, 0}, gauges, 0x73000000u, "#####..#####..#####."},
          {24,
           contrast,
           {1, 99.4, 50},
           {1, 24, 12},
           keyed,
           0xFF008000u,
           "######...######...######"},
          {32,
           dark,
           {-3, 200, 2},
           {0, 32, 1},
           gauges,
           0x8CFFFFFFu,
           "########....########....########"}}) {
        taskbar.iconSize = size;
        const std::vector<std::uint32_t> pixels = TrayIconPixels(TrayLookFor(s, m, taskbar));
        ASSERT_EQ(static_cast<size_t>(size * size), pixels.size());
        EXPECT_EQ(layout, BottomRow(pixels, size)) << size;
        for (int b = 0; b < 3; ++b) {
            const size_t x = layout.find('#', b * (layout.size() / 3));
            for (int y = 0; y < size; ++y)
                EXPECT_EQ(y < size - rows[b] ? track : fills[b], pixels[y * size + x])
                    << size << " bar " << b << " row " << y;
        }
    }

    // The tip: a line per widget, the hover tip's GB, a dash for no figure,
    // never more than the shell keeps.
    const ULONGLONG GiB = 1ull << 30, most = ~0ull;
    for (const auto& [m, text] :
         {std::pair{
              MetricValues{12.6, 57.9, 43.75, {17072495001, 7301444403, 33071248179, 18897338204}},
              std::wstring(L"CPU 12 %\nRAM 57 % \u00B7 9.1 of 15.9 GB\nSwap 43 % \u00B7 13.2 "
                           L"of 30.8 GB")},
          {{NAN, NAN, NAN, {GiB, GiB, GiB, GiB}}, L"CPU \u2013\nRAM \u2013\nSwap \u2013"},
          {{0, 0, 0, {}}, L"CPU 0 %\nRAM 0 % \u00B7 0.0 of 0.0 GB\nSwap 0 % \u00B7 0.0 of 0.0 GB"},
          {{100, 100, 100, {1024 * GiB, 0, 1024 * GiB, 2048 * GiB}},
           L"CPU 100 %\nRAM 100 % \u00B7 1024.0 of 1024.0 GB\nSwap 100 % \u00B7 0.0 of 1024.0 GB"},
          {{-1e300, -1e300, -1e300, {most, 0, most, 0}},
           L"CPU -2147483648 %\nRAM -2147483648 % \u00B7 17179869184.0 of 17179869184.0 GB\nSwap "
           L"-2147483648 % \u00B7 17179869184.0 of 17179869184.0 GB"}}) {
        EXPECT_EQ(text, TrayTipText(m));
        EXPECT_LT(text.size(), static_cast<size_t>(kTrayTipChars));
    }

    // What a sync sends, from what the shell holds (the look and tip of
    // `held`) and the figures now: only the parts that would show otherwise.
    const UINT icon = NIF_ICON, tip = NIF_TIP, all = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    const MemoryBytes bytes = {16 * GiB, 7 * GiB, 32 * GiB, 18 * GiB};
    const MetricValues held = {12.9, 57.2, 43, bytes};
    MetricValues lessFree = held;
    lessFree.memory.physicalAvailable -= GiB / 4;
    enum { Wanted = 1, Added = 2, Due = 4, Rest = 8 };
    for (const auto& [flags, now, ramColor, message, parts] :
         {std::tuple{Wanted | Added, held, s.ramProgressColor, DWORD{NIM_MODIFY}, 0u},
          {Wanted | Added, {12.1, 57.9, 43.9, bytes}, s.ramProgressColor, NIM_MODIFY, 0u},
          {Wanted | Added, {12.9, 58, 43, bytes}, s.ramProgressColor, NIM_MODIFY, tip},
          {Wanted | Added, {20, 57, 43, bytes}, s.ramProgressColor, NIM_MODIFY, icon | tip},
          {Wanted | Added, lessFree, s.ramProgressColor, NIM_MODIFY, tip},
          {Wanted | Added, held, 0xFF123456, NIM_MODIFY, icon},
          {Wanted | Added | Rest, {20, 57, 43, bytes}, s.ramProgressColor, NIM_MODIFY, 0u},
          {Added, {20, 57, 43, bytes}, s.ramProgressColor, NIM_MODIFY, 0u},
          {Wanted | Due, held, s.ramProgressColor, NIM_ADD, all},
          {Wanted, held, s.ramProgressColor, NIM_ADD, 0u},
          {Due, held, s.ramProgressColor, NIM_MODIFY, 0u}}) {
        TrayState t;
        t.wanted = flags & Wanted, t.added = flags & Added, t.addDue = flags & Due;
        t.sentIcon = TrayLookFor(s, held, t.taskbar);
        std::wcsncpy(t.sentTip, TrayTipText(held).c_str(), kTrayTipChars - 1);
        AppearanceSettings changed = s;
        changed.ramProgressColor = ramColor;
        const TraySync sync =
            NextTraySync(t, flags & Rest, TrayLookFor(changed, now, t.taskbar), TrayTipText(now));
        EXPECT_EQ(parts, sync.parts) << flags << " " << now.cpuPercent << " " << now.ramPercent;
        if (parts) {
            EXPECT_EQ(message, sync.message) << flags;
        }
    }

    // Version 4's events of our icon: the mouse's and the keyboard's open its
    // menu, the pointer resting on it its flyout.
    using A = TrayAction;
    for (auto [code, id, action] : {std::tuple{WM_CONTEXTMENU, kTrayIconId, A::Menu},
                                    {NIN_SELECT, kTrayIconId, A::Menu},
                                    {NIN_KEYSELECT, kTrayIconId, A::Menu},
                                    {NIN_POPUPOPEN, kTrayIconId, A::OpenFlyout},
                                    {NIN_POPUPCLOSE, kTrayIconId, A::CloseFlyout},
                                    {WM_MOUSEMOVE, kTrayIconId, A::Nothing},
                                    {NIN_POPUPOPEN, kTrayIconId + 1, A::Nothing}})
        EXPECT_EQ(action, TrayEventAction(MAKELPARAM(code, id))) << code << " " << id;

    // The flyout beside the anchor, off the taskbar's edge, inside the work
    // area: a bottom taskbar at 100 % and its overflow at 150 %, a left one
    // on a monitor left of the primary, a top and a right one, and one that
    // hides itself (the monitor's nearest edge).
    const RECT screen = {0, 0, 1920, 1080};
    const SIZE flyout = {388, 240};
    for (auto [anchor, size, monitor, work, gap, x, y] :
         {std::tuple{POINT{1800, 1060}, flyout, screen, RECT{0, 0, 1920, 1040}, 8, 1532, 792},
          {{1500, 900}, {582, 360}, screen, {0, 0, 1920, 1040}, 12, 1209, 528},
          {{-1250, 1000}, flyout, {-1280, 0, 0, 1024}, {-1218, 0, 0, 1024}, 8, -1210, 784},
          {{300, 20}, flyout, screen, {0, 40, 1920, 1080}, 8, 106, 48},
          {{1890, 500}, flyout, screen, {0, 0, 1860, 1080}, 8, 1464, 380},
          {{960, 1075}, flyout, screen, screen, 8, 766, 827}}) {
        const POINT at = FlyoutPlace(anchor, size, monitor, work, gap);
        EXPECT_EQ((std::vector<LONG>{x, y}), (std::vector<LONG>{at.x, at.y})) << anchor.x;
    }

    // Its text with the processor figure and its history still to come, and
    // full: for CPU, RAM and Swap the icon's line, what the chart shows, for
    // CPU the busiest processor, and the heaviest process.
    const ULONGLONG T = 1000000;
    SharedState early, full;
    early.processes.listed = full.processes.listed = true;
    early.processes.snapshots = 1;
    early.LiveMetrics = {NAN, 57.9, 43.75, {17072495001, 7301444403, 33071248179, 18897338204}};
    full.LiveMetrics = {12.6, 57.9, 43.75, early.LiveMetrics.memory};
    for (int k = 0; k < 3; ++k) {
        RecordReading(early.history[k], T, WidgetFigure(kWidgetKinds[k], early.LiveMetrics));
        for (ULONGLONG t = 0; t <= 720000; t += 6000)
            RecordReading(full.history[k], T + t, WidgetFigure(kWidgetKinds[k], full.LiveMetrics));
        full.processes.heaviest[k] = {{L"chrome.exe", 14, k ? 5 * GiB / 2 : 2300}};
    }
    early.processes.heaviest[1] = full.processes.heaviest[1];
    full.processes.snapshots = 2, full.processes.elapsed = 10000;
    full.processes.processorLoads = {3, 97.5};
    const std::wstring ram = L"RAM 57 % \u00B7 9.1 of 15.9 GB\r\n",
                       swap = L"Swap 43 % \u00B7 13.2 of 30.8 GB\r\n";
    for (const auto& [state, now, text] :
         {std::tuple{early, T + 1000,
                     L"CPU \u2013\r\nLast 1 min: \u2013\r\nBusiest processor: "
                     L"\u2013\r\nMeasuring\u2026\r\n" +
                         ram +
                         L"Last 1 min: low 57 %, average 57 %, high 57 %\r\nchrome.exe \u00D714  "
                         L"2.5 GB\r\n" +
                         swap +
                         L"Last 1 min: low 43 %, average 43 %, high 43 %\r\nNo process above 0 %"},
          {full, T + 720000,
           L"CPU 12 %\r\nLast 10 min: low 12 %, average 12 %, high 12 %\r\nBusiest processor: 97 "
           L"%\r\nchrome.exe \u00D714  23 %\r\n" +
               ram +
               L"Last 10 min: low 57 %, average 57 %, high 57 %\r\nchrome.exe \u00D714  2.5 "
               L"GB\r\n" +
               swap +
               L"Last 10 min: low 43 %, average 43 %, high 43 %\r\nchrome.exe \u00D714  2.5 GB"}})
        EXPECT_EQ(text, IconTipText(state, now));
}

TEST(Logic, HistoryOfEachFigure) {
    // Readings at milliseconds past T (NaN: not read; kRest: sampling stopped
    // or started anew), the line that says what the chart shows at `now`, and
    // each run in a 600 × 100 box: x is 600 less the reading's age in seconds,
    // y 100 less its load. A lone reading is a column 2 wide.
    const ULONGLONG T = 1000000;
    const double kRest = -1;
    std::vector<std::pair<ULONGLONG, double>> wrapped;  // past the ring's 128 places
    for (int i = 0; i < 130; ++i) wrapped.push_back({T + 6000 * i, i % 2 ? 99.9 : 0.5});
    struct Run {
        size_t points;
        ChartPoint first, last;
    };
    const struct {
        std::vector<std::pair<ULONGLONG, double>> readings;
        ULONGLONG now;
        std::wstring line;
        std::vector<Run> runs;
    } rows[] = {
        {{}, T, L"Last 1 min: \u2013", {}},
        {{{T, 50}, {T + 6000, 70.9}},
         T + 70000,
         L"Last 2 min: low 50 %, average 60 %, high 70 %",
         {{2, {530, 50}, {536, 29.1f}}}},
        {{{T, 10}, {T + 6000, 20}, {0, kRest}, {T + 60000, 30}, {T + 66000, NAN}, {T + 72000, 40}},
         T + 72000,
         L"Last 2 min: low 10 %, average 25 %, high 40 %",
         {{2, {528, 90}, {534, 80}}, {2, {587, 70}, {589, 70}}, {2, {599, 60}, {600, 60}}}},
        {wrapped,  // cut where it crosses ten minutes ago, half way between two readings
         T + 129 * 6000 + 3000,
         L"Last 10 min: low 0 %, average 50 %, high 99 %",
         {{101, {0, 49.8f}, {597, 0.1f}}}},
        {{{T, 40}}, T + 700000, L"Last 10 min: \u2013", {}}};
    auto same = [](ChartPoint a, ChartPoint b) {
        return std::abs(a.x - b.x) < 0.01f && std::abs(a.y - b.y) < 0.01f;
    };
    for (const auto& row : rows) {
        FigureHistory h;
        for (auto [at, percent] : row.readings)
            percent == kRest ? EndRun(h) : RecordReading(h, at, percent);
        EXPECT_EQ(row.line, HistoryLine(SummarizeHistory(h, row.now)));
        const auto runs = ChartRuns(h, row.now, {0, 0, 600, 100}, 2);
        ASSERT_EQ(row.runs.size(), runs.size()) << row.line;
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(row.runs[i].points, runs[i].size()) << row.line << " run " << i;
            EXPECT_TRUE(same(row.runs[i].first, runs[i].front())) << row.line << " run " << i;
            EXPECT_TRUE(same(row.runs[i].last, runs[i].back())) << row.line << " run " << i;
        }
    }
    // The processors' bars: in rows of 32, each at most 12 wide at 96 dpi;
    // the room under the tip's text for them and the 240 × 60 chart.
    for (auto [processors, f, columns, barRows, width, bar33] :
         {std::tuple{2, 1.0f, 2, 1, 12.0f, ChartPoint{}},
          {33, 1.0f, 32, 2, 6.53125f, ChartPoint{0, 13}},
          {256, 1.5f, 32, 8, 9.796875f, ChartPoint{0, 19.5f}}}) {
        const BarGrid g = ProcessorBars(processors, 240 * f, f);
        EXPECT_EQ((std::vector<float>{float(columns), float(barRows), width}),
                  (std::vector<float>{float(g.columns), float(g.rows), g.width}));
        const ChartBox b = ProcessorBar(g, 0, 0, 32);
        const ChartPoint got = {b.left, b.top};
        EXPECT_TRUE(processors <= 32 || same(bar33, got)) << processors;
    }
    for (auto [processors, dpi, room] :
         {std::tuple{0, 96u, TipRoom{252, 72, 6, 60, 0}}, {2, 144u, TipRoom{378, 135, 9, 90, 9}}}) {
        const TipRoom r = TipRoomFor(processors, dpi);
        EXPECT_EQ((std::vector<int>{room.width, room.height, room.chartHeight, room.barsGap}),
                  (std::vector<int>{r.width, r.height, r.chartHeight, r.barsGap}));
    }
    const TipRoom flyout = FlyoutRoomFor(144, 20);  // three charts under 20-pixel labels
    EXPECT_EQ((std::vector<int>{576, 110, 72}),
              (std::vector<int>{flyout.width, flyout.height, flyout.chartHeight}));
    const SystemColors contrast = {RGB(255, 255, 255), RGB(0, 255, 255), RGB(0, 128, 0)};
    EXPECT_EQ(0xFF123456u, TipChartColorsFor(0x80123456, nullptr).area) << "opaque";
    EXPECT_EQ(0xFF008000u, TipChartColorsFor(0xFF123456, &contrast).track);
}

struct Process {
    ULONG_PTR id;
    LONGLONG created;
    ULONGLONG cpu, workingSet, commit;
    std::wstring name;
};

// A snapshot as the system lays one out: the records one after the other,
// their names after the last.
std::vector<BYTE> Snapshot(const std::vector<Process>& processes) {
    size_t names = 0;
    for (const Process& p : processes) names += p.name.size() * 2;
    std::vector<BYTE> buffer(processes.size() * sizeof(SystemProcessRecord) + names);
    auto* name =
        reinterpret_cast<wchar_t*>(buffer.data() + processes.size() * sizeof(SystemProcessRecord));
    for (size_t i = 0; i < processes.size(); ++i) {
        const Process& p = processes[i];
        SystemProcessRecord r = {};
        r.nextEntryOffset = i + 1 < processes.size() ? static_cast<ULONG>(sizeof(r)) : 0;
        r.processId = p.id, r.createTime = p.created, r.userTime = static_cast<LONGLONG>(p.cpu);
        r.workingSetSize = p.workingSet, r.pagefileUsage = p.commit;
        r.nameLength = static_cast<USHORT>(p.name.size() * 2), r.nameBuffer = name;
        name = std::copy(p.name.begin(), p.name.end(), name);
        std::memcpy(buffer.data() + i * sizeof(r), &r, sizeof(r));
    }
    return buffer;
}

TEST(Logic, ProcessesBehindEachFigure) {
    // Two snapshots 10,000 units of all processors' time apart. Grouped by
    // name whatever its case; the Idle process (0) never listed; a reused
    // id is a new process, all of whose time counts; a time gone back
    // counts nothing; ties go by name; a share or size that rounds to 0 is
    // not listed.
    const ULONGLONG GiB = 1ull << 30, MiB = 1ull << 20;
    const std::wstring longName = L"AVeryLongImageNameOfSomeUpdaterService.exe";
    const std::vector<Process> before = {
        {4, 1, 1000, 0, 0, L"System"},      {100, 5, 0, 0, 0, L"chrome.exe"},
        {101, 6, 500, 0, 0, L"Chrome.EXE"}, {200, 7, 100, 0, 0, L"spin.exe"},
        {300, 3, 100, 0, 0, L"gone.exe"},   {400, 8, 900, 0, 0, L"old.exe"},
        {500, 2, 900, 0, 0, L"back.exe"}};
    const std::vector<Process> now = {{0, 0, 90000, 0, 0, L""},
                                      {4, 1, 1040, 300 * 1024, 300 * 1024, L"System"},
                                      {100, 5, 1000, 3 * GiB / 2, GiB, L"chrome.exe"},
                                      {101, 6, 1500, 4 * GiB / 5, 9 * GiB / 10, L"Chrome.EXE"},
                                      {200, 7, 5100, 412 * MiB, 1023 * MiB + MiB / 2, L"spin.exe"},
                                      {400, 9, 700, 2 * GiB, 0, L"new.exe"},  // old.exe's id, later
                                      {500, 2, 800, 2 * GiB, 1023 * MiB + MiB / 2 - 1, longName},
                                      {600, 11, 0, MiB / 2 - 1, MiB / 2, L"tiny.exe"}};
    std::vector<ProcessSample> was, is;
    const std::vector<BYTE> first = Snapshot(before), second = Snapshot(now);
    ParseProcesses(first.data(), first.size(), was);
    ParseProcesses(second.data(), second.size(), is);
    ProcessDetails d;
    d.listed = true, d.snapshots = 2, d.elapsed = 10000;
    for (WidgetKind kind : kWidgetKinds)
        d.heaviest[static_cast<int>(kind)] = HeaviestProcesses(kind, is, ProcessTimesOf(was), 5);
    const WidgetKind cpu = WidgetKind::Cpu, ram = WidgetKind::Ram, swap = WidgetKind::Swap;
    EXPECT_EQ(L"spin.exe  50 %\r\nchrome.exe \u00D72  20 %\r\nnew.exe  7 %",
              ProcessLines(cpu, d, 3));
    EXPECT_EQ(L"chrome.exe \u00D72  2.3 GB\r\n" + longName.substr(0, 31) +
                  L"\u2026  2.0 GB\r\nnew.exe  2.0 GB",
              ProcessLines(ram, d, 3));
    EXPECT_EQ(L"chrome.exe \u00D72  1.9 GB\r\nspin.exe  1.0 GB\r\n" + longName.substr(0, 31) +
                  L"\u2026  1023 MB\r\ntiny.exe  1 MB",
              ProcessLines(swap, d, 5));
    EXPECT_EQ(L"chrome.exe \u00D72  1.9 GB", ProcessLines(swap, d, 1));
    // What stands in for the lines.
    for (auto [kind, snapshots, listed, elapsed, lines] :
         {std::tuple{cpu, 1, true, 0ull, L"Measuring\u2026"},
          {cpu, 2, true, 0ull, L"Measuring\u2026"},  // a clock that did not move
          {ram, 1, true, 0ull, L"chrome.exe \u00D72  2.3 GB"},
          {cpu, 3, true, 20000000ull, L"No process above 0 %"},
          {swap, 0, false, 0ull, L"Processes: \u2013"}}) {
        ProcessDetails other = d;
        other.snapshots = snapshots, other.listed = listed, other.elapsed = elapsed;
        EXPECT_EQ(lines, ProcessLines(kind, other, 1)) << snapshots;
    }
    // A record that runs past the buffer ends the walk; a name outside it is none.
    std::vector<BYTE> cut = Snapshot(now);
    reinterpret_cast<SystemProcessRecord*>(cut.data())[1].nameBuffer = longName.c_str();
    ParseProcesses(cut.data(), 3 * sizeof(SystemProcessRecord) - 1, is);
    ASSERT_EQ(2u, is.size());
    EXPECT_EQ(L"", is[1].name);
    is.push_back(is[1]);
    const std::vector<ProcessGroup> nameless = HeaviestProcesses(ram, is, {}, 3);
    EXPECT_TRUE(nameless.size() == 1 && nameless[0].count == 2) << "grouped as any name";
    // A snapshot within half a second of the last keeps that one.
    for (auto [snapshots, age, due] :
         {std::tuple{0, 0ull, true}, {1, 499ull, false}, {2, 500ull, true}}) {
        ProcessDetails last;
        last.snapshots = snapshots, last.takenAt = 10000;
        EXPECT_EQ(due, SnapshotDue(last, 10000 + age)) << age;
    }

    // Names and the busiest processor at their edges (sizes at theirs above).
    const std::wstring name32(32, L'n'), pair = std::wstring(30, L'p') + L"\U0001F600x";
    EXPECT_EQ(name32, ShortName(name32));
    EXPECT_EQ(std::wstring(30, L'p') + L"\u2026", ShortName(pair)) << "not inside the pair";
    for (auto [loads, line] : {std::pair{std::vector<double>{}, L"Busiest processor: \u2013"},
                               {{12.5, NAN, 97.9, 3}, L"Busiest processor: 97 %"}})
        EXPECT_EQ(line, BusiestProcessorLine(loads));
    EXPECT_TRUE(ProcessorLoads({{1, 2, 3}}, {}).empty()) << "not the same processors";
}

TEST(Logic, RestWhileNobodySees) {
    // One session's story: each notification, the step it takes, and whether all rests then.
    enum { Session, Display, Resume };
    using S = RestStep;
    Visibility v;
    for (auto [kind, code, step, rest] :
         {std::tuple{Display, 1, S::Nothing, false},  // as registered
          {Session, WTS_SESSION_LOCK, S::Stop, true},
          {Display, 0, S::Nothing, true},
          {Session, WTS_SESSION_UNLOCK, S::Nothing, true},  // the display is still off
          {Display, 2, S::Restart, false},                  // dimmed is still seen
          {Session, WTS_REMOTE_DISCONNECT, S::Stop, true},
          {Resume, 0, S::Nothing, true},
          {Session, WTS_SESSION_LOCK, S::Nothing, true},
          {Session, WTS_CONSOLE_CONNECT, S::Nothing, true},  // still locked
          {Session, WTS_SESSION_UNLOCK, S::Restart, false},
          {Session, WTS_CONSOLE_DISCONNECT, S::Stop, true},
          {Session, WTS_REMOTE_CONNECT, S::Restart, false},
          {Session, WTS_SESSION_LOGON, S::Nothing, false}}) {
        const RestEvent event = kind == Session   ? SessionEvent(code)
                                : kind == Display ? DisplayEvent(code)
                                                  : RestEvent::Resume;
        EXPECT_EQ(step, ApplyRestEvent(v, event)) << kind << " " << code;
        EXPECT_EQ(rest, AtRest(v)) << kind << " " << code;
    }
}

TEST(Logic, ChartGeometry) {
    // The ring grows clockwise: a dot at 0 and below, a full circle at most.
    for (auto [value, sweep] : {std::pair{0, 0.1f}, {-5, 0.1f}, {25, 90}, {99, 356.4f}, {104, 360}})
        EXPECT_FLOAT_EQ(sweep, GaugeSweep(value)) << value;
    const GaugeLayout gauge = GaugeLayoutFor(320, 160, 1.0f, 42);
    EXPECT_FLOAT_EQ(136.0f, gauge.diameter) << "from the shorter side";
    EXPECT_FLOAT_EQ(92.0f, gauge.left) << "centred";
    EXPECT_FLOAT_EQ(-12.48f, gauge.labelTop) << "the label raised above the ring";
    EXPECT_FLOAT_EQ(16.32f, gauge.labelFontPx);

    // Segments in whole pixels: the widgets' pixels are placed from these.
    for (auto [edge, dpi, scale, left, height, bottomTop, valueBand, valueFontPx] :
         {std::tuple{160, 1.0f, 1, 12, 6, 116, 122, 20.0f},
          {480, 1.0f, 3, 36, 23, 339, 362, 60.0f},
          {160, 4.0f, 1, 12, 0, 143, 143, 80.0f}}) {  // the gaps outgrow the stack: never negative
        const SegmentLayout s = SegmentLayoutFor(edge, edge, dpi, scale);
        EXPECT_EQ(left, s.left) << edge;
        EXPECT_EQ(height, s.segmentHeight) << edge;
        EXPECT_EQ(bottomTop, SegmentTop(s, 9)) << edge;
        EXPECT_EQ(valueBand, s.valueBandTop) << edge;
        EXPECT_FLOAT_EQ(valueFontPx, s.valueFontPx) << edge;
    }
    // Lit segments count from the bottom one (index 9).
    for (auto [value, lit] :
         {std::pair{-5, 0}, {0, 0}, {9, 0}, {10, 1}, {45, 4}, {99, 9}, {100, 10}, {150, 10}})
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(i >= 10 - lit, SegmentLit(value, i)) << value << " segment " << i;

    // The Capacity Bar's track and its fill, at the edges of what is drawn.
    for (auto [width, height, dpi, scale, value, fontPx, barWidth, barHeight, fill, drawn] :
         {std::tuple{320, 160, 1.0f, 1, 50, 15.0f, 290.0f, 9.0f, 145.0f, true},
          {960, 480, 1.0f, 3, 105, 39.0f, 930.0f, 27.0f, 930.0f, true},  // not past the end
          {960, 480, 1.25f, 3, -3, 48.75f, 922.5f, 3.75f, 0.0f, false},
          {39, 160, 1.0f, 1, 1, 15.0f, 9.0f, 9.0f, 0.09f, false},        // a sliver is not drawn
          {320, 160, 20.0f, 1, 100, 300.0f, 1.0f, 1.0f, 1.0f, true}}) {  // at least 1 by 1
        const CapacityLayout c = CapacityLayoutFor(width, height, dpi, scale, value);
        EXPECT_FLOAT_EQ(fontPx, c.fontPx) << width << " at " << dpi;
        EXPECT_FLOAT_EQ(barWidth, c.barWidth) << width << " at " << dpi;
        EXPECT_FLOAT_EQ(barHeight, c.barHeight) << width << " at " << dpi;
        EXPECT_FLOAT_EQ(fill, c.fillWidth) << width << " at " << dpi;
        EXPECT_EQ(drawn, c.drawFill) << width << " at " << dpi;
    }

    // Windows grow with the display scale, and all drawn in them keeps its
    // 96-dpi proportions up to a pixel of rounding.
    for (float f : {1.25f, 1.5f, 1.75f, 2.0f, 2.5f, 3.0f}) {
        const unsigned dpi = static_cast<unsigned>(96 * f);
        for (int scale = 1; scale <= 3; ++scale) {
            const std::string row = std::to_string(f) + " scale " + std::to_string(scale);
            const int edge96 = StyleWindowSize(ChartStyle::CircularGauge, scale, 96).height;
            const int edge = StyleWindowSize(ChartStyle::CircularGauge, scale, dpi).height;
            EXPECT_EQ(static_cast<int>(f * edge96), edge) << row;
            EXPECT_EQ(2 * edge, StyleWindowSize(ChartStyle::CapacityBar, scale, dpi).width) << row;
            EXPECT_EQ(static_cast<int>(f * CreationEdge(scale, 96)), CreationEdge(scale, dpi));

            const GaugeLayout ring = GaugeLayoutFor(edge, edge, f, 0);
            const GaugeLayout ring96 = GaugeLayoutFor(edge96, edge96, 1, 0);
            EXPECT_FLOAT_EQ((ring.left - ring.penWidth / 2) / edge,
                            (ring96.left - ring96.penWidth / 2) / edge96)
                << row << ": the ring as far inside the window";

            const SegmentLayout bars = SegmentLayoutFor(edge, edge, f, scale);
            const SegmentLayout bars96 = SegmentLayoutFor(edge96, edge96, 1, scale);
            EXPECT_GE(bars.segmentHeight, f * bars96.segmentHeight - 1) << row;
            EXPECT_LE(bars.labelFontPx / (bars.stackTop + 1), bars96.labelFontPx / bars96.stackTop)
                << row << ": the label inside its band";
            EXPECT_LE(bars.valueFontPx, bars.valueBandHeight) << row;

            const float track = CapacityLayoutFor(2 * edge, edge, f, scale, 50).barHeight;
            const float track96 = CapacityLayoutFor(2 * edge96, edge96, 1, scale, 50).barHeight;
            EXPECT_FLOAT_EQ(track96 / edge96, track / edge) << row << ": the track is a bar";
        }
    }
    EXPECT_EQ(320, StyleWindowSize(ChartStyle::CapacityBar, 1, 0).width) << "a gone window: 96 dpi";
    EXPECT_EQ(160, StyleWindowSize(ChartStyle::SegmentedBar, 0, 96).height) << "scale 0 draws as 1";
}

TEST(Logic, StoredValues) {
    const std::uint32_t word = 0x11223344;
    const std::uint8_t one = 0x77, six[6] = {1, 2, 3, 4, 5, 6};
    const RECT stored = {4, 20, 170, 180};  // its left is also a step just past 3
    auto bytes = [](const void* data, DWORD size, LONG status = ERROR_SUCCESS) {
        return StoredBytes{status, data, size};
    };
    for (auto [read, color] : {std::pair{bytes(&word, 4), 0x11223344u},
                               {bytes(&one, 1), 0xFF009677u},
                               {bytes(six, 6), 0xFF009688u},
                               {bytes(&word, 4, ERROR_MORE_DATA), 0xFF009688u}})
        EXPECT_EQ(color, StoredColor(read, 0xFF009688)) << std::hex << color;
    // The icon's switch is off only for a stored 0.
    const std::uint32_t zero = 0;
    for (auto [read, on] : {std::pair{bytes(&zero, 4), false},
                            {bytes(&word, 4), true},
                            {bytes(&zero, 4, ERROR_FILE_NOT_FOUND), true},
                            {bytes(six, 6), true}})
        EXPECT_EQ(on, StoredSwitch(read)) << on;

    // ScaleValue and chartTypeValue start at 3, radio index 2.
    const std::int32_t two = 2;
    for (auto [read, wantValue, wantIndex] : {std::tuple{bytes(&two, 4), 2, 1},
                                              {bytes(&stored.left, 4), 4, 2},
                                              {bytes(six, 6), 1, 0},
                                              {bytes(&word, 4, ERROR_FILE_NOT_FOUND), 1, 0},
                                              {bytes(&one, 1), 0x77, 2},
                                              {bytes(six + 1, 4), 0x05040302, 2}}) {
        std::int32_t value = 3, index = 2;
        ApplyStoredStep(read, value, index);
        EXPECT_EQ(wantValue, value) << wantIndex;
        EXPECT_EQ(wantIndex, index) << wantValue;
    }

    // A rectangle is taken whole or not at all; a short one fills from the left.
    for (auto [read, taken, want] :
         {std::tuple{bytes(&stored, 16), true, stored},
          {bytes(six, 6), true, RECT{0x04030201, 0x0605, 3, 4}},
          {bytes(nullptr, 0), false, RECT{1, 2, 3, 4}},
          {bytes(nullptr, 16), false, RECT{1, 2, 3, 4}},
          {bytes(&stored, 16, ERROR_MORE_DATA), false, RECT{1, 2, 3, 4}}}) {
        RECT rect = {1, 2, 3, 4};
        EXPECT_EQ(taken, StoredRect(read, rect));
        EXPECT_EQ(want, rect);
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
    // The first-run row at 150 % on a 640-pixel portrait screen: moved left
    // as a whole, and the widget that still does not fit laid out apart.
    // Widgets of a pixel are laid apart too.
    const RECT portrait = {0, 0, 640, 1024};
    for (const auto& [lefts, edge, want] :
         {std::tuple{std::array<LONG, 3>{825, 1050, 1275}, 240,
                     std::array<RECT, 3>{
                         RECT{0, 150, 240, 390}, {225, 150, 465, 390}, {50, 550, 290, 790}}},
          {{99, 99, 99}, 1, {RECT{99, 150, 100, 151}, {50, 50, 51, 51}, {61, 50, 62, 51}}}}) {
        RECT row[3] = {};
        FirstRunRow({lefts[0], lefts[1], lefts[2]}, 150, edge, edge, {{portrait, portrait, true}},
                    portrait, row);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(want[i], row[i]) << edge << " " << i;
    }

    // Chosen places as the left monitor goes and comes back: the widgets on
    // it are shown apart on the primary, never over the one the user put
    // there, and go back with their monitor; the chosen places never change.
    // Apart by the size each has there: stored at 112 pixels, or at 150 %.
    auto at = [](LONG left, LONG top, LONG edge = 160) {
        return RECT{left, top, left + edge, top + edge};
    };
    const std::vector<MonitorArea> leftGone(monitors.begin(), monitors.begin() + 2);
    const std::vector<MonitorArea> at150 = {{{0, 0, 1920, 1080}, primaryWork, true, 144}};
    const RECT small[3] = {at(9000, 0, 112), at(9000, 0, 112), at(9000, 0, 112)};
    const RECT onLeft[3] = {at(-600, 100), at(-300, 100), at(100, 100)};
    const RECT overBar[3] = {at(-600, 100), at(-300, 100), at(100, 1000)};  // over the task bar
    const RECT stacked[3] = {at(100, 100), at(100, 100), at(-600, 100)};    // the user's own stack
    const struct {
        const std::vector<MonitorArea>& monitors;
        bool pull;
        const RECT (&chosen)[3];
        RECT shown[3];
    } places[] = {
        {monitors, false, onLeft, {at(-600, 100), at(-300, 100), at(100, 100)}},
        {leftGone, false, onLeft, {at(390, 50), at(560, 50), at(100, 100)}},
        {leftGone, true, overBar, {at(50, 50), at(220, 50), at(100, 880)}},
        {leftGone, false, stacked, {at(100, 100), at(100, 100), at(390, 50)}},
        {monitors, true, small, {at(50, 50), at(220, 50), at(390, 50)}},
        {at150, false, small, {at(50, 50, 240), at(300, 50, 240), at(550, 50, 240)}},
    };
    for (const auto& p : places) {
        RECT shown[3] = {};
        ShownPlaces(p.chosen, p.pull, p.monitors, primaryWork, ChartStyle::CircularGauge, 1, shown);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(p.shown[i], shown[i]) << i << " " << p.pull;
    }
}

TEST(Logic, MenuColoursAndAlignment) {
    EXPECT_EQ(0x00563412u, ArgbToDialogColor(0x40123456));  // alpha dropped
    EXPECT_EQ(0xFF123456u, DialogColorToArgb(0xAB563412));  // always opaque
    EXPECT_EQ(0xFF646465u, DialogColorToArgb(RGB(100, 100, 100))) << "never the colour key";

    auto box = [](LONG l, LONG t) { return RECT{l, t, l + 160, t + 160}; };
    const RECT wide = {INT_MIN, 0, INT_MAX, 10};
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
        {{wide, box(0, 0), box(10, 0)}, 2, true, 0, INT_MIN, 1, 10, 0},       // pinned
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
    for (auto [title, host] : {std::pair{L"Vendrake Corvanite Plus! Suite", true},
                               {L"Vendrake Corvanite Plus", false},
                               {L"vendrake corvanite plus! x", false},
                               {L" Vendrake Corvanite Plus!", false}})
        EXPECT_EQ(host, IsHostWindowTitle(title)) << host;

    // Paths are refused, never cut, when they do not fit 260 characters.
    wchar_t program[kPathChars] = L"untouched", path[kPathChars] = L"old";
    const std::wstring fits(kPathChars - 15, L'a'), longest(kPathChars - 1, L'p');
    EXPECT_FALSE(ComposeHostProgramPath((fits + L"a").c_str(), program));
    EXPECT_STREQ(L"untouched", program);
    EXPECT_TRUE(ComposeHostProgramPath(fits.c_str(), program));
    EXPECT_EQ(fits + L"\\Corvanite.exe", program);
    const size_t all = kPathChars;
    for (const auto& [source, chars, taken, want] :
         {std::tuple{longest + L"p", all, false, std::wstring(L"old")},
          {longest, longest.size() + 5, true, longest},
          {std::wstring(L"C:\\x\0junk", 9), 9, true, L"C:\\x"},
          {L"C:\\yz", 4, true, L"C:\\y"},  // a value without its terminator
          {L"C:", 0, true, L""}}) {        // an empty value
        EXPECT_EQ(taken, CopyPathIfFits(path, source.c_str(), chars)) << chars;
        EXPECT_EQ(want, path) << chars;
    }
    for (auto [own, launch] : {std::pair{IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
                               {BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
                               {HIGH_PRIORITY_CLASS, HIGH_PRIORITY_CLASS}})
        EXPECT_EQ(static_cast<DWORD>(launch), LaunchPriorityClass(own))
            << "host launched from " << own;

    EXPECT_FALSE(IconsHiddenFromRead(ERROR_MORE_DATA, 1))
        << "a longer value may have filled the buffer anyway";
    for (auto [holder, process, shell, taken] : {std::tuple{L"WorkerW", 7, 7, true},
                                                 {L"Progman", 7, 7, true},
                                                 {L"WorkerW", 8, 7, false},
                                                 {L"#32770", 7, 7, false},
                                                 {L"WorkerW", 0, 0, false}})
        EXPECT_EQ(taken, IsShellViewHolder(holder, process, shell)) << holder << process;
}

}  // namespace
