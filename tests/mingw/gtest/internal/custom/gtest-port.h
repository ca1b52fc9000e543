// GoogleTest's port header for MinGW-w64 with the win32 thread model, whose
// C++ library has no std::mutex: GoogleTest's Notification (a one-shot
// signal between threads) on a Windows event instead. Found before
// GoogleTest's own empty custom header by the cross build of the suite.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing
