#include "ftp_remote_path.h"

#include <algorithm>

namespace pixavue {

std::string FtpRemotePath(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '\\', '/');
  const std::size_t first = result.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  result = result.substr(first, result.find_last_not_of(' ') - first + 1);
  for (int removed = 0; removed < 2 && !result.empty() && result.front() == '/'; ++removed) result.erase(0, 1);
  return result;
}

}  // namespace pixavue
