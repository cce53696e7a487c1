// The context menu's tree, colour conversions and alignment arithmetic.

#include "app/state.h"
#include "settings/context_menu.h"
#include "settings/menu_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Item {
    std::wstring caption;  // empty for a separator
    UINT id;
    bool separator;
    bool checked;
    bool radio;
    HMENU submenu;
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW mi = {};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 64;
        GetMenuItemInfoW(menu, i, TRUE, &mi);
        out.push_back({text, mi.wID, (mi.fType & MFT_SEPARATOR) != 0,
                       (mi.fState & MFS_CHECKED) != 0, (mi.fType & MFT_RADIOCHECK) != 0,
                       mi.hSubMenu});
    }
    return out;
}

TEST(ContextMenu, TreeCaptionsIdsAndSeparatorsInOrder) {
    appState = SharedState{};
    HMENU menu = BuildContextMenu();
    const std::vector<Item> items = Items(menu);
    ASSERT_EQ(12u, items.size());
    const struct {
        const wchar_t* caption;
        UINT id;
    } expected[] = {{L"Align Horizontally", 1005}, {L"Align Vertically", 1006}, {nullptr, 0},
                    {L"Change Gauge Color", 1007}, {L"Change Text Color", 1008}, {nullptr, 0},
                    {L"Chart Type", 0},            {L"Widget Scale", 0},         {nullptr, 0},
                    {L"Settings...", 1003},        {nullptr, 0},                 {L"Exit", 1004}};
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        if (!expected[i].caption) {
            EXPECT_TRUE(items[i].separator);
            continue;
        }
        EXPECT_FALSE(items[i].separator);
        EXPECT_EQ(expected[i].caption, items[i].caption);
        if (expected[i].id) {
            EXPECT_EQ(expected[i].id, items[i].id);
        }
        EXPECT_EQ(i == 6 || i == 7, items[i].submenu != nullptr);
        EXPECT_FALSE(items[i].checked);
    }

    const std::vector<Item> chart = Items(items[6].submenu);
    const std::vector<Item> scale = Items(items[7].submenu);
    ASSERT_EQ(3u, chart.size());
    ASSERT_EQ(3u, scale.size());
    const wchar_t* chartCaptions[] = {L"Circular Gauge", L"Segmented Bar", L"Capacity Bar"};
    const wchar_t* scaleCaptions[] = {L"Normal (100%)", L"Large (150%)", L"Extra Large (200%)"};
    for (UINT i = 0; i < 3; ++i) {
        EXPECT_EQ(chartCaptions[i], chart[i].caption);
        EXPECT_EQ(3000 + i, chart[i].id);
        EXPECT_EQ(scaleCaptions[i], scale[i].caption);
        EXPECT_EQ(2000 + i, scale[i].id);
    }
    DestroyMenu(menu);
}

TEST(ContextMenu, ExactlyOneRadioMarkPerSubmenuFollowsTheIndices) {
    for (int chartIndex = 0; chartIndex < 3; ++chartIndex) {
        for (int scaleIndex = 0; scaleIndex < 3; ++scaleIndex) {
            appState = SharedState{};
            appState.chartIndex = chartIndex;
            appState.scaleIndex = scaleIndex;
            // A hand-edited value does not move the mark: the index does.
            appState.WidgetSettings.ScaleValue = 5;
            HMENU menu = BuildContextMenu();
            const std::vector<Item> items = Items(menu);
            for (int sub : {6, 7}) {
                const int marked = sub == 6 ? chartIndex : scaleIndex;
                const std::vector<Item> entries = Items(items[sub].submenu);
                for (int i = 0; i < 3; ++i) {
                    EXPECT_EQ(i == marked, entries[i].checked) << sub << " " << i;
                    if (i == marked) {
                        EXPECT_TRUE(entries[i].radio);
                    }
                }
            }
            DestroyMenu(menu);
        }
    }
}

TEST(MenuColors, ConversionsBetweenArgbAndTheDialogOrder) {
    EXPECT_EQ(0x000000FFu, ArgbToDialogColor(0xFFFF0000));  // red
    EXPECT_EQ(0x00FF0000u, ArgbToDialogColor(0x000000FF));  // blue, alpha dropped
    EXPECT_EQ(0x00889600u, ArgbToDialogColor(0xFF009688));
    EXPECT_EQ(0xFFFF0000u, DialogColorToArgb(0x000000FF));
    EXPECT_EQ(0xFF123456u, DialogColorToArgb(0x00563412));
    // A confirmed colour is opaque, whatever the alpha it started with.
    EXPECT_EQ(0xFF336699u, DialogColorToArgb(ArgbToDialogColor(0x20336699)));
    EXPECT_EQ(0xFF000000u, DialogColorToArgb(0xFF000000));  // stray high byte ignored
}

