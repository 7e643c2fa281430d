#include "seekable_stream.h"

#include <limits>
#include <new>
#include <utility>

namespace pixavue::platform::ole_detail {
namespace {

constexpr std::uint64_t kMaxPosition = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

// base + move, or false when the result is negative or above kMaxPosition.
bool OffsetPosition(std::uint64_t base, std::int64_t move, std::uint64_t& result) {
  if (move >= 0) {
    const auto forward = static_cast<std::uint64_t>(move);
    if (forward > kMaxPosition - base) return false;
    result = base + forward;
    return true;
  }
  // -(move + 1) + 1 avoids negating INT64_MIN.
  const std::uint64_t backward = static_cast<std::uint64_t>(-(move + 1)) + 1;
  if (backward > base) return false;
  result = base - backward;
  return true;
}

}  // namespace

SeekableStream::SeekableStream(ComPtr<ByteStore> store, std::uint64_t position) noexcept
    : store_(std::move(store)), position_(position) {}

HRESULT SeekableStream::Read(void* buffer, ULONG cb, ULONG* read) noexcept {
  if (read != nullptr) *read = 0;
  if (cb == 0) return S_OK;
  if (buffer == nullptr) return STG_E_INVALIDPOINTER;

  std::size_t bytesRead = 0;
  const HRESULT status = store_->ReadAt(position_, {static_cast<std::byte*>(buffer), cb}, bytesRead);
  position_ += bytesRead;
  if (read != nullptr) *read = static_cast<ULONG>(bytesRead);
  return status;
}

HRESULT SeekableStream::Write(const void* buffer, ULONG cb, ULONG* written) noexcept {
  if (written != nullptr) *written = 0;
  if (cb == 0) return S_OK;
  if (buffer == nullptr) return STG_E_INVALIDPOINTER;
  if (!FitsWithin(position_, cb, kMaxPosition)) return STG_E_MEDIUMFULL;

  const HRESULT status = store_->WriteAt(position_, {static_cast<const std::byte*>(buffer), cb});
  if (FAILED(status)) return status;
  position_ += cb;
  if (written != nullptr) *written = cb;
  return S_OK;
}

HRESULT SeekableStream::Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) noexcept {
  std::uint64_t base = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      break;
    case STREAM_SEEK_CUR:
      base = position_;
      break;
    case STREAM_SEEK_END:
      if (const HRESULT status = store_->Size(base); FAILED(status)) return status;
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  std::uint64_t target = 0;
  if (base > kMaxPosition || !OffsetPosition(base, move, target)) return STG_E_INVALIDFUNCTION;
  position_ = target;
  if (newPosition != nullptr) *newPosition = target;
  return S_OK;
}

HRESULT SeekableStream::SetSize(std::uint64_t newSize) noexcept {
  if (newSize > kMaxPosition) return STG_E_MEDIUMFULL;
  return store_->Resize(newSize);
}

HRESULT SeekableStream::Stat(STATSTG* stat, DWORD statFlags) noexcept {
  if (stat == nullptr) return STG_E_INVALIDPOINTER;
  if ((statFlags & ~(STATFLAG_NONAME | STATFLAG_NOOPEN)) != 0) return STG_E_INVALIDFLAG;

  std::uint64_t size = 0;
  if (const HRESULT status = store_->Size(size); FAILED(status)) return status;
  try {
    STATSTG result;
    if ((statFlags & STATFLAG_NONAME) == 0) result.name.assign(store_->Name());
    result.type = STGTY_STREAM;
    result.cbSize = size;
    result.grfMode = store_->Mode();
    *stat = std::move(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT SeekableStream::Commit(DWORD /*commitFlags*/) noexcept { return store_->Flush(); }

HRESULT SeekableStream::Clone(IStream** clone) noexcept {
  if (clone == nullptr) return STG_E_INVALIDPOINTER;
  *clone = nullptr;
  auto copy = MakeComPtr<SeekableStream>(store_, position_);
  if (!copy) return E_OUTOFMEMORY;
  *clone = copy.Detach();
  return S_OK;
}

HRESULT HandOutStream(ComPtr<ByteStore> store, IStream** stream) noexcept {
  auto made = MakeComPtr<SeekableStream>(std::move(store));
  if (!made) return E_OUTOFMEMORY;
  *stream = made.Detach();
  return S_OK;
}

ByteStore* StoreOf(IStream* stream) noexcept {
  auto* ours = dynamic_cast<SeekableStream*>(stream);
  return ours != nullptr ? &ours->Store() : nullptr;
}

}  // namespace pixavue::platform::ole_detail
