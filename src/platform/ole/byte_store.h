#pragma once
// The bytes behind a stream: a global memory block, a vector or a file.
// SeekableStream keeps the position and the COM rules; a store only reads and
// writes at offsets. Stores are shared by a stream and its clones.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/ref_counted.h>
#include <pixavue/platform/ole/types.h>

namespace pixavue::platform::ole_detail {

class ByteStore : public IRefCounted {
 public:
  virtual HRESULT Size(std::uint64_t& size) noexcept = 0;

  // Copies up to buffer.size() bytes from offset: fewer at the end, none at or
  // past it. bytesRead is valid also when the call fails part way.
  virtual HRESULT ReadAt(std::uint64_t offset, std::span<std::byte> buffer, std::size_t& bytesRead) noexcept = 0;

  // Writes all of data at offset, growing the store; a gap reads as zeros.
  // data is never empty.
  virtual HRESULT WriteAt(std::uint64_t offset, std::span<const std::byte> data) noexcept = 0;

  virtual HRESULT Resize(std::uint64_t size) noexcept = 0;
  virtual HRESULT Flush() noexcept = 0;

  // The name Stat reports; empty for stores without one.
  virtual std::string_view Name() const noexcept = 0;
  virtual DWORD Mode() const noexcept = 0;

 protected:
  ~ByteStore() override = default;
};

// Whether writing count bytes at offset stays within limit bytes.
constexpr bool FitsWithin(std::uint64_t offset, std::uint64_t count, std::uint64_t limit) noexcept {
  return offset <= limit && count <= limit - offset;
}

}  // namespace pixavue::platform::ole_detail
