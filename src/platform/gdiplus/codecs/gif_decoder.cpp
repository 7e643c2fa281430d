// GIF files: one frame becomes an 8bppIndexed image of the logical screen;
// two or more become 32bppARGB frames composited along the time dimension.

#include <algorithm>
#include <cstring>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>
#include <pixavue/platform/gdiplus/property_tags.h>

#include "../codec.h"
#include "gif_animation.h"
#include "gif_frame_decoder.h"
#include "gif_reader.h"

namespace pixavue::platform::gdiplus {
namespace {

// Delays, loop count, comment, global colour table and background index;
// the same items go with every frame.
PropertyStore GifProperties(const GifContents& contents) {
  PropertyStore properties;
  std::vector<std::uint32_t> delays;
  delays.reserve(contents.frames.size());
  for (const GifFrameRecord& frame : contents.frames) delays.push_back(frame.delay);
  properties.SetLongs(PropertyTagFrameDelay, delays);
  if (contents.loopCount) {
    const std::uint16_t loops[] = {*contents.loopCount};
    properties.SetShorts(PropertyTagLoopCount, loops);
  }
  if (!contents.comment.empty()) properties.SetAscii(PropertyTagExifUserComment, contents.comment);
  if (contents.globalPalette) {
    std::vector<std::uint8_t> triples;
    triples.reserve(contents.globalPalette->size() * 3);
    for (ARGB colour : *contents.globalPalette) {
      triples.push_back(static_cast<std::uint8_t>(colour >> 16));
      triples.push_back(static_cast<std::uint8_t>(colour >> 8));
      triples.push_back(static_cast<std::uint8_t>(colour));
    }
    properties.Set(PropertyTagGlobalPalette, PropertyTagTypeByte, triples);
    const std::uint8_t background[] = {contents.backgroundIndex};
    properties.Set(PropertyTagIndexBackground, PropertyTagTypeByte, background);
  }
  return properties;
}

// The single frame on its screen: outside the frame's rectangle the
// transparent index if there is one, else the background index.
GpStatus SingleFrame(std::span<const std::uint8_t> file, const GifContents& contents, Frame& out) {
  const GifFrameRecord& record = contents.frames.front();
  auto pixels = PixelBuffer::Allocate(PixelFormat8bppIndexed, contents.width, contents.height);
  if (!pixels) return OutOfMemory;
  const std::uint8_t fill = record.transparentIndex.value_or(contents.backgroundIndex);
  for (std::uint32_t y = 0; y < contents.height; ++y) std::memset(pixels->Row(y), fill, contents.width);
  GifFrameDecoder decoder(file);
  GpStatus status = decoder.Open();
  if (status != Ok) return status;
  const auto width = static_cast<std::size_t>(record.rect.Width);
  status = decoder.Decode(record, [&](std::uint32_t row, const std::uint8_t* indices) {
    std::memcpy(pixels->Row(static_cast<std::uint32_t>(record.rect.Y) + row) + record.rect.X, indices, width);
  });
  if (status != Ok) return status;
  out.pixels = std::move(*pixels);
  out.palette = *record.palette;
  if (record.transparentIndex) {
    // A transparent index past the colour table still gets its entry.
    const std::size_t index = *record.transparentIndex;
    if (out.palette.size() <= index) out.palette.resize(index + 1, 0xFF000000u);
    out.palette[index] &= 0x00FFFFFFu;
    out.paletteFlags |= PaletteFlagsHasAlpha;
  }
  return Ok;
}

}  // namespace

GpStatus DecodeGif(const EncodedBytes& data, const DecodeOptions&, DecodedImage& out) {
  if (!data) return InvalidParameter;
  auto contents = std::make_shared<GifContents>();
  GpStatus status = ReadGif(*data, *contents);
  if (status != Ok) return status;
  out.rawFormat = ImageFormatGIF;
  out.frameDimension = FrameDimensionTime;
  PropertyStore properties = GifProperties(*contents);
  if (contents->frames.size() == 1) {
    out.properties = std::move(properties);
    return SingleFrame(*data, *contents, out.frame);
  }
  auto animation = std::make_unique<GifAnimation>(data, std::move(contents), std::move(properties));
  status = animation->DecodeFrame(0, out.frame, out.properties);
  if (status != Ok) return status;
  out.frames = std::move(animation);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
