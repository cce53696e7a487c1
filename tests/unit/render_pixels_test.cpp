// What the three styles put into the bitmap: drawn by the painters' own
// drawing code into memory bitmaps, at any size and DPI factor, and read
// back pixel by pixel.

#include "render/chart_layout.h"
#include "tests/unit/render_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace rendertest;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Box {
    double x0, y0, x1, y1;  // half-open in pixel centres
    bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

struct TextExtent {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    double CentreX() const { return (left + right) / 2.0; }
    double CentreY() const { return (top + bottom) / 2.0; }
};

TextExtent TextPixels(const Canvas& c, const Box& box) {
    TextExtent t;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (box.Contains(x, y) && c.At(x, y) == Rgb(kText)) {
                ++t.count;
                t.left = std::min(t.left, x);
                t.right = std::max(t.right, x);
                t.top = std::min(t.top, y);
                t.bottom = std::max(t.bottom, y);
            }
    return t;
}

// --- Circular Gauge ------------------------------------------------------

struct GaugeCheck {
    int strayPixels = 0;      // drawn where neither stroke nor text may be
    int pastTheSweep = 0;     // stroke-coloured beyond the arc and its caps
    int gapsInStroke = 0;     // core of the stroke not in the progress colour
    int strokeCentre = 0;     // pixels checked in the stroke's core
};

// Classifies every pixel against the circle, the arc's extent and the text
// boxes of the layout the painter used.
GaugeCheck CheckGauge(const Canvas& c, const GaugeLayout& g, const Box& textZone) {
    GaugeCheck out;
    const double cx = g.left + g.diameter / 2.0, cy = g.top + g.diameter / 2.0;
    const double radius = g.diameter / 2.0, half = g.penWidth / 2.0;
    // The arc's end points, for the distance past either end.
    const double a0 = -90.0 * kPi / 180.0, a1 = (-90.0 + g.sweep) * kPi / 180.0;
    const double e0x = cx + radius * std::cos(a0), e0y = cy + radius * std::sin(a0);
    const double e1x = cx + radius * std::cos(a1), e1y = cy + radius * std::sin(a1);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const std::uint32_t px = c.At(x, y);
            const double dx = x - cx, dy = y - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            double clock = std::atan2(dy, dx) * 180.0 / kPi + 90.0;  // 0 at 12 o'clock
            if (clock < 0) clock += 360.0;
            const bool alongSweep = clock <= g.sweep;
            const double toArc =
                alongSweep ? std::fabs(r - radius)
                           : std::min(std::hypot(x - e0x, y - e0y), std::hypot(x - e1x, y - e1y));
            const bool inText = textZone.Contains(x, y);
            // The core: two pixels inside the stroke's edges and short of
            // either end, where edge pixels and the caps' rendering vary.
            const double margin = 2.0 / radius * 180.0 / kPi;
            const bool core = clock >= margin && clock <= g.sweep - margin;
            if (core && std::fabs(r - radius) <= half - 2.0 && !inText) {
                ++out.strokeCentre;
                if (px != Rgb(kProgress)) ++out.gapsInStroke;
            }
            if (px == kBackground || inText) continue;
            // Two pixels of slack: edge pixels, and the curves GDI+ builds
            // the arc from stray a little from the true circle.
            if (toArc > half + 2.0) {
                ++out.strayPixels;
                if (px == Rgb(kProgress)) ++out.pastTheSweep;
            }
        }
    }
    return out;
}

// The label sits 0.18·d above the centre, the value text on it; each is
// centred in its box, so its glyphs stay within half an em of that line.
Box GaugeLabelBox(const GaugeLayout& g) {
    const double cy = g.top + g.diameter / 2.0 - 0.18 * g.diameter;
    return {g.left, cy - 0.55 * g.labelFontPx, g.left + g.diameter, cy + 0.5 * g.labelFontPx};
}
Box GaugeValueBox(const GaugeLayout& g) {
    const double cy = g.top + g.diameter / 2.0;
    return {g.left, cy - 0.5 * g.valueFontPx, g.left + g.diameter, cy + 0.55 * g.valueFontPx};
}
Box Union(const Box& a, const Box& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
            std::max(a.y1, b.y1)};
}

