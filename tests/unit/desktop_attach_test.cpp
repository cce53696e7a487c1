// Attaching a window under the desktop icons, against the stand-in shell,
// from inside the test process: which parent each shell arrangement and
// "HideIcons" setting gives, what the shell is asked, and the styles.

#include "desktop/desktop_attach.h"
#include "desktop/desktop_attach_logic.h"
#include "tests/support/desktop_shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace vgtest;

namespace {

// Not topmost at first: the platform takes that bit only from SetWindowPos,
// so finding it set afterwards shows the attachment asked for it there.
constexpr LONG kCreationExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
constexpr LONG kCreationStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;

// A top-level window shaped like a widget, with extra style bits that an
// attachment must clear; destroyed before the shell goes.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VgAttachTestWindow";
        RegisterClassW(&wc);
        handle = CreateWindowExW(kCreationExStyle, wc.lpszClassName, L"attach test",
                                 kCreationStyle, 40, 50, 160, 160, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~TestWindow() { DestroyWindow(handle); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    LONG Style() const { return GetWindowLongW(handle, GWL_STYLE); }
    LONG ExStyle() const { return GetWindowLongW(handle, GWL_EXSTYLE); }

    HWND handle = nullptr;
};

void ExpectUnchanged(const TestWindow& w, const char* why) {
    EXPECT_EQ(GetDesktopWindow(), ParentOf(w.handle)) << why;
    EXPECT_EQ(kCreationStyle, w.Style() & kCreationStyle) << why;
    EXPECT_TRUE(w.ExStyle() & WS_EX_TRANSPARENT) << why;
}

TEST(DesktopAttachDecision, OnlyASuccessfulReadOfOneMeansHidden) {
    EXPECT_TRUE(IconsHiddenFromRead(ERROR_SUCCESS, 1));
    EXPECT_FALSE(IconsHiddenFromRead(ERROR_SUCCESS, 0));
    EXPECT_FALSE(IconsHiddenFromRead(ERROR_SUCCESS, 0x101));
    // A value too long for the buffer may still leave a 1 in it.
    EXPECT_FALSE(IconsHiddenFromRead(ERROR_MORE_DATA, 1));
}

class DesktopAttach : public ::testing::Test {
protected:
    HideIconsSetting hideIcons;  // restored after the test
    ShellFixture shell;
};

TEST_F(DesktopAttach, HiddenIconsGoStraightIntoTheDesktopView) {
    // If the shell were asked, it would move its view out of "Progman".
    ASSERT_TRUE(shell.Start(L"--move-view"));
    const HWND progman = shell.Window(L"Progman");
    const HWND view = shell.Window(L"SHELLDLL_DefView");

    struct Case {
        DWORD type;
        std::vector<BYTE> data;
    } hidden[] = {{REG_DWORD, {1, 0, 0, 0}},
                  // the type is not examined: whatever reads as 1
                  {REG_BINARY, {1}}};
    for (const Case& c : hidden) {
        hideIcons.Set(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        TestWindow w;
        AttachToDesktop(w.handle);
        EXPECT_EQ(view, ParentOf(w.handle)) << "type " << c.type;
        EXPECT_EQ(progman, ParentOf(view));
    }
    EXPECT_TRUE(shell.Requests().empty()) << "the shell must not be asked";
}

TEST_F(DesktopAttach, IconsShownUnlessHideIconsReadsExactlyOne) {
    ASSERT_TRUE(shell.Start());
    const HWND list = shell.Window(L"SysListView32");
    const DWORD zero = 0, two = 2;
    const ULONGLONG wideOne = 1;  // 8 bytes: the 4-byte read fails

    struct Case {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"0", [&] { hideIcons.Set(REG_DWORD, &zero, 4); }},
        {"2", [&] { hideIcons.Set(REG_DWORD, &two, 4); }},
        {"8-byte 1", [&] { hideIcons.Set(REG_QWORD, &wideOne, 8); }},
        {"value missing", [&] { hideIcons.SetDword(0); hideIcons.RemoveValue(); }},
        {"key missing", [&] { ASSERT_TRUE(hideIcons.RemoveKey()); }},
    };
    size_t asked = 0;
    for (const Case& c : cases) {
        c.arrange();
        TestWindow w;
        AttachToDesktop(w.handle);
        EXPECT_EQ(list, ParentOf(w.handle)) << c.name;
        const std::vector<std::string> requests = shell.Requests();
        ASSERT_EQ(++asked, requests.size()) << c.name << ": one request per attachment";
        EXPECT_EQ("052C 0 0", requests.back()) << c.name;
    }
}

TEST_F(DesktopAttach, ViewMovedOnRequestIsFollowedIntoItsNewWindow) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start(L"--move-view"));
    TestWindow w;
    AttachToDesktop(w.handle);

