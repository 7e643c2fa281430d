#include "clipboard_data.h"

#include <cstring>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/picture_dib.h>

namespace pixavue::platform::clipboard {
namespace {

constexpr std::size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);

// Keeps a block locked for the lifetime of the object.
class LockedBlock final {
 public:
  explicit LockedBlock(HGLOBAL block)
      : block_(block), bytes_(static_cast<std::uint8_t*>(GlobalLock(block))), size_(GlobalSize(block)) {}
  ~LockedBlock() {
    if (bytes_ != nullptr) GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;

  std::uint8_t* bytes() const { return bytes_; }
  std::size_t size() const { return bytes_ == nullptr ? 0 : size_; }

 private:
  HGLOBAL block_;
  std::uint8_t* bytes_;
  std::size_t size_;
};

bool IsMetafilePicture(HGLOBAL block, METAFILEPICT* picture) {
  LockedBlock locked(block);
  if (locked.size() < sizeof(METAFILEPICT)) return false;
  std::memcpy(picture, locked.bytes(), sizeof(METAFILEPICT));
  return GetObjectType(ToGdiObject(picture->hMF)) == OBJ_METAFILE;
}

}  // namespace

bool AcceptsData(UINT format, HANDLE data) {
  switch (format) {
    case CF_BITMAP:
      return GetObjectType(HGDIOBJ{static_cast<std::uintptr_t>(data)}) == OBJ_BITMAP;
    case CF_PALETTE:
      return GetObjectType(HGDIOBJ{static_cast<std::uintptr_t>(data)}) == OBJ_PAL;
    case CF_DIB:
      return GlobalSize(FromHandle<HGLOBAL>(data)) >= kHeaderBytes;
    case CF_METAFILEPICT: {
      METAFILEPICT picture;
      return IsMetafilePicture(FromHandle<HGLOBAL>(data), &picture);
    }
    default:
      return false;
  }
}

void DeleteData(UINT format, HANDLE data) {
  switch (format) {
    case CF_BITMAP:
    case CF_PALETTE:
      DeleteObject(HGDIOBJ{static_cast<std::uintptr_t>(data)});
      break;
    case CF_METAFILEPICT: {
      METAFILEPICT picture;
      if (IsMetafilePicture(FromHandle<HGLOBAL>(data), &picture)) DeleteMetaFile(picture.hMF);
      GlobalFree(FromHandle<HGLOBAL>(data));
      break;
    }
    default:
      GlobalFree(FromHandle<HGLOBAL>(data));
      break;
  }
}

HGLOBAL DibBlockFromBitmap(HBITMAP bitmap) {
  const std::optional<std::vector<std::uint8_t>> dib = PackedDibFromBitmap(bitmap);
  return dib ? BlockWithBytes(*dib) : HGLOBAL{};
}

HBITMAP BitmapFromDibBlock(HGLOBAL block) {
  LockedBlock locked(block);
  if (locked.bytes() == nullptr) return HBITMAP{};
  return BitmapFromPackedDib(std::span<const std::uint8_t>(locked.bytes(), locked.size()));
}

HGLOBAL BlockWithBytes(std::span<const std::uint8_t> bytes) {
  const HGLOBAL block = GlobalAlloc(GHND, bytes.size());
  LockedBlock locked(block);
  if (locked.bytes() == nullptr) {
    GlobalFree(block);
    return HGLOBAL{};
  }
  if (!bytes.empty()) std::memcpy(locked.bytes(), bytes.data(), bytes.size());
  return block;
}

std::optional<std::vector<std::uint8_t>> BlockBytes(HGLOBAL block) {
  LockedBlock locked(block);
  if (locked.bytes() == nullptr) return std::nullopt;
  return std::vector<std::uint8_t>(locked.bytes(), locked.bytes() + locked.size());
}

}  // namespace pixavue::platform::clipboard
