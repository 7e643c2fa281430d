# Compiler flags shared by every target of the project.
add_library(pixavue_flags INTERFACE)
target_compile_options(pixavue_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wimplicit-fallthrough -Wcast-qual -Wformat=2 -Wundef)
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
