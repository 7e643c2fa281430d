#include "bmp_rle.h"

#include "../byte_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

// Escape codes that follow a zero count byte.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

// Writes indices into the image, row 0 of the stream being the bottom row.
class RleCursor final {
 public:
  explicit RleCursor(PixelBuffer& pixels) noexcept
      : pixels_(pixels), nibbles_(pixels.format() == PixelFormat4bppIndexed) {}

  bool done() const noexcept { return y_ >= pixels_.height(); }
  // The last pixel of the last row is written (the end code may be left out).
  bool filled() const noexcept { return y_ + 1 == pixels_.height() && x_ == pixels_.width(); }
  bool nibbles() const noexcept { return nibbles_; }

  // False when `count` more pixels do not fit in the current row.
  bool Fits(std::uint32_t count) const noexcept { return count <= pixels_.width() - x_; }

  void Put(std::uint8_t index) noexcept {
    std::uint8_t* row = pixels_.Row(pixels_.height() - 1 - y_);
    if (nibbles_) {
      const unsigned shift = (x_ & 1) != 0 ? 0 : 4;
      row[x_ / 2] = static_cast<std::uint8_t>((row[x_ / 2] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
    } else {
      row[x_] = index;
    }
    ++x_;
  }

  void EndOfLine() noexcept {
    x_ = 0;
    ++y_;
  }

  bool Move(std::uint32_t dx, std::uint32_t dy) noexcept {
    if (dx > pixels_.width() - x_ || dy >= pixels_.height() - y_) return false;
    x_ += dx;
    y_ += dy;
    return true;
  }

 private:
  PixelBuffer& pixels_;
  bool nibbles_;
  std::uint32_t x_ = 0;
  std::uint32_t y_ = 0;
};

// An encoded run: `count` pixels of one index (RLE8) or of two alternating
// indices (RLE4, high nibble first).
bool WriteRun(RleCursor& cursor, std::uint8_t count, std::uint8_t value) {
  if (!cursor.Fits(count)) return false;
  for (unsigned i = 0; i < count; ++i) {
    if (!cursor.nibbles()) {
      cursor.Put(value);
    } else {
      cursor.Put((i & 1) == 0 ? value >> 4 : value & 0x0F);
    }
  }
  return true;
}

// An absolute run of `count` literal indices, padded to a 16-bit boundary.
bool WriteLiteral(RleCursor& cursor, ByteReader& reader, std::uint8_t count) {
  const std::size_t bytes = cursor.nibbles() ? (count + 1u) / 2 : count;
  auto literal = reader.Bytes(bytes);
  if (!literal || !cursor.Fits(count)) return false;
  for (unsigned i = 0; i < count; ++i) {
    if (!cursor.nibbles()) {
      cursor.Put((*literal)[i]);
    } else {
      const std::uint8_t packed = (*literal)[i / 2];
      cursor.Put((i & 1) == 0 ? packed >> 4 : packed & 0x0F);
    }
  }
  if ((bytes & 1) != 0) reader.Skip(1);  // a missing pad byte at the very end is harmless
  return true;
}

}  // namespace

GpStatus DecodeBmpRle(std::span<const std::uint8_t> bits, PixelBuffer& pixels) {
  ByteReader reader(bits);
  RleCursor cursor(pixels);
  while (!cursor.done()) {
    auto count = reader.U8();
    auto value = reader.U8();
    if (!count || !value) return cursor.filled() ? Ok : InvalidParameter;
    if (*count != 0) {
      if (!WriteRun(cursor, *count, *value)) return InvalidParameter;
      continue;
    }
    switch (*value) {
      case kEndOfLine:
        cursor.EndOfLine();
        break;
      case kEndOfBitmap:
        return Ok;
      case kDelta: {
        auto dx = reader.U8();
        auto dy = reader.U8();
        if (!dx || !dy || !cursor.Move(*dx, *dy)) return InvalidParameter;
        break;
      }
      default:
        if (!WriteLiteral(cursor, reader, *value)) return InvalidParameter;
        break;
    }
  }
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
