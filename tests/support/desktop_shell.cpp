#include "tests/support/desktop_shell.h"

#include <atomic>

namespace vgtest {


std::wstring ScratchPath(const std::wstring& stem) {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"vg-" + stem + L"-" + std::to_wstring(GetCurrentProcessId()) +
           L"-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(file);
    return out;
}

ShellFixture::~ShellFixture() { Stop(); }

bool ShellFixture::Start(const std::wstring& options, const wchar_t* topClass) {
    Stop();
    log_ = ScratchPath(L"shell") + L".log";
    std::wstring arguments = L"\"--log=" + log_ + L"\" " + options;
    if (lstrcmpW(topClass, L"Progman") != 0) arguments += L" --top-class=" + std::wstring(topClass);
    if (!process.Start(BuildDir() + L"\\shell_fixture.exe", arguments)) return false;
    const DWORD pid = process.Id();
    HWND top = nullptr;
    if (!WaitUntil([&] { return (top = FindProcessWindow(pid, topClass)) != nullptr; }, 10000))
        return false;
    // Answered once the fixture runs its loop, so its whole tree exists.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) return false;
    // A leftover shell would be found instead of this one.
    return FindWindowW(topClass, nullptr) == top;
}

void ShellFixture::Stop() {
    process.Kill();
    if (!log_.empty()) DeleteFileW(log_.c_str());
    log_.clear();
}

std::vector<std::string> ShellFixture::Requests() const {
    std::vector<std::string> lines;
    const std::string all = ReadFileBytes(log_);
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(all.substr(start, end - start));
    return lines;
}

HWND ShellFixture::Window(const wchar_t* className) const {
    return FindProcessWindow(process.Id(), className);
}

RegistryKeyScope::RegistryKeyScope(std::wstring subKey) : subKey_(std::move(subKey)) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    keyExisted_ = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLen = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        RegValue v;
        v.type = type;
        v.data.resize(size);
        nameLen = 16384;
        RegEnumValueW(key, i, name, &nameLen, nullptr, &type, v.data.data(), &size);
        saved_.emplace_back(name, v);
    }
    RegCloseKey(key);
}

RegistryKeyScope::~RegistryKeyScope() {
    if (!keyExisted_) {
        RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str());  // only what the test made
        RegDeleteKeyW(HKEY_CURRENT_USER, subKey_.c_str());
        return;
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    // Drop what the test added, then write back what was there.
    for (;;) {
        wchar_t name[16384];
        DWORD nameLen = 16384;
        if (RegEnumValueW(key, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            RegDeleteValueW(key, name) != ERROR_SUCCESS)
            break;
    }
    for (const auto& [name, value] : saved_)
        RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

void RegistryKeyScope::Set(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RegistryKeyScope::RemoveValue(const std::wstring& name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
}

bool RegistryKeyScope::RemoveKey() {
    const LONG status = RegDeleteKeyW(HKEY_CURRENT_USER, subKey_.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace vgtest
