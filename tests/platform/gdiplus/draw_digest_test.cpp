// What every draw produces, byte for byte: each source pixel format (with
// opaque and translucent content), each interpolation mode, both pixel
// offsets, several geometries, with and without image attributes, onto
// targets of several formats. The digest of each target is compared with
// tests/data/draw-digests.txt, recorded from the drawing code; a faster path
// that changes a single byte of any draw shows up here. Only an intended
// change of results rewrites the file: run the suite with
// PIXAVUE_WRITE_DRAW_DIGESTS=<path> to write the digests found.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_graphics.h>

#include "gdiplus_test_support.h"

namespace pixavue::platform::test {
namespace {

class DrawDigestTest : public GdiplusTest {};

// A deterministic byte stream (xorshift).
class Bytes final {
 public:
  explicit Bytes(std::uint32_t seed) : state_(seed | 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 11); }
  // Mostly opaque, some clear, some in between: the mix of real images.
  std::uint8_t Alpha() {
    const std::uint32_t pick = Next() % 8;
    return pick < 4 ? 255 : pick == 4 ? 0 : Byte();
  }

 private:
  std::uint32_t state_;
};

struct SourceKind final {
  const char* name;
  PixelFormat format;
  bool translucent;  // alpha below 255 in the pixels or palette
};

constexpr SourceKind kSources[] = {
    {"1bpp", PixelFormat1bppIndexed, false},           {"1bpp-alpha", PixelFormat1bppIndexed, true},
    {"4bpp", PixelFormat4bppIndexed, false},           {"4bpp-alpha", PixelFormat4bppIndexed, true},
    {"8bpp", PixelFormat8bppIndexed, false},           {"8bpp-alpha", PixelFormat8bppIndexed, true},
    {"16gray", PixelFormat16bppGrayScale, false},      {"16rgb555", PixelFormat16bppRGB555, false},
    {"16rgb565", PixelFormat16bppRGB565, false},       {"16argb1555", PixelFormat16bppARGB1555, true},
    {"24rgb", PixelFormat24bppRGB, false},             {"32rgb", PixelFormat32bppRGB, false},
    {"32argb-opaque", PixelFormat32bppARGB, false},    {"32argb", PixelFormat32bppARGB, true},
    {"32pargb-opaque", PixelFormat32bppPARGB, false},  {"32pargb", PixelFormat32bppPARGB, true},
    {"48rgb", PixelFormat48bppRGB, false},             {"64argb-opaque", PixelFormat64bppARGB, false},
    {"64argb", PixelFormat64bppARGB, true},            {"64pargb", PixelFormat64bppPARGB, true},
};

// Pixels of `kind` as raw bytes: premultiplied formats keep colour at or
// below alpha, alpha formats marked opaque have every alpha full.
void FillPixel(const SourceKind& kind, Bytes& bytes, std::uint8_t* p) {
  const std::uint32_t size = GetPixelFormatSize(kind.format) / 8;
  for (std::uint32_t i = 0; i < size; ++i) p[i] = bytes.Byte();
  if (kind.format == PixelFormat32bppARGB || kind.format == PixelFormat32bppPARGB) {
    p[3] = kind.translucent ? bytes.Alpha() : 255;
    if (kind.format == PixelFormat32bppPARGB) {
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(p[c] * p[3] / 255);
    }
  } else if (kind.format == PixelFormat64bppARGB || kind.format == PixelFormat64bppPARGB) {
    // Two draws from the stream, in this order whatever the compiler.
    const std::uint32_t high = bytes.Alpha();
    const std::uint32_t low = bytes.Byte() % 2u;
    const std::uint32_t alpha = kind.translucent ? high * 257u - low : 65535u;
    p[6] = static_cast<std::uint8_t>(alpha);
    p[7] = static_cast<std::uint8_t>(alpha >> 8);
    if (kind.format == PixelFormat64bppPARGB) {
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t value = (p[2 * c] | (p[2 * c + 1] << 8)) * alpha / 65535;
        p[2 * c] = static_cast<std::uint8_t>(value);
        p[2 * c + 1] = static_cast<std::uint8_t>(value >> 8);
      }
    }
  }
}

// A bitmap over `storage` with pseudo-random content of the kind; indexed
// kinds get a palette a little shorter than their indices reach (past its
// end reads as black).
GpBitmap* MakeSource(const SourceKind& kind, INT width, INT height, std::vector<std::uint8_t>& storage) {
  const std::uint32_t bits = GetPixelFormatSize(kind.format);
  const INT stride = static_cast<INT>((width * bits + 31) / 32 * 4);
  storage.assign(static_cast<std::size_t>(stride) * height, 0);
  Bytes bytes(bits * 7919u + (kind.translucent ? 104729u : 0u) + static_cast<std::uint32_t>(width));
  for (INT y = 0; y < height; ++y) {
    std::uint8_t* row = storage.data() + static_cast<std::size_t>(y) * stride;
    if (bits < 8) {
      for (INT i = 0; i < (width * static_cast<INT>(bits) + 7) / 8; ++i) row[i] = bytes.Byte();
      continue;
    }
    for (INT x = 0; x < width; ++x) FillPixel(kind, bytes, row + static_cast<std::size_t>(x) * bits / 8);
  }
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(GdipCreateBitmapFromScan0(width, height, stride, kind.format, storage.data(), &bitmap), Ok);
  if (bits > 8) return bitmap;
  const std::uint32_t entries = bits == 1 ? 2 : (1u << bits) - 3;
  std::vector<std::uint8_t> paletteBytes(sizeof(ColorPalette) + entries * sizeof(ARGB));
  auto* palette = reinterpret_cast<ColorPalette*>(paletteBytes.data());
  palette->Flags = kind.translucent ? 1u : 0u;  // PaletteFlagsHasAlpha
  palette->Count = entries;
  for (std::uint32_t i = 0; i < entries; ++i) {
    const ARGB alpha = kind.translucent ? ARGB{bytes.Alpha()} : 255u;
    palette->Entries[i] = (alpha << 24) | (bytes.Next() & 0xFFFFFF);
  }
  EXPECT_EQ(GdipSetImagePalette(bitmap, palette), Ok);
  return bitmap;
}

struct Geometry final {
  const char* name;
  GpRectF destination;
  GpRectF source;
};

constexpr INT kSourceWidth = 45;
constexpr INT kSourceHeight = 31;
constexpr INT kTargetWidth = 44;
constexpr INT kTargetHeight = 32;

constexpr Geometry kGeometries[] = {
    {"fit", {1, 2, 13, 9}, {0, 0, 45, 31}},
    {"zoom", {0, 0, 41, 29}, {3, 2, 14, 10}},
    {"one", {2, 1, 20, 15}, {5, 4, 20, 15}},
    {"fraction", {0.5f, 1.25f, 30.5f, 21}, {2.5f, 1, 37, 27}},
    {"mirror", {40, 0, -37, 25}, {0, 31, 45, -31}},
};

constexpr InterpolationMode kModes[] = {
    InterpolationModeDefault,         InterpolationModeLowQuality,           InterpolationModeHighQuality,
    InterpolationModeBilinear,        InterpolationModeBicubic,              InterpolationModeNearestNeighbor,
    InterpolationModeHighQualityBilinear, InterpolationModeHighQualityBicubic,
};

struct TargetKind final {
  const char* name;
  PixelFormat format;
};

constexpr TargetKind kTargets[] = {{"32pargb", PixelFormat32bppPARGB},
                                   {"32rgb", PixelFormat32bppRGB},
                                   {"32argb", PixelFormat32bppARGB},
                                   {"24rgb", PixelFormat24bppRGB},
                                   {"16rgb565", PixelFormat16bppRGB565}};

// Remap of one colour, a colour-key range and a gamma: every adjustment.
class Attributes final {
 public:
  Attributes() {
    EXPECT_EQ(GdipCreateImageAttributes(&attributes_), Ok);
    const ColorMap map{{0xFF000000}, {0x80FF8000}};
    EXPECT_EQ(GdipSetImageAttributesRemapTable(attributes_, ColorAdjustTypeDefault, 1, 1, &map), Ok);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(attributes_, ColorAdjustTypeDefault, 1, 0x00402000, 0x00C0A080),
              Ok);
    EXPECT_EQ(GdipSetImageAttributesGamma(attributes_, ColorAdjustTypeDefault, 1, 1.7f), Ok);
  }
  ~Attributes() { GdipDisposeImageAttributes(attributes_); }
  Attributes(const Attributes&) = delete;
  Attributes& operator=(const Attributes&) = delete;
  const GpImageAttributes* get() const { return attributes_; }

 private:
  GpImageAttributes* attributes_ = nullptr;
};

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const std::uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
  return hash;
}

struct DrawCase final {
  GpImage* image;
  PixelFormat targetFormat;
  INT targetWidth;
  INT targetHeight;
  InterpolationMode mode;
  PixelOffsetMode offset;
  Geometry geometry;
  const GpImageAttributes* attributes;
};

// Draws onto a target whose bytes start as a pattern (valid premultiplied
// pixels for a premultiplied target) and digests the target's bytes.
std::uint64_t DrawDigest(const DrawCase& c) {
  const std::uint32_t bits = GetPixelFormatSize(c.targetFormat);
  const INT stride = static_cast<INT>((c.targetWidth * bits + 31) / 32 * 4);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * c.targetHeight);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37 % 251);
  if (c.targetFormat == PixelFormat32bppPARGB) {
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
      for (int k = 0; k < 3; ++k) pixels[i + k] = static_cast<std::uint8_t>(pixels[i + k] * pixels[i + 3] / 255);
    }
  }
  ImageGuard target;
  EXPECT_EQ(GdipCreateBitmapFromScan0(c.targetWidth, c.targetHeight, stride, c.targetFormat, pixels.data(),
                                      reinterpret_cast<GpBitmap**>(target.out())),
            Ok);
  GpGraphics* graphics = nullptr;
  EXPECT_EQ(GdipGetImageGraphicsContext(target.get(), &graphics), Ok);
  EXPECT_EQ(GdipSetInterpolationMode(graphics, c.mode), Ok);
  EXPECT_EQ(GdipSetPixelOffsetMode(graphics, c.offset), Ok);
  const GpRectF& d = c.geometry.destination;
  const GpRectF& s = c.geometry.source;
  EXPECT_EQ(GdipDrawImageRectRect(graphics, c.image, d.X, d.Y, d.Width, d.Height, s.X, s.Y, s.Width, s.Height,
                                  UnitPixel, c.attributes, nullptr, nullptr),
            Ok);
  GdipDeleteGraphics(graphics);
  return Fnv1a(pixels);
}

// Draws of one source, target and mode share a line of the file: each
// draw's digest is folded into the line's.
std::string KeyOf(const char* source, const char* target, InterpolationMode mode) {
  std::ostringstream key;
  key << source << ' ' << target << " mode" << mode;
  return key.str();
}

using Digests = std::map<std::string, std::uint64_t>;

void Fold(Digests& digests, const std::string& key, std::uint64_t digest) {
  const auto [it, added] = digests.try_emplace(key, 14695981039346656037ull);
  it->second = (it->second ^ digest) * 1099511628211ull;
}

Digests ReadDigests(const std::string& path) {
  Digests digests;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t cut = line.rfind(' ');
    digests[line.substr(0, cut)] = std::stoull(line.substr(cut + 1), nullptr, 16);
  }
  return digests;
}

// Compares with the recorded digests, or records them when asked to.
void CheckDigests(const Digests& found, const std::string& name) {
  if (const char* out = std::getenv("PIXAVUE_WRITE_DRAW_DIGESTS")) {
    std::ofstream file(std::string(out) + "/" + name);
    file << "# source, target, interpolation mode: digest of every draw of theirs\n";
    for (const auto& [key, digest] : found) file << key << ' ' << std::hex << digest << '\n';
    GTEST_SKIP() << "digests written to " << out;
  }
  const Digests recorded = ReadDigests(std::string(PIXAVUE_TEST_DATA_DIR) + "/" + name);
  ASSERT_EQ(recorded.size(), found.size()) << "recorded digests missing or incomplete in " << name;
  int mismatches = 0;
  for (const auto& [key, digest] : found) {
    const auto it = recorded.find(key);
    if (it == recorded.end() || it->second != digest) {
      if (++mismatches <= 20) ADD_FAILURE() << "draw differs: " << key;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(DrawDigestTest, EveryFormatModeGeometryAndTargetDrawsAsRecorded) {
  Attributes attributes;
  Digests found;
  for (const SourceKind& source : kSources) {
    std::vector<std::uint8_t> storage;
    ImageGuard image(MakeSource(source, kSourceWidth, kSourceHeight, storage));
    for (const TargetKind& target : kTargets) {
      for (const InterpolationMode mode : kModes) {
        for (const PixelOffsetMode offset : {PixelOffsetModeNone, PixelOffsetModeHalf}) {
          for (const Geometry& geometry : kGeometries) {
            for (const GpImageAttributes* adjust : {static_cast<const GpImageAttributes*>(nullptr), attributes.get()}) {
              const DrawCase c{image.get(), target.format, kTargetWidth, kTargetHeight, mode, offset, geometry, adjust};
              Fold(found, KeyOf(source.name, target.name, mode), DrawDigest(c));
            }
          }
        }
      }
    }
  }
  CheckDigests(found, "draw-digests.txt");
}

// Draws large enough to be split between threads, at the control's sizes
// scaled down.
TEST_F(DrawDigestTest, LargeDrawsSplitBetweenThreadsDrawAsRecorded) {
  constexpr Geometry kLarge[] = {
      {"fit", {0, 0, 600, 400}, {0, 0, 1800, 1200}},
      {"zoom", {0, 0, 640, 400}, {701, 403, 320, 200}},
      {"one", {0, 0, 640, 400}, {333, 211, 640, 400}},
  };
  Digests found;
  for (const SourceKind& source : {kSources[4], kSources[5], kSources[10], kSources[13], kSources[14]}) {
    std::vector<std::uint8_t> storage;
    ImageGuard image(MakeSource(source, 1800, 1200, storage));
    for (const TargetKind& target : {kTargets[0], kTargets[1], kTargets[3]}) {
      for (const InterpolationMode mode : {InterpolationModeNearestNeighbor, InterpolationModeBilinear,
                                           InterpolationModeHighQualityBilinear, InterpolationModeHighQualityBicubic}) {
        for (const Geometry& geometry : kLarge) {
          const DrawCase c{image.get(), target.format, 640, 400, mode, PixelOffsetModeHalf, geometry, nullptr};
          Fold(found, KeyOf(source.name, target.name, mode), DrawDigest(c));
        }
      }
    }
  }
  CheckDigests(found, "draw-digests-large.txt");
}

}  // namespace
}  // namespace pixavue::platform::test
