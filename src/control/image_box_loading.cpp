// The display-from members: each forgets the image shown, hands its source
// to an engine loader that writes the new image into CurrentImage, and on
// success adopts and lays out that image at page 1.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/support/code_page_1252.h>

#include <string>

#include "guarded_call.h"

namespace pixavue {
namespace {

// The status a string carrying fewer than two bytes gives.
constexpr QuorvexStatus kStringTooShort = QuorvexStatus::ProfileNotFound;

}  // namespace

QuorvexStatus ImageBox::FinishLoad(QuorvexStatus status) {
  state_.LastStatus = status;
  if (status != QuorvexStatus::OK) return status;
  props_.CurrentPage = 1;
  AdoptImage(engine::kNoImage);
  UpdateLayout();
  return state_.LastStatus;
}

// With ImageForceTemporaryMode the file is copied first and the copy is
// loaded, so the original may change or go while the image is shown. A
// copy whose load failed is deleted at once: no image holds it.
QuorvexStatus ImageBox::LoadFile(std::string_view path, bool colorManaged) {
  ResetForNewImage(false);
  const QuorvexStatus status = Guarded([&] {
    engine::EngineState& images = state_.EngineState;
    std::string file = engine::ResolvePath(path);
    if (props_.ImageForceTemporaryMode) {
      // The copy is made only of a regular file, checked through the
      // descriptor it is copied from.
      std::string copy = engine::CopyToTempFile(file, images.TempFilePath);
      if (!copy.empty()) {
        images.TempFilePath = copy;
        images.TempFileInUse = true;
        file = std::move(copy);
      }
    }
    const engine::FileLoadOptions options{.colorManaged = colorManaged,
                                          .inPlaceTiff = true,
                                          .inPlaceGif = true,
                                          .owner = surface_.Window(),
                                          .mayShowDialog = true};
    const QuorvexStatus loaded = engine::LoadFromFile(file, options, images.CurrentImage);
    if (loaded != QuorvexStatus::OK) DeleteTempFile();
    return loaded;
  });
  return FinishLoad(status);
}

QuorvexStatus ImageBox::DisplayFromFile(std::string_view sFilePath) { return LoadFile(sFilePath, false); }

QuorvexStatus ImageBox::DisplayFromFileICM(std::string_view sFilePath) { return LoadFile(sFilePath, true); }

// The bytes go to a temporary file that is loaded as a file and deleted
// with the image (or at once when the load fails, or when the image came
// from a temporary copy of it).
std::int32_t ImageBox::LoadBytes(std::span<const std::uint8_t> bytes, bool colorManaged) {
  const std::string file = engine::WriteBytesToTempFile(bytes);
  if (file.empty()) {
    ResetForNewImage(false);
    state_.LastStatus = QuorvexStatus::CanNotCreateFile;
    return static_cast<std::int32_t>(state_.LastStatus);
  }
  const QuorvexStatus status = LoadFile(file, colorManaged);
  engine::EngineState& images = state_.EngineState;
  if (status != QuorvexStatus::OK || images.TempFileInUse) {
    engine::DeleteFileIgnoringErrors(file);
  } else {
    images.TempFileInUse = true;
    images.TempFilePath = file;
  }
  return static_cast<std::int32_t>(status);
}

std::int32_t ImageBox::DisplayFromByteArray(std::span<const std::uint8_t> arBytes) {
  return LoadBytes(arBytes, false);
}

std::int32_t ImageBox::DisplayFromByteArrayICM(std::span<const std::uint8_t> arBytes) {
  return LoadBytes(arBytes, true);
}

// A failure before any loading leaves the image shown as it is.
std::int32_t ImageBox::DisplayFromString(std::u16string_view sImageString) {
  if (sImageString.empty()) {
    state_.LastStatus = QuorvexStatus::GenericError;
    return static_cast<std::int32_t>(state_.LastStatus);
  }
  std::string bytes;
  const QuorvexStatus converted = Guarded([&] {
    bytes = ToCodePage1252(sImageString);
    return QuorvexStatus::OK;
  });
  if (converted != QuorvexStatus::OK || bytes.size() < 2) {
    state_.LastStatus = converted != QuorvexStatus::OK ? converted : kStringTooShort;
    return static_cast<std::int32_t>(state_.LastStatus);
  }
  return DisplayFromByteArray(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

QuorvexStatus ImageBox::DisplayFromStream(platform::IStream* oStream) {
  ResetForNewImage(false);
  return FinishLoad(
      Guarded([&] { return engine::LoadFromStream(oStream, false, state_.EngineState.CurrentImage); }));
}

QuorvexStatus ImageBox::DisplayFromStreamICM(platform::IStream* oStream) {
  ResetForNewImage(false);
  return FinishLoad(
      Guarded([&] { return engine::LoadFromStream(oStream, true, state_.EngineState.CurrentImage); }));
}

QuorvexStatus ImageBox::DisplayFromMetaFile(std::string_view sFilePath, float nScaleBy) {
  ResetForNewImage(false);
  return FinishLoad(Guarded(
      [&] { return engine::LoadMetafileScaled(sFilePath, nScaleBy, state_.EngineState.CurrentImage); }));
}

QuorvexStatus ImageBox::DisplayFromStdPicture(platform::IPicture* oStdPicture) {
  ResetForNewImage(false);
  return FinishLoad(Guarded([&] { return engine::LoadFromPicture(oStdPicture, state_.EngineState.CurrentImage); }));
}

QuorvexStatus ImageBox::DisplayFromHBitmap(platform::OLE_HANDLE nHbitmap) {
  ResetForNewImage(false);
  return FinishLoad(Guarded([&] {
    return engine::LoadFromHBitmap(platform::HBITMAP{nHbitmap}, state_.EngineState.CurrentImage);
  }));
}

QuorvexStatus ImageBox::DisplayFromHICON(platform::OLE_HANDLE nHICON) {
  ResetForNewImage(false);
  return FinishLoad(
      Guarded([&] { return engine::LoadFromHIcon(platform::HICON{nHICON}, state_.EngineState.CurrentImage); }));
}

QuorvexStatus ImageBox::DisplayFromClipboardData() {
  ResetForNewImage(false);
  return FinishLoad(Guarded([&] { return engine::LoadFromClipboard(state_.EngineState.CurrentImage); }));
}

// The block stays the caller's and must live while the image is shown.
QuorvexStatus ImageBox::DisplayFromGdiDib(platform::HGLOBAL nGdiDibRef) {
  ResetForNewImage(false);
  return FinishLoad(Guarded(
      [&] { return engine::LoadFromGdiDib(nGdiDibRef, false, false, state_.EngineState.CurrentImage); }));
}

std::string ImageBox::GetImageFormat() const { return engine::GetFormatName(state_.EngineState.CurrentImage); }

}  // namespace pixavue