TEST(RenderPixels, GaugeStrokeFollowsTheSweepAndNothingElseIsDrawn) {
    for (int value : {0, 25, 50, 100, 104, -5}) {
        SCOPED_TRACE(value);
        const Canvas c = Render(ChartStyle::CircularGauge, Input(160, 160, 1.0f, 1, value));
        const GaugeLayout g = GaugeLayoutFor(160, 160, 1.0f, value);
        const Box labelBox = GaugeLabelBox(g), valueBox = GaugeValueBox(g);
        const GaugeCheck check = CheckGauge(c, g, Union(labelBox, valueBox));
        EXPECT_EQ(0, check.strayPixels);
        EXPECT_EQ(0, check.pastTheSweep);
        EXPECT_EQ(0, check.gapsInStroke) << "of " << check.strokeCentre;
        if (value >= 25) {
            EXPECT_GT(check.strokeCentre, 500);
        }
        // Every value draws at least the dot at 12 o'clock; 100 and more
        // close the ring at 9 o'clock.
        EXPECT_EQ(Rgb(kProgress), c.At(80, 12));
        EXPECT_EQ(value >= 100 ? Rgb(kProgress) : kBackground, c.At(12, 80));

        const TextExtent label = TextPixels(c, labelBox);
        const TextExtent text = TextPixels(c, valueBox);
        EXPECT_GE(label.count, 10);
        EXPECT_GE(text.count, 40);
        EXPECT_NEAR(80.0, label.CentreX(), 3.0);
        EXPECT_NEAR(80.0, text.CentreX(), 3.0);
        EXPECT_NEAR(80.0 - 0.18 * 136.0, label.CentreY(), 4.0);
        EXPECT_NEAR(80.0, text.CentreY(), 4.0);
    }
}

TEST(RenderPixels, GaugeAtLargerScalesAndDpiFactors) {
    struct Case {
        int edge;
        float f;
    } cases[] = {{320, 1.0f}, {480, 1.0f}, {160, 1.5f}, {160, 2.0f}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.edge << " px, f " << k.f);
        const Canvas c = Render(ChartStyle::CircularGauge, Input(k.edge, k.edge, k.f, 1, 50));
        const GaugeLayout g = GaugeLayoutFor(k.edge, k.edge, k.f, 50);
        const GaugeCheck check = CheckGauge(c, g, Union(GaugeLabelBox(g), GaugeValueBox(g)));
        EXPECT_EQ(0, check.strayPixels);
        EXPECT_EQ(0, check.gapsInStroke) << "of " << check.strokeCentre;
        EXPECT_GT(check.strokeCentre, 1000);
    }
    // At 192 dpi the 24-pixel pen reaches the window's edge.
    const Canvas hi = Render(ChartStyle::CircularGauge, Input(160, 160, 2.0f, 1, 100));
    EXPECT_EQ(Rgb(kProgress), hi.At(80, 0));
    EXPECT_EQ(Rgb(kProgress), hi.At(159, 80));
    const Canvas lo = Render(ChartStyle::CircularGauge, Input(160, 160, 1.0f, 1, 100));
    EXPECT_EQ(kBackground, lo.At(80, 5));  // 6 pixels of margin at 96 dpi
    EXPECT_EQ(Rgb(kProgress), lo.At(80, 7));
}

// --- Segmented Bar -------------------------------------------------------

struct SegmentCheck {
    int lit = 0;
    int unlit = 0;
    int otherColour = 0;  // segment cores in neither colour
    int litAboveUnlit = 0;
    int strayInStack = 0;  // drawn in the gaps or beside the segments
};

