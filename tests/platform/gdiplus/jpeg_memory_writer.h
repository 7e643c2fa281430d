#pragma once
// libjpeg compressing into memory, for the tests and benchmarks that make
// their own JPEG files: the constructor sets the image and libjpeg's
// defaults, the caller adjusts `cinfo()` before Start, writes markers after
// it, then the rows, and Finish hands back the file.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace pixavue::platform::test {

class JpegMemoryWriter final {
 public:
  JpegMemoryWriter(std::uint32_t width, std::uint32_t height, int components, J_COLOR_SPACE space) {
    cinfo_.err = jpeg_std_error(&errors_);
    jpeg_create_compress(&cinfo_);
    jpeg_mem_dest(&cinfo_, &buffer_, &size_);
    cinfo_.image_width = width;
    cinfo_.image_height = height;
    cinfo_.input_components = components;
    cinfo_.in_color_space = space;
    jpeg_set_defaults(&cinfo_);
  }
  ~JpegMemoryWriter() {
    jpeg_destroy_compress(&cinfo_);
    std::free(buffer_);
  }
  JpegMemoryWriter(const JpegMemoryWriter&) = delete;
  JpegMemoryWriter& operator=(const JpegMemoryWriter&) = delete;

  jpeg_compress_struct& cinfo() { return cinfo_; }
  void Start() { jpeg_start_compress(&cinfo_, TRUE); }
  bool WantsRow() const { return cinfo_.next_scanline < cinfo_.image_height; }
  std::uint32_t NextRow() const { return cinfo_.next_scanline; }
  void WriteRow(const std::uint8_t* samples) {
    JSAMPROW row = const_cast<JSAMPROW>(samples);
    jpeg_write_scanlines(&cinfo_, &row, 1);
  }
  std::vector<std::uint8_t> Finish() {
    jpeg_finish_compress(&cinfo_);
    return std::vector<std::uint8_t>(buffer_, buffer_ + size_);
  }

 private:
  jpeg_compress_struct cinfo_{};
  jpeg_error_mgr errors_{};
  unsigned char* buffer_ = nullptr;
  unsigned long size_ = 0;
};

}  // namespace pixavue::platform::test
