#pragma once
// Streams over files.
//
// Files are opened close-on-exec. Only regular files are streams: a folder,
// device or pipe gives STG_E_ACCESSDENIED (and opening never waits on a
// pipe). New files get mode 0600. Stat reports the path as the name and
// STGM_READ or STGM_READWRITE as the mode; Commit flushes to the disk.
//
// Error mapping: missing file or folder -> STG_E_FILENOTFOUND; an existing
// name with CreateNew -> STG_E_FILEALREADYEXISTS; no space, quota or file size
// limit -> STG_E_MEDIUMFULL; too many open files -> STG_E_TOOMANYOPENFILES; a
// path holding a null character or too long -> STG_E_INVALIDPARAMETER; a
// folder or other non-regular file, missing permission, a read-only file
// system and other open failures -> STG_E_ACCESSDENIED; other read and write
// failures -> STG_E_READFAULT / STG_E_WRITEFAULT.

#include <cstdint>
#include <filesystem>
#include <vector>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

enum class FileStreamMode {
  Read,          // existing file, read only: Write and SetSize give STG_E_ACCESSDENIED
  ReadWrite,     // existing file, read and write
  CreateNew,     // new file; fails when the name exists, even as a dangling symbolic link
  CreateAlways,  // new file, or an existing one truncated to 0 bytes
};

HRESULT CreateStreamOnFile(const std::filesystem::path& path, FileStreamMode mode, IStream** stream) noexcept;

// Reads a regular file whole through the one descriptor that checked it: at
// most the size it had when opened, so a file that grows meanwhile is not
// read on (one that shrank gives fewer bytes). A file larger than maxBytes is
// not read: STG_E_DOCFILETOOLARGE. Other errors as CreateStreamOnFile, and
// E_OUTOFMEMORY.
HRESULT ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                        std::vector<std::uint8_t>& bytes) noexcept;

}  // namespace pixavue::platform