    const HWND list = ParentOf(w.handle);
    const HWND view = ParentOf(list);
    const HWND holder = ParentOf(view);
    EXPECT_EQ(shell.Window(L"SysListView32"), list);
    EXPECT_EQ(shell.Window(L"SHELLDLL_DefView"), view);
    EXPECT_EQ(shell.Window(L"WorkerW"), holder);
    EXPECT_EQ(GetDesktopWindow(), ParentOf(holder));
    EXPECT_EQ((std::vector<std::string>{"052C 0 0"}), shell.Requests());

    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), w.Style());
    const LONG ex = w.ExStyle();
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_FALSE(ex & WS_EX_TRANSPARENT);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
}

TEST_F(DesktopAttach, ViewWithoutIconListMakesItsHolderTheParent) {
    hideIcons.SetDword(0);
    ASSERT_TRUE(shell.Start(L"--no-list"));
    {
        TestWindow w;
        AttachToDesktop(w.handle);
        EXPECT_EQ(shell.Window(L"Progman"), ParentOf(w.handle));
    }
    ASSERT_TRUE(shell.Start(L"--no-list --move-view"));
    TestWindow w;
    AttachToDesktop(w.handle);
    EXPECT_EQ(shell.Window(L"WorkerW"), ParentOf(w.handle));
}

TEST_F(DesktopAttach, NothingChangesWithoutAShellToJoin) {
    {
        // No shell at all, either path.
        TestWindow w;
        hideIcons.SetDword(1);
        AttachToDesktop(w.handle);
        ExpectUnchanged(w, "no shell, icons hidden");
        hideIcons.SetDword(0);
        AttachToDesktop(w.handle);
        ExpectUnchanged(w, "no shell, icons shown");
    }
    {
        // A view in some other top-level window is not looked for when
        // there is no "Progman": nothing is sent, nothing changes.
        ASSERT_TRUE(shell.Start(L"", L"ShellLookalike"));
        TestWindow w;
        AttachToDesktop(w.handle);
        ExpectUnchanged(w, "no Progman");
        EXPECT_TRUE(shell.Requests().empty());
    }
    {
        // "Progman" without a view: hidden icons have no target; shown
        // icons ask, then find no view anywhere.
        ASSERT_TRUE(shell.Start(L"--no-view"));
        TestWindow w;
        hideIcons.SetDword(1);
        AttachToDesktop(w.handle);
        ExpectUnchanged(w, "no view, icons hidden");
        EXPECT_TRUE(shell.Requests().empty());
        hideIcons.SetDword(0);
        AttachToDesktop(w.handle);
        ExpectUnchanged(w, "no view, icons shown");
        EXPECT_EQ(1u, shell.Requests().size());
    }
}

TEST_F(DesktopAttach, UnansweredRequestHoldsEachAttachmentForAboutOneSecond) {
    ASSERT_TRUE(hideIcons.RemoveKey());
    ASSERT_TRUE(shell.Start(L"--hang"));
    const HWND list = shell.Window(L"SysListView32");
    ASSERT_NE(nullptr, list);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        TestWindow w;
        const auto start = std::chrono::steady_clock::now();
        AttachToDesktop(w.handle);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        EXPECT_GE(ms, 900) << "attempt " << attempt;
        EXPECT_LT(ms, 2500) << "attempt " << attempt;
        // The time-out does not stop the attachment.
        EXPECT_EQ(list, ParentOf(w.handle)) << "attempt " << attempt;
        EXPECT_EQ(static_cast<size_t>(attempt), shell.Requests().size());
    }
}

}  // namespace