RECT Box(LONG left, LONG top, LONG width = 160, LONG height = 160) {
    return {left, top, left + width, top + height};
}

TEST(Alignment, RowAnchoredAtEachWidget) {
    // CPU at 100, RAM at 400, Swap at 1000: span 1060, gap 290.
    const RECT rects[3] = {Box(100, 30), Box(400, 60), Box(1000, 90)};

    AlignPlan p = PlanAlignment(rects, 0, true);  // on the CPU widget
    EXPECT_EQ(1, p.firstIndex);
    EXPECT_EQ(550, p.first.x);
    EXPECT_EQ(2, p.secondIndex);
    EXPECT_EQ(1000, p.second.x);
    EXPECT_EQ(30, p.first.y);
    EXPECT_EQ(30, p.second.y);

    p = PlanAlignment(rects, 1, true);  // on the RAM widget
    EXPECT_EQ(0, p.firstIndex);
    EXPECT_EQ(-50, p.first.x);
    EXPECT_EQ(2, p.secondIndex);
    EXPECT_EQ(850, p.second.x);
    EXPECT_EQ(60, p.first.y);

    p = PlanAlignment(rects, 2, true);  // on the Swap widget: the row ends at it
    EXPECT_EQ(0, p.firstIndex);
    EXPECT_EQ(100, p.first.x);
    EXPECT_EQ(1, p.secondIndex);
    EXPECT_EQ(550, p.second.x);
    EXPECT_EQ(90, p.second.y);
}

TEST(Alignment, OrderTiesOverlapsAndOddSpans) {
    // Equal left edges: the later widget of the triple comes first.
    const RECT tie[3] = {Box(0, 0), Box(500, 0), Box(500, 0)};
    AlignPlan p = PlanAlignment(tie, 0, true);
    EXPECT_EQ(2, p.firstIndex);
    EXPECT_EQ(1, p.secondIndex);

    // Overlapping widgets give a negative gap, and the row overlaps too.
    const RECT overlap[3] = {Box(0, 0), Box(100, 0), Box(200, 0)};  // span 360, gap -60
    p = PlanAlignment(overlap, 0, true);
    EXPECT_EQ(100, p.first.x);
    EXPECT_EQ(200, p.second.x);

    // An odd remainder is truncated toward zero, for negative gaps as well.
    const RECT odd[3] = {Box(0, 0), Box(100, 0), Box(201, 0)};  // (361 - 480) / 2 = -59
    p = PlanAlignment(odd, 1, true);
    EXPECT_EQ(100 + 59 - 160, p.first.x);
    EXPECT_EQ(260 - 59, p.second.x);

    // Absurd rectangles must not overflow: the widths alone exceed 32 bits.
    const RECT huge[3] = {{-2147483647 - 1, 0, 2147483647, 10}, Box(0, 0), Box(10, 0)};
    p = PlanAlignment(huge, 0, true);  // gap -160
    EXPECT_EQ(2147483647 - 160, p.first.x);
    p = PlanAlignment(huge, 2, true);
    EXPECT_EQ(-2147483647 - 1, p.first.x);  // pinned, not wrapped
}

TEST(Alignment, ColumnIsTheRowWithAxesExchanged) {
    const RECT rects[3] = {Box(7, 100), Box(8, 400), Box(9, 1000)};
    AlignPlan p = PlanAlignment(rects, 0, false);
    EXPECT_EQ(550, p.first.y);
    EXPECT_EQ(7, p.first.x);
    EXPECT_EQ(1000, p.second.y);
    p = PlanAlignment(rects, 1, false);
    EXPECT_EQ(-50, p.first.y);
    EXPECT_EQ(850, p.second.y);
    EXPECT_EQ(8, p.second.x);
    p = PlanAlignment(rects, 2, false);
    EXPECT_EQ(100, p.first.y);
    EXPECT_EQ(550, p.second.y);
}

}  // namespace
