# Layer bookkeeping. Every library of the project is a layer with a folder
# (for example "platform/window" for src/platform/window and
# include/pixavue/platform/window). A layer may depend only on layers declared
# below it; pixavue_add_layer refuses an upward link at configure time, and the
# layer_check target refuses an #include of a header from a layer that is not
# among the layer's own dependencies, on every build.

function(pixavue_declare_layers)
  set_property(GLOBAL PROPERTY PIXAVUE_LAYER_ORDER "${ARGN}")
endfunction()

function(pixavue_layer_target out layer)
  string(REPLACE "/" "_" name "${layer}")
  set(${out} "pixavue_${name}" PARENT_SCOPE)
endfunction()

# Links `target` to the targets of the layers in `deps`, refusing any that is
# not declared below `layer`, and records the layers whose headers the
# layer's files may include (itself and everything it depends on).
function(pixavue_link_layers layer target scope deps)
  get_property(order GLOBAL PROPERTY PIXAVUE_LAYER_ORDER)
  list(FIND order "${layer}" own_rank)
  if(own_rank EQUAL -1)
    message(FATAL_ERROR "Layer '${layer}' is not declared in the top-level CMakeLists.txt")
  endif()
  set(allowed "${layer}")
  foreach(dep IN LISTS deps)
    list(FIND order "${dep}" dep_rank)
    if(dep_rank EQUAL -1)
      message(FATAL_ERROR "Layer '${layer}' depends on undeclared layer '${dep}'")
    endif()
    if(NOT dep_rank LESS own_rank)
      message(FATAL_ERROR "Layer '${layer}' may not depend on '${dep}': it is not below it")
    endif()
    pixavue_layer_target(dep_target "${dep}")
    target_link_libraries(${target} ${scope} ${dep_target})
    get_property(dep_allowed GLOBAL PROPERTY PIXAVUE_ALLOWED_${dep_target})
    list(APPEND allowed ${dep_allowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY PIXAVUE_ALLOWED_${target} "${allowed}")
  list(JOIN allowed "," allowed_text)
  set_property(GLOBAL APPEND PROPERTY PIXAVUE_LAYER_RECORDS "${layer}|${allowed_text}|${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()

# pixavue_add_layer(<layer> SOURCES ... [DEPENDS <layer>...] [LIBRARIES ...])
# A layer without SOURCES is header-only (declarations and types): an
# interface library that passes its include path and dependencies on.
function(pixavue_add_layer layer)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LIBRARIES" ${ARGN})
  pixavue_layer_target(target "${layer}")
  if(ARG_SOURCES)
    add_library(${target} STATIC ${ARG_SOURCES})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} "${PROJECT_SOURCE_DIR}/include")
  target_link_libraries(${target} ${scope} pixavue_flags ${ARG_LIBRARIES})
  pixavue_link_layers("${layer}" ${target} ${scope} "${ARG_DEPENDS}")
endfunction()

# Executables (hosts' tools, apps) are checked like layers.
# pixavue_add_layer_executable(<layer> <name> SOURCES ... [DEPENDS ...] [LIBRARIES ...])
function(pixavue_add_layer_executable layer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE pixavue_flags ${ARG_LIBRARIES})
  pixavue_link_layers("${layer}" ${name} PRIVATE "${ARG_DEPENDS}")
endfunction()

# Writes the records and runs the include check now and on every build.
function(pixavue_check_layers)
  get_property(order GLOBAL PROPERTY PIXAVUE_LAYER_ORDER)
  get_property(records GLOBAL PROPERTY PIXAVUE_LAYER_RECORDS)
  set(file "${PROJECT_BINARY_DIR}/pixavue_layers.txt")
  string(REPLACE ";" "," order_text "${order}")
  set(content "order=${order_text}\n")
  foreach(record IN LISTS records)
    string(APPEND content "${record}\n")
  endforeach()
  file(WRITE "${file}" "${content}")
  set(check_command "${CMAKE_COMMAND}" -DLAYER_FILE=${file} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}
      -P "${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake")
  execute_process(COMMAND ${check_command} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Layer check failed")
  endif()
  add_custom_target(layer_check ALL COMMAND ${check_command} COMMENT "Checking layer includes" VERBATIM)
endfunction()
