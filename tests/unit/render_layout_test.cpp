// Geometry and text of the chart styles, from the pure layout functions,
// against the figures the styles are designed to: 96 dpi at every scale and
// the larger DPI factors that Wine cannot give a window.

#include "render/chart_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(RenderLayout, ValueTextIsPlainDecimalWithPercent) {
    EXPECT_EQ(L"0%", ValueText(0));
    EXPECT_EQ(L"7%", ValueText(7));
    EXPECT_EQ(L"42%", ValueText(42));
    EXPECT_EQ(L"100%", ValueText(100));
    EXPECT_EQ(L"-3%", ValueText(-3));
    EXPECT_EQ(L"1234567%", ValueText(1234567));  // no digit grouping
    EXPECT_EQ(L"-2147483648%", ValueText(INT_MIN));
    EXPECT_EQ(L"2147483647%", ValueText(INT_MAX));
    EXPECT_EQ(L"CPU: 42%", CapacityText(L"CPU", 42));
    EXPECT_EQ(L"Swap: -3%", CapacityText(L"Swap", -3));
    EXPECT_EQ(L"RAM: 105%", CapacityText(L"RAM", 105));
}

TEST(RenderLayout, WindowSizeFollowsStyleAndScaleOnly) {
    for (int style : {ChartStyle::CircularGauge, ChartStyle::SegmentedBar}) {
        for (int scale : {1, 2, 3}) {
            EXPECT_EQ(160 * scale, StyleWindowSize(style, scale).width);
            EXPECT_EQ(160 * scale, StyleWindowSize(style, scale).height);
        }
    }
    for (int scale : {1, 2, 3}) {
        EXPECT_EQ(320 * scale, StyleWindowSize(ChartStyle::CapacityBar, scale).width);
        EXPECT_EQ(160 * scale, StyleWindowSize(ChartStyle::CapacityBar, scale).height);
    }
    // A hand-edited scale is sized as scale 1: never empty, negative or huge.
    for (int bad : {0, -1, -160, 4, 100000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(160, StyleWindowSize(ChartStyle::SegmentedBar, bad).width) << bad;
        EXPECT_EQ(320, StyleWindowSize(ChartStyle::CapacityBar, bad).width) << bad;
        EXPECT_EQ(160, StyleWindowSize(ChartStyle::CapacityBar, bad).height) << bad;
    }
    EXPECT_FLOAT_EQ(1.5f, DpiFactor(144));
    EXPECT_FLOAT_EQ(1.0f, DpiFactor(0));  // a window that is already gone
}

TEST(RenderLayout, GaugeAtEachScale) {
    struct Row {
        int edge;
        float d, xy, label, value;
    } rows[] = {{160, 136.0f, 12.0f, 16.32f, 29.92f},
                {320, 272.0f, 24.0f, 32.64f, 59.84f},
                {480, 408.0f, 36.0f, 48.96f, 89.76f}};
    for (const Row& r : rows) {
        const GaugeLayout g = GaugeLayoutFor(r.edge, r.edge, 1.0f, 42);
        EXPECT_FLOAT_EQ(12.0f, g.penWidth);
        EXPECT_FLOAT_EQ(r.d, g.diameter) << r.edge;
        EXPECT_FLOAT_EQ(r.xy, g.left) << r.edge;
        EXPECT_FLOAT_EQ(r.xy, g.top) << r.edge;
        EXPECT_FLOAT_EQ(r.label, g.labelFontPx) << r.edge;
        EXPECT_FLOAT_EQ(r.value, g.valueFontPx) << r.edge;
        EXPECT_FLOAT_EQ(r.xy - 0.18f * r.d, g.labelTop) << r.edge;
    }
    EXPECT_FLOAT_EQ(-12.48f, GaugeLayoutFor(160, 160, 1.0f, 0).labelTop);
    // Only the pen follows the DPI factor.
    const GaugeLayout hi = GaugeLayoutFor(160, 160, 1.5f, 42);
    EXPECT_FLOAT_EQ(18.0f, hi.penWidth);
    EXPECT_FLOAT_EQ(136.0f, hi.diameter);
    EXPECT_FLOAT_EQ(16.32f, hi.labelFontPx);
    EXPECT_FLOAT_EQ(24.0f, GaugeLayoutFor(160, 160, 2.0f, 42).penWidth);
    // A non-square client centres the largest square that fits.
    const GaugeLayout wide = GaugeLayoutFor(320, 160, 1.0f, 42);
    EXPECT_FLOAT_EQ(136.0f, wide.diameter);
    EXPECT_FLOAT_EQ(92.0f, wide.left);
}

TEST(RenderLayout, GaugeSweepRunsInPercentStepsBetweenADotAndAFullRing) {
    EXPECT_FLOAT_EQ(0.1f, GaugeSweep(0));
    EXPECT_FLOAT_EQ(0.1f, GaugeSweep(-5));
    EXPECT_FLOAT_EQ(0.1f, GaugeSweep(INT_MIN));
    EXPECT_FLOAT_EQ(3.6f, GaugeSweep(1));
    EXPECT_FLOAT_EQ(90.0f, GaugeSweep(25));
    EXPECT_FLOAT_EQ(180.0f, GaugeSweep(50));
    EXPECT_FLOAT_EQ(356.4f, GaugeSweep(99));
    EXPECT_FLOAT_EQ(360.0f, GaugeSweep(100));
    EXPECT_FLOAT_EQ(360.0f, GaugeSweep(104));
    EXPECT_FLOAT_EQ(360.0f, GaugeSweep(INT_MAX));
}

void ExpectSegments(const SegmentLayout& s, int gap, int segH, int stackH, int segW, int left,
                    int top, int step, int corner, int bandTop, int bandH, float labelPx,
                    float valuePx) {
    EXPECT_EQ(gap, s.gap);
    EXPECT_EQ(segH, s.segmentHeight);
    EXPECT_EQ(stackH, s.stackHeight);
    EXPECT_EQ(segW, s.segmentWidth);
    EXPECT_EQ(left, s.left);
    EXPECT_EQ(top, s.stackTop);
    EXPECT_EQ(step, s.step);
    EXPECT_EQ(corner, s.corner);
    EXPECT_EQ(bandTop, s.valueBandTop);
    EXPECT_EQ(bandH, s.valueBandHeight);
    EXPECT_FLOAT_EQ(labelPx, s.labelFontPx);
    EXPECT_FLOAT_EQ(valuePx, s.valueFontPx);
}

TEST(RenderLayout, SegmentedBarAt96DpiEachScaleAnd144Dpi) {
    {
        SCOPED_TRACE("96 dpi, scale 1");
        const SegmentLayout s = SegmentLayoutFor(160, 160, 1.0f, 1);
        ExpectSegments(s, 3, 6, 87, 136, 12, 35, 9, 3, 122, 38, 22.0f, 20.0f);
        EXPECT_EQ(35, SegmentTop(s, 0));
        EXPECT_EQ(44, SegmentTop(s, 1));
        EXPECT_EQ(116, SegmentTop(s, 9));
        EXPECT_EQ(122, SegmentTop(s, 9) + s.segmentHeight);  // the stack ends on the band
    }
    {
        SCOPED_TRACE("96 dpi, scale 2");
        ExpectSegments(SegmentLayoutFor(320, 320, 1.0f, 2), 3, 14, 167, 272, 24, 70, 17, 3, 237,
                       83, 44.0f, 40.0f);
    }
    {
        SCOPED_TRACE("96 dpi, scale 3");
        ExpectSegments(SegmentLayoutFor(480, 480, 1.0f, 3), 3, 23, 257, 408, 36, 105, 26, 3, 362,
                       118, 66.0f, 60.0f);
    }
    {
        SCOPED_TRACE("144 dpi, scale 1");
        ExpectSegments(SegmentLayoutFor(160, 160, 1.5f, 1), 4, 5, 86, 136, 12, 35, 9, 4, 121, 39,
                       33.0f, 30.0f);
    }
}

TEST(RenderLayout, SegmentsThinOutAtHighDpiButNeverTurnInsideOut) {
    EXPECT_EQ(3, SegmentLayoutFor(160, 160, 2.0f, 1).segmentHeight);   // 192 dpi, gap 6
    EXPECT_EQ(7, SegmentLayoutFor(160, 160, 2.5f, 1).gap);             // 240 dpi
    EXPECT_EQ(2, SegmentLayoutFor(160, 160, 2.5f, 1).segmentHeight);
    EXPECT_EQ(0, SegmentLayoutFor(160, 160, 3.0f, 1).segmentHeight);   // 288 dpi, gap 9
    for (float f : {4.0f, 5.0f, 8.0f}) {
        const SegmentLayout s = SegmentLayoutFor(160, 160, f, 1);
        EXPECT_EQ(0, s.segmentHeight) << f;
        EXPECT_EQ(s.gap, s.step) << f;
        EXPECT_EQ(9 * s.gap, s.stackHeight) << f;
    }
    EXPECT_EQ(2, SegmentLayoutFor(160, 160, 0.5f, 1).corner);  // never a box below 2
}

TEST(RenderLayout, CapacityBarAt96DpiEachScale) {
    struct Row {
        int w, h, scale;
        float font;
        int limit;
        float top, width, height;
    } rows[] = {{320, 160, 1, 15.0f, 58, 34.0f, 290.0f, 9.0f},
                {640, 320, 2, 26.0f, 80, 56.0f, 610.0f, 9.0f},
                {960, 480, 3, 39.0f, 120, 78.0f, 930.0f, 27.0f}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.scale);
        const CapacityLayout c = CapacityLayoutFor(r.w, r.h, 1.0f, r.scale, 42);
        EXPECT_FLOAT_EQ(15.0f, c.margin);
        EXPECT_FLOAT_EQ(12.0f, c.textTop);
        EXPECT_FLOAT_EQ(r.font, c.fontPx);
        EXPECT_EQ(r.limit, c.barLimit);
        EXPECT_FLOAT_EQ(r.top, c.barTop);
        EXPECT_FLOAT_EQ(r.width, c.barWidth);
        EXPECT_FLOAT_EQ(r.height, c.barHeight);
        EXPECT_FLOAT_EQ(1.0f, c.outlineWidth);
    }
}

