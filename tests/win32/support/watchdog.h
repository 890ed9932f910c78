// Ends a modal loop that a test's user thread failed to end, so that a broken test fails instead
// of hanging the program.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Made on the thread that runs the loop (the main thread). Once the time is up it posts quit
// messages to that thread every half second until the watchdog is destroyed; the destructor
// fails the test when it had to.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit = std::chrono::seconds(20));
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void Watch(std::chrono::seconds limit);

    DWORD mainThread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};
