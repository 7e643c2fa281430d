#pragma once
// Reads the structure of a GIF file (through giflib): its logical screen,
// colour tables, animation controls and where each frame's compressed data
// lies, without decoding any pixels. Frames are decoded one at a time when
// they are drawn (gif_frame_decoder.h), so a file costs memory for its
// records only, however many frames or pixels it claims.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

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
  std::size_t descriptorOffset = 0;    // file offset just past the frame's 0x2C separator
  std::uint32_t storedWidth = 0;       // the frame as stored, before clipping
  std::uint32_t storedHeight = 0;
  bool interlaced = false;
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

// Most pixels `dataBytes` of LZW data can expand to: no code is narrower
// than 1 bit per 4096 / 12 pixels it produces (a 12-bit code yields at
// most 4096 pixels, a narrower one at most 2^width).
std::uint64_t MaxGifPixelsFor(std::uint64_t dataBytes) noexcept;

// InvalidParameter for corrupt or truncated data (a file that ends after a
// complete frame without its trailer is accepted) and for a frame whose
// data cannot hold its pixels; OutOfMemory above the size and frame-count
// limits.
GpStatus ReadGif(std::span<const std::uint8_t> data, GifContents& out);

}  // namespace pixavue::platform::gdiplus
