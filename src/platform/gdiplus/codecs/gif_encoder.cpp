// Writes the active frame as a single-image GIF89a (see gif_palette.h for
// how colours become indices). Encoder parameters do not apply to GIF.

#include <gif_lib.h>

#include <memory>
#include <new>

#include "../codec.h"
#include "gif_palette.h"

namespace pixavue::platform::gdiplus {
namespace {

// Exceptions must not cross giflib's C frames: a failed append reports a
// short write instead.
int WriteToVector(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  if (length <= 0) return 0;
  try {
    out->insert(out->end(), bytes, bytes + length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

struct GifWriterCloser final {
  void operator()(GifFileType* gif) const noexcept {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};
using GifWriter = std::unique_ptr<GifFileType, GifWriterCloser>;

struct ColorMapDeleter final {
  void operator()(ColorMapObject* map) const noexcept { GifFreeMapObject(map); }
};

// The only writes that can fail are appends to memory.
GpStatus StatusForGifError(int error) {
  return error == E_GIF_ERR_NOT_ENOUGH_MEM || error == E_GIF_ERR_WRITE_FAILED ? OutOfMemory : GenericError;
}

std::unique_ptr<ColorMapObject, ColorMapDeleter> MakeColorMap(const std::vector<ARGB>& palette) {
  std::vector<GifColorType> colours;
  colours.reserve(palette.size());
  for (ARGB c : palette) {
    colours.push_back(GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                                   static_cast<GifByteType>(c)});
  }
  return std::unique_ptr<ColorMapObject, ColorMapDeleter>(
      GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
}

GpStatus WriteTransparency(GifFileType* gif, std::uint8_t index) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSAL_UNSPECIFIED;
  control.UserInputFlag = false;
  control.DelayTime = 0;
  control.TransparentColor = index;
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_ERROR) {
    return StatusForGifError(gif->Error);
  }
  return Ok;
}

GpStatus WritePicture(GifFileType* gif, std::uint32_t width, std::uint32_t height, GifIndexedPicture& picture) {
  auto map = MakeColorMap(picture.palette);
  if (!map) return OutOfMemory;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, w, h, map->BitsPerPixel, 0, map.get()) == GIF_ERROR) return StatusForGifError(gif->Error);
  if (picture.transparentIndex) {
    GpStatus status = WriteTransparency(gif, *picture.transparentIndex);
    if (status != Ok) return status;
  }
  if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR) return StatusForGifError(gif->Error);
  for (std::uint32_t y = 0; y < height; ++y) {
    GifPixelType* row = picture.indices.data() + static_cast<std::size_t>(y) * width;
    if (EGifPutLine(gif, row, w) == GIF_ERROR) return StatusForGifError(gif->Error);
  }
  return Ok;
}

}  // namespace

GpStatus EncodeGif(const EncodeSource& source, const EncoderParameters*, std::vector<std::uint8_t>& out) {
  const Frame& frame = source.frame;
  GifIndexedPicture picture;
  GpStatus status = ToGifIndexed(frame, picture);
  if (status != Ok) return status;
  out.clear();
  int error = 0;
  GifWriter gif(EGifOpen(&out, WriteToVector, &error));
  if (!gif) return StatusForGifError(error);
  status = WritePicture(gif.get(), frame.pixels.width(), frame.pixels.height(), picture);
  if (status != Ok) return status;
  // Closing writes the trailer; its failure is the encoder's failure.
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) return StatusForGifError(error);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
