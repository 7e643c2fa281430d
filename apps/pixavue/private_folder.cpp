#include "private_folder.h"

#include <stdlib.h>

#include <string>
#include <system_error>

#include <pixavue/platform/shell/temp_folder.h>

namespace pixavue::app {

PrivateFolder::PrivateFolder() noexcept {
  try {
    std::string pattern = platform::TempFolder() + "pixavue-self-check-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  } catch (...) {
    path_.clear();
  }
}

PrivateFolder::~PrivateFolder() {
  std::error_code ignored;
  if (Made()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace pixavue::app
