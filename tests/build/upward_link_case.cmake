# A layer that declares a dependency on a layer above it must fail to configure.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/project")
file(WRITE "${WORK_DIR}/project/low.cpp" "int low() { return 1; }\n")
file(WRITE "${WORK_DIR}/project/high.cpp" "int high() { return 2; }\n")
file(WRITE "${WORK_DIR}/project/CMakeLists.txt" "
cmake_minimum_required(VERSION 3.25)
project(UpwardLink LANGUAGES CXX)
add_library(pixavue_flags INTERFACE)
include(${SOURCE_ROOT}/cmake/PixavueLayers.cmake)
pixavue_declare_layers(low high)
pixavue_add_layer(high SOURCES high.cpp)
pixavue_add_layer(low SOURCES low.cpp DEPENDS high)
")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/project -B ${WORK_DIR}/build -G ${GENERATOR}
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(result EQUAL 0)
  message(FATAL_ERROR "the upward link was accepted")
endif()
if(NOT errors MATCHES "may not depend on 'high'")
  message(FATAL_ERROR "configure failed for another reason: ${errors}")
endif()
