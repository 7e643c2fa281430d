#include <pixavue/platform/ole/memory_stream.h>

#include <cstring>
#include <new>
#include <utility>

#include <pixavue/platform/ole/com_ptr.h>

#include "byte_store.h"
#include "seekable_stream.h"

namespace pixavue::platform {
namespace {

using ole_detail::ByteStore;

class VectorStore final : public RefCounted<ByteStore> {
 public:
  explicit VectorStore(std::vector<std::uint8_t> bytes) noexcept : bytes_(std::move(bytes)) {}

  HRESULT Size(std::uint64_t& size) noexcept override {
    size = bytes_.size();
    return S_OK;
  }

  HRESULT ReadAt(std::uint64_t offset, std::span<std::byte> buffer, std::size_t& bytesRead) noexcept override {
    bytesRead = 0;
    if (offset < bytes_.size()) {
      bytesRead = std::min<std::size_t>(buffer.size(), bytes_.size() - offset);
      std::memcpy(buffer.data(), bytes_.data() + offset, bytesRead);
    }
    return S_OK;
  }

  HRESULT WriteAt(std::uint64_t offset, std::span<const std::byte> data) noexcept override {
    if (!ole_detail::FitsWithin(offset, data.size(), kMemoryStreamMaxBytes)) return STG_E_MEDIUMFULL;
    const std::size_t end = offset + data.size();
    if (end > bytes_.size()) {
      if (const HRESULT status = Resize(end); FAILED(status)) return status;
    }
    std::memcpy(bytes_.data() + offset, data.data(), data.size());
    return S_OK;
  }

  HRESULT Resize(std::uint64_t size) noexcept override {
    if (size > kMemoryStreamMaxBytes) return STG_E_MEDIUMFULL;
    try {
      bytes_.resize(size);  // value-initialises growth: zeros
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT Flush() noexcept override { return S_OK; }
  std::string_view Name() const noexcept override { return {}; }
  DWORD Mode() const noexcept override { return STGM_READWRITE; }

  HRESULT CopyBytes(std::vector<std::uint8_t>& copy) const noexcept {
    try {
      copy = bytes_;
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

HRESULT CreateMemoryStream(std::vector<std::uint8_t> initialBytes, IStream** stream) noexcept {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  if (initialBytes.size() > kMemoryStreamMaxBytes) return STG_E_MEDIUMFULL;
  auto store = MakeComPtr<VectorStore>(std::move(initialBytes));
  if (!store) return E_OUTOFMEMORY;
  return ole_detail::HandOutStream(std::move(store), stream);
}

HRESULT GetBytesFromMemoryStream(IStream* stream, std::vector<std::uint8_t>& bytes) noexcept {
  const auto* store = dynamic_cast<const VectorStore*>(ole_detail::StoreOf(stream));
  if (store == nullptr) return E_INVALIDARG;
  return store->CopyBytes(bytes);
}

}  // namespace pixavue::platform
