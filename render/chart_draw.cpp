#include "render/chart_draw.h"

#include "render/chart_layout.h"
#include "render/gdip_objects.h"

#include <string>

using Gdiplus::GpGraphics;
using Gdiplus::RectF;

namespace {

// What every string of one paint is drawn with. A failed creation leaves
// its member empty; the strings that need it are then left out.
struct TextResources {
    FontFamily family;
    StringFormat format;  // stays empty for the Capacity Bar: near alignment
    SolidBrush brush;
};

void CreateTextResources(TextResources& text, Argb color, bool centred) {
    // Looked up among the installed fonts; without it no text is drawn.
    gp::GdipCreateFontFamilyFromName(L"Segoe UI", nullptr, text.family.out());
    if (centred) {
        gp::GdipCreateStringFormat(0, LANG_NEUTRAL, text.format.out());
        if (text.format) {
            gp::GdipSetStringFormatAlign(text.format.get(), Gdiplus::StringAlignmentCenter);
            gp::GdipSetStringFormatLineAlign(text.format.get(), Gdiplus::StringAlignmentCenter);
        }
    }
    gp::GdipCreateSolidFill(color, text.brush.out());
}

void MakeFont(const TextResources& text, float sizePx, int style, Font& font) {
    if (text.family)
        gp::GdipCreateFont(text.family.get(), sizePx, style, Gdiplus::UnitPixel, font.out());
}

void DrawTextLine(GpGraphics* graphics, const TextResources& text, const Font& font,
                  const wchar_t* string, const RectF& layout) {
    if (font && text.brush)
        gp::GdipDrawString(graphics, string, -1, font.get(), &layout, text.format.get(),
                           text.brush.get());
}

void DrawCircularGauge(GpGraphics* graphics, const ChartInput& in) {
    const GaugeLayout g = GaugeLayoutFor(in.width, in.height, in.dpiFactor, in.value);

    Pen pen;
    if (in.measured)
        gp::GdipCreatePen1(in.colors.progress, g.penWidth, Gdiplus::UnitWorld, pen.out());
    if (pen) {
        // Round caps turn the smallest sweep into a dot at 12 o'clock.
        gp::GdipSetPenStartCap(pen.get(), Gdiplus::LineCapRound);
        gp::GdipSetPenEndCap(pen.get(), Gdiplus::LineCapRound);
        gp::GdipDrawArc(graphics, pen.get(), g.left, g.top, g.diameter, g.diameter,
                        kGaugeStartAngle, g.sweep);
    }

    // Text after the arc, so it lies on top where they overlap.
    TextResources text;
    CreateTextResources(text, in.colors.text, true);
    Font labelFont;
    MakeFont(text, g.labelFontPx, Gdiplus::FontStyleRegular, labelFont);
    DrawTextLine(graphics, text, labelFont, in.label,
                 RectF(g.left, g.labelTop, g.diameter, g.diameter));
    Font valueFont;
    MakeFont(text, g.valueFontPx, Gdiplus::FontStyleBold, valueFont);
    const std::wstring value = ValueText(in.value, in.measured);
    DrawTextLine(graphics, text, valueFont, value.c_str(),
                 RectF(g.left, g.top, g.diameter, g.diameter));
}

void FillSegment(GpGraphics* graphics, const SegmentLayout& s, int y, Argb color) {
    SolidBrush brush;
    gp::GdipCreateSolidFill(color, brush.out());
    Path path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    if (!brush || !path) return;
    // Four quarter arcs, joined by GDI+ with straight sides: a rectangle
    // with corners of radius corner/2.
    const int r = s.corner;
    const int right = s.left + s.segmentWidth - r;
    const int bottom = y + s.segmentHeight - r;
    gp::GdipAddPathArcI(path.get(), s.left, y, r, r, 180.0f, 90.0f);
    gp::GdipAddPathArcI(path.get(), right, y, r, r, 270.0f, 90.0f);
    gp::GdipAddPathArcI(path.get(), right, bottom, r, r, 0.0f, 90.0f);
    gp::GdipAddPathArcI(path.get(), s.left, bottom, r, r, 90.0f, 90.0f);
    gp::GdipClosePathFigure(path.get());
    gp::GdipFillPath(graphics, brush.get(), path.get());
}

void DrawSegmentedBar(GpGraphics* graphics, const ChartInput& in) {
    const SegmentLayout s = SegmentLayoutFor(in.width, in.height, in.dpiFactor, in.scale);
    for (int i = 0; i < kSegmentCount; ++i)
        FillSegment(graphics, s, SegmentTop(s, i),
                    SegmentLit(in.value, i) ? in.colors.progress : in.colors.track);

    TextResources text;
    CreateTextResources(text, in.colors.text, true);
    Font labelFont;
    MakeFont(text, s.labelFontPx, Gdiplus::FontStyleBold, labelFont);
    DrawTextLine(graphics, text, labelFont, in.label,
                 RectF(0.0f, 0.0f, static_cast<float>(in.width), static_cast<float>(s.stackTop)));
    Font valueFont;
    MakeFont(text, s.valueFontPx, Gdiplus::FontStyleBold, valueFont);
    const std::wstring value = ValueText(in.value, in.measured);
    DrawTextLine(graphics, text, valueFont, value.c_str(),
                 RectF(0.0f, static_cast<float>(s.valueBandTop), static_cast<float>(in.width),
                       static_cast<float>(s.valueBandHeight)));
}

void DrawCapacityBar(GpGraphics* graphics, const ChartInput& in) {
    const CapacityLayout c =
        CapacityLayoutFor(in.width, in.height, in.dpiFactor, in.scale, in.value);

    // One line, top-left aligned from a zero-sized layout rectangle: no
    // wrapping, no clipping.
    TextResources text;
    CreateTextResources(text, in.colors.text, false);
    Font font;
    MakeFont(text, c.fontPx, Gdiplus::FontStyleBold, font);
    const std::wstring line = CapacityText(in.label, in.value, in.measured);
    DrawTextLine(graphics, text, font, line.c_str(), RectF(c.margin, c.textTop, 0.0f, 0.0f));

    SolidBrush track;
    gp::GdipCreateSolidFill(in.colors.track, track.out());
    if (track)
        gp::GdipFillRectangle(graphics, track.get(), c.margin, c.barTop, c.barWidth, c.barHeight);
    if (c.drawFill) {
        SolidBrush fill;
        gp::GdipCreateSolidFill(in.colors.progress, fill.out());
        if (fill)
            gp::GdipFillRectangle(graphics, fill.get(), c.margin, c.barTop, c.fillWidth,
                                  c.barHeight);
    }
    Pen outline;
    gp::GdipCreatePen1(in.colors.outline, c.outlineWidth, Gdiplus::UnitWorld, outline.out());
    if (outline)
        gp::GdipDrawRectangle(graphics, outline.get(), c.margin, c.barTop, c.barWidth, c.barHeight);
}

}  // namespace

GpGraphics* BeginChartGraphics(HDC dc, int chartType) {
    GpGraphics* graphics = nullptr;
    gp::GdipCreateFromHDC(dc, &graphics);
    if (!graphics) return nullptr;
    // Half-pixel offset puts the segments' integer edges on pixel edges.
    if (chartType == ChartStyle::SegmentedBar)
        gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
    // The background is the windows' colour key: what stays in it is
    // transparent on the desktop.
    gp::GdipGraphicsClear(graphics, AppearanceSettings::backgroundColor);
    return graphics;
}

void DrawChart(GpGraphics* graphics, int chartType, const ChartInput& in) {
    switch (chartType) {
    case ChartStyle::CircularGauge:
        DrawCircularGauge(graphics, in);
        break;
    case ChartStyle::SegmentedBar:
        DrawSegmentedBar(graphics, in);
        break;
    case ChartStyle::CapacityBar:
        DrawCapacityBar(graphics, in);
        break;
    default:
        break;
    }
}
