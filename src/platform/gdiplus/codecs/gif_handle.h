#pragma once
// giflib over bytes in memory: a handle that reads from a position the
// caller may move between records, so a frame can be decoded on its own
// long after the file's structure was read.

#include <gif_lib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

struct GifMemorySource final {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;

  bool AtEnd() const noexcept { return position >= data.size(); }
};

struct GifCloser final {
  void operator()(GifFileType* gif) const noexcept;
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// Reads the header, screen and global colour table; `source` must outlive
// the handle. Null with `error` set when giflib refuses them.
GifHandle OpenGif(GifMemorySource& source, int& error);

GpStatus StatusForGifError(int error) noexcept;

// giflib appends each image description it reads to its own list, one
// reallocation a frame; the layer keeps its own records, so that copy is
// dropped at once and a file with many frames stays linear.
void DropSavedImages(GifFileType* gif) noexcept;

}  // namespace pixavue::platform::gdiplus