SegmentCheck CheckSegments(const Canvas& c, const SegmentLayout& s) {
    SegmentCheck out;
    bool seenUnlitBelow = false;
    for (int i = kSegmentCount - 1; i >= 0; --i) {
        const int top = SegmentTop(s, i);
        bool lit = true, unlit = true;
        // The core: everything but the rounded corners.
        for (int y = top; y < top + s.segmentHeight; ++y)
            for (int x = s.left + s.corner; x < s.left + s.segmentWidth - s.corner; ++x) {
                lit = lit && c.At(x, y) == Rgb(kProgress);
                unlit = unlit && c.At(x, y) == Rgb(kSegmentUnlitColor);
            }
        if (lit) {
            ++out.lit;
            if (seenUnlitBelow) ++out.litAboveUnlit;
        } else if (unlit) {
            ++out.unlit;
            seenUnlitBelow = true;
        } else {
            ++out.otherColour;
        }
    }
    for (int y = s.stackTop; y < s.stackTop + s.stackHeight; ++y) {
        const bool inSegment = (y - s.stackTop) % s.step < s.segmentHeight;
        for (int x = 0; x < c.width; ++x) {
            const bool inside = inSegment && x >= s.left && x < s.left + s.segmentWidth;
            if (!inside && c.At(x, y) != kBackground) ++out.strayInStack;
        }
    }
    return out;
}

TEST(RenderPixels, SegmentsLightFromTheBottomInTensOverDarkGrey) {
    struct Case {
        int value, lit;
    } cases[] = {{0, 0}, {9, 0}, {10, 1}, {45, 4}, {99, 9}, {100, 10}, {150, 10}, {-5, 0}};
    const SegmentLayout s = SegmentLayoutFor(160, 160, 1.0f, 1);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.value);
        const Canvas c = Render(ChartStyle::SegmentedBar, Input(160, 160, 1.0f, 1, k.value));
        const SegmentCheck check = CheckSegments(c, s);
        EXPECT_EQ(k.lit, check.lit);
        EXPECT_EQ(10 - k.lit, check.unlit);
        EXPECT_EQ(0, check.otherColour);
        EXPECT_EQ(0, check.litAboveUnlit);
        EXPECT_EQ(0, check.strayInStack);
        // Rounded corners: the very corner pixel is not fully covered.
        EXPECT_NE(c.At(s.left + s.corner, s.stackTop), c.At(s.left, s.stackTop));
    }
}

TEST(RenderPixels, SegmentedBarTextSitsCentredInItsBands) {
    struct Case {
        int edge, scale;
        float f;
    } cases[] = {{160, 1, 1.0f}, {320, 2, 1.0f}, {480, 3, 1.0f}, {160, 1, 1.5f}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.edge << " px, f " << k.f);
        const Canvas c =
            Render(ChartStyle::SegmentedBar, Input(k.edge, k.edge, k.f, k.scale, 45));
        const SegmentLayout s = SegmentLayoutFor(k.edge, k.edge, k.f, k.scale);
        const SegmentCheck check = CheckSegments(c, s);
        EXPECT_EQ(4, check.lit);
        EXPECT_EQ(0, check.strayInStack);

        const Box labelBand{0, 0, double(k.edge), double(s.stackTop)};
        const Box valueBand{0, double(s.valueBandTop), double(k.edge), double(k.edge)};
        const TextExtent label = TextPixels(c, labelBand);
        const TextExtent value = TextPixels(c, valueBand);
        EXPECT_GE(label.count, 20 * k.scale);
        EXPECT_GE(value.count, 20 * k.scale);
        EXPECT_NEAR(k.edge / 2.0, label.CentreX(), 3.0);
        EXPECT_NEAR(k.edge / 2.0, value.CentreX(), 3.0);
        EXPECT_NEAR(s.valueBandTop + s.valueBandHeight / 2.0, value.CentreY(), 3.0 * k.scale);
        // Text pixels never leave the two bands, and nothing but text is in them.
        EXPECT_EQ(0, c.Count([&](int, int y, std::uint32_t px) {
            const bool band = y < s.stackTop || y >= s.valueBandTop;
            return band && px == Rgb(kProgress);
        }));
    }
}

// --- Capacity Bar --------------------------------------------------------

