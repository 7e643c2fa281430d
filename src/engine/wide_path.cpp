#include "wide_path.h"

#include <filesystem>

namespace pixavue::engine {

std::u16string WidePath(std::string_view path) {
  try {
    return std::filesystem::path(path).u16string();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace pixavue::engine
