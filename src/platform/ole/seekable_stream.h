#pragma once
// IStream over a ByteStore: the position, the seek rules and argument checks
// shared by every stream kind.

#include <cstdint>

#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/stream.h>

#include "byte_store.h"

namespace pixavue::platform::ole_detail {

class SeekableStream final : public RefCounted<IStream> {
 public:
  explicit SeekableStream(ComPtr<ByteStore> store, std::uint64_t position = 0) noexcept;

  HRESULT Read(void* buffer, ULONG cb, ULONG* read) noexcept override;
  HRESULT Write(const void* buffer, ULONG cb, ULONG* written) noexcept override;
  HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) noexcept override;
  HRESULT SetSize(std::uint64_t newSize) noexcept override;
  HRESULT Stat(STATSTG* stat, DWORD statFlags) noexcept override;
  HRESULT Commit(DWORD commitFlags) noexcept override;
  HRESULT Clone(IStream** clone) noexcept override;

  ByteStore& Store() const noexcept { return *store_; }

 private:
  ComPtr<ByteStore> store_;
  std::uint64_t position_;  // never above INT64_MAX, so Seek arithmetic cannot overflow
};

// Wraps a new stream around store into *stream. E_OUTOFMEMORY when the stream
// cannot be made.
HRESULT HandOutStream(ComPtr<ByteStore> store, IStream** stream) noexcept;

// The store under a stream of this layer, or null for a foreign stream.
ByteStore* StoreOf(IStream* stream) noexcept;

}  // namespace pixavue::platform::ole_detail
