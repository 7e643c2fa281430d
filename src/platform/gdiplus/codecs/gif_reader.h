#pragma once
// Reads a whole GIF file (through giflib) into its logical screen, colour
// tables, animation controls and the colour indices of every frame, clipped
// to the screen. Compositing and the image object are built from this.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

// Upper bound of the index bytes kept for all frames of one file together.
inline constexpr std::uint64_t kMaxGifRasterBytes = std::uint64_t{1} << 30;
// Upper bound of the comment text kept for one file.
inline constexpr std::size_t kMaxGifCommentBytes = 64 * 1024;

using GifPalette = std::shared_ptr<const std::vector<ARGB>>;

enum class GifDisposal : std::uint8_t {
  Leave = 0,       // 0 (unspecified) and 1 (do not dispose)
  Background = 2,  // clear the frame's rectangle to transparent
  Previous = 3,    // restore the rectangle to what it was before the frame
};

struct GifFrameRecord final {
  GpRect rect;          // the visible part, in screen coordinates (may be empty)
  GifPalette palette;   // the local colour table, else the global one, else a default
  std::optional<std::uint8_t> transparentIndex;
  GifDisposal disposal = GifDisposal::Leave;
  std::uint32_t delay = 0;             // hundredths of a second, as stored
  std::vector<std::uint8_t> indices;   // rect.Width * rect.Height, row by row
};

struct GifContents final {
  std::uint32_t width = 0;   // logical screen
  std::uint32_t height = 0;
  GifPalette globalPalette;  // null when the file has no global colour table
  std::uint8_t backgroundIndex = 0;
  std::optional<std::uint16_t> loopCount;  // from a NETSCAPE2.0 / ANIMEXTS1.0 extension
  std::string comment;                     // all comment extensions, concatenated
  std::vector<GifFrameRecord> frames;      // at least one on success
};

// InvalidParameter for corrupt or truncated data (a file that ends after a
// complete frame without its trailer is accepted), OutOfMemory above the
// size, frame-count and raster-byte limits.
GpStatus ReadGif(std::span<const std::uint8_t> data, GifContents& out);

}  // namespace pixavue::platform::gdiplus
