#include "rotate_flip.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "pixel_convert.h"
#include "pixel_index.h"
#include "scaler_bands.h"

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

// Target rows that run along source columns are copied in square tiles of
// about this many bytes a side, so that the source rows a tile reads stay
// in the first-level cache while every target row of the tile is written.
constexpr std::uint32_t kTileBytes = 192;

template <std::size_t Bytes>
constexpr std::uint32_t TilePixels() {
  return static_cast<std::uint32_t>(kTileBytes / Bytes < 16 ? 16 : kTileBytes / Bytes);
}

// Target rows [begin, end) of one band.
struct Rows final {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
};

struct ByteWalk final {
  std::int64_t origin = 0;  // byte offset of the source pixel of target (0, 0)
  std::int64_t step = 0;    // to the source pixel of the next target column
  std::int64_t down = 0;    // to the source pixel of the next target row
};

template <std::size_t Bytes>
ByteWalk InBytes(const SourceWalk& walk, std::int64_t stride) {
  constexpr auto bytes = static_cast<std::int64_t>(Bytes);
  return ByteWalk{walk.origin.y * stride + walk.origin.x * bytes, walk.step.y * stride + walk.step.x * bytes,
                  walk.down.y * stride + walk.down.x * bytes};
}

// Target rows along source rows: a plain copy of each row, or the row read
// from its end.
template <std::size_t Bytes>
void CopyAlongRows(const PixelBuffer& source, const PixelBuffer& target, const ByteWalk& walk, const Rows& rows) {
  const std::uint8_t* base = source.scan0();
  const std::uint32_t width = target.width();
  for (std::uint32_t ty = rows.begin; ty < rows.end; ++ty) {
    const std::uint8_t* from = base + walk.origin + static_cast<std::int64_t>(ty) * walk.down;
    std::uint8_t* out = target.Row(ty);
    if (walk.step > 0) {
      std::memcpy(out, from, std::size_t{width} * Bytes);
      continue;
    }
    for (std::uint32_t tx = 0; tx < width; ++tx, from -= Bytes, out += Bytes) std::memcpy(out, from, Bytes);
  }
}

// Target rows along source columns (the quarter turns), tile by tile.
template <std::size_t Bytes>
void CopyAcrossRows(const PixelBuffer& source, const PixelBuffer& target, const ByteWalk& walk, const Rows& rows) {
  constexpr std::uint32_t kTile = TilePixels<Bytes>();
  const std::uint8_t* base = source.scan0();
  const std::uint32_t width = target.width();
  for (std::uint32_t ty0 = rows.begin; ty0 < rows.end; ty0 += kTile) {
    const std::uint32_t ty1 = std::min(rows.end, ty0 + kTile);
    for (std::uint32_t tx0 = 0; tx0 < width; tx0 += kTile) {
      const std::uint32_t count = std::min(width, tx0 + kTile) - tx0;
      for (std::uint32_t ty = ty0; ty < ty1; ++ty) {
        const std::uint8_t* from = base + walk.origin + static_cast<std::int64_t>(ty) * walk.down +
                                   static_cast<std::int64_t>(tx0) * walk.step;
        std::uint8_t* out = target.Row(ty) + std::size_t{tx0} * Bytes;
        for (std::uint32_t n = 0; n < count; ++n, from += walk.step, out += Bytes) std::memcpy(out, from, Bytes);
      }
    }
  }
}

template <std::size_t Bytes>
void WalkBytes(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk, const Rows& rows) {
  const ByteWalk bytes = InBytes<Bytes>(walk, source.stride());
  if (walk.step.y == 0) {
    CopyAlongRows<Bytes>(source, target, bytes, rows);
  } else {
    CopyAcrossRows<Bytes>(source, target, bytes, rows);
  }
}

// Indices narrower than a byte, pixel by pixel; the quarter turns tile by
// tile as the byte formats do.
template <std::uint32_t Bits>
void WalkIndices(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk, const Rows& rows) {
  constexpr std::uint32_t kTile = 64;
  const std::uint32_t tile = walk.step.y == 0 ? target.width() : kTile;
  for (std::uint32_t ty0 = rows.begin; ty0 < rows.end; ty0 += kTile) {
    const std::uint32_t ty1 = std::min(rows.end, ty0 + kTile);
    for (std::uint32_t tx0 = 0; tx0 < target.width(); tx0 += tile) {
      const std::uint32_t tx1 = std::min(target.width(), tx0 + tile);
      for (std::uint32_t ty = ty0; ty < ty1; ++ty) {
        Point at{walk.origin.x + ty * walk.down.x + tx0 * walk.step.x,
                 walk.origin.y + ty * walk.down.y + tx0 * walk.step.y};
        std::uint8_t* out = target.Row(ty);
        for (std::uint32_t tx = tx0; tx < tx1; ++tx, at.x += walk.step.x, at.y += walk.step.y) {
          const auto index =
              IndexAt<Bits>(source.Row(static_cast<std::uint32_t>(at.y)), static_cast<std::uint32_t>(at.x));
          SetIndexAt<Bits>(out, tx, index);
        }
      }
    }
  }
}

void Walk(const PixelBuffer& source, const PixelBuffer& target, const SourceWalk& walk, const Rows& rows) {
  switch (GetPixelFormatSize(source.format())) {
    case 1:
      return WalkIndices<1>(source, target, walk, rows);
    case 4:
      return WalkIndices<4>(source, target, walk, rows);
    case 8:
      return WalkBytes<1>(source, target, walk, rows);
    case 16:
      return WalkBytes<2>(source, target, walk, rows);
    case 24:
      return WalkBytes<3>(source, target, walk, rows);
    case 32:
      return WalkBytes<4>(source, target, walk, rows);
    case 48:
      return WalkBytes<6>(source, target, walk, rows);
    default:
      return WalkBytes<8>(source, target, walk, rows);
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
  const SourceWalk walk = WalkFor(type, source.width(), source.height());
  // Bands of target rows read and write disjoint memory: large turns use a
  // second thread.
  const auto rows = static_cast<std::int32_t>(height);
  RunInBands(rows, WorthSplitting(static_cast<double>(width) * height, rows), nullptr, nullptr,
             [&](std::int32_t begin, std::int32_t end, BandControl&) {
               Walk(source, *target, walk, Rows{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
               return Ok;
             });
  frame.pixels = std::move(*target);
  if (quarterTurn) std::swap(frame.dpiX, frame.dpiY);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
