#include "object_table.h"

#include <cstring>
#include <new>
#include <unordered_map>

namespace pixavue::platform::gdi {
namespace {

// The 20 static colours of the default palette.
constexpr std::uint8_t kStaticColors[20][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

// Handles start well away from 0 and are never reused, so a stale handle
// stays unknown.
constexpr std::uintptr_t kFirstHandle = 0x10000;

struct Table final {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, Object> objects;
  std::uintptr_t next = kFirstHandle;
  std::uintptr_t stockBitmap = 0;
  std::uintptr_t stockPalette = 0;
  std::vector<WindowSurfaceEntry> surfaces;
};

Table& TheTable() {
  static Table table;
  return table;
}

Palette StaticPalette() {
  Palette palette;
  for (const auto& rgb : kStaticColors) palette.entries.push_back(PALETTEENTRY{rgb[0], rgb[1], rgb[2], 0});
  return palette;
}

// Made on first use, under the lock; never counted or deleted.
void EnsureStockObjects(TableAccess& access, Table& table) {
  if (table.stockBitmap != 0) return;
  std::optional<Bitmap> mono = NewBitmap(*DefaultFormat(1, 1, true, 1));
  if (!mono) return;
  table.stockBitmap = access.Add(std::move(*mono));
  table.stockPalette = access.Add(StaticPalette());
}

}  // namespace

TableAccess::TableAccess() : lock_(TheTable().mutex) { EnsureStockObjects(*this, TheTable()); }

Object* TableAccess::FindAny(std::uintptr_t key) const {
  auto& objects = TheTable().objects;
  const auto it = objects.find(key);
  return it == objects.end() ? nullptr : &it->second;
}

std::uintptr_t TableAccess::Add(Object&& object) {
  Table& table = TheTable();
  try {
    const std::uintptr_t key = table.next;
    table.objects.emplace(key, std::move(object));
    ++table.next;
    return key;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void TableAccess::Remove(std::uintptr_t key) {
  if (!IsStock(key)) TheTable().objects.erase(key);
}

bool TableAccess::IsStock(std::uintptr_t key) const {
  const Table& table = TheTable();
  return key != 0 && (key == table.stockBitmap || key == table.stockPalette);
}

std::size_t TableAccess::Count() const {
  const Table& table = TheTable();
  return table.objects.size() - (table.stockBitmap != 0 ? 1 : 0) - (table.stockPalette != 0 ? 1 : 0);
}

std::uintptr_t TableAccess::StockBitmap() const { return TheTable().stockBitmap; }
std::uintptr_t TableAccess::StockPalette() const { return TheTable().stockPalette; }
std::vector<WindowSurfaceEntry>& TableAccess::Surfaces() const { return TheTable().surfaces; }

std::optional<Bitmap> NewBitmap(const DibFormat& format) {
  Bitmap bitmap;
  bitmap.pixels.reset(new (std::nothrow) std::uint8_t[format.ImageBytes()]());
  if (!bitmap.pixels) return std::nullopt;
  try {
    bitmap.format = format;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return bitmap;
}

std::optional<Bitmap> CopyBitmap(const Bitmap& source) {
  std::optional<Bitmap> copy = NewBitmap(source.format);
  if (copy) std::memcpy(copy->pixels.get(), source.pixels.get(), source.format.ImageBytes());
  return copy;
}

}  // namespace pixavue::platform::gdi
