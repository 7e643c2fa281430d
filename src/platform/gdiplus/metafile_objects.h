#pragma once
// The object table of metafile playback: pens, brushes, fonts and regions
// that records create and later select by index, and the stock objects.

#include <cstdint>
#include <map>
#include <optional>
#include <span>

#include "metafile_state.h"

namespace pixavue::platform::gdiplus::metafile {

struct GdiObject final {
  // Other: objects the player does not draw with (palettes), which still
  // occupy their slot.
  enum class Kind { Pen, Brush, Font, Region, Other };
  Kind kind = Kind::Other;
  Pen pen;
  Brush brush;
  Font font;
  // A WMF region object's bytes, inside the metafile's data, which outlives
  // the table; read when a record paints with it.
  std::span<const std::uint8_t> region;
};

// Indices run from 0 to kMaxObjects - 1. Only occupied slots take memory,
// and every operation is logarithmic in the number of objects, so a file
// that churns a full table costs no more per record than an empty one.
class ObjectTable final {
 public:
  static constexpr std::uint32_t kMaxObjects = 65535;

  // Windows metafiles: the lowest free slot. False when the table is full.
  bool Add(GdiObject object);
  // Enhanced metafiles: at the index the record names. False outside the
  // table.
  bool Put(std::uint32_t index, GdiObject object);
  // Null for a free slot or an index outside the table.
  const GdiObject* Find(std::uint32_t index) const;
  void Delete(std::uint32_t index);

 private:
  void Occupy(std::uint32_t index);
  void Free(std::uint32_t index);

  std::map<std::uint32_t, GdiObject> slots_;
  // Every slot from end_ up is free; below it, the free slots form the
  // ranges [first, last) of holes_ (first -> last), kept apart and merged,
  // so they never outnumber the objects.
  std::uint32_t end_ = 0;
  std::map<std::uint32_t, std::uint32_t> holes_;
};

// Makes `object` current in `state` (its kind decides what it replaces).
void SelectInto(const GdiObject& object, DeviceState& state);

// The stock object numbered `index` (WHITE_BRUSH 0 ... DC_PEN 19), or
// nullopt for a number that names none.
std::optional<GdiObject> StockObject(std::uint32_t index);

}  // namespace pixavue::platform::gdiplus::metafile
