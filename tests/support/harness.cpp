#include "tests/support/harness.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace vgtest {

const wchar_t* const kSettingsKey = L"Software\\VitalGauge";

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::wstring BuildDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

namespace {
// Reads "<code>\n" from a file the shell wrote last; false until it is complete.
bool ReadExitCodeFile(const std::string& path, int& code) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char text[32] = {};
    DWORD got = 0;
    ReadFile(file, text, sizeof(text) - 1, &got, nullptr);
    CloseHandle(file);
    if (got == 0 || text[got - 1] != '\n') return false;
    code = atoi(text);
    return true;
}
}  // namespace

int RunHostCommand(const std::string& commandLine, DWORD timeoutMs) {
    // Under Wine a Unix program is started like any other; /bin/sh gives us
    // quoting and PATH lookup. On Windows the command goes to cmd.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    // Wine hands back no handle that waits for a Unix program, so there the
    // shell leaves its exit code in a file, and we wait for that file.
    static unsigned serial = 0;
    const std::string marker = "/tmp/vg-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++serial) + ".rc";
    std::string markerDos = "Z:" + marker;
    for (char& c : markerDos)
        if (c == '/') c = '\\';
    const std::string full =
        wine ? "/bin/sh -c \"(" + commandLine + "); echo $? > " + marker + "\""
             : "cmd.exe /c \"" + commandLine + "\"";
    std::wstring wide(full.begin(), full.end());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    int code = -1;
    if (wine) {
        if (!WaitUntil([&] { return ReadExitCodeFile(markerDos, code); }, timeoutMs)) code = -1;
        DeleteFileA(markerDos.c_str());
    } else {
        DWORD exitCode = 0;
        if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(pi.hProcess, &exitCode))
            code = static_cast<int>(exitCode);
        else
            TerminateProcess(pi.hProcess, 1);
    }
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    return code;
}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::wstring& exePath, const std::wstring& arguments,
                         const std::wstring& workingDir) {
    Kill();
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    return CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingDir.empty() ? nullptr : workingDir.c_str(), &si,
                          &info_) != FALSE;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!info_.hProcess) return false;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

bool ChildProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

namespace {
struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
};

void Inspect(HWND window, Search& s) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[128] = {};
    GetClassNameW(window, cls, 128);
    if (pid == s.pid && lstrcmpW(cls, s.className) == 0) s.found.push_back(window);
}

BOOL CALLBACK OnChild(HWND window, LPARAM lp) {
    Inspect(window, *reinterpret_cast<Search*>(lp));
    return TRUE;
}

BOOL CALLBACK OnTopLevel(HWND window, LPARAM lp) {
    Inspect(window, *reinterpret_cast<Search*>(lp));
    EnumChildWindows(window, OnChild, lp);  // widgets may live inside the shell's tree
    return TRUE;
}
}  // namespace

std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className) {
    Search s{processId, className, {}};
    EnumWindows(OnTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    std::vector<HWND> all = FindProcessWindows(processId, className);
    return all.empty() ? nullptr : all.front();
}

UINT CloseMessageId() { return RegisterWindowMessageW(L"Vital_Gauge_Close"); }

bool VitalGauge::Start(const std::wstring& arguments) {
    windows = {};
    return process.Start(BuildDir() + L"\\VitalGauge.exe", arguments);
}

bool VitalGauge::WaitForWidgets(DWORD timeoutMs) {
    const DWORD pid = process.Id();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        windows.cpu = FindProcessWindow(pid, L"CPUVitalGaugeClass");
        windows.ram = FindProcessWindow(pid, L"RAMVitalGaugeClass");
        windows.swap = FindProcessWindow(pid, L"SwapVitalGaugeClass");
        windows.listener = FindProcessWindow(pid, L"VitalGaugeMessageListener");
        if (windows.cpu && windows.ram && windows.swap && windows.listener) return WaitIdle();
        if (!process.Running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool VitalGauge::WaitIdle(DWORD timeoutMs) {
    // A message sent to the window returns only once the program is back in
    // its loop; two round trips let the pending paints run in between.
    for (int i = 0; i < 2; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(windows.cpu, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

void VitalGauge::PostClose(WPARAM wParam, LPARAM lParam) {
    PostMessageW(windows.listener, CloseMessageId(), wParam, lParam);
}

void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey); }

RegSnapshot ReadSettingsKey() {
    RegSnapshot out;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        RegValue v;
        v.type = type;
        v.data.resize(size);
        nameLen = 256;
        RegEnumValueW(key, i, name, &nameLen, nullptr, &type, v.data.data(), &size);
        out[name] = v;
    }
    RegCloseKey(key);
    return out;
}

void WriteSettingsValue(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteSettingsDword(const std::wstring& name, std::uint32_t value) {
    WriteSettingsValue(name, REG_DWORD, &value, sizeof(value));
}

void WriteSettingsRect(const std::wstring& name, const RECT& rect) {
    WriteSettingsValue(name, REG_BINARY, &rect, sizeof(rect));
}

bool ReadSettingsDword(const std::wstring& name, std::uint32_t& value) {
    RegSnapshot all = ReadSettingsKey();
    auto it = all.find(name);
    if (it == all.end() || it->second.type != REG_DWORD || it->second.data.size() != 4) return false;
    memcpy(&value, it->second.data.data(), 4);
    return true;
}

bool ReadSettingsRect(const std::wstring& name, RECT& rect) {
    RegSnapshot all = ReadSettingsKey();
    auto it = all.find(name);
    if (it == all.end() || it->second.type != REG_BINARY || it->second.data.size() != 16)
        return false;
    memcpy(&rect, it->second.data.data(), 16);
    return true;
}

RECT ScreenRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace vgtest
