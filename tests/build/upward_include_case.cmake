# A lower layer that includes a header of a higher one must fail the check;
# the same tree without that include must pass it.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/src/low" "${WORK_DIR}/src/high" "${WORK_DIR}/include/pixavue/high")
file(WRITE "${WORK_DIR}/include/pixavue/high/thing.h" "#pragma once\n")
file(WRITE "${WORK_DIR}/src/high/high.cpp" "#include <pixavue/high/thing.h>\n")
file(WRITE "${WORK_DIR}/layers.txt"
     "order=low,high\nlow|low|${WORK_DIR}/src/low\nhigh|high,low|${WORK_DIR}/src/high\n")

function(run_check expect_failure)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DLAYER_FILE=${WORK_DIR}/layers.txt -DSOURCE_ROOT=${WORK_DIR}
            -P ${SOURCE_ROOT}/cmake/CheckLayerIncludes.cmake
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(expect_failure AND result EQUAL 0)
    message(FATAL_ERROR "the upward include was accepted")
  elseif(NOT expect_failure AND NOT result EQUAL 0)
    message(FATAL_ERROR "a clean tree was refused: ${errors}")
  endif()
endfunction()

file(WRITE "${WORK_DIR}/src/low/low.cpp" "#include <string>\n")
run_check(FALSE)
file(WRITE "${WORK_DIR}/src/low/low.cpp" "#include <pixavue/high/thing.h>\n")
run_check(TRUE)
