// Files dropped on the control: their paths go to the container through
// events; the control loads nothing itself.

#include <pixavue/control/image_box.h>

#include <exception>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace pixavue {
namespace {

// Names starting with a dot are the hidden files of this platform.
bool IsHiddenName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return start < path.size() && path[start] == '.';
}

// An existing regular file that is not hidden: folders, devices, pipes,
// sockets, hidden and missing files are not. Links count as what they name.
bool IsNormalFile(const std::string& path) {
  struct stat facts {};
  if (path.empty() || IsHiddenName(path) || ::stat(path.c_str(), &facts) != 0) return false;
  return S_ISREG(facts.st_mode);
}

}  // namespace

void ImageBox::OnFilesDropped(const platform::DataObject& data) {
  // Nothing of a drop is reported back to the shell, failures included.
  try {
    if (!data.GetFormat(platform::CF_HDROP) || data.Files().empty()) return;
    std::vector<std::string> kept;
    for (const std::string& path : data.Files()) {
      if (IsNormalFile(path)) kept.push_back(path);
    }
    if (kept.empty()) return;
    Events().FileDrop(kept.front());
    const auto count = static_cast<std::int32_t>(kept.size());
    Events().FilesDrop(kept, count);
  } catch (const std::exception&) {
  }
}

}  // namespace pixavue
