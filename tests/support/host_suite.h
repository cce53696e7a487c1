#pragma once
// For the host launcher tests: a folder holding the stand-in host program
// (fake_host.exe copied as Corvanite.exe), and a watcher that finds and
// dismisses the message boxes this process shows.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vgtest {

// What the stand-in host wrote when it was started.
struct LaunchRecord {
    std::wstring commandLine;
    std::wstring workingDir;
};

// A folder, created with every missing parent, holding Corvanite.exe; all of
// it is removed when the object goes. Paths of any length are handled.
class HostFolder {
public:
    explicit HostFolder(std::wstring path);
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;
    ~HostFolder();

    bool Ready() const { return ready_; }
    const std::wstring& Path() const { return path_; }
    // Waits for the stand-in's record; false when it did not run in time.
    bool WaitLaunch(DWORD timeoutMs, LaunchRecord& record) const;

private:
    std::wstring path_;
    std::vector<std::wstring> created_;  // folders this object made, outermost first
    bool ready_ = false;
};

struct SeenBox {
    std::wstring caption;
    std::vector<std::wstring> texts;  // of its child windows
    HWND owner = nullptr;
};

// Polls for message boxes of this process from a second thread, notes what
// they say and presses OK on each.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    ~MessageBoxWatcher();

    std::vector<SeenBox> Seen();

private:
    void Run();

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::set<HWND> handled_;
    std::thread thread_;
};

}  // namespace vgtest
