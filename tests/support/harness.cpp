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
    const std::string marker = "/tmp/vg-sh-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64());
    std::wstring line = L"/bin/sh -c \"(" + std::wstring(commandLine.begin(), commandLine.end()) +
                        L"); echo $? > " + std::wstring(marker.begin(), marker.end()) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text;
    const std::wstring dosMarker = L"Z:\\tmp\\" + std::wstring(marker.begin() + 5, marker.end());
    WaitUntil([&] { return !(text = ReadFileText(dosMarker)).empty() && text.back() == '\n'; });
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
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_);
}

long ChildProcess::WaitExit(DWORD timeoutMs) {
    DWORD code = 0;
    const bool ended = info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    return ended && GetExitCodeProcess(info_.hProcess, &code) ? static_cast<long>(code) : -1;
}

void ChildProcess::Kill() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 99);  // no effect on one that has ended
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

// Depth first, in z-order: widgets may live inside the shell's window tree.
static HWND FindIn(HWND first, DWORD pid, const wchar_t* className, bool visibleOnly) {
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t name[128] = {};
        GetClassNameW(w, name, 128);
        if (owner == pid && !lstrcmpW(name, className) && (!visibleOnly || IsWindowVisible(w))) return w;
        if (HWND found = FindIn(GetWindow(w, GW_CHILD), pid, className, visibleOnly)) return found;
    }
    return nullptr;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
    return FindIn(GetTopWindow(nullptr), processId, className, visibleOnly);
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

void SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size, const wchar_t* subKey) {
    RegSetKeyValueW(HKEY_CURRENT_USER, subKey, name.c_str(), type, data, size);
}

void SetDword(const std::wstring& name, DWORD value, const wchar_t* subKey) {
    SetValue(name, REG_DWORD, &value, 4, subKey);
}

void SetRect(const std::wstring& name, const RECT& r) { SetValue(name, REG_BINARY, &r, 16); }

DWORD DwordIn(const RegSnapshot& key, const std::wstring& name) {
    auto it = key.find(name);
    return it == key.end() || it->second.second.size() != 4 ? 0xDEADBEEF
                                                             : *reinterpret_cast<const DWORD*>(it->second.second.data());
}

RECT RectIn(const RegSnapshot& key, const std::wstring& name) {
    auto it = key.find(name);
    return it == key.end() || it->second.second.size() != 16 ? RECT{-1, -1, -1, -1}
                                                              : *reinterpret_cast<const RECT*>(it->second.second.data());
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
