// A file opened once for a load: the one descriptor that checks it is a
// regular file is the one its bytes are read through, and every step of the
// load reads those bytes. Nothing can swap another file (or a pipe) under
// the name between the check and the read.

#include <pixavue/engine/image_loaders.h>

#include <cstdint>
#include <new>
#include <vector>

#include <pixavue/platform/ole/file_stream.h>
#include <pixavue/platform/ole/memory_stream.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// The largest file a load reads, as the memory stream can hold it.
constexpr std::uint64_t kLargestLoadableFile = kMemoryStreamMaxBytes;

}  // namespace

QuorvexStatus OpenForLoading(const std::string& path, OpenedFile& opened) {
  opened = OpenedFile{};
  try {
    // A folder, device, pipe or socket is refused by the open itself, which
    // never waits; so is a file too large to load.
    std::vector<std::uint8_t> bytes;
    const HRESULT read = path.empty() ? STG_E_FILENOTFOUND : ReadRegularFile(path, kLargestLoadableFile, bytes);
    if (read == E_OUTOFMEMORY) return QuorvexStatus::OutOfMemory;
    if (FAILED(read)) return QuorvexStatus::FileNotFound;
    ComPtr<IStream> contents;
    if (FAILED(CreateMemoryStream(std::move(bytes), contents.ReleaseAndGetAddressOf()))) {
      return QuorvexStatus::OutOfMemory;
    }
    opened.path = path;
    opened.contents = std::move(contents);
    return QuorvexStatus::OK;
  } catch (const std::bad_alloc&) {
    opened = OpenedFile{};
    return QuorvexStatus::OutOfMemory;
  }
}

IStream* FromStart(const OpenedFile& file) {
  if (!file.contents || FAILED(file.contents->Seek(0, STREAM_SEEK_SET, nullptr))) return nullptr;
  return file.contents.Get();
}

}  // namespace pixavue::engine
