#pragma once
// A property bag kept in a UTF-8 text file, in the format described in
// property_bag_text.h (and docs/property-bag-format.md):
//
//   # pixavue property bag 1
//   Zoom = r8 1.5
//   ScrollBars = bool true
//   Caption = str "two\nlines"
//
// The bag works in memory; Load reads the file and Save writes it.
//  - Load replaces the content only when the whole file is well formed; a
//    missing file gives STG_E_FILENOTFOUND, a malformed one
//    STG_E_DOCFILECORRUPT with the line number, a file above
//    kMaxPropertyBagTextBytes STG_E_DOCFILETOOLARGE. Other open and read
//    failures are reported as file streams report them (file_stream.h).
//  - Save writes a temporary file in the target's folder, flushes it to the
//    disk and renames it over the target, so a failed or interrupted save
//    leaves the previous file as it was. An existing target keeps its
//    permission bits.
//  - Write refuses, with E_INVALIDARG, names the text form cannot hold (see
//    IsPropertyNameRepresentable), besides what every bag refuses.

#include <filesystem>
#include <string_view>

#include <pixavue/platform/ole/memory_property_bag.h>
#include <pixavue/platform/ole/property_bag.h>
#include <pixavue/platform/ole/property_bag_text.h>

namespace pixavue::platform {

class FilePropertyBag final : public PropertyBag {
 public:
  explicit FilePropertyBag(std::filesystem::path path) noexcept : path_(std::move(path)) {}

  HRESULT Load(PropertyBagTextError* error = nullptr) noexcept;
  HRESULT Save() const noexcept;

  HRESULT Read(std::string_view name, Variant& value) noexcept override;
  HRESULT Write(std::string_view name, const Variant& value) noexcept override;
  HRESULT Remove(std::string_view name) noexcept override;

  const std::filesystem::path& Path() const noexcept { return path_; }
  const MemoryPropertyBag& Contents() const noexcept { return contents_; }

 private:
  std::filesystem::path path_;
  MemoryPropertyBag contents_;
};

}  // namespace pixavue::platform