TEST(RenderLayout, CapacityBarAt120And144Dpi) {
    EXPECT_FLOAT_EQ(1.0f, CapacityLayoutFor(320, 160, 1.25f, 1, 42).barHeight);
    EXPECT_FLOAT_EQ(1.0f, CapacityLayoutFor(640, 320, 1.25f, 2, 42).barHeight);
    EXPECT_FLOAT_EQ(3.75f, CapacityLayoutFor(960, 480, 1.25f, 3, 42).barHeight);
    const CapacityLayout c = CapacityLayoutFor(320, 160, 1.5f, 1, 42);
    EXPECT_FLOAT_EQ(51.0f, c.barTop);
    EXPECT_FLOAT_EQ(275.0f, c.barWidth);
    EXPECT_FLOAT_EQ(1.0f, c.barHeight);
    EXPECT_FLOAT_EQ(22.5f, c.margin);
    EXPECT_FLOAT_EQ(18.0f, c.textTop);
    EXPECT_FLOAT_EQ(22.5f, c.fontPx);
    EXPECT_FLOAT_EQ(1.5f, c.outlineWidth);
    EXPECT_EQ(58, c.barLimit);  // the window, not the DPI, sets the limit
}

TEST(RenderLayout, CapacityBarNeverShrinksBelowOnePixel) {
    for (float f : {2.0f, 4.0f, 8.0f, 20.0f}) {
        for (int scale : {1, 2, 3}) {
            const CapacityLayout c = CapacityLayoutFor(320 * scale, 160 * scale, f, scale, 50);
            EXPECT_GE(c.barWidth, 1.0f) << f << " " << scale;
            EXPECT_GE(c.barHeight, 1.0f) << f << " " << scale;
            EXPECT_LE(c.fillWidth, c.barWidth);
        }
    }
    EXPECT_FLOAT_EQ(1.0f, CapacityLayoutFor(320, 160, 20.0f, 1, 50).barWidth);
}

TEST(RenderLayout, CapacityFillIsTheValueShareOfTheTrack) {
    auto fill = [](int value) { return CapacityLayoutFor(320, 160, 1.0f, 1, value); };
    EXPECT_FALSE(fill(0).drawFill);
    EXPECT_FLOAT_EQ(2.9f, fill(1).fillWidth);
    EXPECT_TRUE(fill(1).drawFill);
    EXPECT_FLOAT_EQ(145.0f, fill(50).fillWidth);
    EXPECT_FLOAT_EQ(290.0f, fill(100).fillWidth);
    EXPECT_FLOAT_EQ(290.0f, fill(105).fillWidth);
    EXPECT_FLOAT_EQ(290.0f, fill(INT_MAX).fillWidth);
    EXPECT_FALSE(fill(-3).drawFill);
    EXPECT_FALSE(fill(INT_MIN).drawFill);
    // A sliver of 0.1 pixel or less is left out: 1 % of a 9-pixel track.
    EXPECT_FALSE(CapacityLayoutFor(39, 160, 1.0f, 1, 1).drawFill);
    EXPECT_TRUE(CapacityLayoutFor(41, 160, 1.0f, 1, 1).drawFill);
}

}  // namespace