TEST(RenderPixels, CapacityFillTrackAndOutline) {
    struct Case {
        int value;
        double fill;
    } cases[] = {{0, 0.0}, {1, 2.9}, {50, 145.0}, {100, 290.0}, {105, 290.0}, {-3, 0.0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.value);
        const Canvas c = Render(ChartStyle::CapacityBar, Input(320, 160, 1.0f, 1, k.value));
        // Bar from (15, 34), 290 by 9: a row through its middle.
        const int row = 38;
        const int filled = c.CountColor(Rgb(kProgress), 0, row, 320, row + 1);
        EXPECT_GE(filled, static_cast<int>(k.fill) - 2);
        EXPECT_LE(filled, static_cast<int>(std::ceil(k.fill)));
        if (k.value >= 1) {
            EXPECT_EQ(Rgb(kProgress), c.At(16, row));
        }
        // Every progress pixel lies inside the track, from its left edge.
        EXPECT_EQ(0, c.Count([&](int x, int y, std::uint32_t px) {
            return px == Rgb(kProgress) && (y < 34 || y > 43 || x < 15 || x > 15 + k.fill + 1);
        }));
        const int trackFrom = 15 + static_cast<int>(k.fill) + 2;
        for (int x = trackFrom; x < 305; ++x)
            ASSERT_EQ(Rgb(kCapacityTrackColor), c.At(x, row)) << x;
        for (int x = 16; x < 305; ++x) {
            ASSERT_EQ(Rgb(kCapacityOutlineColor), c.At(x, 34)) << x;
            ASSERT_EQ(Rgb(kCapacityOutlineColor), c.At(x, 43)) << x;
        }
        for (int y = 35; y < 43; ++y) {
            ASSERT_EQ(Rgb(kCapacityOutlineColor), c.At(15, y)) << y;
            ASSERT_EQ(Rgb(kCapacityOutlineColor), c.At(305, y)) << y;
        }
        // Outside the text line and the bar nothing is drawn, including the
        // whole lower part of the window.
        const Box textZone{12, 8, 200, 34};
        const Box barZone{14, 33, 307, 45};
        EXPECT_EQ(0, c.Count([&](int x, int y, std::uint32_t px) {
            return px != kBackground && !textZone.Contains(x, y) && !barZone.Contains(x, y);
        }));
        const TextExtent text = TextPixels(c, textZone);
        EXPECT_GE(text.count, 30);
        // From the margin point (15, 12), after GDI+'s leading padding.
        EXPECT_GE(text.left, 15);
        EXPECT_LE(text.left, 22);
        EXPECT_GE(text.top, 12);
        EXPECT_LE(text.top, 20);
        EXPECT_LT(text.bottom, 34);
    }
}

TEST(RenderPixels, CapacityBarAtLargerScalesAndDpi) {
    struct Case {
        int w, h, scale;
        float f;
    } cases[] = {{640, 320, 2, 1.0f}, {960, 480, 3, 1.0f}, {320, 160, 1, 1.5f},
                 {320, 160, 1, 2.0f}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.w << " px, f " << k.f);
        const Canvas c = Render(ChartStyle::CapacityBar, Input(k.w, k.h, k.f, k.scale, 100));
        const CapacityLayout L = CapacityLayoutFor(k.w, k.h, k.f, k.scale, 100);
        const Box bar{L.margin - L.outlineWidth - 1, L.barTop - L.outlineWidth - 1,
                      L.margin + L.barWidth + L.outlineWidth + 1,
                      L.barTop + L.barHeight + L.outlineWidth + 1};
        const Box textZone{L.margin - 3, L.textTop - 4, double(k.w), L.barTop - L.outlineWidth};
        EXPECT_EQ(0, c.Count([&](int x, int y, std::uint32_t px) {
            return px != kBackground && !bar.Contains(x, y) && !textZone.Contains(x, y);
        }));
        EXPECT_GE(TextPixels(c, textZone).count, 30 * k.scale);
        // Thin bars are all outline; the outline is there at every size.
        const int midY = static_cast<int>(L.barTop + L.barHeight / 2);
        const std::uint32_t mid = c.At(k.w / 2, midY);
        EXPECT_TRUE(mid == Rgb(kProgress) || mid == Rgb(kCapacityOutlineColor)) << std::hex
                                                                                 << mid;
        EXPECT_GT(c.CountColor(Rgb(kCapacityOutlineColor), 0, 0, k.w, k.h), 0);
    }
}

}  // namespace
