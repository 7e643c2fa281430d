#include <pixavue/platform/ole/hglobal_stream.h>

#include <cstring>
#include <utility>

#include <pixavue/platform/ole/com_ptr.h>

#include "byte_store.h"
#include "seekable_stream.h"

namespace pixavue::platform {
namespace {

using ole_detail::ByteStore;

// Locks a block for the duration of one copy.
class ScopedGlobalLock final {
 public:
  explicit ScopedGlobalLock(HGLOBAL block) noexcept
      : block_(block), bytes_(static_cast<std::byte*>(GlobalLock(block))) {}
  ~ScopedGlobalLock() {
    if (bytes_ != nullptr) GlobalUnlock(block_);
  }
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;

  std::byte* Bytes() const noexcept { return bytes_; }

 private:
  HGLOBAL block_;
  std::byte* bytes_;
};

bool IsLiveBlock(HGLOBAL block) noexcept { return ScopedGlobalLock(block).Bytes() != nullptr; }

class HGlobalStore final : public RefCounted<ByteStore> {
 public:
  HGlobalStore(HGLOBAL block, bool deleteOnRelease) noexcept : block_(block), deleteOnRelease_(deleteOnRelease) {}

  ~HGlobalStore() override {
    if (deleteOnRelease_) GlobalFree(block_);
  }

  HGLOBAL Block() const noexcept { return block_; }

  HRESULT Size(std::uint64_t& size) noexcept override {
    if (!IsLiveBlock(block_)) return STG_E_INVALIDHANDLE;
    size = GlobalSize(block_);
    return S_OK;
  }

  HRESULT ReadAt(std::uint64_t offset, std::span<std::byte> buffer, std::size_t& bytesRead) noexcept override {
    bytesRead = 0;
    const ScopedGlobalLock lock(block_);
    if (lock.Bytes() == nullptr) return STG_E_INVALIDHANDLE;
    const std::size_t size = GlobalSize(block_);
    if (offset < size) {
      bytesRead = std::min<std::size_t>(buffer.size(), size - offset);
      std::memcpy(buffer.data(), lock.Bytes() + offset, bytesRead);
    }
    return S_OK;
  }

  HRESULT WriteAt(std::uint64_t offset, std::span<const std::byte> data) noexcept override {
    if (!ole_detail::FitsWithin(offset, data.size(), kGlobalMemoryMaxBytes)) return STG_E_MEDIUMFULL;
    const std::size_t end = offset + data.size();
    if (end > GlobalSize(block_)) {
      if (const HRESULT status = Resize(end); FAILED(status)) return status;
    }
    const ScopedGlobalLock lock(block_);
    if (lock.Bytes() == nullptr) return STG_E_INVALIDHANDLE;
    std::memcpy(lock.Bytes() + offset, data.data(), data.size());
    return S_OK;
  }

  // Growth is zero-filled by GlobalReAlloc. It fails while someone else holds
  // the block locked and it would have to move.
  HRESULT Resize(std::uint64_t size) noexcept override {
    if (size > kGlobalMemoryMaxBytes) return STG_E_MEDIUMFULL;
    if (GlobalReAlloc(block_, size, GMEM_MOVEABLE | GMEM_ZEROINIT) != kNullHglobal) return S_OK;
    return IsLiveBlock(block_) ? E_OUTOFMEMORY : STG_E_INVALIDHANDLE;
  }

  HRESULT Flush() noexcept override { return S_OK; }
  std::string_view Name() const noexcept override { return {}; }
  DWORD Mode() const noexcept override { return STGM_READWRITE; }

 private:
  HGLOBAL block_;
  bool deleteOnRelease_;
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL block, bool deleteOnRelease, IStream** stream) noexcept {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  const bool ownBlock = block == kNullHglobal;
  if (ownBlock) {
    block = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (block == kNullHglobal) return E_OUTOFMEMORY;
  } else if (!IsLiveBlock(block)) {
    return E_INVALIDARG;
  }
  auto store = MakeComPtr<HGlobalStore>(block, deleteOnRelease);
  if (!store) {
    if (ownBlock) GlobalFree(block);
    return E_OUTOFMEMORY;
  }
  const HRESULT status = ole_detail::HandOutStream(std::move(store), stream);
  // A store that does not delete its block left a block of ours behind.
  if (FAILED(status) && ownBlock && !deleteOnRelease) GlobalFree(block);
  return status;
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block) noexcept {
  if (block == nullptr) return E_INVALIDARG;
  const auto* store = dynamic_cast<const HGlobalStore*>(ole_detail::StoreOf(stream));
  if (store == nullptr) return E_INVALIDARG;
  *block = store->Block();
  return S_OK;
}

}  // namespace pixavue::platform
