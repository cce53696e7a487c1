#pragma once
// The stand-in desktop shell (shell_fixture.exe), the shell's "HideIcons"
// setting, and scratch files for the desktop and host tests.

#include "tests/support/harness.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vgtest {

// A fresh path in the temporary folder; nothing is created there.
std::wstring ScratchPath(const std::wstring& stem);

// Whole content of a file, empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// The real parent in the window tree (GetParent reports owners of popups).
inline HWND ParentOf(HWND window) { return GetAncestor(window, GA_PARENT); }

// The shell stand-in, ended when the object goes. It logs every worker
// request (0x052C) it receives as "052C <wParam> <lParam>".
class ShellFixture {
public:
    ShellFixture() = default;
    ShellFixture(const ShellFixture&) = delete;
    ShellFixture& operator=(const ShellFixture&) = delete;
    ~ShellFixture();

    // Starts it with the given options and waits for its top-level window.
    bool Start(const std::wstring& options = L"", const wchar_t* topClass = L"Progman");
    void Stop();
    // Lines logged so far.
    std::vector<std::string> Requests() const;
    // Its window of the given class (the first, walking the whole tree).
    HWND Window(const wchar_t* className) const;

    ChildProcess process;

private:
    std::wstring log_;
};

// Holds HKCU\...\Explorer\Advanced "HideIcons" for one test and puts the
// earlier state back afterwards.
class HideIconsSetting {
public:
    HideIconsSetting();
    HideIconsSetting(const HideIconsSetting&) = delete;
    HideIconsSetting& operator=(const HideIconsSetting&) = delete;
    ~HideIconsSetting();

    void Set(DWORD type, const void* data, DWORD size);
    void SetDword(DWORD value) { Set(REG_DWORD, &value, sizeof(value)); }
    void RemoveValue();
    void RemoveKey();

private:
    bool keyExisted_ = false;
    bool valueExisted_ = false;
    RegValue saved_;
};

}  // namespace vgtest
