#include "metrics/sampling_math.h"

#include <gtest/gtest.h>

TEST(Sampling, MemoryPercents) {
    MEMORYSTATUSEX s = {};
    s.dwMemoryLoad = 57;
    s.ullTotalPageFile = 8000;
    s.ullAvailPageFile = 4500;
    const MemoryPercents m = MemoryPercentsFrom(true, s);
    EXPECT_EQ(57.0, m.ram);
    EXPECT_FLOAT_EQ(43.75f, static_cast<float>(m.swap));
}
