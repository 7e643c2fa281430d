#include "rotate_flip.h"

#include <cstring>
#include <utility>

#include "pixel_convert.h"
#include "pixel_index.h"

namespace pixavue::platform::gdiplus {
namespace {

struct Point final {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

// Where each target pixel comes from: source = origin + tx * step + ty * down.
struct SourceWalk final {
  Point origin;
  Point step;
  Point down;
};

SourceWalk WalkFor(RotateFlipType type, std::int64_t width, std::int64_t height) {
  const int quarterTurns = type & 3;
  const bool mirror = (type & 4) != 0;
  const std::int64_t targetWidth = (quarterTurns & 1) != 0 ? height : width;
  // Source position of the target pixel (tx, ty): undo the mirror, then the
  // clockwise quarter turns.
  auto source = [&](std::int64_t tx, std::int64_t ty) {
    const std::int64_t rx = mirror ? targetWidth - 1 - tx : tx;
    switch (quarterTurns) {
      case 1:
        return Point{ty, height - 1 - rx};
      case 2:
        return Point{width - 1 - rx, height - 1 - ty};
      case 3:
        return Point{width - 1 - ty, rx};
      default:
        return Point{rx, ty};
    }
  };
  const Point origin = source(0, 0);
  const Point right = source(1, 0);
  const Point below = source(0, 1);
  return SourceWalk{origin, {right.x - origin.x, right.y - origin.y}, {below.x - origin.x, below.y - origin.y}};
}

template <std::size_t Bytes>
void WalkBytes(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk) {
  const std::uint8_t* base = source.scan0();
  const std::int64_t stride = source.stride();
  const std::int64_t step = walk.step.y * stride + walk.step.x * static_cast<std::int64_t>(Bytes);
  for (std::uint32_t ty = 0; ty < target.height(); ++ty) {
    const Point start{walk.origin.x + ty * walk.down.x, walk.origin.y + ty * walk.down.y};
    std::int64_t offset = start.y * stride + start.x * static_cast<std::int64_t>(Bytes);
    std::uint8_t* out = target.Row(ty);
    for (std::uint32_t tx = 0; tx < target.width(); ++tx, offset += step, out += Bytes) {
      std::memcpy(out, base + offset, Bytes);
    }
  }
}

template <std::uint32_t Bits>
void WalkIndices(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk) {
  for (std::uint32_t ty = 0; ty < target.height(); ++ty) {
    Point at{walk.origin.x + ty * walk.down.x, walk.origin.y + ty * walk.down.y};
    std::uint8_t* out = target.Row(ty);
    for (std::uint32_t tx = 0; tx < target.width(); ++tx, at.x += walk.step.x, at.y += walk.step.y) {
      const auto index = IndexAt<Bits>(source.Row(static_cast<std::uint32_t>(at.y)), static_cast<std::uint32_t>(at.x));
      SetIndexAt<Bits>(out, tx, index);
    }
  }
}

void Walk(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk) {
  switch (GetPixelFormatSize(source.format())) {
    case 1:
      return WalkIndices<1>(source, target, walk);
    case 4:
      return WalkIndices<4>(source, target, walk);
    case 8:
      return WalkBytes<1>(source, target, walk);
    case 16:
      return WalkBytes<2>(source, target, walk);
    case 24:
      return WalkBytes<3>(source, target, walk);
    case 32:
      return WalkBytes<4>(source, target, walk);
    case 48:
      return WalkBytes<6>(source, target, walk);
    default:
      return WalkBytes<8>(source, target, walk);
  }
}

}  // namespace

GpStatus RotateFlipFrame(Frame& frame, RotateFlipType type) {
  if (type < RotateNoneFlipNone || type > Rotate270FlipX) return InvalidParameter;
  const PixelBuffer& source = frame.pixels;
  if (!IsSupportedPixelFormat(source.format())) return InvalidParameter;
  if (type == RotateNoneFlipNone) return Ok;
  const bool quarterTurn = (type & 1) != 0;
  const std::uint32_t width = quarterTurn ? source.height() : source.width();
  const std::uint32_t height = quarterTurn ? source.width() : source.height();
  auto target = PixelBuffer::Allocate(source.format(), width, height);
  if (!target) return OutOfMemory;
  Walk(source, *target, WalkFor(type, source.width(), source.height()));
  frame.pixels = std::move(*target);
  if (quarterTurn) std::swap(frame.dpiX, frame.dpiY);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
