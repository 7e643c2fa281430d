# What `pixavue render -o` does to what stands at the output's name: a pipe,
# a device and a link to a device are refused (exit 1) and left as they
# were; a name ending in "/" and a folder are refused without creating
# anything; links and folders planted at the names a writer could predict
# from the output's name and the process id change nothing; an existing
# file keeps its permission bits without set-id bits, a new one gets the
# umask's; a 255-byte name works; nothing is left beside the output.
# Each render runs under umask 077 in a shell that execs the program, so $$
# in the shell is the program's process id.
# cmake -DPIXAVUE=<program> -DSAMPLES=<folder> -DOUT=<scratch folder> -P check_render_output.cmake

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
set(photo "${SAMPLES}/photo.jpg")

# render_in_shell(<expected exit code> <output variable> <shell commands before the render> <output name>)
function(render_in_shell expected output_variable before name)
  execute_process(
    COMMAND sh -c "umask 077 && cd \"$0\" && ${before} exec \"$1\" render \"$2\" -o \"$3\" --size 64x48"
            "${OUT}" "${PIXAVUE}" "${photo}" "${name}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 60)
  if(NOT result EQUAL expected)
    message(FATAL_ERROR "pixavue render -o ${name} (after: ${before}) exited with ${result}, not ${expected}:\n"
                        "${output}${errors}")
  endif()
  set(${output_variable} "${output}${errors}" PARENT_SCOPE)
endfunction()

# expect_shell(<shell test> <what it means>): the test holds in ${OUT}.
function(expect_shell test meaning)
  execute_process(COMMAND sh -c "cd \"$0\" && ${test}" "${OUT}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${meaning} (${test} failed)")
  endif()
endfunction()

function(expect_png name)
  execute_process(COMMAND "${PIXAVUE}" info "${OUT}/${name}" RESULT_VARIABLE result OUTPUT_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output MATCHES "format: PNG\nsize: 64 x 48\n")
    message(FATAL_ERROR "${name} does not read back as a 64 x 48 PNG:\n${output}")
  endif()
endfunction()

# Nodes that are not regular files.
render_in_shell(1 said "mkfifo pipe.png &&" pipe.png)
if(NOT said MATCHES "cannot write pipe.png: .*not a regular file")
  message(FATAL_ERROR "no clear refusal for a pipe:\n${said}")
endif()
expect_shell("test -p pipe.png" "the pipe was replaced")
render_in_shell(1 said "ln -s /dev/null null-link.png &&" null-link.png)
expect_shell("test -L null-link.png && test -c /dev/null" "the link to /dev/null or /dev/null itself was replaced")
execute_process(COMMAND mknod "${OUT}/null.png" c 1 3 RESULT_VARIABLE no_device)  # needs root
if(no_device EQUAL 0)
  render_in_shell(1 said "" null.png)
  expect_shell("test -c null.png" "the device was replaced")
endif()

# Folders.
render_in_shell(1 said "" new-folder/)
if(NOT said MATCHES "names a folder" OR EXISTS "${OUT}/new-folder")
  message(FATAL_ERROR "a name ending in / was not refused, or its folder was created:\n${said}")
endif()
file(MAKE_DIRECTORY "${OUT}/folder.png")
render_in_shell(1 said "" folder.png)
expect_shell("test -d folder.png && rmdir folder.png" "the folder was replaced or filled")

# Links and folders at predictable names; the kept and the new file's bits.
file(WRITE "${OUT}/setuid" "theirs")
file(CHMOD "${OUT}/setuid" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
           WORLD_EXECUTE SETUID)
file(WRITE "${OUT}/kept.png" "old")
file(CHMOD "${OUT}/kept.png" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(plant_links "ln -s setuid kept.png.partial-$$ && ln -s setuid .kept.png.partial-$$.tmp-$$-0 &&")
render_in_shell(0 said "${plant_links}" kept.png)
expect_png(kept.png)
expect_shell("test \"$(stat -c %a kept.png)\" = 644" "kept.png did not keep its 0644 bits")
expect_shell("test \"$(stat -c %a setuid)\" = 4755 && test \"$(cat setuid)\" = theirs"
             "the file a planted link leads to was changed")
file(CHMOD "${OUT}/kept.png" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
           WORLD_EXECUTE SETUID)
render_in_shell(0 said "" kept.png)
expect_shell("test \"$(stat -c %a kept.png)\" = 755" "the set-user-ID bit of kept.png was kept")
render_in_shell(0 said "mkdir new.png.partial-$$ .new.png.partial-$$.tmp-$$-0 &&" new.png)
expect_png(new.png)
expect_shell("test \"$(stat -c %a new.png)\" = 600" "new.png does not have the umask's bits")

# The longest name the file system takes.
string(REPEAT "n" 251 long_stem)
render_in_shell(0 said "" "${long_stem}.png")
expect_png("${long_stem}.png")

# Nothing but what was planted and written; every planted link still a link.
file(GLOB left RELATIVE "${OUT}" "${OUT}/*" "${OUT}/.*")
list(FILTER left EXCLUDE REGEX "^(pipe|null-link|null|kept|new|${long_stem})\\.png$|^setuid$|partial-[0-9]+")
if(left)
  message(FATAL_ERROR "left beside the outputs: ${left}")
endif()
expect_shell("for link in kept.png.partial-* .kept.png.partial-*; do test -L \"$link\" || exit 1; done"
             "a planted link was replaced")
