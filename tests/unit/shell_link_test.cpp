// The program's links to the processes around it, run in this process: the
// widgets losing their shell as Windows does it (a WM_DESTROY nobody here
// asked for), and "Settings..." with the stand-in host.
#include "app/listener.h"
#include "app/state.h"
#include "host/host_launcher.h"
#include "host/host_launcher_logic.h"
#include "settings/context_menu.h"
#include "settings/menu_logic.h"
#include "tests/support/harness.h"
#include "widgets/widgets.h"

#include <shellapi.h>

#include <gtest/gtest.h>

using namespace vgtest;

namespace {

bool QuitPosted() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 0;
}

TEST(ShellLink, WidgetsTakenUnaskedComeBackWithTheNextShellOrAlone) {
    DeleteKey();
    SetDword(L"HideIcons", 0, kExplorerAdvancedKey);
    ShellFixture shell;
    ASSERT_TRUE(shell.Start());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND listener = CreateListenerWindow(instance);
    ASSERT_TRUE(CreateWidgetWindows(instance));
    const RECT place = ScreenRect(appState.cpuWindow);

    const struct {
        const char* how;
        UINT message;
        WPARAM wParam;
        bool shellGone;
    } cases[] = {{"a new shell", RegisterWindowMessageW(L"TaskbarCreated"), 0, false},
                 {"no shell within the wait", WM_TIMER, ShellWaitTimerId, true}};
    for (const auto& c : cases) {
        // The shell's windows take the widgets with them.
        for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow})
            DestroyWindow(w);
        EXPECT_FALSE(QuitPosted()) << c.how;
        EXPECT_EQ(nullptr, appState.cpuWindow) << c.how << ": no stale handle kept";
        EXPECT_EQ(place, RectIn(ReadKey(), L"WindowPos")) << c.how << ": saved";
        if (c.shellGone) shell.process.Kill();

        SendMessageW(listener, c.message, c.wParam, 0);
        ASSERT_NE(nullptr, appState.cpuWindow) << c.how;
        const HWND parent = c.shellGone ? GetDesktopWindow() : shell.Window(L"SysListView32");
        for (HWND w : {appState.cpuWindow, appState.ramWindow, appState.swapWindow}) {
            EXPECT_EQ(parent, ParentOf(w)) << c.how;
            EXPECT_TRUE(IsWindowVisible(w)) << c.how;
        }
        EXPECT_EQ(place, ScreenRect(appState.cpuWindow)) << c.how;
    }
    // A shell that starts after the wait takes the shown widgets in.
    ASSERT_TRUE(shell.Start());
    SendMessageW(listener, cases[0].message, 0, 0);
    EXPECT_EQ(shell.Window(L"SysListView32"), ParentOf(appState.swapWindow));
    RunMenuCommand(appState.cpuWindow, MenuId::Exit);
    EXPECT_TRUE(QuitPosted()) << "Exit still ends the program";
}

TEST(HostLink, SettingsRaisesARunningHostWithoutUnmaximisingIt) {
    const struct {
        const wchar_t* state;
        bool zoomed;
    } cases[] = {{L"--maximized", true}, {L"--minimized", false}};
    for (const auto& c : cases) {
        const std::wstring log = TempPath(L"vg-host-");
        ChildProcess host;
        ASSERT_TRUE(host.Start(BuildDir() + L"\\host_fixture.exe",
                               L"\"--title=Vendrake Corvanite Plus! 11\" " + std::wstring(c.state) +
                                   L" \"--log=" + log + L"\""));
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            return (window = FindProcessWindow(host.Id(), L"VgHostFixture", true)) != nullptr;
        }));
        OpenHostApplication();
        EXPECT_TRUE(WaitUntil([&] { return ReadFileText(log) == "1827 0 0\n"; })) << c.state;
        EXPECT_FALSE(IsIconic(window)) << c.state;
        EXPECT_EQ(c.zoomed, IsZoomed(window) != FALSE) << c.state;
    }
}

// Points this program's import of a function at another target; Wine gives
// a child a normal class whatever its parent's, so the class is read where
// the launch happens.
bool Redirect(void* from, void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d)
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t)
            if (t->u1.Function == reinterpret_cast<ULONG_PTR>(from)) {
                DWORD old = 0;
                VirtualProtect(&t->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                t->u1.Function = reinterpret_cast<ULONG_PTR>(to);
                VirtualProtect(&t->u1.Function, sizeof(void*), old, &old);
                return true;
            }
    return false;
}

DWORD classAtLaunch = 0;
void* realLaunch = nullptr;
BOOL WINAPI RecordingLaunch(SHELLEXECUTEINFOW* info) {
    classAtLaunch = GetPriorityClass(GetCurrentProcess());
    return reinterpret_cast<decltype(&ShellExecuteExW)>(realLaunch)(info);
}

TEST(HostLink, HostStartsAtNormalPriorityWhileTheWidgetsStayIdle) {
    const std::wstring folder = TempPath(L"vg-suite-");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((BuildDir() + L"\\host_fixture.exe").c_str(),
                          (folder + L"\\Corvanite.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyPathIfFits(appState.hostInstallPath, folder.c_str(), folder.size()));
    realLaunch = reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"shell32.dll"), "ShellExecuteExW"));
    ASSERT_TRUE(Redirect(realLaunch, reinterpret_cast<void*>(RecordingLaunch)));
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    OpenHostApplication();
    const DWORD after = GetPriorityClass(GetCurrentProcess());
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    Redirect(reinterpret_cast<void*>(RecordingLaunch), realLaunch);

    EXPECT_EQ(static_cast<DWORD>(NORMAL_PRIORITY_CLASS), classAtLaunch);
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), after);
    std::string ran;
    ASSERT_TRUE(WaitUntil([&] { return !(ran = ReadFileText(folder + L"\\ran.txt")).empty(); }));
    EXPECT_EQ("32", ran.substr(ran.rfind('|') + 1)) << "the host itself runs at normal";
}

}  // namespace
