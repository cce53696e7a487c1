// Whatever a hand edit or another program leaves in the settings key, the
// program starts, shows its three widgets on a work area and ends cleanly.

#include "tests/e2e/settings_support.h"

#include <climits>

using namespace settingstest;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Raw {
    DWORD type;
    Bytes bytes;
};

Bytes Dword(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes Rect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    Bytes out;
    for (std::int64_t v : {l, t, r, b}) {
        const Bytes d = Dword(static_cast<std::uint32_t>(v));
        out.insert(out.end(), d.begin(), d.end());
    }
    return out;
}

Bytes First(const Bytes& all, std::size_t n) { return Bytes(all.begin(), all.begin() + n); }

Bytes Twice(const Bytes& once) {
    Bytes out = once;
    out.insert(out.end(), once.begin(), once.end());
    return out;
}

// A wide string with its terminator, as the registry stores text.
Bytes Text(const std::wstring& s) {
    Bytes out;
    for (wchar_t c : s + L'\0') {
        out.push_back(std::uint8_t(c));
        out.push_back(std::uint8_t(c >> 8));
    }
    return out;
}

constexpr std::uint32_t kGauge = 0xFF009688;
constexpr std::uint32_t kText = 0xFF212121;

struct Round {
    const char* what;
    // ScaleValue, chartTypeValue, WindowPos, WindowPos2, WindowPos3, then the
    // six colours in the order of DwordNames().
    Raw values[11];
    // What the program loaded, as the save on exit writes it back.
    std::int32_t scale;
    std::int32_t chart;
    std::uint32_t colors[6];
    // Where the CPU, RAM and Swap widgets come up.
    POINT corners[3];
};

std::vector<Round> Rounds(const RECT& work) {
    const POINT corner = {work.left + 50, work.top + 50};  // of a widget on no monitor
    const LONG farBelow = work.bottom + 5000;
    return {
        {"wrong registry types",
         {{REG_SZ, Text(L"2")},
          {REG_BINARY, {2, 0, 0, 0}},
          {REG_SZ, Text(L"1234567")},
          {REG_DWORD, Dword(300)},
          {REG_NONE, Rect(30, 600, 190, 760)},
          {REG_SZ, Text(L"1")},
          {REG_BINARY, {0x11, 0x22, 0x33, 0x44}},
          {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
          {REG_EXPAND_SZ, Text(L"%X%")},
          {REG_NONE, {}},
          {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 0xFF}}},
         '2',  // the text's first character, taken byte for byte
         2,
         {0x31, 0x44332211, kGauge, kText, kText, 0xFF000000},
         {corner, corner, {30, 600}}},

        {"data too short",
         {{REG_DWORD, {3}},
          {REG_DWORD, {0, 0}},
          {REG_BINARY, {}},
          {REG_BINARY, First(Rect(10, 0, 0, 0), 4)},
          {REG_BINARY, First(Rect(20, 400, 180, 560), 15)},
          {REG_DWORD, {}},
          {REG_DWORD, {0x42}},
          {REG_DWORD, {0x01, 0x02}},
          {REG_DWORD, {0x01, 0x02, 0x03}},
          {REG_BINARY, {0}},
          {REG_DWORD, {0xFF, 0xFF, 0xFF}}},
         3,
         0,
         {kGauge, 0xFF009642, 0xFF000201, 0xFF030201, 0xFF212100, 0xFFFFFFFF},
         {{550, 100}, {10, 100}, {20, 400}}},

        {"data too long",
         {{REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}},
          {REG_DWORD, {3, 0, 0, 0, 0}},
          {REG_BINARY, Bytes(17, 1)},
          {REG_BINARY, Twice(Rect(10, 10, 170, 170))},
          {REG_BINARY, Bytes(65536, 0x20)},
          {REG_DWORD, {1, 2, 3, 4, 5}},
          {REG_QWORD, Bytes(8, 0x7F)},
          {REG_BINARY, Bytes(16, 0)},
          {REG_BINARY, Bytes(64, 0xFF)},
          {REG_SZ, Text(std::wstring(500, L'x'))},
          {REG_BINARY, Bytes(4096, 0x33)}},
         1,
         1,
         {kGauge, kGauge, kGauge, kText, kText, kText},
         {{550, 100}, {700, 100}, {850, 100}}},

        {"zero",
         {{REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)},
          {REG_BINARY, Rect(0, 0, 0, 0)},
          {REG_BINARY, Rect(0, 0, 0, 0)},
          {REG_BINARY, Rect(0, 0, 0, 0)},
          {REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)},
          {REG_DWORD, Dword(0)}},
         0,
         0,
         {0, 0, 0, 0, 0, 0},
         {corner, corner, corner}},

        {"negative",
         {{REG_DWORD, Dword(static_cast<std::uint32_t>(-1))},
          {REG_DWORD, Dword(static_cast<std::uint32_t>(-3))},
          {REG_BINARY, Rect(-300, -300, -140, -140)},
          {REG_BINARY, Rect(work.left - 100, 50, work.left + 60, 210)},
          {REG_BINARY, Rect(400, 300, -400, -300)},
          {REG_DWORD, Dword(0xFFFFFFFF)},
          {REG_DWORD, Dword(0x80000000)},
          {REG_DWORD, Dword(0xFFFFFFFE)},
          {REG_DWORD, Dword(0x80000001)},
          {REG_DWORD, Dword(0xFFFF0000)},
          {REG_DWORD, Dword(0x8000FFFF)}},
         -1,
         -3,
         {0xFFFFFFFF, 0x80000000, 0xFFFFFFFE, 0x80000001, 0xFFFF0000, 0x8000FFFF},
         {corner, {work.left, 50}, corner}},

        {"out of range",
         {{REG_DWORD, Dword(INT_MAX)},
          {REG_DWORD, Dword(static_cast<std::uint32_t>(INT_MIN))},
          {REG_BINARY, Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX)},
          {REG_BINARY, Rect(INT_MAX - 100, INT_MAX - 100, INT_MAX, INT_MAX)},
          {REG_BINARY, Rect(work.left - 10, 100, INT_MAX, 260)},
          {REG_DWORD, Dword(0x7FFFFFFF)},
          {REG_DWORD, Dword(1)},
          {REG_DWORD, Dword(0x00FFFFFF)},
          {REG_DWORD, Dword(0xDEADBEEF)},
          {REG_DWORD, Dword(0x7F000000)},
          {REG_DWORD, Dword(0x01010101)}},
         INT_MAX,
         INT_MIN,
         {0x7FFFFFFF, 1, 0x00FFFFFF, 0xDEADBEEF, 0x7F000000, 0x01010101},
         {{work.left, work.top}, corner, {work.left, 100}}},

        {"rectangles far off every monitor",
         {{REG_DWORD, Dword(4)},
          {REG_DWORD, Dword(4)},
          {REG_BINARY, Rect(100000, 100000, 100160, 100160)},
          {REG_BINARY, Rect(-100000, 0, -99840, 160)},
          {REG_BINARY, Rect(0, farBelow, 160, farBelow + 160)},
          {REG_DWORD, Dword(0x00000000)},
          {REG_DWORD, Dword(0x00FFFFFF)},
          {REG_DWORD, Dword(0x01000000)},
          {REG_DWORD, Dword(0x00212121)},
          {REG_DWORD, Dword(0x00009688)},
          {REG_DWORD, Dword(0x10203040)}},
         4,
         4,
         {0, 0x00FFFFFF, 0x01000000, 0x00212121, 0x00009688, 0x10203040},
         {corner, corner, corner}},
    };
}

