#pragma once
// A folder of the self-check's own in the temporary folder, made with a
// random name and mode 0700 so that nobody else can plant or swap the files
// it writes and reads back; removed with its content when the object goes.

#include <filesystem>

namespace pixavue::app {

class PrivateFolder final {
 public:
  PrivateFolder() noexcept;
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // False when the folder could not be made.
  bool Made() const noexcept { return !path_.empty(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace pixavue::app
