#include "wide_path.h"

#include <new>

#include <pixavue/platform/gdiplus/wide_file_name.h>

namespace pixavue::engine {

std::u16string WidePath(std::string_view path) {
  try {
    return platform::WideFromFileName(path);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace pixavue::engine
