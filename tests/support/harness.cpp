#include "tests/support/harness.h"

#include <chrono>
#include <cstring>
#include <ostream>
#include <thread>

std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace vgtest {

const wchar_t kSettingsKey[] = L"Software\\VitalGauge";
const wchar_t kExplorerAdvancedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
}

std::wstring BuildDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring TempPath(const std::wstring& stem) {
    static unsigned serial = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp + stem + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
}

std::string ReadFileText(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (f != INVALID_HANDLE_VALUE && ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got)
        out.append(buffer, got);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    return out;
}

int Sh(const std::string& commandLine) {
    // Wine gives no handle that waits for a Unix program, so the shell leaves
    // its exit code in a file, written last, and we wait for that.
    const std::wstring marker = TempPath(L"vg-sh-");
    std::string unixMarker = "/tmp/" + std::string(marker.begin() + marker.find_last_of(L'\\') + 1,
                                                   marker.end());
    std::wstring dosMarker = L"Z:" + std::wstring(unixMarker.begin(), unixMarker.end());
    for (wchar_t& c : dosMarker) c = c == L'/' ? L'\\' : c;
    const std::string full = "/bin/sh -c \"(" + commandLine + "); echo $? > " + unixMarker + "\"";
    std::wstring wide(full.begin(), full.end());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text;
    WaitUntil([&] { return !(text = ReadFileText(dosMarker)).empty() && text.back() == '\n'; },
              30000);
    DeleteFileW(dosMarker.c_str());
    return text.empty() ? -1 : std::atoi(text.c_str());
}

void Keys(const std::string& keys) { Sh("xdotool key --delay 60 " + keys); }

void PointAt(HWND window, int dx, int dy) {
    const RECT r = ScreenRect(window);
    Sh("xdotool mousemove " + std::to_string(r.left + dx) + " " + std::to_string(r.top + dy));
}

bool ChildProcess::Start(const std::wstring& exe, const std::wstring& arguments) {
    Kill();
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    return CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &info_) != FALSE;
}

long ChildProcess::WaitExit(DWORD timeoutMs) {
    DWORD code = 0;
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(info_.hProcess, &code))
        return -1;
    return static_cast<long>(code);
}

bool ChildProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    if (!info_.hProcess) return;
    if (Running()) TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

namespace {
struct Search {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK Inspect(HWND w, LPARAM lp) {
    auto& s = *reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[128] = {};
    GetClassNameW(w, cls, 128);
    if (pid == s.pid && !lstrcmpW(cls, s.className) && (!s.visibleOnly || IsWindowVisible(w)))
        s.found = w;
    return s.found == nullptr;
}

BOOL CALLBACK InspectTree(HWND w, LPARAM lp) {
    // Widgets may live inside the shell's window tree.
    return Inspect(w, lp) && (EnumChildWindows(w, Inspect, lp), !reinterpret_cast<Search*>(lp)->found);
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
    Search s{processId, className, visibleOnly, nullptr};
    EnumWindows(InspectTree, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

RECT ScreenRect(HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

bool VitalGauge::Start(const std::wstring& arguments) {
    windows = {};
    if (!process.Start(BuildDir() + L"\\VitalGauge.exe", arguments)) return false;
    const DWORD pid = process.Id();
    return WaitUntil([&] {
               windows = {FindProcessWindow(pid, L"CPUVitalGaugeClass"),
                          FindProcessWindow(pid, L"RAMVitalGaugeClass"),
                          FindProcessWindow(pid, L"SwapVitalGaugeClass"),
                          FindProcessWindow(pid, L"VitalGaugeMessageListener")};
               return windows.cpu && windows.ram && windows.swap && windows.listener;
           }) &&
           WaitIdle();
}

bool VitalGauge::WaitIdle() {
    return WaitUntil([&] {
        for (HWND w : {windows.cpu, windows.ram, windows.swap}) {
            DWORD_PTR ignored = 0;
            if (IsWindow(w) && (!SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &ignored) ||
                                GetUpdateRect(w, nullptr, FALSE)))
                return false;
        }
        return true;
    });
}

void VitalGauge::PostClose() {
    PostMessageW(windows.listener, RegisterWindowMessageW(L"Vital_Gauge_Close"), 0, 0);
}

bool VitalGauge::OpenMenu(HWND widget) {
    PointAt(widget, 20, 20);  // keys go to the window under the pointer
    const RECT r = ScreenRect(widget);
    PostMessageW(widget, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 20));
    return WaitUntil([&] { return FindProcessWindow(process.Id(), L"#32768", true) != nullptr; });
}

bool ShellFixture::Start(const std::wstring& options) {
    log_ = TempPath(L"vg-shell-");
    if (!process.Start(BuildDir() + L"\\shell_fixture.exe", L"\"--log=" + log_ + L"\" " + options))
        return false;
    HWND top = nullptr;
    DWORD_PTR ignored = 0;
    // Answered once the fixture runs its loop, with its whole tree built.
    return WaitUntil([&] { return (top = Window(L"Progman")) != nullptr; }) &&
           SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &ignored);
}

RegSnapshot ReadKey(const wchar_t* subKey) {
    RegSnapshot out;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    wchar_t name[256];
    static BYTE data[1 << 17];
    for (DWORD i = 0, n = 256, type = 0, size = sizeof data;
         RegEnumValueW(key, i, name, &n, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, n = 256, size = sizeof data)
        out[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    RegCloseKey(key);
    return out;
}

void DeleteKey(const wchar_t* subKey) { RegDeleteTreeW(HKEY_CURRENT_USER, subKey); }

void SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size,
              const wchar_t* subKey) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetDword(const std::wstring& name, DWORD value, const wchar_t* subKey) {
    SetValue(name, REG_DWORD, &value, 4, subKey);
}

void SetRect(const std::wstring& name, const RECT& r) { SetValue(name, REG_BINARY, &r, 16); }

DWORD DwordIn(const RegSnapshot& key, const std::wstring& name) {
    DWORD v = 0xDEADBEEF;
    auto it = key.find(name);
    if (it != key.end() && it->second.second.size() == 4) std::memcpy(&v, it->second.second.data(), 4);
    return v;
}

RECT RectIn(const RegSnapshot& key, const std::wstring& name) {
    RECT r = {-1, -1, -1, -1};
    auto it = key.find(name);
    if (it != key.end() && it->second.second.size() == 16) std::memcpy(&r, it->second.second.data(), 16);
    return r;
}

bool ElevenWellFormed(const RegSnapshot& key) {
    int dwords = 0, rects = 0;
    for (const auto& [name, value] : key) {
        dwords += value.first == REG_DWORD && value.second.size() == 4;
        rects += value.first == REG_BINARY && value.second.size() == 16 &&
                 name.rfind(L"WindowPos", 0) == 0;
    }
    return key.size() == 11 && dwords == 8 && rects == 3;
}

}  // namespace vgtest
