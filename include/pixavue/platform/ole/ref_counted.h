#pragma once
// Intrusive reference counting in the COM manner: AddRef and Release return
// the new count, and an object deletes itself when its last reference goes.
// Objects start with no reference; whoever creates one takes the first
// reference through ComPtr (see com_ptr.h).

#include <atomic>
#include <type_traits>

#include <pixavue/platform/ole/types.h>

namespace pixavue::platform {

// The reference-counting part of IUnknown. Interfaces handed around by
// reference count (streams, for example) derive from it.
class IRefCounted {
 public:
  virtual ULONG AddRef() noexcept = 0;
  virtual ULONG Release() noexcept = 0;

 protected:
  IRefCounted() = default;
  IRefCounted(const IRefCounted&) = default;
  IRefCounted& operator=(const IRefCounted&) = default;
  virtual ~IRefCounted() = default;
};

// Implements the counting of an interface that derives from IRefCounted:
//   class MyStream final : public RefCounted<IStream> { ... };
// The count is atomic, so references may be taken and dropped on any thread.
template <class Interface>
class RefCounted : public Interface {
  static_assert(std::is_base_of_v<IRefCounted, Interface>, "Interface must derive from IRefCounted");

 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  ULONG AddRef() noexcept final { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

  ULONG Release() noexcept final {
    const ULONG remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0) {
      delete this;
    }
    return remaining;
  }

 protected:
  RefCounted() = default;
  ~RefCounted() override = default;

 private:
  std::atomic<ULONG> references_{0};
};

}  // namespace pixavue::platform
