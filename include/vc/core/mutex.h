// The process-wide lock of the library, taken around the lazy initialisation
// of shared defaults, and the scoped guard that holds it.
#pragma once

#include <mutex>

class vcMutex {
public:
  vcMutex() = default;
  vcMutex(const vcMutex&) = delete;
  vcMutex& operator=(const vcMutex&) = delete;

  // The one global mutex; built on first use, so it is ready during static initialisation.
  static vcMutex& global();

  void lock() { m_.lock(); }
  void unlock() { m_.unlock(); }

private:
  std::recursive_mutex m_;
};

// Holds a vcMutex for its lifetime.
class vcLock {
public:
  explicit vcLock(vcMutex& m) : m_(m) { m_.lock(); }
  ~vcLock() { m_.unlock(); }
  vcLock(const vcLock&) = delete;
  vcLock& operator=(const vcLock&) = delete;

private:
  vcMutex& m_;
};
