#include "gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "../image_limits.h"

namespace pixavue::platform::gdiplus {
namespace {

struct MemorySource final {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  if (length <= 0) return 0;
  const std::size_t count = std::min(static_cast<std::size_t>(length), source->data.size() - source->position);
  if (count == 0) return 0;
  std::memcpy(buffer, source->data.data() + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

struct GifCloser final {
  void operator()(GifFileType* gif) const noexcept {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

GpStatus StatusForGifError(int error) { return error == D_GIF_ERR_NOT_ENOUGH_MEM ? OutOfMemory : InvalidParameter; }

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

// Rows of a frame in the order they are stored: interlaced frames carry
// every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
template <typename Visit>
GpStatus ForEachStoredRow(std::uint32_t height, bool interlaced, Visit visit) {
  constexpr std::array<std::uint32_t, 4> kStart{0, 4, 2, 1};
  constexpr std::array<std::uint32_t, 4> kStep{8, 8, 4, 2};
  const std::size_t passes = interlaced ? kStart.size() : 1;
  for (std::size_t pass = 0; pass < passes; ++pass) {
    const std::uint32_t step = interlaced ? kStep[pass] : 1;
    for (std::uint32_t y = interlaced ? kStart[pass] : 0; y < height; y += step) {
      GpStatus status = visit(y);
      if (status != Ok) return status;
    }
  }
  return Ok;
}

class GifRecordReader final {
 public:
  GifRecordReader(GifFileType* gif, GifContents& out) : gif_(gif), out_(out) {}

  GpStatus ReadScreen();
  GpStatus ReadRecords();

 private:
  GpStatus ReadImage();
  GpStatus ReadImageIndices(GifFrameRecord& frame);
  GpStatus SkipImageData();
  GpStatus ReadExtension();
  void TakeGraphicControl(std::span<const GifByteType> body);
  void TakeApplication(std::span<const GifByteType> identifier);
  void TakeComment(std::span<const GifByteType> text);
  GpStatus EndWithoutTrailer() const;

  GifFileType* gif_;
  GifContents& out_;
  GifFrameRecord pending_;  // animation controls for the next frame
  std::uint64_t rasterBytes_ = 0;
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
  if (DGifGetImageDesc(gif_) == GIF_ERROR) return StatusForGifError(gif_->Error);
  // giflib also appends each description to its own list, one reallocation
  // a frame; this reader keeps its own records, so that copy is dropped at
  // once and a file with many frames stays linear.
  GifFreeSavedImages(gif_);
  gif_->ImageCount = 0;
  if (out_.frames.size() >= kMaxFrames) return OutOfMemory;
  const GifImageDesc& desc = gif_->Image;
  GifFrameRecord frame = std::move(pending_);
  pending_ = GifFrameRecord{};
  const auto [left, width] = ClipSpan(desc.Left, desc.Width, out_.width);
  const auto [top, height] = ClipSpan(desc.Top, desc.Height, out_.height);
  frame.rect = GpRect{left, top, width, height};
  if (desc.ColorMap != nullptr) {
    frame.palette = PaletteFrom(desc.ColorMap);
  } else {
    frame.palette = out_.globalPalette ? out_.globalPalette : PaletteFrom(nullptr);
  }
  const std::uint64_t visible = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  rasterBytes_ += visible;
  if (rasterBytes_ > kMaxGifRasterBytes) return OutOfMemory;
  GpStatus status = visible == 0 ? SkipImageData() : ReadImageIndices(frame);
  if (status != Ok) return status;
  out_.frames.push_back(std::move(frame));
  return Ok;
}

// Decodes every stored row and keeps the part inside the screen.
GpStatus GifRecordReader::ReadImageIndices(GifFrameRecord& frame) {
  const GifImageDesc& desc = gif_->Image;
  const auto frameWidth = static_cast<std::uint32_t>(desc.Width);
  const auto visibleWidth = static_cast<std::size_t>(frame.rect.Width);
  const std::size_t skipLeft = static_cast<std::size_t>(frame.rect.X - desc.Left);
  const std::int64_t firstVisibleRow = frame.rect.Y - desc.Top;
  frame.indices.assign(visibleWidth * static_cast<std::size_t>(frame.rect.Height), 0);
  std::vector<GifPixelType> line(frameWidth);
  return ForEachStoredRow(static_cast<std::uint32_t>(desc.Height), desc.Interlace, [&](std::uint32_t y) {
    if (DGifGetLine(gif_, line.data(), desc.Width) == GIF_ERROR) return StatusForGifError(gif_->Error);
    const std::int64_t row = static_cast<std::int64_t>(y) - firstVisibleRow;
    if (row >= 0 && row < frame.rect.Height) {
      std::memcpy(frame.indices.data() + static_cast<std::size_t>(row) * visibleWidth, line.data() + skipLeft,
                  visibleWidth);
    }
    return Ok;
  });
}

// A frame with nothing visible: its compressed blocks are passed over.
GpStatus GifRecordReader::SkipImageData() {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) return StatusForGifError(gif_->Error);
  while (block != nullptr) {
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
  pending_.disposal = disposal == 2 ? GifDisposal::Background
                      : disposal == 3 ? GifDisposal::Previous
                                      : GifDisposal::Leave;
  pending_.delay = static_cast<std::uint32_t>(body[1] | (body[2] << 8));
  pending_.transparentIndex.reset();
  if ((body[0] & 0x01) != 0) pending_.transparentIndex = body[3];
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

GpStatus ReadGif(std::span<const std::uint8_t> data, GifContents& out) {
  MemorySource source{data, 0};
  int error = 0;
  GifHandle gif(DGifOpen(&source, ReadFromMemory, &error));
  if (!gif) return StatusForGifError(error);
  GifRecordReader reader(gif.get(), out);
  GpStatus status = reader.ReadScreen();
  if (status == Ok) status = reader.ReadRecords();
  return status;
}

}  // namespace pixavue::platform::gdiplus
