#include "host/host_launcher.h"

#include "core/state.h"
#include "host/host_launcher_logic.h"

#include <windows.h>
#include <shellapi.h>

#include <iterator>
#include <new>
#include <vector>

namespace {

const wchar_t kHostKey[] = L"Software\\Vendrake Corvanite Plus!";
const wchar_t kHostPathValue[] = L"Path";
const wchar_t kHostArgument[] = L"DesktopWidget";
const wchar_t kLaunchError[] = L"Cannot open Corvanite for Windows 11 main app.";
const wchar_t kLaunchErrorCaption[] = L"Error";
// Tells a running host that the widgets asked for it.
constexpr UINT kHostActivateMessage = 1827;

// The topmost visible top-level window whose title starts with the host's
// prefix, or null.
HWND FindHostWindow() {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        const int length = GetWindowTextLengthW(w);
        if (length <= 0 || !IsWindowVisible(w)) continue;
        // Only the prefix is compared, so only that much of the title is
        // fetched: another program's huge title costs no allocation here.
        wchar_t title[kHostTitlePrefixChars + 1] = {};
        GetWindowTextW(w, title, static_cast<int>(std::size(title)));
        if (IsHostWindowTitle(title)) return w;
    }
    return nullptr;
}

void ActivateHostWindow(HWND host) {
    // A minimised host comes back first (as it was, maximised or not); any
    // other is shown as it stands.
    if (IsIconic(host)) ShowWindow(host, SW_RESTORE);
    BringWindowToTop(host);
    SetForegroundWindow(host);
    PostMessageW(host, kHostActivateMessage, 0, 0);
}

// Starts "<install folder>\Corvanite.exe DesktopWidget" in the install
// folder. A program path that does not fit the 260-character buffer is
// never cut or overrun: it counts as a failed launch.
bool LaunchHost(HWND owner) {
    wchar_t program[kPathChars] = {};
    if (!ComposeHostProgramPath(appState.hostInstallPath, program)) return false;

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // No process handle is wanted. The shell's own error dialog is turned
    // off: the user is told once, by our box, not twice.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = program;
    info.lpParameters = kHostArgument;
    info.lpDirectory = appState.hostInstallPath;
    info.nShow = SW_SHOWNORMAL;
    // The widgets step up for the launch only and go back to their own
    // class at once.
    const DWORD ownClass = GetPriorityClass(GetCurrentProcess());
    const DWORD launchClass = LaunchPriorityClass(ownClass);
    if (launchClass != ownClass) SetPriorityClass(GetCurrentProcess(), launchClass);
    const bool launched = ShellExecuteExW(&info) != FALSE;
    if (launchClass != ownClass) SetPriorityClass(GetCurrentProcess(), ownClass);
    return launched;
}

}  // namespace

bool ReadHostInstallPath() {
    // First ask for the size, then read into a buffer of that size.
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kHostKey, kHostPathValue, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return false;
    // Rounded up, and never empty, so the buffer covers every byte the
    // registry may write.
    std::vector<wchar_t> value;
    try {
        value.assign((bytes + 1) / sizeof(wchar_t) + 1, L'\0');
    } catch (const std::bad_alloc&) {
        return false;  // an absurd value is as good as none
    }
    if (RegGetValueW(HKEY_CURRENT_USER, kHostKey, kHostPathValue, RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS)
        return false;  // e.g. the value grew between the two calls
    // A stored path longer than the 259 characters the buffer holds counts
    // as not read: a cut path would name another folder.
    return CopyPathIfFits(appState.hostInstallPath, value.data(), value.size());
}

bool OpenHostApplication(HWND owner) {
    if (HWND host = FindHostWindow()) {
        ActivateHostWindow(host);
        return true;
    }
    if (!LaunchHost(owner))
        MessageBoxW(owner, kLaunchError, kLaunchErrorCaption, MB_OK | MB_ICONERROR);
    return true;
}
