#pragma once
// Replaces a file's content so that readers see either the old file or the
// complete new one, never a mix or a truncated file.

#include <filesystem>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>

namespace pixavue::platform {

// Writes content to a new file beside target, created exclusively under a
// random name, flushes it and renames it over target, as ReplaceFileContent
// (platform/gdi/file_replacement.h) describes: only a regular file (or a
// symbolic link, itself replaced) is replaced; a folder, device, pipe or
// socket gives STG_E_ACCESSDENIED and is left as it is. An existing target's
// permission bits are kept, without set-id and sticky bits. Other failures
// map as file streams map them (file_stream.h); on any failure the temporary
// file is removed and target is untouched.
HRESULT ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) noexcept;

}  // namespace pixavue::platform
