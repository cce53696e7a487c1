// The link to the host suite: reading its install folder, finding a running
// host window by its title, activating it, and launching the host (or
// telling the user it could not be launched).

#include "app/state.h"
#include "host/host_launcher.h"
#include "host/host_launcher_logic.h"
#include "tests/support/desktop_shell.h"
#include "tests/support/host_suite.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace vgtest;

namespace {

const wchar_t kPrefix[] = L"Vendrake Corvanite Plus!";
const wchar_t kHostKey[] = L"Software\\Vendrake Corvanite Plus!";
const wchar_t kLaunchError[] = L"Cannot open Corvanite for Windows 11 main app.";
constexpr UINT kActivateMessage = 1827;

void SetInstallPath(const std::wstring& path) {
    ASSERT_LT(path.size(), static_cast<size_t>(kPathChars));
    wmemset(appState.hostInstallPath, L'\0', kPathChars);
    wmemcpy(appState.hostInstallPath, path.c_str(), path.size());
}

// `base` extended by nested folder names to exactly `length` characters.
std::wstring PathOfLength(std::wstring base, size_t length) {
    while (base.size() + 1 < length) {
        const size_t room = length - base.size();
        base += L"\\" + std::wstring(room > 40 ? 20 : room - 1, L'd');
    }
    return base;
}

// A folder name that surely does not exist.
std::wstring MissingFolder() { return ScratchPath(L"missing"); }

// ---------------------------------------------------------------------------
// Reading the install folder

class HostInstallPath : public ::testing::Test {
protected:
    void SetUp() override {
        saved_.assign(appState.hostInstallPath, appState.hostInstallPath + kPathChars);
        SetInstallPath(L"C:\\Before");
    }
    void TearDown() override {
        std::copy(saved_.begin(), saved_.end(), appState.hostInstallPath);
    }
    std::wstring Stored() const { return appState.hostInstallPath; }

    RegistryKeyScope hostKey{kHostKey};

private:
    std::vector<wchar_t> saved_;
};

TEST_F(HostInstallPath, StringValuesUpToTheBufferAreRead) {
    const std::wstring longest = L"C:\\" + std::wstring(kPathChars - 1 - 3, L'a');  // 259
    for (const std::wstring& value : {std::wstring(L"C:\\Suite"), std::wstring(L"C:\\Suite\\"),
                                      std::wstring(L""), longest}) {
        SetInstallPath(L"C:\\Before");
        hostKey.SetString(L"Path", value);
        EXPECT_TRUE(ReadHostInstallPath()) << value.size() << " characters";
        EXPECT_EQ(value, Stored());
    }
}

TEST_F(HostInstallPath, UnreadableValuesLeaveThePathAsItWas) {
    const DWORD number = 42;
    struct Case {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"key missing", [&] { ASSERT_TRUE(hostKey.RemoveKey()); }},
        {"value missing", [&] { hostKey.SetDword(L"Other", 1); hostKey.RemoveValue(L"Path"); }},
        {"number", [&] { hostKey.Set(L"Path", REG_DWORD, &number, sizeof(number)); }},
        // One character more than the 260-character buffer holds: refused
        // whole rather than cut to a folder that is not the host's.
        {"too long", [&] { hostKey.SetString(L"Path", L"C:\\" + std::wstring(257, L'b')); }},
    };
    for (const Case& c : cases) {
        c.arrange();
        EXPECT_FALSE(ReadHostInstallPath()) << c.name;
        EXPECT_EQ(L"C:\\Before", Stored()) << c.name;
    }
}

TEST(HostProgramPath, ComposedPathFitsOrIsRefused) {
    wchar_t program[kPathChars];
    wmemset(program, L'#', kPathChars);
    ASSERT_TRUE(ComposeHostProgramPath(L"C:\\Suite\\", program));
    EXPECT_STREQ(L"C:\\Suite\\\\Corvanite.exe", program) << "the stored path is used unchanged";
    ASSERT_TRUE(ComposeHostProgramPath(L"", program));
    EXPECT_STREQ(L"\\Corvanite.exe", program);

    // 245 characters of folder and 14 of file name fill the buffer exactly.
    const std::wstring fits = L"C:\\" + std::wstring(242, L'c');
    ASSERT_TRUE(ComposeHostProgramPath(fits.c_str(), program));
    EXPECT_EQ(fits + L"\\Corvanite.exe", std::wstring(program));

    wmemset(program, L'#', kPathChars);
    EXPECT_FALSE(ComposeHostProgramPath((fits + L"c").c_str(), program));
    EXPECT_EQ(std::wstring(kPathChars, L'#'), std::wstring(program, kPathChars))
        << "nothing written on refusal";
}

TEST(HostWindowTitle, PrefixIsExactAndCaseSensitive) {
    EXPECT_TRUE(IsHostWindowTitle(L"Vendrake Corvanite Plus!"));
    EXPECT_TRUE(IsHostWindowTitle(L"Vendrake Corvanite Plus! - Dashboard"));
    EXPECT_FALSE(IsHostWindowTitle(L"Vendrake Corvanite Plus"));
    EXPECT_FALSE(IsHostWindowTitle(L"vendrake corvanite plus!"));
    EXPECT_FALSE(IsHostWindowTitle(L" Vendrake Corvanite Plus!"));
    EXPECT_FALSE(IsHostWindowTitle(L""));
}

// ---------------------------------------------------------------------------
// Finding, activating and launching

std::map<HWND, std::vector<std::pair<WPARAM, LPARAM>>> activations;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kActivateMessage) {
        activations[window].emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class HostLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        saved_.assign(appState.hostInstallPath, appState.hostInstallPath + kPathChars);
        savedCpu_ = appState.cpuWindow;
        activations.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VgHostTestWindow";
        RegisterClassW(&wc);
        appState.cpuWindow = MakeWindow(L"VitalGauge");
    }

    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        appState.cpuWindow = savedCpu_;
        std::copy(saved_.begin(), saved_.end(), appState.hostInstallPath);
    }

    // Each new window enters at the top of the z-order. It is shown without
    // being activated: under Wine without a window manager, destroying a
    // window that was ever activated waits two seconds for the manager.
    HWND MakeWindow(const wchar_t* title, bool visible = true) {
        HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"VgHostTestWindow", title, WS_POPUP, 10, 10,
                                 80, 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
        windows_.push_back(w);
        return w;
    }

    // The windows that sorry-looking titles or states keep from matching,
    // made above whatever was made before.
    void MakeDecoys() {
        const std::wstring prefix = kPrefix;
        MakeWindow(prefix.substr(0, prefix.size() - 1).c_str());  // last character missing
        MakeWindow(L"VENDRAKE CORVANITE PLUS!");
        MakeWindow(L"vendrake corvanite plus! - Dashboard");
        MakeWindow(L"");
        MakeWindow(kPrefix, false);  // the very title, but not visible
    }

    // Calls the launcher as the menu would, and delivers what it posted.
    std::vector<SeenBox> Open() {
        MessageBoxWatcher boxes;
        EXPECT_TRUE(OpenHostApplication());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return boxes.Seen();
    }

    static std::vector<HWND> Activated() {
        std::vector<HWND> out;
        for (const auto& entry : activations) out.push_back(entry.first);
        return out;
    }

    void ExpectOneErrorBox(const std::vector<SeenBox>& boxes) {
        ASSERT_EQ(1u, boxes.size()) << "exactly one box, ours";
        EXPECT_EQ(L"Error", boxes[0].caption);
        EXPECT_NE(boxes[0].texts.end(),
                  std::find(boxes[0].texts.begin(), boxes[0].texts.end(), kLaunchError));
        EXPECT_EQ(appState.cpuWindow, boxes[0].owner);
    }

private:
    std::vector<HWND> windows_;
    std::vector<wchar_t> saved_;
    HWND savedCpu_ = nullptr;
};

