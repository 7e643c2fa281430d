#pragma once
// GIF89a files written record by record for tests and benchmarks, so that
// every record (screen, tables, loop count, comments, frame controls,
// interlacing) is explicit.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::test {

// Writes GIF89a files record by record. Image data is LZW with 8-bit
// literals only (a clear code every 200 codes keeps the code width at 9).
class GifBuilder final {
 public:
  GifBuilder(std::uint16_t width, std::uint16_t height, const std::vector<ARGB>& global = {},
             std::uint8_t background = 0) {
    Text("GIF89a");
    U16(width);
    U16(height);
    bytes_.push_back(global.empty() ? 0 : static_cast<std::uint8_t>(0xF0 | TableBits(global.size())));
    bytes_.push_back(background);
    bytes_.push_back(0);
    ColourTable(global);
  }

  GifBuilder& Loop(std::uint16_t count) {
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 0x0B});
    Text("NETSCAPE2.0");
    bytes_.insert(bytes_.end(), {0x03, 0x01});
    U16(count);
    bytes_.push_back(0);
    return *this;
  }
  GifBuilder& Comment(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
    Text(text);
    bytes_.push_back(0);
    return *this;
  }
  GifBuilder& Control(std::uint8_t disposal, std::uint16_t delay, int transparent = -1) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 0x04});
    bytes_.push_back(static_cast<std::uint8_t>((disposal << 2) | (transparent >= 0 ? 1 : 0)));
    U16(delay);
    bytes_.push_back(static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
    bytes_.push_back(0);
    return *this;
  }
  // `indices` row by row in display order; interlaced frames are stored
  // in pass order here.
  GifBuilder& Image(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height,
                    const std::vector<std::uint8_t>& indices, const std::vector<ARGB>& local = {},
                    bool interlaced = false) {
    bytes_.push_back(0x2C);
    U16(x);
    U16(y);
    U16(width);
    U16(height);
    std::uint8_t packed = interlaced ? 0x40 : 0;
    if (!local.empty()) packed = static_cast<std::uint8_t>(packed | 0x80 | TableBits(local.size()));
    bytes_.push_back(packed);
    ColourTable(local);
    ImageData(interlaced ? InterlacedOrder(indices, width, height) : indices);
    return *this;
  }

  // A frame of one colour index in the fewest bytes LZW allows: each code
  // is one pixel longer than the last (lengths 1, 2, 3 ...), with a clear
  // code every 3000 codes; a 4096 x 4096 frame takes about 16 KB.
  GifBuilder& UniformImage(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height,
                           std::uint8_t index, bool interlaced = false) {
    bytes_.push_back(0x2C);
    U16(x);
    U16(y);
    U16(width);
    U16(height);
    bytes_.push_back(interlaced ? 0x40 : 0);
    Blocks(UniformCodes(std::uint64_t{width} * height, index));
    return *this;
  }

  std::vector<std::uint8_t> Bytes(bool trailer = true) const {
    std::vector<std::uint8_t> out = bytes_;
    if (trailer) out.push_back(0x3B);
    return out;
  }

 private:
  static std::uint8_t TableBits(std::size_t entries) {
    std::uint8_t bits = 0;
    while ((std::size_t{2} << bits) < entries) ++bits;
    return bits;
  }
  static std::vector<std::uint8_t> InterlacedOrder(const std::vector<std::uint8_t>& indices, std::size_t width,
                                                   std::size_t height) {
    std::vector<std::uint8_t> out;
    const std::size_t starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (std::size_t y = starts[pass]; y < height; y += steps[pass]) {
        out.insert(out.end(), indices.begin() + static_cast<std::ptrdiff_t>(y * width),
                   indices.begin() + static_cast<std::ptrdiff_t>((y + 1) * width));
      }
    }
    return out;
  }
  void Text(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void U16(std::uint16_t v) { bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}); }
  void ColourTable(const std::vector<ARGB>& colours) {
    if (colours.empty()) return;
    const std::size_t size = std::size_t{2} << TableBits(colours.size());
    for (std::size_t i = 0; i < size; ++i) {
      const ARGB c = i < colours.size() ? colours[i] : 0;
      bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c)});
    }
  }
  // Codes are as wide as giflib's decoder reads them: one bit more once
  // the next table entry passes the current width.
  static std::vector<std::uint8_t> UniformCodes(std::uint64_t pixels, std::uint8_t index) {
    std::vector<std::uint8_t> packed;
    std::uint64_t bits = 0;
    std::uint32_t count = 0, width = 9, running = 258, widest = 512;
    auto put = [&](std::uint32_t code) {
      bits |= std::uint64_t{code} << count;
      count += width;
      while (count >= 8) {
        packed.push_back(static_cast<std::uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
      if (running < 4097 && ++running > widest && width < 12) {
        widest <<= 1;
        ++width;
      }
    };
    auto clear = [&] {
      put(256);
      width = 9;
      running = 258;
      widest = 512;
    };
    clear();
    while (pixels > 0) {
      for (std::uint64_t length = 1; pixels > 0 && length <= 3000; ++length) {
        const std::uint64_t take = std::min(length, pixels);
        put(take == 1 ? index : static_cast<std::uint32_t>(256 + take));
        pixels -= take;
      }
      if (pixels > 0) clear();
    }
    put(257);
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits));
    return packed;
  }
  void Blocks(const std::vector<std::uint8_t>& packed) {
    bytes_.push_back(8);
    for (std::size_t at = 0; at < packed.size(); at += 255) {
      const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
      bytes_.push_back(static_cast<std::uint8_t>(n));
      bytes_.insert(bytes_.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                    packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    bytes_.push_back(0);
  }
  void ImageData(const std::vector<std::uint8_t>& indices) {
    std::vector<std::uint8_t> packed;
    std::uint32_t bits = 0, count = 0;
    auto put = [&](std::uint32_t code) {
      bits |= code << count;
      count += 9;
      while (count >= 8) {
        packed.push_back(static_cast<std::uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
    };
    put(256);
    for (std::size_t i = 0; i < indices.size(); ++i) {
      if (i > 0 && i % 200 == 0) put(256);
      put(indices[i]);
    }
    put(257);
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits));
    Blocks(packed);
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace pixavue::platform::test
