#pragma once
// What the tests share: other processes (the program, the stand-in shell),
// their windows, the registry, and X11 input through xdotool.
#include <windows.h>

#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace vgtest {

// Polls pred until it holds or the time is up: every wait is a condition.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 15000);
std::wstring BuildDir();  // every built program lies beside the test program
std::string ReadFileText(const std::wstring& path);
// Runs a command of the host system (xdotool under Wine); its exit code or -1.
int Sh(const std::string& commandLine);
inline void Keys(const std::string& keys) { Sh("xdotool key --delay 60 " + keys); }

// A child process, ended when the object goes, also when a test fails.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }
    bool Start(const std::wstring& exe, const std::wstring& arguments = L"");
    long WaitExit(DWORD timeoutMs = 15000);  // the exit code, -1 while it runs
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// First window of a process with this class, top-level or nested.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly = false);
inline HWND ParentOf(HWND w) { return GetAncestor(w, GA_PARENT); }
inline bool Above(HWND upper, HWND lower) {  // in the z-order of their parent
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}
inline RECT ScreenRect(HWND w) {
    RECT r = {};
    return GetWindowRect(w, &r), r;
}
inline RECT ClientScreenRect(HWND w) {
    RECT r = {};
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
// Columns of the screen's rectangle [left, right) × [top, bottom) in which
// some pixel has this colour.
int ColumnsIn(RECT r, COLORREF color);
// Puts the pointer at a point of a window: keys go to the window under it.
inline void PointAt(HWND w, int dx, int dy) {
    Sh("xdotool mousemove " + std::to_string(ScreenRect(w).left + dx) + " " +
       std::to_string(ScreenRect(w).top + dy));
}

// A window's text, as WM_GETTEXT gives it also from another process.
inline std::wstring TextOf(HWND w) {
    wchar_t text[1024] = {};
    SendMessageW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// VitalGauge.exe as its own process.
struct VitalGauge {
    bool Start(const std::wstring& arguments = L"");  // widgets shown and painted
    bool FindWindows();
    bool WaitIdle();  // back in its loop with no paint pending
    void PostClose() { PostMessageW(listener, RegisterWindowMessageW(L"Vital_Gauge_Close"), 0, 0); }
    long WaitExit() { return process.WaitExit(); }
    bool OpenMenu(HWND widget);  // as a right click would, the pointer on the menu
    ChildProcess process;
    HWND cpu = nullptr, ram = nullptr, swap = nullptr, listener = nullptr;
};

// The stand-in desktop shell.
struct ShellFixture {
    bool Start(const std::wstring& options = L"");
    HWND Window(const wchar_t* className) const {
        return FindProcessWindow(process.Id(), className);
    }
    std::string Log() const {  // the worker requests it was sent
        char title[512] = {};
        GetWindowTextA(Window(L"Progman"), title, 512);
        return title;
    }
    ChildProcess process;
};

// --- registry under HKEY_CURRENT_USER ---
extern const wchar_t kSettingsKey[], kExplorerAdvancedKey[];
using RegSnapshot = std::map<std::wstring, std::pair<DWORD, std::string>>;  // type, bytes
RegSnapshot ReadKey(const wchar_t* subKey = kSettingsKey);
inline void DeleteKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }
inline void SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size,
                     const wchar_t* subKey = kSettingsKey) {
    RegSetKeyValueW(HKEY_CURRENT_USER, subKey, name.c_str(), type, data, size);
}
inline void SetDword(const std::wstring& name, DWORD v, const wchar_t* subKey = kSettingsKey) {
    SetValue(name, REG_DWORD, &v, 4, subKey);
}
inline void SetRect(const std::wstring& name, const RECT& r) { SetValue(name, REG_BINARY, &r, 16); }
// A value of exactly T's size, or `missing`.
template <typename T>
T ValueIn(const RegSnapshot& key, const std::wstring& name, T missing) {
    auto it = key.find(name);
    if (it != key.end() && it->second.second.size() == sizeof(T))
        std::memcpy(&missing, it->second.second.data(), sizeof(T));
    return missing;
}
inline DWORD DwordIn(const RegSnapshot& key, const std::wstring& name) {
    return ValueIn<DWORD>(key, name, 0xDEADBEEF);
}
inline RECT RectIn(const RegSnapshot& key, const std::wstring& name) {
    return ValueIn(key, name, RECT{-1, -1, -1, -1});
}
bool ElevenWellFormed(const RegSnapshot& key);  // and nothing else

}  // namespace vgtest

// A test that needs what only the Wine set-up has (xdotool, Xvfb, no desktop
// shell) skips on a real Windows desktop and says why, so that a Windows run
// lists it as skipped instead of passing it. Wine's ntdll exports its version.
#define VG_WINE_ONLY(why) \
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) GTEST_SKIP() << why

inline bool operator==(const RECT& a, const RECT& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
