// GoogleTest's Notification, for toolchains whose C++ library has no std::mutex (MinGW-w64's
// win32 thread model before GCC 13). GoogleTest takes it through its documented
// GTEST_HAS_NOTIFICATION_ customization; only its own thread helpers use it, which wait until
// another thread calls Notify.
#pragma once

#include <atomic>

namespace testing::internal {

class Notification {
  public:
    void Notify() { notified_.store(true); }
    void WaitForNotification() const {
        while (!notified_.load()) {
        }
    }

  private:
    std::atomic<bool> notified_{false};
};

} // namespace testing::internal