TEST(SettingsHostile, AnyStoredDataStartsThreeVisibleWidgetsOnAWorkAreaAndEndsCleanly) {
    const RECT work = PrimaryWorkArea();
    ASSERT_TRUE(work.left <= 10 && work.top <= 50 && work.right >= 1010 && work.bottom >= 760)
        << "this test needs a screen that holds the places it expects";
    std::vector<std::wstring> names;
    names.push_back(DwordNames()[0]);
    names.push_back(DwordNames()[1]);
    names.insert(names.end(), RectNames().begin(), RectNames().end());
    names.insert(names.end(), DwordNames().begin() + 2, DwordNames().end());

    for (const Round& round : Rounds(work)) {
        SCOPED_TRACE(round.what);
        DeleteSettingsKey();
        for (int i = 0; i < 11; ++i)
            WriteSettingsValue(names[i], round.values[i].type, round.values[i].bytes.data(),
                               static_cast<DWORD>(round.values[i].bytes.size()));
        ASSERT_EQ(11u, ReadSettingsKey().size()) << "the hostile data was not stored";

        VitalGauge app;
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
        const std::vector<HWND> widgets = WidgetWindows(app);
        RECT shown[3];
        for (int w = 0; w < 3; ++w) {
            shown[w] = ScreenRect(widgets[w]);
            const POINT at = {shown[w].left, shown[w].top};
            EXPECT_TRUE(IsWindowVisible(widgets[w]));
            EXPECT_TRUE(InsideSomeWorkArea(at)) << "widget " << w << " at " << Show(shown[w]);
            EXPECT_EQ(round.corners[w].x, at.x) << "widget " << w;
            EXPECT_EQ(round.corners[w].y, at.y) << "widget " << w;
            EXPECT_GT(shown[w].right, shown[w].left);
            EXPECT_GT(shown[w].bottom, shown[w].top);
        }

        ExitThroughCpuWidget(app);
        const RegSnapshot key = ReadSettingsKey();
        ExpectElevenWellFormedValues(key);
        EXPECT_EQ(static_cast<std::uint32_t>(round.scale), DwordIn(key, L"ScaleValue"));
        EXPECT_EQ(static_cast<std::uint32_t>(round.chart), DwordIn(key, L"chartTypeValue"));
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(round.colors[c], DwordIn(key, DwordNames()[2 + c]))
                << std::hex << "colour " << c;
        for (int w = 0; w < 3; ++w)
            EXPECT_TRUE(SameRect(shown[w], RectIn(key, RectNames()[w]))) << "widget " << w;
    }
}

}  // namespace
