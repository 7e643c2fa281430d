#include "gif_handle.h"

#include <algorithm>
#include <cstring>

namespace pixavue::platform::gdiplus {
namespace {

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
  auto* source = static_cast<GifMemorySource*>(gif->UserData);
  if (length <= 0 || source->AtEnd()) return 0;
  const std::size_t count = std::min(static_cast<std::size_t>(length), source->data.size() - source->position);
  std::memcpy(buffer, source->data.data() + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

}  // namespace

void GifCloser::operator()(GifFileType* gif) const noexcept {
  int error = 0;
  DGifCloseFile(gif, &error);
}

GifHandle OpenGif(GifMemorySource& source, int& error) {
  error = 0;
  return GifHandle(DGifOpen(&source, ReadFromMemory, &error));
}

GpStatus StatusForGifError(int error) noexcept {
  return error == D_GIF_ERR_NOT_ENOUGH_MEM ? OutOfMemory : InvalidParameter;
}

void DropSavedImages(GifFileType* gif) noexcept {
  GifFreeSavedImages(gif);
  gif->ImageCount = 0;
}

}  // namespace pixavue::platform::gdiplus
