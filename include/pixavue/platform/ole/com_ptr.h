#pragma once
// ComPtr<T>: owns one reference to a reference-counted object. Copying takes
// another reference, destruction drops it, so an object lives as long as any
// holder keeps a ComPtr to it.

#include <concepts>
#include <cstddef>
#include <utility>

namespace pixavue::platform {

template <class T>
class ComPtr final {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}  // NOLINT(google-explicit-constructor): a null pointer is a null ComPtr

  // Shares the object: takes a new reference. Use Attach to adopt one.
  explicit ComPtr(T* object) noexcept : object_(object) { AddRefIfAny(); }

  ComPtr(const ComPtr& other) noexcept : object_(other.object_) { AddRefIfAny(); }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}

  template <class U>
    requires std::convertible_to<U*, T*>
  ComPtr(const ComPtr<U>& other) noexcept : object_(other.Get()) {  // NOLINT: as a base pointer converts
    AddRefIfAny();
  }

  template <class U>
    requires std::convertible_to<U*, T*>
  ComPtr(ComPtr<U>&& other) noexcept : object_(other.Detach()) {}  // NOLINT: as a base pointer converts

  ~ComPtr() { ReleaseIfAny(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }

  T* Get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  // Takes over a reference the caller already owns (no AddRef), dropping the
  // one held so far.
  void Attach(T* object) noexcept {
    ReleaseIfAny();
    object_ = object;
  }

  // Hands the held reference to the caller, who must release it.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(object_, nullptr); }

  void Reset() noexcept { ReleaseIfAny(); }

  // For functions that return a new reference through a T** parameter.
  T** ReleaseAndGetAddressOf() noexcept {
    ReleaseIfAny();
    return &object_;
  }

  friend bool operator==(const ComPtr& left, const ComPtr& right) noexcept { return left.object_ == right.object_; }
  friend bool operator==(const ComPtr& left, std::nullptr_t) noexcept { return left.object_ == nullptr; }

 private:
  void AddRefIfAny() const noexcept {
    if (object_ != nullptr) {
      object_->AddRef();
    }
  }

  void ReleaseIfAny() noexcept {
    if (T* object = std::exchange(object_, nullptr)) {
      object->Release();
    }
  }

  T* object_ = nullptr;
};

// Creates an object with its first reference. Returns null when the object
// cannot be made (out of memory, or its constructor threw), so that callers
// can answer E_OUTOFMEMORY without letting an exception through.
template <class T, class... Args>
ComPtr<T> MakeComPtr(Args&&... args) noexcept {
  try {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace pixavue::platform
