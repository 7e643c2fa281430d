#include "gif_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <utility>

#include "../image_limits.h"
#include "gif_handle.h"

namespace pixavue::platform::gdiplus {
namespace {

GifPalette PaletteFrom(const ColorMapObject* map) {
  auto colours = std::make_shared<std::vector<ARGB>>();
  if (map == nullptr || map->Colors == nullptr || map->ColorCount <= 0) {
    // A frame without any colour table: black and white, as for a 1-bit map.
    *colours = {0xFF000000u, 0xFFFFFFFFu};
    return colours;
  }
  colours->reserve(static_cast<std::size_t>(map->ColorCount));
  for (int i = 0; i < map->ColorCount; ++i) {
    const GifColorType& c = map->Colors[i];
    colours->push_back(0xFF000000u | (ARGB{c.Red} << 16) | (ARGB{c.Green} << 8) | ARGB{c.Blue});
  }
  return colours;
}

// The part of [start, start + length) inside [0, limit).
std::pair<std::int32_t, std::int32_t> ClipSpan(std::int64_t start, std::int64_t length, std::int64_t limit) {
  const std::int64_t begin = std::min(start, limit);
  const std::int64_t end = std::min(start + length, limit);
  return {static_cast<std::int32_t>(begin), static_cast<std::int32_t>(end - begin)};
}

class GifRecordReader final {
 public:
  GifRecordReader(GifFileType* gif, const GifMemorySource& source, GifContents& out)
      : gif_(gif), source_(source), out_(out) {}

  GpStatus ReadScreen();
  GpStatus ReadRecords();

 private:
  GpStatus ReadImage();
  GpStatus SkipImageData(std::uint64_t& dataBytes);
  GpStatus ReadExtension();
  void TakeGraphicControl(std::span<const GifByteType> body);
  void TakeApplication(std::span<const GifByteType> identifier);
  void TakeComment(std::span<const GifByteType> text);
  GpStatus EndWithoutTrailer() const;

  GifFileType* gif_;
  const GifMemorySource& source_;  // where the next record starts
  GifContents& out_;
  // Animation controls for the next frame; -1: no transparent index.
  GifDisposal pendingDisposal_ = GifDisposal::Leave;
  std::uint32_t pendingDelay_ = 0;
  int pendingTransparent_ = -1;
  bool expectLoopBlock_ = false;
};

GpStatus GifRecordReader::ReadScreen() {
  GpStatus status = CheckImageSize(gif_->SWidth, gif_->SHeight);
  if (status != Ok) return status;
  out_.width = static_cast<std::uint32_t>(gif_->SWidth);
  out_.height = static_cast<std::uint32_t>(gif_->SHeight);
  if (gif_->SColorMap != nullptr) out_.globalPalette = PaletteFrom(gif_->SColorMap);
  out_.backgroundIndex = static_cast<std::uint8_t>(gif_->SBackGroundColor);
  return Ok;
}

GpStatus GifRecordReader::ReadRecords() {
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif_, &type) == GIF_ERROR) return EndWithoutTrailer();
    GpStatus status = Ok;
    switch (type) {
      case IMAGE_DESC_RECORD_TYPE:
        status = ReadImage();
        break;
      case EXTENSION_RECORD_TYPE:
        status = ReadExtension();
        break;
      case TERMINATE_RECORD_TYPE:
        return out_.frames.empty() ? InvalidParameter : Ok;
      default:
        return EndWithoutTrailer();
    }
    if (status != Ok) return status;
  }
}

// Many files end without the trailer byte or with junk after the last
// frame; what was read completely is kept.
GpStatus GifRecordReader::EndWithoutTrailer() const {
  if (gif_->Error == D_GIF_ERR_NOT_ENOUGH_MEM) return OutOfMemory;
  return out_.frames.empty() ? InvalidParameter : Ok;
}

