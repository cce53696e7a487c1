#pragma once
// Shared by the settings tests: ending the program through its CPU widget,
// and what a save must have left in the key.

#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace settingstest {

using namespace vgtest;

inline const std::vector<std::wstring>& DwordNames() {
    static const std::vector<std::wstring> names = {
        L"ScaleValue",   L"chartTypeValue", L"cpuProgressColor", L"ramProgressColor",
        L"swapProgressColor", L"cpuTextColor", L"ramTextColor",  L"swapTextColor"};
    return names;
}

inline const std::vector<std::wstring>& RectNames() {
    static const std::vector<std::wstring> names = {L"WindowPos", L"WindowPos2", L"WindowPos3"};
    return names;
}

inline std::vector<HWND> WidgetWindows(const VitalGauge& app) {
    return {app.windows.cpu, app.windows.ram, app.windows.swap};
}

inline RECT PrimaryWorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

struct CornerSearch {
    POINT corner;
    bool found;
};

inline BOOL CALLBACK CheckMonitorWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    auto* search = reinterpret_cast<CornerSearch*>(param);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info) && PtInRect(&info.rcWork, search->corner))
        search->found = true;
    return TRUE;
}

inline bool InsideSomeWorkArea(POINT corner) {
    CornerSearch search = {corner, false};
    EnumDisplayMonitors(nullptr, nullptr, CheckMonitorWorkArea,
                        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string Narrow(const std::wstring& name) {
    std::string out;
    for (wchar_t c : name) out.push_back(static_cast<char>(c));
    return out;
}

// "Exit" path: the CPU widget is destroyed and saves on its way out.
inline void ExitThroughCpuWidget(VitalGauge& app) {
    PostMessageW(app.windows.cpu, WM_CLOSE, 0, 0);
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code)) << "process did not end";
    EXPECT_EQ(0u, code);
}

inline void EndWithCloseMessage(VitalGauge& app) {
    app.PostClose();
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code)) << "process did not end";
    EXPECT_EQ(0u, code);
}

// Exactly the eleven values, each of its own type and size: nothing else
// (the background colour in particular) is ever written.
inline void ExpectElevenWellFormedValues(const RegSnapshot& key) {
    EXPECT_EQ(11u, key.size());
    for (const std::wstring& name : DwordNames()) {
        auto it = key.find(name);
        ASSERT_NE(key.end(), it) << "missing " << Narrow(name);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), it->second.type);
        EXPECT_EQ(4u, it->second.data.size());
    }
    for (const std::wstring& name : RectNames()) {
        auto it = key.find(name);
        ASSERT_NE(key.end(), it) << "missing " << Narrow(name);
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), it->second.type);
        EXPECT_EQ(16u, it->second.data.size());
    }
}

inline std::uint32_t DwordIn(const RegSnapshot& key, const std::wstring& name) {
    std::uint32_t v = 0;
    auto it = key.find(name);
    if (it != key.end() && it->second.data.size() == 4) std::memcpy(&v, it->second.data.data(), 4);
    return v;
}

inline RECT RectIn(const RegSnapshot& key, const std::wstring& name) {
    RECT r = {};
    auto it = key.find(name);
    if (it != key.end() && it->second.data.size() == 16) std::memcpy(&r, it->second.data.data(), 16);
    return r;
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string Show(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

}  // namespace settingstest
