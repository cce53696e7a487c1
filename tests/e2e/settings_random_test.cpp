// Random settings keys: registry types, lengths and values drawn from a
// fixed seed, the program started on each. Every start must show three
// visible widgets on a work area and end with exit code 0; every tenth case
// leaves through the CPU widget, whose save must write a whole key back.
//
// VG_RANDOM_SEED and VG_RANDOM_CASES (total over the ten shards, default
// 500) change the run; the seed is printed so a failure can be replayed.

#include "tests/e2e/settings_support.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <random>

using namespace settingstest;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kShards = 10;

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    char text[32] = {};
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof(text));
    if (n == 0 || n >= sizeof(text)) return fallback;
    return std::strtoul(text, nullptr, 0);
}

unsigned long Seed() { return EnvNumber("VG_RANDOM_SEED", 20261206ul); }
int TotalCases() { return static_cast<int>(EnvNumber("VG_RANDOM_CASES", 500ul)); }

const std::vector<std::wstring>& ValueNames() {
    static const std::vector<std::wstring> names = {
        L"ScaleValue",       L"chartTypeValue",    L"WindowPos",    L"WindowPos2",
        L"WindowPos3",       L"cpuProgressColor",  L"ramProgressColor", L"swapProgressColor",
        L"cpuTextColor",     L"ramTextColor",      L"swapTextColor"};
    return names;
}

class Generator {
public:
    explicit Generator(int caseIndex) {
        std::seed_seq seq{static_cast<std::uint32_t>(Seed()),
                          static_cast<std::uint32_t>(caseIndex)};
        rng_.seed(seq);
    }

    // One value, or false when the value is to be left out.
    bool Value(bool isRect, DWORD& type, Bytes& data) {
        if (Pick(10) == 0) return false;
        static const DWORD types[] = {REG_DWORD, REG_BINARY,    REG_SZ,    REG_EXPAND_SZ,
                                      REG_NONE,  REG_MULTI_SZ,  REG_QWORD, REG_DWORD_BIG_ENDIAN};
        // Mostly the type the program writes, so the values are also read.
        type = Pick(2) == 0 ? (isRect ? REG_BINARY : REG_DWORD) : types[Pick(8)];
        switch (Pick(4)) {
        case 0:
            data = Number();
            break;
        case 1:
            data = RectBytes();
            break;
        case 2:
            data = Noise();
            break;
        default:
            data = isRect ? RectBytes() : Number();
            break;
        }
        // Cut or pad to an odd length now and then.
        if (Pick(4) == 0) {
            static const std::size_t lengths[] = {0, 1, 2, 3, 5, 8, 15, 17, 32};
            data.resize(lengths[Pick(9)], static_cast<std::uint8_t>(Pick(256)));
        }
        return true;
    }

private:
    std::uint32_t Pick(std::uint32_t n) {
        return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng_);
    }

    static void Put(Bytes& out, std::int64_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }

    std::int64_t Interesting() {
        static const std::int64_t values[] = {0,       1,        2,       3,       4,
                                              -1,      -2,       255,     0x100,   INT_MAX,
                                              INT_MIN, INT_MAX - 1, INT_MIN + 1, 0xFF009688,
                                              0x00FFFFFF, 0x80000000};
        return values[Pick(16)];
    }

    std::int64_t Coordinate() {
        switch (Pick(4)) {
        case 0:
            return static_cast<std::int64_t>(Pick(1400)) - 100;  // around the screen
        case 1:
            return static_cast<std::int64_t>(Pick(200001)) - 100000;  // far away
        case 2:
            return Interesting();
        default:
            return static_cast<std::int64_t>(rng_()) - (1ll << 31);
        }
    }

    Bytes Number() {
        Bytes out;
        Put(out, Pick(3) == 0 ? static_cast<std::int64_t>(rng_()) : Interesting());
        return out;
    }

    Bytes RectBytes() {
        Bytes out;
        const std::int64_t left = Coordinate(), top = Coordinate();
        if (Pick(2) == 0) {  // a plausible size
            Put(out, left);
            Put(out, top);
            Put(out, left + 160 * (1 + Pick(4)));
            Put(out, top + 160 * (1 + Pick(2)));
        } else {
            Put(out, left);
            Put(out, top);
            Put(out, Coordinate());
            Put(out, Coordinate());
        }
        return out;
    }

    Bytes Noise() {
        static const std::size_t lengths[] = {0, 1, 4, 7, 16, 64, 300, 4096};
        Bytes out(lengths[Pick(8)]);
        for (auto& b : out) b = static_cast<std::uint8_t>(Pick(256));
        return out;
    }

    std::mt19937 rng_;
};

