#include "tests/support/harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vgtest {

const wchar_t kSettingsKey[] = L"Software\\VitalGauge";
const wchar_t kExplorerAdvancedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// The program under test. Every wait looks at it: a crash fails the test at
// once, with the backtrace that the prefix's debugger wrote.
static HANDLE watched = nullptr;

static bool Crashed() {
    DWORD code = 0;
    if (!watched || WaitForSingleObject(watched, 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(watched, &code) || code < 0xC0000000)
        return false;
    watched = nullptr;  // told once
    const std::wstring log = L"C:\\vg-crash.log";
    std::string trace, last = "-";
    // The debugger may still be writing: read until the log stops growing.
    for (int i = 0; i < 50 && trace != last; ++i) {
        last = trace;
        Sleep(200);
        trace = ReadFileText(log);
    }
    DeleteFileW(log.c_str());
    ADD_FAILURE() << "VitalGauge.exe crashed, exception 0x" << std::hex << code << ":\n" << trace;
    return true;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (bool held; !(held = pred()); std::this_thread::sleep_for(std::chrono::milliseconds(30)))
        if (Crashed() || std::chrono::steady_clock::now() >= end) return false;
    return true;
}

std::wstring BuildDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, wcsrchr(path, L'\\'));
}

std::string ReadFileText(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

static bool Spawn(std::wstring line, PROCESS_INFORMATION& info) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &info) != FALSE;
}

int Sh(const std::string& commandLine) {
    // Wine gives no handle that waits for a Unix program, so the shell leaves
    // its exit code in a file, written last, and we wait for that.
    const std::string name =
        "vg-sh-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    const std::string line = "/bin/sh -c \"(" + commandLine + "); echo $? > /tmp/" + name + "\"";
    const std::wstring marker = L"Z:\\tmp\\" + std::wstring(name.begin(), name.end());
    PROCESS_INFORMATION pi = {};
    if (!Spawn(std::wstring(line.begin(), line.end()), pi)) return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string code;
    WaitUntil([&] { return !(code = ReadFileText(marker)).empty() && code.back() == '\n'; });
    DeleteFileW(marker.c_str());
    return code.empty() ? -1 : std::atoi(code.c_str());
}

bool ChildProcess::Start(const std::wstring& exe, const std::wstring& arguments) {
    Kill();
    return Spawn(L"\"" + exe + L"\" " + arguments, info_);
}

long ChildProcess::WaitExit(DWORD timeoutMs) {
    DWORD code = 0;
    const bool ended =
        info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    Crashed();
    return ended && GetExitCodeProcess(info_.hProcess, &code) ? static_cast<long>(code) : -1;
}

void ChildProcess::Kill() {
    if (!info_.hProcess) return;
    if (watched == info_.hProcess) watched = nullptr;
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
        if (owner == pid && !lstrcmpW(name, className) && (!visibleOnly || IsWindowVisible(w)))
            return w;
        if (HWND found = FindIn(GetWindow(w, GW_CHILD), pid, className, visibleOnly)) return found;
    }
    return nullptr;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
    return FindIn(GetTopWindow(nullptr), processId, className, visibleOnly);
}

int ColumnsIn(RECT r, COLORREF color) {
    HDC screen = GetDC(nullptr);
    int columns = 0;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (GetPixel(screen, x, y) == color) {
                ++columns;
                break;
            }
    ReleaseDC(nullptr, screen);
    return columns;
}

bool VitalGauge::FindWindows() {
    const DWORD pid = process.Id();
    cpu = FindProcessWindow(pid, L"CPUVitalGaugeClass");
    ram = FindProcessWindow(pid, L"RAMVitalGaugeClass");
    swap = FindProcessWindow(pid, L"SwapVitalGaugeClass");
    listener = FindProcessWindow(pid, L"VitalGaugeMessageListener");
    return cpu && ram && swap && listener;
}

bool VitalGauge::Start(const std::wstring& arguments) {
    if (!process.Start(BuildDir() + L"\\VitalGauge.exe", arguments)) return false;
    watched = process.Handle();
    return WaitUntil([&] { return FindWindows(); }) && WaitIdle();
}

bool VitalGauge::WaitIdle() {
    return WaitUntil([&] {
        for (HWND w : {cpu, ram, swap})
            if (!SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 15000, nullptr) ||
                GetUpdateRect(w, nullptr, FALSE))
                return false;
        return true;
    });
}

bool VitalGauge::OpenMenu(HWND widget) {
    PointAt(widget, 20, 20);
    PostMessageW(widget, WM_NCRBUTTONUP, HTCAPTION,
                 MAKELPARAM(ScreenRect(widget).left + 20, ScreenRect(widget).top + 20));
    return WaitUntil([&] { return FindProcessWindow(process.Id(), L"#32768", true) != nullptr; });
}

bool ShellFixture::Start(const std::wstring& options) {
    HWND top = nullptr;
    // Answered once the fixture runs its loop, with its whole tree built.
    return process.Start(BuildDir() + L"\\shell_fixture.exe", options) &&
           WaitUntil([&] { return (top = Window(L"Progman")) != nullptr; }) &&
           SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, 15000, nullptr);
}

RegSnapshot ReadKey(const wchar_t* subKey) {
    RegSnapshot out;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    static BYTE data[1 << 17];  // past the largest value a test writes
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256, type = 0, size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    RegCloseKey(key);
    return out;
}

bool ElevenWellFormed(const RegSnapshot& key) {
    if (key.size() != 11) return false;
    for (const auto& [name, value] : key) {  // three 16-byte rectangles, eight words
        const bool rect = name.rfind(L"WindowPos", 0) == 0;
        if (value.first != (rect ? REG_BINARY : REG_DWORD)) return false;
        if (value.second.size() != (rect ? 16u : 4u)) return false;
    }
    return true;
}

}  // namespace vgtest
