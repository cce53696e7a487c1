#include "metrics/sampling_math.h"
#include "widgets/widget_logic.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

MEMORYSTATUSEX Status(DWORD load, ULONGLONG totalPage, ULONGLONG availPage) {
    MEMORYSTATUSEX s = {};
    s.dwLength = sizeof(s);
    s.dwMemoryLoad = load;
    s.ullTotalPageFile = totalPage;
    s.ullAvailPageFile = availPage;
    return s;
}

constexpr ULONGLONG GB = 1024ull * 1024 * 1024;

TEST(Sampling, MemoryAndCommitLoadAsShown) {
    // 3.5 GB of an 8 GB commit limit in use is 43.75 %, shown as 43.
    MemoryPercents p = MemoryPercentsFrom(true, Status(57, 8 * GB, 8 * GB - 3 * GB - GB / 2));
    EXPECT_EQ(57.0, p.ram);
    EXPECT_DOUBLE_EQ(43.75, p.swap);
    EXPECT_EQ(57, TruncatePercent(p.ram));
    EXPECT_EQ(43, TruncatePercent(p.swap));

    // Commit load is carried at single precision.
    p = MemoryPercentsFrom(true, Status(10, 3, 2));
    EXPECT_EQ(static_cast<double>(static_cast<float>(100.0 / 3.0)), p.swap);
    EXPECT_EQ(33, TruncatePercent(p.swap));
}

TEST(Sampling, DegenerateMemoryStatusGivesZeroNotGarbage) {
    MemoryPercents p = MemoryPercentsFrom(true, Status(40, 0, 0));  // no commit limit
    EXPECT_EQ(40.0, p.ram);
    EXPECT_EQ(0.0, p.swap);

    p = MemoryPercentsFrom(false, Status(57, 8 * GB, 2 * GB));  // call failed
    EXPECT_EQ(0.0, p.ram);
    EXPECT_EQ(0.0, p.swap);

    // More available than the limit must not wrap into an absurd load.
    p = MemoryPercentsFrom(true, Status(5, 4 * GB, 5 * GB));
    EXPECT_EQ(0.0, p.swap);
    p = MemoryPercentsFrom(true, Status(100, 4 * GB, 0));
    EXPECT_EQ(100.0, p.swap);
}

TEST(Sampling, CpuValueIsZeroWhenTheCounterCannotBeRead) {
    PDH_FMT_COUNTERVALUE v = {};
    v.CStatus = PDH_CSTATUS_VALID_DATA;
    v.doubleValue = 12.6;
    EXPECT_EQ(12.6, CpuPercentFrom(ERROR_SUCCESS, v));
    v.CStatus = PDH_CSTATUS_NEW_DATA;
    EXPECT_EQ(12.6, CpuPercentFrom(ERROR_SUCCESS, v));

    v.CStatus = PDH_CSTATUS_VALID_DATA;
    EXPECT_EQ(0.0, CpuPercentFrom(PDH_INVALID_HANDLE, v));
    EXPECT_EQ(0.0, CpuPercentFrom(PDH_INVALID_DATA, v));
    v.CStatus = PDH_CSTATUS_INVALID_DATA;
    EXPECT_EQ(0.0, CpuPercentFrom(ERROR_SUCCESS, v));
    v.CStatus = PDH_CSTATUS_VALID_DATA;
    v.doubleValue = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(0.0, CpuPercentFrom(ERROR_SUCCESS, v));
}

TEST(WidgetLogic, ShownValueTruncatesTowardZeroAndNeverOverflows) {
    EXPECT_EQ(41, TruncatePercent(41.97));
    EXPECT_EQ(0, TruncatePercent(0.99));
    EXPECT_EQ(-2, TruncatePercent(-2.7));
    EXPECT_EQ(0, TruncatePercent(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(INT_MAX, TruncatePercent(1e300));
    EXPECT_EQ(INT_MIN, TruncatePercent(-1e300));
}

TEST(WidgetLogic, CreationEdgeFollowsScaleAndSurvivesHandEditedValues) {
    EXPECT_EQ(160, CreationEdge(1));
    EXPECT_EQ(240, CreationEdge(2));
    EXPECT_EQ(320, CreationEdge(3));
    for (int bad : {0, -1, 4, 100000, INT_MIN, INT_MAX}) EXPECT_EQ(160, CreationEdge(bad)) << bad;
}

TEST(WidgetLogic, CapacityBarDrawsEveryTextInTheSwapTextColour) {
    AppearanceSettings s;
    s.cpuProgressColor = 0xFF000001;
    s.ramProgressColor = 0xFF000002;
    s.swapProgressColor = 0xFF000003;
    s.cpuTextColor = 0xFF0000A1;
    s.ramTextColor = 0xFF0000A2;
    s.swapTextColor = 0xFF0000A3;
    MetricValues m{12.6, 57.0, 43.75};

    for (int style : {1, 2}) {
        s.chartTypeValue = style;
        WidgetPaintArgs cpu = PaintArgsFor(WidgetKind::Cpu, s, m);
        WidgetPaintArgs ram = PaintArgsFor(WidgetKind::Ram, s, m);
        EXPECT_EQ(0xFF0000A1u, cpu.textColor);
        EXPECT_EQ(0xFF0000A2u, ram.textColor);
    }
    s.chartTypeValue = 3;
    WidgetPaintArgs cpu = PaintArgsFor(WidgetKind::Cpu, s, m);
    WidgetPaintArgs ram = PaintArgsFor(WidgetKind::Ram, s, m);
    WidgetPaintArgs swap = PaintArgsFor(WidgetKind::Swap, s, m);
    EXPECT_EQ(0xFF0000A3u, cpu.textColor);
    EXPECT_EQ(0xFF0000A3u, ram.textColor);
    EXPECT_EQ(0xFF0000A3u, swap.textColor);
    EXPECT_EQ(0xFF000001u, cpu.progressColor);
    EXPECT_EQ(0xFF000002u, ram.progressColor);
    EXPECT_EQ(0xFF000003u, swap.progressColor);
    EXPECT_STREQ(L"CPU", cpu.label);
    EXPECT_STREQ(L"RAM", ram.label);
    EXPECT_STREQ(L"Swap", swap.label);
    EXPECT_EQ(12, cpu.value);
    EXPECT_EQ(57, ram.value);
    EXPECT_EQ(43, swap.value);
}

}  // namespace
