// Reference-counted sharing: vcRepBase is the base of every shared
// representation (shapes, graphics, transforms, pixel storage), and
// vcPtrHandle / vcPtrHandle_const are the intrusive smart pointers that hold it.
#pragma once

#include <atomic>
#include <cstddef>
#include <utility>

class vcRepBase {
public:
  vcRepBase() noexcept = default;
  // A copy is a new object: it starts unshared.
  vcRepBase(const vcRepBase&) noexcept {}
  vcRepBase& operator=(const vcRepBase&) noexcept { return *this; }
  virtual ~vcRepBase() = default;

  void addRef() const noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  // Drops one reference and deletes the object when it was the last.
  void release() const noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }
  long refCount() const noexcept { return refs_.load(std::memory_order_relaxed); }

private:
  mutable std::atomic<long> refs_{0};
};

template <class T>
class vcPtrHandle;

// Shared ownership of a const T (T derives from vcRepBase). Null by default.
template <class T>
class vcPtrHandle_const {
public:
  vcPtrHandle_const() noexcept = default;
  vcPtrHandle_const(std::nullptr_t) noexcept {}
  // Takes a reference on p; p may already be held by other handles.
  explicit vcPtrHandle_const(const T* p) noexcept : p_(p) { if (p_) p_->addRef(); }
  vcPtrHandle_const(const vcPtrHandle_const& o) noexcept : p_(o.p_) { if (p_) p_->addRef(); }
  vcPtrHandle_const(vcPtrHandle_const&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  vcPtrHandle_const(const vcPtrHandle_const<U>& o) noexcept : vcPtrHandle_const(o.ptr()) {}
  // From a mutable handle of T or of a class derived from T.
  template <class U>
  vcPtrHandle_const(const vcPtrHandle<U>& o) noexcept : vcPtrHandle_const(static_cast<const T*>(o.ptr())) {}
  ~vcPtrHandle_const() { if (p_) p_->release(); }

  vcPtrHandle_const& operator=(vcPtrHandle_const o) noexcept { std::swap(p_, o.p_); return *this; }

  const T* ptr() const noexcept { return p_; }
  const T* operator->() const noexcept { return p_; }
  const T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  bool operator==(const vcPtrHandle_const& o) const noexcept { return p_ == o.p_; }

protected:
  const T* p_ = nullptr;
};

// Shared ownership of a mutable T. Converts to the const handle.
template <class T>
class vcPtrHandle {
public:
  vcPtrHandle() noexcept = default;
  vcPtrHandle(std::nullptr_t) noexcept {}
  explicit vcPtrHandle(T* p) noexcept : p_(p) { if (p_) p_->addRef(); }
  vcPtrHandle(const vcPtrHandle& o) noexcept : p_(o.p_) { if (p_) p_->addRef(); }
  vcPtrHandle(vcPtrHandle&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  vcPtrHandle(const vcPtrHandle<U>& o) noexcept : vcPtrHandle(o.ptr()) {}
  ~vcPtrHandle() { if (p_) p_->release(); }

  vcPtrHandle& operator=(vcPtrHandle o) noexcept { std::swap(p_, o.p_); return *this; }

  T* ptr() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  bool operator==(const vcPtrHandle& o) const noexcept { return p_ == o.p_; }

private:
  T* p_ = nullptr;
};

// Makes a new T and returns the first handle on it.
template <class T, class... Args>
vcPtrHandle<T> vfMakeHandle(Args&&... args) {
  return vcPtrHandle<T>(new T(std::forward<Args>(args)...));
}
