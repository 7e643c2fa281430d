# Runs `pixavue render` on bundled samples into a folder that does not exist
# yet and reads each PNG back with `pixavue info`; then a missing file (exit
# 1, its status on stderr, no PNG) and bad arguments (exit 2 each, with the
# usage line); last, the sample animation's frames at chosen times and a
# selection drawn over one.
# cmake -DPIXAVUE=<program> -DSAMPLES=<folder> -DOUT=<scratch folder> -P check_render.cmake

file(REMOVE_RECURSE "${OUT}")

# render(<expected exit code> <output variable> <arguments>...)
function(render expected output_variable)
  execute_process(COMMAND "${PIXAVUE}" render ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL expected)
    message(FATAL_ERROR "pixavue render ${ARGN} exited with ${result}, not ${expected}:\n${output}${errors}")
  endif()
  set(${output_variable} "${output}${errors}" PARENT_SCOPE)
endfunction()

# expect_png(<file> <width> <height>): the file reads back as a PNG of that size.
function(expect_png file width height)
  execute_process(COMMAND "${PIXAVUE}" info "${file}" RESULT_VARIABLE result OUTPUT_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output MATCHES "format: PNG\nsize: ${width} x ${height}\n")
    message(FATAL_ERROR "${file} does not read back as a ${width} x ${height} PNG:\n${output}")
  endif()
endfunction()

render(0 said "${SAMPLES}/photo.jpg" -o "${OUT}/nested/photo.png" --zoom-mode 2)
if(NOT said STREQUAL "wrote ${OUT}/nested/photo.png (800 x 600)\n")
  message(FATAL_ERROR "unexpected report: ${said}")
endif()
expect_png("${OUT}/nested/photo.png" 800 600)

render(0 said "${SAMPLES}/pages.tif" -o "${OUT}/page.png" --size 320x200 --zoom 50 --quality 0 --position 4
       --alignment 8 --page 3 --gamma 2.2)
expect_png("${OUT}/page.png" 320 200)

# Turned through the control: a quarter turn and its mirror show other
# pixels than the image as it is, a half turn of the half turn nothing new.
foreach(type 0 1 5 6)
  render(0 said "${SAMPLES}/photo.jpg" -o "${OUT}/turned-${type}.png" --size 300x300 --rotate ${type})
  expect_png("${OUT}/turned-${type}.png" 300 300)
  file(SHA256 "${OUT}/turned-${type}.png" turned_${type})
endforeach()
if(turned_0 STREQUAL turned_1 OR turned_1 STREQUAL turned_5 OR turned_0 STREQUAL turned_6)
  message(FATAL_ERROR "--rotate did not change what the control shows")
endif()

render(1 said "${SAMPLES}/no-such-file.png" -o "${OUT}/missing.png")
if(NOT said MATCHES "status: 10 FileNotFound" OR EXISTS "${OUT}/missing.png")
  message(FATAL_ERROR "a missing file was not reported as FileNotFound, or left a PNG:\n${said}")
endif()

set(photo "${SAMPLES}/photo.jpg")
foreach(arguments IN ITEMS
    "${photo}" "-o;${OUT}/x.png" "${photo};-o" "${photo};${photo};-o;${OUT}/x.png"
    "${photo};-o;${OUT}/x.png;--size;0x600" "${photo};-o;${OUT}/x.png;--size;800"
    "${photo};-o;${OUT}/x.png;--zoom-mode;7" "${photo};-o;${OUT}/x.png;--zoom;-5"
    "${photo};-o;${OUT}/x.png;--zoom;50;--zoom-mode;2" "${photo};-o;${OUT}/x.png;--quality;5"
    "${photo};-o;${OUT}/x.png;--position;3" "${photo};-o;${OUT}/x.png;--gamma;abc"
    "${photo};-o;${OUT}/x.png;--page;2" "${SAMPLES}/pages.tif;-o;${OUT}/x.png;--page;4"
    "${photo};-o;${OUT}/x.png;--rotate;8" "${photo};-o;${OUT}/x.png;--rotate;-1"
    "${photo};-o;${OUT}/x.png;--no-such-option")
  render(2 said ${arguments})
  if(NOT said MATCHES "usage: pixavue render")
    message(FATAL_ERROR "no usage line for ${arguments}:\n${said}")
  endif()
endforeach()

# An animation at chosen times of the virtual clock (the sample's frames
# show for 500, 250, 200 and 1000 ms): the same frame until its delay is
# over, another one then, the first again after a whole loop; and a
# selection drawn over it.
function(animation_at ms name)
  render(0 said "${SAMPLES}/animation.gif" -o "${OUT}/${name}.png" --size 200x120 --at ${ms} ${ARGN})
  file(SHA256 "${OUT}/${name}.png" hash)
  set(${name} "${hash}" PARENT_SCOPE)
endfunction()
animation_at(0 start)
animation_at(499 still_first)
animation_at(500 second)
animation_at(1950 first_again)
animation_at(1950 selected --select 10,10,50,30)
if(NOT start STREQUAL still_first OR start STREQUAL second OR NOT start STREQUAL first_again
   OR start STREQUAL selected)
  message(FATAL_ERROR "the animation's frames do not follow the clock, or the selection is not drawn")
endif()
foreach(arguments IN ITEMS "--select;1,2,3" "--select;1,2,0,5" "--select;1,2,3,4,5" "--select;a,b,c,d"
                           "--at;-1" "--at;abc")
  render(2 said "${photo}" -o "${OUT}/x.png" ${arguments})
endforeach()
