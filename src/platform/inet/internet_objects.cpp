// The process's table of internet handles. Handles are numbers drawn from a
// counter, so a closed handle is never mistaken for a newer one.

#include "internet_objects.h"

#include <map>
#include <mutex>
#include <vector>

#include <pixavue/platform/inet/last_error.h>

namespace pixavue::platform::inet {
namespace {

// Handles open at once, across the process.
constexpr std::size_t kMaxHandles = 4096;

struct HandleTable {
  std::mutex mutex;
  std::uintptr_t next = 0x1000;
  std::map<std::uintptr_t, std::shared_ptr<InternetObject>> objects;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

std::uintptr_t Key(HINTERNET handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

HINTERNET AddObject(std::shared_ptr<InternetObject> object) {
  HandleTable& table = Table();
  const std::lock_guard lock(table.mutex);
  if (table.objects.size() >= kMaxHandles) {
    SetLastError(ERROR_INTERNET_OUT_OF_HANDLES);
    return nullptr;
  }
  const std::uintptr_t key = table.next++;
  table.objects.emplace(key, std::move(object));
  return reinterpret_cast<HINTERNET>(key);
}

std::shared_ptr<InternetObject> FindObject(HINTERNET handle) {
  HandleTable& table = Table();
  const std::lock_guard lock(table.mutex);
  const auto found = table.objects.find(Key(handle));
  if (found == table.objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second;
}

std::shared_ptr<InternetObject> FindObject(HINTERNET handle, ObjectKind kind) {
  std::shared_ptr<InternetObject> object = FindObject(handle);
  if (object != nullptr && object->kind != kind) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  return object;
}

bool RemoveObject(HINTERNET handle) {
  // The objects are destroyed after the lock is released: a transfer's
  // clean-up may take a moment.
  std::vector<std::shared_ptr<InternetObject>> closed;
  {
    HandleTable& table = Table();
    const std::lock_guard lock(table.mutex);
    const auto found = table.objects.find(Key(handle));
    if (found == table.objects.end()) return false;
    std::vector<std::uintptr_t> keys{found->first};
    for (std::size_t i = 0; i < keys.size(); ++i) {
      for (const auto& [key, object] : table.objects) {
        if (Key(object->parent) == keys[i]) keys.push_back(key);
      }
    }
    for (const std::uintptr_t key : keys) {
      const auto entry = table.objects.find(key);
      closed.push_back(std::move(entry->second));
      table.objects.erase(entry);
    }
  }
  return true;
}

}  // namespace pixavue::platform::inet
