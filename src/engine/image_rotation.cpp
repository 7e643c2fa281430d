// Rotation and flipping of registered images, keeping the engine's
// ownership of pixel buffers right across the imaging library's rotation.

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/engine/image_transforms.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "engine_buffer.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// Kinds whose pixels live in memory the engine borrows from a handle, a DIB
// or the plug-in.
bool ReadsBorrowedMemory(SourceKind kind) {
  switch (kind) {
    case SourceKind::PackedDib:
    case SourceKind::PluginBitmap:
    case SourceKind::GdiBitmap:
    case SourceKind::Icon:
    case SourceKind::PluginPage:
      return true;
    default:
      return false;
  }
}

// Quarter turns and the half turn; the mirrors that keep the axes do not.
bool MovesAxesOrTurnsOver(RotateFlipType type) {
  return type != RotateNoneFlipNone && type != RotateNoneFlipX && type != Rotate180FlipX;
}

SourceKind PageKind(ImageId id) {
  const ImageSlot* slot = SlotOf(ResolvePage(id));
  return slot != nullptr ? slot->Kind : SourceKind::Plain;
}

// The image replaced by its copy over an engine buffer.
QuorvexStatus MoveIntoEngineBuffer(ImageId id) {
  ImageId copy = kNoImage;
  const QuorvexStatus status = CopyIntoEngineBuffer(id, copy);
  if (status != QuorvexStatus::OK) return status;
  if (ReplaceImage(id, copy) == kNoImage) ReleaseImage(copy);
  return QuorvexStatus::OK;
}

QuorvexStatus TurnInLibrary(ImageId id, RotateFlipType type) {
  return FromImagingStatus(GdipImageRotateFlip(NativeHandle(id), type));
}

}  // namespace

QuorvexStatus RotateFlip(ImageId id, RotateFlipType type, bool doNotMark) {
  if (FindSlot(id) < 0) return QuorvexStatus::InvalidParameter;
  // The buffer the turn frees becomes the one the copy afterwards fills.
  const SpareBufferScope reuse;
  PixelFormat format = PixelFormatUndefined;
  GetPixelFormat(id, format);
  const bool oneBit = format == PixelFormat1bppIndexed;
  if (oneBit && ReadsBorrowedMemory(PageKind(id)) && MovesAxesOrTurnsOver(type)) {
    const QuorvexStatus copied = MoveIntoEngineBuffer(id);
    if (copied != QuorvexStatus::OK) return copied;
  }
  if (oneBit && type == Rotate180FlipNone) {
    const QuorvexStatus first = TurnInLibrary(id, Rotate90FlipNone);
    if (first != QuorvexStatus::OK) return first;
    type = Rotate90FlipNone;
  }
  const QuorvexStatus turned = TurnInLibrary(id, type);
  if (turned != QuorvexStatus::OK) {
    ReleaseMovedPixelBuffer(id);  // a first quarter turn may already have moved them
    return turned;
  }
  if (!doNotMark) MarkModified(id);
  // An engine buffer the bitmap no longer reads is freed here, not left to
  // the release (which would then free pixels it does not own).
  ReleaseMovedPixelBuffer(id);
  if (!IsIndexedFormat(format)) MoveIntoEngineBuffer(id);
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
