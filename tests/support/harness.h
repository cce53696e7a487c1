#pragma once
// What the tests share: other processes (the program, the stand-in shell and
// host), their windows, the registry, and X11 input through xdotool.

#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace vgtest {

// Polls pred until it holds or the time is up; waits are conditions, never naps.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 15000);

// Folder of the test program; every built program lies beside it.
std::wstring BuildDir();
std::wstring TempPath(const std::wstring& stem);
std::string ReadFileText(const std::wstring& path);

// Runs a command of the host system (xdotool under Wine); its exit code or -1.
int Sh(const std::string& commandLine);
void Keys(const std::string& keys);  // xdotool key ...
void PointAt(HWND window, int dx, int dy);

// A child process, ended when the object goes, also when a test fails.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }
    bool Start(const std::wstring& exe, const std::wstring& arguments = L"");
    // Exit code, or -1 when it is still running at the time-out.
    long WaitExit(DWORD timeoutMs = 15000);
    bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// First window of a process with this class, top-level or nested.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly = false);
inline HWND ParentOf(HWND w) { return GetAncestor(w, GA_PARENT); }
RECT ScreenRect(HWND w);

struct Widgets {
    HWND cpu = nullptr, ram = nullptr, swap = nullptr, listener = nullptr;
};

// VitalGauge.exe as its own process.
class VitalGauge {
public:
    // Starts it and waits for the three widgets and the listener, painted.
    bool Start(const std::wstring& arguments = L"");
    bool WaitIdle();  // the program is back in its loop, its paints done
    void PostClose();
    long WaitExit(DWORD timeoutMs = 15000) { return process.WaitExit(timeoutMs); }
    // Opens a widget's menu as a right click would, the pointer on the menu.
    bool OpenMenu(HWND widget);
    ChildProcess process;
    Widgets windows;
};

// The stand-in desktop shell (shell_fixture.exe).
class ShellFixture {
public:
    bool Start(const std::wstring& options = L"");
    HWND Window(const wchar_t* className) const { return FindProcessWindow(process.Id(), className); }
    std::string Log() const { return ReadFileText(log_); }
    ChildProcess process;

private:
    std::wstring log_;
};

// --- registry under HKEY_CURRENT_USER -------------------------------------

extern const wchar_t kSettingsKey[];
extern const wchar_t kExplorerAdvancedKey[];
using RegSnapshot = std::map<std::wstring, std::pair<DWORD, std::string>>;  // type, bytes
RegSnapshot ReadKey(const wchar_t* subKey = kSettingsKey);
void DeleteKey(const wchar_t* subKey = kSettingsKey);
void SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size,
              const wchar_t* subKey = kSettingsKey);
void SetDword(const std::wstring& name, DWORD value, const wchar_t* subKey = kSettingsKey);
void SetRect(const std::wstring& name, const RECT& r);
DWORD DwordIn(const RegSnapshot& key, const std::wstring& name);
RECT RectIn(const RegSnapshot& key, const std::wstring& name);
// Exactly the eleven values, each of its own type and size.
bool ElevenWellFormed(const RegSnapshot& key);

}  // namespace vgtest

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& os, const RECT& r);
