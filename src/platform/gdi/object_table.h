#pragma once
// The process-wide table of graphics objects. Every public function of the
// layer takes a TableAccess (which holds the table's mutex) before it looks
// at a handle, so handles are always checked against the table and objects
// never outlive their entry.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include <pixavue/platform/gdi/gdi_types.h>

#include "dib_format.h"

namespace pixavue::platform::gdi {

// A bitmap, always stored as a device-independent bitmap: the format, the
// rows in the header's order and a stride padded to 4 bytes.
struct Bitmap final {
  DibFormat format;
  std::unique_ptr<std::uint8_t[]> pixels;  // format.ImageBytes() bytes
  bool dibSection = false;
  std::uintptr_t section = 0;
  DWORD sectionOffset = 0;
  std::uintptr_t selectedInto = 0;  // the memory context holding it, or 0
  bool windowSurface = false;       // owned by a window; not deletable
  int windowContexts = 0;           // window contexts showing this surface
};

struct Palette final {
  std::vector<PALETTEENTRY> entries;
};

struct Icon final {
  ICONINFO info;  // hbmMask and hbmColor are not used: the bitmaps below
  Bitmap mask;
  std::optional<Bitmap> color;
};

struct Metafile final {
  bool enhanced = false;
  std::vector<std::uint8_t> bytes;
};

enum class ContextKind { kScreen, kWindow, kMemory };

struct DeviceContext final {
  ContextKind kind = ContextKind::kScreen;
  HWND window = kNoWindow;
  std::uintptr_t bitmap = 0;   // selected bitmap (memory and window contexts)
  std::uintptr_t palette = 0;  // selected palette
};

// The retained surface of a window, created by GetDC.
struct WindowSurfaceEntry final {
  HWND window = kNoWindow;
  std::thread::id thread;  // windows belong to one thread's table
  std::uintptr_t bitmap = 0;
};

using Object = std::variant<Bitmap, Palette, Icon, Metafile, DeviceContext>;

// Holds the table's lock for its lifetime.
class TableAccess final {
 public:
  TableAccess();
  TableAccess(const TableAccess&) = delete;
  TableAccess& operator=(const TableAccess&) = delete;

  // The object of kind T under `key`; nullptr when missing or of another kind.
  template <class T>
  T* Find(std::uintptr_t key) const {
    Object* object = FindAny(key);
    return object ? std::get_if<T>(object) : nullptr;
  }
  Object* FindAny(std::uintptr_t key) const;
  // A new entry; 0 when memory runs out.
  std::uintptr_t Add(Object&& object);
  void Remove(std::uintptr_t key);
  bool IsStock(std::uintptr_t key) const;
  std::size_t Count() const;  // without stock objects

  std::uintptr_t StockBitmap() const;   // 1 x 1 monochrome
  std::uintptr_t StockPalette() const;  // the 20 static colours

  std::vector<WindowSurfaceEntry>& Surfaces() const;

 private:
  std::unique_lock<std::mutex> lock_;
};

// A copy of a bitmap's pixels and format, not selected anywhere; nullopt when
// memory runs out.
std::optional<Bitmap> CopyBitmap(const Bitmap& bitmap);
// Zeroed pixels of `format`; nullopt when memory runs out.
std::optional<Bitmap> NewBitmap(const DibFormat& format);

}  // namespace pixavue::platform::gdi
