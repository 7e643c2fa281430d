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

// At most bytes.size() bytes, the file's size when it was opened, so that a
// file growing meanwhile cannot make the load read on; a file that shrank
// leaves bytes shorter.
bool ReadAtMost(IStream& file, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto wanted = static_cast<ULONG>(bytes.size() - done);
    ULONG got = 0;
    if (FAILED(file.Read(bytes.data() + done, wanted, &got)) || got > wanted) return false;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return true;
}

}  // namespace

QuorvexStatus OpenForLoading(const std::string& path, OpenedFile& opened) {
  opened = OpenedFile{};
  try {
    // A folder, device, pipe or socket is refused by the open itself, which
    // never waits.
    ComPtr<IStream> file;
    if (path.empty() || FAILED(CreateStreamOnFile(path, FileStreamMode::Read, file.ReleaseAndGetAddressOf()))) {
      return QuorvexStatus::FileNotFound;
    }
    STATSTG info;
    if (FAILED(file->Stat(&info, STATFLAG_NONAME)) || info.cbSize > kLargestLoadableFile) {
      return QuorvexStatus::FileNotFound;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.cbSize));
    if (!ReadAtMost(*file, bytes)) return QuorvexStatus::FileNotFound;
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
