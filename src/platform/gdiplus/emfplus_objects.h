#pragma once
// The objects EMF+ records define and later draw with: brushes, pens,
// paths and images, held in a table of 64 slots. Fonts, regions, string
// formats, image attributes and custom line caps are kept as opaque
// entries; drawing with one is unsupported.

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "emfplus_points.h"
#include "load_budget.h"
#include "metafile_state.h"
#include "pixel_buffer.h"

namespace pixavue::platform::gdiplus::metafile {
class MetafileCanvas;
}

namespace pixavue::platform::gdiplus::emfplus {

using metafile::Transform;

inline constexpr std::uint32_t kObjectSlots = 64;

enum class ObjectType : std::uint32_t {
  Invalid = 0,
  Brush = 1,
  Pen = 2,
  Path = 3,
  Region = 4,
  Image = 5,
  Font = 6,
  StringFormat = 7,
  ImageAttributes = 8,
  CustomLineCap = 9,
};

struct Brush final {
  enum class Kind { Solid, LinearGradient };
  Kind kind = Kind::Solid;
  ARGB color = 0xFF000000;  // solid colour, or the hatch's colours blended
  // A linear gradient from startColor at the rectangle's left edge to
  // endColor at its right edge, in brush space.
  RectF rect;
  ARGB startColor = 0, endColor = 0;
  std::uint32_t wrapMode = 0;
  Transform transform;  // brush space to world space
};

struct Pen final {
  double width = 1;  // world units
  std::uint32_t lineStyle = 0;
  std::vector<double> dashes;  // custom dash lengths, in pen widths
  std::uint32_t startCap = 0, endCap = 0, join = 0;
  double miterLimit = 10;
  Brush brush;
};

// Point types: the low three bits (0 start, 1 line, 3 Bézier), 0x80 closes
// the figure.
struct Path final {
  std::vector<PointD> points;
  std::vector<std::uint8_t> types;
  BudgetReservation reservation;  // of the two arrays
};

struct Object final {
  ObjectType type = ObjectType::Invalid;
  Brush brush;
  Pen pen;
  std::shared_ptr<const Path> path;
  std::shared_ptr<const PixelBuffer> image;  // 32bppPARGB
};

// Everything decoding an object needs besides its bytes: the work budget
// and the image pixels already held, which are bounded in total.
struct ObjectContext final {
  metafile::MetafileCanvas& canvas;
  std::uint64_t& imagePixelsHeld;
};

// The object of `type` in `bytes` (the record's data); nullopt when it
// does not parse or is a kind that cannot be drawn (texture and path
// gradient brushes, metafile images).
std::optional<Object> ParseObject(ObjectType type, std::span<const std::uint8_t> bytes, ObjectContext& context);

class ObjectTable final {
 public:
  void Put(std::uint32_t id, Object object);
  // The object at `id` when it has `type`, else null.
  const Object* Find(std::uint32_t id, ObjectType type) const;

 private:
  std::array<Object, kObjectSlots> slots_;
};

}  // namespace pixavue::platform::gdiplus::emfplus
