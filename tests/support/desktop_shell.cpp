#include "tests/support/desktop_shell.h"

#include <atomic>

namespace vgtest {

namespace {
const wchar_t kAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const wchar_t kHideIcons[] = L"HideIcons";
}  // namespace

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

HideIconsSetting::HideIconsSetting() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kAdvancedKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    keyExisted_ = true;
    DWORD size = 0;
    if (RegQueryValueExW(key, kHideIcons, nullptr, &saved_.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        valueExisted_ = true;
        saved_.data.resize(size);
        RegQueryValueExW(key, kHideIcons, nullptr, &saved_.type, saved_.data.data(), &size);
    }
    RegCloseKey(key);
}

HideIconsSetting::~HideIconsSetting() {
    if (!keyExisted_) {
        RemoveKey();
    } else if (valueExisted_) {
        Set(saved_.type, saved_.data.data(), static_cast<DWORD>(saved_.data.size()));
    } else {
        RemoveValue();
    }
}

void HideIconsSetting::Set(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kAdvancedKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, kHideIcons, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void HideIconsSetting::RemoveValue() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kAdvancedKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, kHideIcons);
    RegCloseKey(key);
}

void HideIconsSetting::RemoveKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kAdvancedKey); RegDeleteKeyW(HKEY_CURRENT_USER, kAdvancedKey); }

}  // namespace vgtest