std::string Describe(DWORD type, const Bytes& data) {
    char head[64];
    std::snprintf(head, sizeof(head), "type %lu, %zu bytes:", static_cast<unsigned long>(type),
                  data.size());
    std::string out = head;
    for (std::size_t i = 0; i < data.size() && i < 16; ++i) {
        char b[4];
        std::snprintf(b, sizeof(b), " %02X", data[i]);
        out += b;
    }
    return out;
}

void RunCase(int index) {
    Generator gen(index);
    DeleteSettingsKey();
    std::string written;
    for (int v = 0; v < 11; ++v) {
        DWORD type = REG_NONE;
        Bytes data;
        if (!gen.Value(v >= 2 && v <= 4, type, data)) continue;
        WriteSettingsValue(ValueNames()[v], type, data.data(), static_cast<DWORD>(data.size()));
        written += "\n  " + Narrow(ValueNames()[v]) + ": " + Describe(type, data);
    }
    SCOPED_TRACE("case " + std::to_string(index) + ", seed " + std::to_string(Seed()) + written);
    const RegSnapshot stored = ReadSettingsKey();

    VitalGauge app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForWidgets()) << "widgets did not appear";
    const std::vector<HWND> widgets = WidgetWindows(app);
    RECT shown[3];
    for (int w = 0; w < 3; ++w) {
        shown[w] = ScreenRect(widgets[w]);
        EXPECT_TRUE(IsWindowVisible(widgets[w])) << "widget " << w;
        EXPECT_TRUE(InsideSomeWorkArea({shown[w].left, shown[w].top}))
            << "widget " << w << " at " << Show(shown[w]);
        EXPECT_GT(shown[w].right, shown[w].left);
        EXPECT_GT(shown[w].bottom, shown[w].top);
    }

    if (index % 10 == 0) {
        ExitThroughCpuWidget(app);
        const RegSnapshot key = ReadSettingsKey();
        ExpectElevenWellFormedValues(key);
        for (int w = 0; w < 3; ++w)
            EXPECT_TRUE(SameRect(shown[w], RectIn(key, RectNames()[w]))) << "widget " << w;
    } else {
        EndWithCloseMessage(app);
        EXPECT_EQ(stored, ReadSettingsKey()) << "nothing is written without a change";
    }
}

void RunShard(int shard) {
    const int total = TotalCases();
    const int first = total * shard / kShards, last = total * (shard + 1) / kShards;
    std::printf("[random settings] seed %lu, cases %d to %d of %d\n", Seed(), first, last - 1,
                total);
    const RECT work = PrimaryWorkArea();
    ASSERT_GT(work.right - work.left, 0);
    for (int i = first; i < last; ++i) {
        RunCase(i);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// Ten tests of a tenth each, so each stays well inside the time a test gets.
TEST(SettingsRandom, Shard0) { RunShard(0); }
TEST(SettingsRandom, Shard1) { RunShard(1); }
TEST(SettingsRandom, Shard2) { RunShard(2); }
TEST(SettingsRandom, Shard3) { RunShard(3); }
TEST(SettingsRandom, Shard4) { RunShard(4); }
TEST(SettingsRandom, Shard5) { RunShard(5); }
TEST(SettingsRandom, Shard6) { RunShard(6); }
TEST(SettingsRandom, Shard7) { RunShard(7); }
TEST(SettingsRandom, Shard8) { RunShard(8); }
TEST(SettingsRandom, Shard9) { RunShard(9); }

}  // namespace
