// The table of the imaging library's encoders: their class ids in list
// order, and each file-name pattern ("*.PNG") mapped to its encoder's index
// without regard to case.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <pixavue/engine/image_session.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "session_internal.h"

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

struct EncoderTable {
  std::vector<CLSID> clsids;
  std::unordered_map<std::string, std::int32_t> indexByPattern;  // keys in upper case
};

thread_local EncoderTable tEncoders;

std::string PatternKey(std::u16string_view pattern) {
  std::string key;
  key.reserve(pattern.size());
  for (const char16_t c : pattern) {
    // Patterns are ASCII; anything else cannot match a narrow lookup.
    if (c >= 0x80) return {};
    key += static_cast<char>(c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c);
  }
  return key;
}

std::string PatternKey(std::string_view pattern) {
  std::string key(pattern);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  }
  return key;
}

// Adds each ";"-separated pattern; a pattern already present keeps its
// encoder.
void AddPatterns(EncoderTable& table, const WCHAR* extensions, std::int32_t index) {
  if (extensions == nullptr) return;
  const std::u16string_view list(extensions);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    const std::string key = PatternKey(list.substr(start, end - start));
    if (!key.empty()) table.indexByPattern.try_emplace(key, index);
    start = end + 1;
  }
}

}  // namespace

void BuildEncoderTable() {
  EncoderTable table;
  UINT32 count = 0;
  UINT32 size = 0;
  if (GdipGetImageEncodersSize(&count, &size) == Ok && count > 0 && size >= count * sizeof(ImageCodecInfo)) {
    // The block holds the records followed by their strings.
    auto block = std::make_unique<ImageCodecInfo[]>((size + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
    if (GdipGetImageEncoders(count, size, block.get()) == Ok) {
      for (UINT32 i = 0; i < count; ++i) table.clsids.push_back(block[i].Clsid);
      // From the last encoder to the first: on a pattern shared by two
      // encoders the later one wins.
      for (UINT32 i = count; i-- > 0;) AddPatterns(table, block[i].FilenameExtension, static_cast<std::int32_t>(i));
    }
  }
  tEncoders = std::move(table);
}

std::int32_t EncoderIndex(std::string_view pattern) {
  const auto found = tEncoders.indexByPattern.find(PatternKey(pattern));
  return found == tEncoders.indexByPattern.end() ? -1 : found->second;
}

const std::vector<CLSID>& EncoderClsids() { return tEncoders.clsids; }

const CLSID* EncoderFor(std::string_view pattern) {
  const std::int32_t index = EncoderIndex(pattern);
  if (index < 0 || static_cast<std::size_t>(index) >= tEncoders.clsids.size()) return nullptr;
  return &tEncoders.clsids[static_cast<std::size_t>(index)];
}

}  // namespace pixavue::engine
