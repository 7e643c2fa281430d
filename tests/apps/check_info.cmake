# Runs `pixavue info` on every sample image and checks the exit code and the
# lines each file's block must hold; then a missing file among good ones
# (exit 1, its status printed, the others still described) and no file at
# all (a usage error, exit 2).
# cmake -DPIXAVUE=<program> -DSAMPLES=<folder> -P check_info.cmake

file(GLOB samples "${SAMPLES}/*")
list(FILTER samples EXCLUDE REGEX "\\.md$")
execute_process(COMMAND "${PIXAVUE}" info ${samples} RESULT_VARIABLE result OUTPUT_VARIABLE output)
message("${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pixavue info exited with ${result}")
endif()

# expect(<file name> <regular expression>...): each expression must match a
# whole line of that file's block.
function(expect name)
  string(REGEX MATCH "file: [^\n]*/${name}\n([^\n]+\n)*" block "${output}")
  if(block STREQUAL "")
    message(FATAL_ERROR "no block for ${name}")
  endif()
  foreach(line IN LISTS ARGN)
    if(NOT block MATCHES "(^|\n)${line}\n")
      message(FATAL_ERROR "${name}: no line matching '${line}' in\n${block}")
    endif()
  endforeach()
endfunction()

expect(photo.jpg "status: 0 OK" "format: JPEG" "size: 480 x 320" "resolution \\(dpi\\): 300 x 300" "pages: 1"
       "property items: [1-9][0-9]+")
expect(transparency.png "status: 0 OK" "format: PNG" "size: 200 x 150")
expect(pages.tif "status: 0 OK" "format: TIFF" "size: 320 x 240" "pages: 3")
expect(animation.gif "status: 0 OK" "format: GIF" "size: 120 x 80" "pages: 4" "frame delays \\(ms\\): 500 250 200 1000")
expect(bilevel.tif "status: 0 OK" "format: TIFF" "size: 400 x 300" "pages: 1")
expect(icon.ico "status: 0 OK" "format: ICON" "size: 48 x 48")
# Metafiles loaded as files are drawn into a bitmap at their own size and keep
# the name of their format.
expect(shapes.wmf "status: 0 OK" "format: WMF" "size: 144 x 96")
expect(shapes.emf "status: 0 OK" "format: EMF" "size: 400 x 300" "resolution \\(dpi\\): 96 x 96")

execute_process(COMMAND "${PIXAVUE}" info "${SAMPLES}/no-such-file.png" "${SAMPLES}/photo.jpg"
                RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 1)
  message(FATAL_ERROR "a missing file gave exit code ${result}, not 1:\n${output}")
endif()
expect(no-such-file.png "status: 10 FileNotFound")
expect(photo.jpg "status: 0 OK" "size: 480 x 320")

execute_process(COMMAND "${PIXAVUE}" info RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 2)
  message(FATAL_ERROR "no file gave exit code ${result}, not 2")
endif()
