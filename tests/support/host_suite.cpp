#include "tests/support/host_suite.h"

#include "tests/support/desktop_shell.h"
#include "tests/support/harness.h"

#include <cstring>

namespace vgtest {

namespace {

// Extended-length form, so that folders near and past MAX_PATH work.
std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

}  // namespace

HostFolder::HostFolder(std::wstring path) : path_(std::move(path)) {
    for (size_t at = path_.find(L'\\', 3);; at = path_.find(L'\\', at + 1)) {
        const std::wstring prefix = path_.substr(0, at);
        if (CreateDirectoryW(Long(prefix).c_str(), nullptr)) created_.push_back(prefix);
        if (at == std::wstring::npos) break;
    }
    ready_ = CopyFileW(Long(BuildDir() + L"\\fake_host.exe").c_str(),
                       Long(path_ + L"\\Corvanite.exe").c_str(), FALSE) != FALSE;
}

HostFolder::~HostFolder() {
    for (const wchar_t* name : {L"\\Corvanite.exe", L"\\ran.txt", L"\\ran.txt.part"})
        DeleteFileW(Long(path_ + name).c_str());
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        RemoveDirectoryW(Long(*it).c_str());
}

bool HostFolder::WaitLaunch(DWORD timeoutMs, LaunchRecord& record) const {
    const std::wstring file = Long(path_ + L"\\ran.txt");
    if (!WaitUntil([&] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   timeoutMs))
        return false;
    const std::string bytes = ReadFileBytes(file);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    const size_t first = text.find(L'\n');
    const size_t second = text.find(L'\n', first + 1);
    if (first == std::wstring::npos || second == std::wstring::npos) return false;
    record.commandLine = text.substr(0, first);
    record.workingDir = text.substr(first + 1, second - first - 1);
    return true;
}

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        std::vector<HWND> boxes;
        EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (pid == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 &&
                    IsWindowVisible(w))
                    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&boxes));
        for (HWND box : boxes) {
            if (handled_.count(box)) continue;
            handled_.insert(box);
            SeenBox seen;
            wchar_t text[512] = {};
            GetWindowTextW(box, text, 512);
            seen.caption = text;
            seen.owner = GetWindow(box, GW_OWNER);
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                text[0] = L'\0';
                GetWindowTextW(c, text, 512);
                seen.texts.push_back(text);
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(seen);
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        Sleep(30);
    }
}

}  // namespace vgtest
