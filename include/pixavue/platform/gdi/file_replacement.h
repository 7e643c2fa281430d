#pragma once
// Replaces a file's content so that readers see either the old file or the
// complete new one, never a mix or a truncated file.
//
// The content goes to a new file created exclusively, under a short random
// name, in the target's folder (opened once, so every step happens in the
// same folder); it is flushed to the disk, given its permission bits and
// renamed over the target, and the folder is flushed too.
//  - Only a regular file is replaced. A folder (or a name ending in "/",
//    ".", "..") gives EISDIR; a device, pipe or socket gives EPERM; either is
//    left as it is, and nothing is created.
//  - A symbolic link at the target is replaced by the file itself, as a
//    rename does: the file the link leads to is never written. A link that
//    leads to a folder, device, pipe or socket is refused like what it names.
//  - The new file takes an existing regular target's permission bits, without
//    the set-user-ID, set-group-ID and sticky bits; otherwise the bits any new
//    file gets (0666 less the umask, or the folder's default ACL).
//  - Any name that fits the file system works: the temporary name is 13 bytes.
//  - On failure the temporary file is removed and the target is untouched.
// A node swapped in at the target between the check and the rename is not
// detected; the check runs just before the rename to keep that window small.

#include <filesystem>
#include <string_view>

namespace pixavue::platform {

// 0 when the target holds `content`, else the errno value of the failure.
int ReplaceFileContent(const std::filesystem::path& target, std::string_view content) noexcept;

}  // namespace pixavue::platform