GpStatus GifRecordReader::ReadImage() {
  const std::size_t descriptorOffset = source_.position;
  if (DGifGetImageDesc(gif_) == GIF_ERROR) return StatusForGifError(gif_->Error);
  DropSavedImages(gif_);
  if (out_.frames.size() >= kMaxFrames) return OutOfMemory;
  const GifImageDesc& desc = gif_->Image;
  GifFrameRecord frame;
  frame.disposal = std::exchange(pendingDisposal_, GifDisposal::Leave);
  frame.delay = std::exchange(pendingDelay_, 0);
  if (pendingTransparent_ >= 0) frame.transparentIndex = static_cast<std::uint8_t>(pendingTransparent_);
  pendingTransparent_ = -1;
  const auto [left, width] = ClipSpan(desc.Left, desc.Width, out_.width);
  const auto [top, height] = ClipSpan(desc.Top, desc.Height, out_.height);
  frame.rect = GpRect{left, top, width, height};
  frame.descriptorOffset = descriptorOffset;
  frame.storedWidth = static_cast<std::uint32_t>(desc.Width);
  frame.storedHeight = static_cast<std::uint32_t>(desc.Height);
  frame.interlaced = desc.Interlace;
  if (desc.ColorMap != nullptr) {
    frame.palette = PaletteFrom(desc.ColorMap);
  } else {
    frame.palette = out_.globalPalette ? out_.globalPalette : PaletteFrom(nullptr);
  }
  std::uint64_t dataBytes = 0;
  GpStatus status = SkipImageData(dataBytes);
  if (status != Ok) return status;
  // A visible frame whose data cannot hold its pixels is corrupt; one with
  // nothing visible is never decoded.
  const std::uint64_t stored = std::uint64_t{frame.storedWidth} * frame.storedHeight;
  if (width > 0 && height > 0 && stored > MaxGifPixelsFor(dataBytes)) return InvalidParameter;
  out_.frames.push_back(std::move(frame));
  return Ok;
}

// Passes over the frame's compressed blocks, counting their bytes.
GpStatus GifRecordReader::SkipImageData(std::uint64_t& dataBytes) {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) return StatusForGifError(gif_->Error);
  while (block != nullptr) {
    dataBytes += block[0];
    if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) return StatusForGifError(gif_->Error);
  }
  return Ok;
}

GpStatus GifRecordReader::ReadExtension() {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) return StatusForGifError(gif_->Error);
  bool first = true;
  expectLoopBlock_ = false;
  while (block != nullptr) {
    const std::span<const GifByteType> body(block + 1, block[0]);
    if (code == GRAPHICS_EXT_FUNC_CODE && first) TakeGraphicControl(body);
    if (code == APPLICATION_EXT_FUNC_CODE) {
      if (first) {
        TakeApplication(body);
      } else if (expectLoopBlock_ && body.size() >= 3 && body[0] == 1) {
        out_.loopCount = static_cast<std::uint16_t>(body[1] | (body[2] << 8));
        expectLoopBlock_ = false;
      }
    }
    if (code == COMMENT_EXT_FUNC_CODE) TakeComment(body);
    first = false;
    if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) return StatusForGifError(gif_->Error);
  }
  return Ok;
}

// Packed flags (disposal in bits 2-4, transparency in bit 0), delay, index.
void GifRecordReader::TakeGraphicControl(std::span<const GifByteType> body) {
  if (body.size() < 4) return;
  const std::uint8_t disposal = (body[0] >> 2) & 0x07;
  pendingDisposal_ = disposal == 2 ? GifDisposal::Background
                      : disposal == 3 ? GifDisposal::Previous
                                      : GifDisposal::Leave;
  pendingDelay_ = static_cast<std::uint32_t>(body[1] | (body[2] << 8));
  pendingTransparent_ = (body[0] & 0x01) != 0 ? body[3] : -1;
}

void GifRecordReader::TakeApplication(std::span<const GifByteType> identifier) {
  const std::string_view name(reinterpret_cast<const char*>(identifier.data()), identifier.size());
  expectLoopBlock_ = name == "NETSCAPE2.0" || name == "ANIMEXTS1.0";
}

void GifRecordReader::TakeComment(std::span<const GifByteType> text) {
  const std::size_t room = kMaxGifCommentBytes - out_.comment.size();
  const std::size_t count = std::min(room, text.size());
  for (std::size_t i = 0; i < count; ++i) {
    // The text is kept as one zero-terminated string.
    out_.comment.push_back(text[i] == 0 ? ' ' : static_cast<char>(text[i]));
  }
}

}  // namespace

std::uint64_t MaxGifPixelsFor(std::uint64_t dataBytes) noexcept {
  constexpr std::uint64_t kPixelsPerCode = 4096;
  constexpr std::uint64_t kWidestCodeBits = 12;
  return (dataBytes * 8 / kWidestCodeBits + 1) * kPixelsPerCode;
}

GpStatus ReadGif(std::span<const std::uint8_t> data, GifContents& out) {
  GifMemorySource source{data, 0};
  int error = 0;
  GifHandle gif = OpenGif(source, error);
  if (!gif) return StatusForGifError(error);
  GifRecordReader reader(gif.get(), source, out);
  GpStatus status = reader.ReadScreen();
  if (status == Ok) status = reader.ReadRecords();
  return status;
}

}  // namespace pixavue::platform::gdiplus
