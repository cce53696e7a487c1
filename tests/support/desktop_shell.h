#pragma once
// The stand-in desktop shell (shell_fixture.exe), the shell's "HideIcons"
// setting, and scratch files for the desktop and host tests.

#include "tests/support/harness.h"

#include <windows.h>

#include <string>
#include <utility>
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

// Lets a test change one key under HKEY_CURRENT_USER and puts all its
// values back afterwards. Subkeys are never deleted: removing a key that has
// any fails, so a test cannot wipe more than it can restore.
class RegistryKeyScope {
public:
    explicit RegistryKeyScope(std::wstring subKey);
    RegistryKeyScope(const RegistryKeyScope&) = delete;
    RegistryKeyScope& operator=(const RegistryKeyScope&) = delete;
    ~RegistryKeyScope();

    void Set(const std::wstring& name, DWORD type, const void* data, DWORD size);
    void SetDword(const std::wstring& name, DWORD value) {
        Set(name, REG_DWORD, &value, sizeof(value));
    }
    void SetString(const std::wstring& name, const std::wstring& value) {
        Set(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void RemoveValue(const std::wstring& name);
    bool RemoveKey();

private:
    std::wstring subKey_;
    bool keyExisted_ = false;
    std::vector<std::pair<std::wstring, RegValue>> saved_;
};

// The shell's "Show desktop icons" choice.
class HideIconsSetting {
public:
    HideIconsSetting()
        : key_(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced") {}
    void Set(DWORD type, const void* data, DWORD size) { key_.Set(L"HideIcons", type, data, size); }
    void SetDword(DWORD value) { key_.SetDword(L"HideIcons", value); }
    void RemoveValue() { key_.RemoveValue(L"HideIcons"); }
    bool RemoveKey() { return key_.RemoveKey(); }

private:
    RegistryKeyScope key_;
};

}  // namespace vgtest