TEST_F(HostLauncher, FirstVisibleHostWindowIsActivatedPastTheDecoys) {
    SetInstallPath(MissingFolder());  // a launch would show the error box
    MakeWindow(L"Vendrake Corvanite Plus! - Second");  // lower down
    HWND host = MakeWindow(kPrefix);  // exactly the prefix
    MakeDecoys();
    HWND other = MakeWindow(L"Some other application");
    SetForegroundWindow(other);

    EXPECT_TRUE(Open().empty()) << "nothing was launched";
    EXPECT_EQ(std::vector<HWND>{host}, Activated());
    EXPECT_EQ((std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}}), activations[host]);
    EXPECT_EQ(host, GetForegroundWindow());
    for (HWND w = GetWindow(host, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        EXPECT_NE(other, w) << "the host is raised above the other application";
}

TEST_F(HostLauncher, OfTwoHostWindowsTheHigherOneWins) {
    SetInstallPath(MissingFolder());
    HWND first = MakeWindow(L"Vendrake Corvanite Plus! - One");
    HWND second = MakeWindow(L"Vendrake Corvanite Plus! - Two");
    EXPECT_TRUE(Open().empty());
    EXPECT_EQ(std::vector<HWND>{second}, Activated());

    activations.clear();
    SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(Open().empty());
    EXPECT_EQ(std::vector<HWND>{first}, Activated());
}

TEST_F(HostLauncher, MinimisedHostInItsOwnProcessIsRestoredRaisedAndTold) {
    SetInstallPath(MissingFolder());
    const std::wstring log = ScratchPath(L"host") + L".log";
    ChildProcess hostProcess;
    ASSERT_TRUE(hostProcess.Start(BuildDir() + L"\\host_window.exe",
                                  L"\"--title=Vendrake Corvanite Plus! Suite\" --minimized "
                                  L"\"--log=" + log + L"\""));
    HWND host = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            host = FindProcessWindow(hostProcess.Id(), L"VgHostWindowFixture");
            return host && IsIconic(host);
        },
        10000));
    HWND other = MakeWindow(L"Some other application");
    SetForegroundWindow(other);

    EXPECT_TRUE(Open().empty());
    EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(log).empty(); }, 5000));
    EXPECT_EQ("1827 0 0\n", ReadFileBytes(log));
    EXPECT_FALSE(IsIconic(host));
    EXPECT_TRUE(IsWindowVisible(host));
    EXPECT_EQ(host, GetForegroundWindow());
    for (HWND w = GetWindow(host, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        EXPECT_NE(other, w) << "the host is raised above the other application";
    EXPECT_TRUE(Activated().empty());

    hostProcess.Kill();
    DeleteFileW(log.c_str());
}

TEST_F(HostLauncher, WithoutAHostWindowTheHostIsStartedInItsFolder) {
    MakeDecoys();
    for (const bool trailingBackslash : {false, true}) {
        HostFolder folder(ScratchPath(L"suite"));
        ASSERT_TRUE(folder.Ready());
        const std::wstring stored = folder.Path() + (trailingBackslash ? L"\\" : L"");
        SetInstallPath(stored);

        EXPECT_TRUE(Open().empty()) << "no error box";
        LaunchRecord run;
        ASSERT_TRUE(folder.WaitLaunch(10000, run)) << "the host did not start";
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(run.commandLine.c_str(), &argc);
        ASSERT_EQ(2, argc) << run.commandLine.c_str();
        EXPECT_EQ(0, lstrcmpiW((stored + L"\\Corvanite.exe").c_str(), argv[0]))
            << "program: " << argv[0];
        EXPECT_STREQ(L"DesktopWidget", argv[1]);
        LocalFree(argv);
        EXPECT_EQ(0, lstrcmpiW(folder.Path().c_str(), run.workingDir.c_str()))
            << "working folder: " << run.workingDir.c_str();
    }
    EXPECT_TRUE(Activated().empty()) << "no decoy was taken for the host";
}

TEST_F(HostLauncher, FailedLaunchShowsOneErrorBoxOwnedByTheCpuWidget) {
    // No install folder was read: the launch looks for \Corvanite.exe at the
    // root of the current drive, with an empty working folder, and fails.
    SetInstallPath(L"");
    ExpectOneErrorBox(Open());
}

TEST_F(HostLauncher, ProgramPathsBeyondTheBufferAreAFailedLaunchNotAnOverflow) {
    // Real folders, each holding the host: 245 characters of folder is the
    // longest that leaves room for "\Corvanite.exe" in 260 characters.
    const std::wstring fitting = PathOfLength(ScratchPath(L"deep"), 245);
    ASSERT_EQ(245u, fitting.size());
    HostFolder fits(fitting);
    HostFolder tooLong(fitting + L"f");  // 246 characters
    ASSERT_TRUE(fits.Ready());
    ASSERT_TRUE(tooLong.Ready());

    SetInstallPath(tooLong.Path());
    ExpectOneErrorBox(Open());
    LaunchRecord run;
    EXPECT_FALSE(tooLong.WaitLaunch(1000, run)) << "a cut path must not start anything";

    SetInstallPath(fits.Path());
    EXPECT_TRUE(Open().empty());
    ASSERT_TRUE(fits.WaitLaunch(10000, run));
    EXPECT_EQ(0, lstrcmpiW(fits.Path().c_str(), run.workingDir.c_str()));
}

}  // namespace
