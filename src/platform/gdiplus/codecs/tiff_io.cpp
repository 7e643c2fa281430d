#include "tiff_io.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <limits>
#include <mutex>

#include "../load_budget.h"

namespace pixavue::platform::gdiplus {
namespace {

// Largest single allocation libtiff may make for one handle: a strip or
// tile of the largest image the layer accepts (2^28 pixels of 8 bytes),
// and never more than the load opening the handle has left.
constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t{1} << 31;
// libtiff reads 0 as "no limit", so a spent budget still passes this.
constexpr tmsize_t kMinLibtiffAllocation = tmsize_t{1} << 20;

tmsize_t LibtiffAllocationLimit() {
  const LoadBudget* budget = CurrentLoadBudget();
  if (budget == nullptr) return kMaxLibtiffAllocation;
  const auto available = static_cast<tmsize_t>(std::min<std::uint64_t>(budget->Available(), kMaxLibtiffAllocation));
  return std::max(available, kMinLibtiffAllocation);
}
// Classic TIFF offsets are 32-bit; a writer never needs more.
constexpr std::uint64_t kMaxWrittenBytes = std::uint64_t{1} << 32;

// Some libtiff messages are raised before a handle exists, through the
// process-wide handlers; those must never reach stderr either.
void SilenceGlobalHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandlerExt(nullptr);
    TIFFSetWarningHandlerExt(nullptr);
  });
}

template <typename Client>
int RecordError(TIFF*, void* userData, const char*, const char*, va_list) {
  static_cast<Client*>(userData)->failed = true;
  return 1;  // handled: no global handler runs
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

template <typename Client>
struct OpenOptions final {
  explicit OpenOptions(Client& client) : options(TIFFOpenOptionsAlloc()) {
    if (options == nullptr) return;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, LibtiffAllocationLimit());
    TIFFOpenOptionsSetErrorHandlerExtR(options, RecordError<Client>, &client);
    TIFFOpenOptionsSetWarningHandlerExtR(options, IgnoreWarning, nullptr);
  }
  ~OpenOptions() {
    if (options != nullptr) TIFFOpenOptionsFree(options);
  }
  OpenOptions(const OpenOptions&) = delete;
  OpenOptions& operator=(const OpenOptions&) = delete;

  TIFFOpenOptions* options;
};

// Shared by both clients: a new position from `whence`, or -1.
toff_t Reposition(std::uint64_t& position, std::uint64_t size, toff_t offset, int whence, std::uint64_t limit) {
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) base = position;
  if (whence == SEEK_END) base = size;
  if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return static_cast<toff_t>(-1);
  if (offset > limit || base > limit - offset) return static_cast<toff_t>(-1);
  position = base + offset;
  return position;
}

// Reading client.

tmsize_t SourceRead(thandle_t handle, void* buffer, tmsize_t size) {
  auto& source = *static_cast<TiffMemorySource*>(handle);
  const auto bytes = source.bytes();
  if (size <= 0 || source.position >= bytes.size()) return 0;
  const std::uint64_t count = std::min<std::uint64_t>(static_cast<std::uint64_t>(size), bytes.size() - source.position);
  std::memcpy(buffer, bytes.data() + source.position, count);
  source.position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t RefuseWrite(thandle_t, void*, tmsize_t) { return -1; }

toff_t SourceSeek(thandle_t handle, toff_t offset, int whence) {
  auto& source = *static_cast<TiffMemorySource*>(handle);
  return Reposition(source.position, source.bytes().size(), offset, whence, std::numeric_limits<std::int64_t>::max());
}

toff_t SourceSize(thandle_t handle) { return static_cast<TiffMemorySource*>(handle)->bytes().size(); }

int SourceMap(thandle_t handle, void** base, toff_t* size) {
  const auto bytes = static_cast<TiffMemorySource*>(handle)->bytes();
  // libtiff only reads through the mapping.
  *base = const_cast<std::uint8_t*>(bytes.data());
  *size = bytes.size();
  return 1;
}

void Unmap(thandle_t, void*, toff_t) {}

int CloseNothing(thandle_t) { return 0; }

// Writing client.

tmsize_t SinkRead(thandle_t handle, void* buffer, tmsize_t size) {
  auto& sink = *static_cast<TiffMemorySink*>(handle);
  if (size <= 0 || sink.position >= sink.bytes.size()) return 0;
  const std::uint64_t count = std::min<std::uint64_t>(static_cast<std::uint64_t>(size), sink.bytes.size() - sink.position);
  std::memcpy(buffer, sink.bytes.data() + sink.position, count);
  sink.position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t SinkWrite(thandle_t handle, void* buffer, tmsize_t size) {
  auto& sink = *static_cast<TiffMemorySink*>(handle);
  if (size < 0) return -1;
  const auto count = static_cast<std::uint64_t>(size);
  if (sink.position > kMaxWrittenBytes || count > kMaxWrittenBytes - sink.position) return -1;
  const std::uint64_t end = sink.position + count;
  try {
    if (end > sink.bytes.size()) sink.bytes.resize(end);
  } catch (const std::bad_alloc&) {
    sink.failed = true;
    return -1;
  }
  if (count != 0) std::memcpy(sink.bytes.data() + sink.position, buffer, count);
  sink.position = end;
  return size;
}

toff_t SinkSeek(thandle_t handle, toff_t offset, int whence) {
  auto& sink = *static_cast<TiffMemorySink*>(handle);
  return Reposition(sink.position, sink.bytes.size(), offset, whence, kMaxWrittenBytes);
}

toff_t SinkSize(thandle_t handle) { return static_cast<TiffMemorySink*>(handle)->bytes.size(); }

int NoMap(thandle_t, void**, toff_t*) { return 0; }

}  // namespace

TiffHandle OpenTiffReader(TiffMemorySource& source) {
  SilenceGlobalHandlers();
  OpenOptions options(source);
  if (options.options == nullptr) return nullptr;
  return TiffHandle(TIFFClientOpenExt("memory", "r", &source, SourceRead, RefuseWrite, SourceSeek, CloseNothing,
                                      SourceSize, SourceMap, Unmap, options.options));
}

TiffHandle OpenTiffWriter(TiffMemorySink& sink) {
  SilenceGlobalHandlers();
  OpenOptions options(sink);
  if (options.options == nullptr) return nullptr;
  return TiffHandle(TIFFClientOpenExt("memory", "wl", &sink, SinkRead, SinkWrite, SinkSeek, CloseNothing, SinkSize,
                                      NoMap, Unmap, options.options));
}

}  // namespace pixavue::platform::gdiplus
