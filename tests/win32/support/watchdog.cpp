#include "support/watchdog.h"

#include <gtest/gtest.h>

Watchdog::Watchdog(std::chrono::seconds limit)
    : mainThread_(GetCurrentThreadId()), thread_([this, limit] { Watch(limit); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
    EXPECT_FALSE(fired_.load()) << "the modal loop did not end in time";
}

void Watchdog::Watch(std::chrono::seconds limit)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, limit, [this] { return done_; })) {
        return;
    }
    fired_ = true;
    while (!wake_.wait_for(lock, std::chrono::milliseconds(500), [this] { return done_; })) {
        PostThreadMessageA(mainThread_, WM_QUIT, 0, 0);
    }
}
