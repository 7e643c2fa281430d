#pragma once
// The set of live objects of one kind handed out through the flat
// interface, so that a pointer that was never returned, or was already
// deleted, is refused instead of dereferenced.

#include <memory>
#include <mutex>
#include <unordered_set>

namespace pixavue::platform::gdiplus {

template <class Object>
class LiveObjects final {
 public:
  Object* Register(std::unique_ptr<Object> object) {
    std::lock_guard guard(mutex_);
    live_.insert(object.get());
    return object.release();
  }

  bool IsLive(const Object* object) const {
    if (object == nullptr) return false;
    std::lock_guard guard(mutex_);
    return live_.count(object) != 0;
  }

  // Removes and deletes; false when the object was not live.
  bool Dispose(Object* object) {
    {
      std::lock_guard guard(mutex_);
      if (live_.erase(object) == 0) return false;
    }
    delete object;
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::unordered_set<const Object*> live_;
};

}  // namespace pixavue::platform::gdiplus
