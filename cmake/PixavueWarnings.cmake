# Compiler flags shared by every target of the project.
add_library(pixavue_flags INTERFACE)
target_compile_options(pixavue_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wimplicit-fallthrough -Wcast-qual -Wformat=2 -Wundef)
# At -O3, GCC 12 reports copies inlined from std::string and std::vector
# as overlapping, overflowing, overreading or out of bounds (GCC bugs 105329,
# 107852 and 106199, fixed in 13); those warnings say nothing about our code.
# Real bounds errors are caught by the sanitizer and fuzz builds.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(pixavue_flags INTERFACE -Wno-restrict -Wno-stringop-overflow -Wno-stringop-overread -Wno-array-bounds)
endif()
if(PIXAVUE_WERROR)
  target_compile_options(pixavue_flags INTERFACE -Werror)
endif()
if(PIXAVUE_SANITIZE)
  target_compile_options(pixavue_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(pixavue_flags INTERFACE -fsanitize=address,undefined)
endif()
if(PIXAVUE_BUILD_FUZZ)
  # Coverage instrumentation for every layer; the fuzz targets add the driver.
  target_compile_options(pixavue_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(pixavue_flags INTERFACE -fsanitize=address,undefined)
endif()
