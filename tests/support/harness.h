#pragma once
// Shared by the end-to-end tests: starting VitalGauge.exe (and fixtures) as
// their own processes, finding their windows, and the settings key.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vgtest {

// Polls pred every 50 ms until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs);

// Folder of the running test program; every built program lies beside it.
std::wstring BuildDir();

// Runs a command line of the host system (a Linux program under Wine, a
// Windows program on Windows) and returns its exit code, or -1.
int RunHostCommand(const std::string& commandLine, DWORD timeoutMs = 20000);

// A child process that is ended when the object goes, also when a test fails.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::wstring& exePath, const std::wstring& arguments = L"",
               const std::wstring& workingDir = L"");
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// All windows of one process with the given class, top-level or nested, in
// z-order of a depth-first walk.
std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className);
HWND FindProcessWindow(DWORD processId, const wchar_t* className);

struct Widgets {
    HWND cpu = nullptr;
    HWND ram = nullptr;
    HWND swap = nullptr;
    HWND listener = nullptr;
};

// VitalGauge.exe under test.
class VitalGauge {
public:
    bool Start(const std::wstring& arguments = L"");
    // Waits until the three widgets and the listener exist.
    bool WaitForWidgets(DWORD timeoutMs = 15000);
    // Waits until the program has painted (its message queue went idle).
    bool WaitIdle(DWORD timeoutMs = 10000);
    void PostClose(WPARAM wParam = 0, LPARAM lParam = 0);
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) {
        return process.WaitExit(timeoutMs, exitCode);
    }

    ChildProcess process;
    Widgets windows;
};

UINT CloseMessageId();

// --- registry: HKCU\Software\VitalGauge --------------------------------

struct RegValue {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};
using RegSnapshot = std::map<std::wstring, RegValue>;

extern const wchar_t* const kSettingsKey;
void DeleteSettingsKey();
RegSnapshot ReadSettingsKey();
void WriteSettingsValue(const std::wstring& name, DWORD type, const void* data, DWORD size);
void WriteSettingsDword(const std::wstring& name, std::uint32_t value);
void WriteSettingsRect(const std::wstring& name, const RECT& rect);
bool ReadSettingsDword(const std::wstring& name, std::uint32_t& value);
bool ReadSettingsRect(const std::wstring& name, RECT& rect);

// Window geometry in screen coordinates.
RECT ScreenRect(HWND window);

}  // namespace vgtest
