#pragma once
// Replaces a file's content so that readers see either the old file or the
// complete new one, never a mix or a truncated file.

#include <filesystem>
#include <string_view>

#include <pixavue/platform/ole/hresult.h>

namespace pixavue::platform {

// Writes content to a new temporary file beside target, flushes it and
// renames it over target. On failure the temporary file is removed and
// target is untouched. An existing target's permission bits are kept.
HRESULT ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) noexcept;

}  // namespace pixavue::platform
