# norvane_layer(TARGET target FOLDER dir USES prefix... [FORBIDS prefix...] [FORBID_SYSTEM regex] [NAME check])
# Makes `target` fail to build while a file under `dir` includes a header outside its own folder
# and the folders listed in USES, or one under FORBIDS (a part of a used folder that stays out of
# reach), so that dependencies keep pointing down. NAME tells apart several checks of one target
# (its folders).
function(norvane_layer)
  cmake_parse_arguments(ARG "" "TARGET;NAME;FOLDER;FORBID_SYSTEM" "USES;FORBIDS" ${ARGN})
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${ARG_FOLDER}")
  file(GLOB_RECURSE files CONFIGURE_DEPENDS "${ARG_FOLDER}/*.h" "${ARG_FOLDER}/*.cpp")
  if(NOT ARG_NAME)
    set(ARG_NAME ${ARG_TARGET})
  endif()
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.layer-checked")
  list(JOIN ARG_USES "$<SEMICOLON>" uses)
  list(JOIN ARG_FORBIDS "$<SEMICOLON>" forbids)
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} "-DLAYER_DIR=${ARG_FOLDER}" "-DALLOWED=${folder}/$<SEMICOLON>${uses}"
      "-DFORBIDDEN=${forbids}" "-DFORBIDDEN_SYSTEM=${ARG_FORBID_SYSTEM}" "-DSTAMP=${stamp}" -P "${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake"
    DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake"
    COMMENT "Checking the includes of ${folder}" VERBATIM)
  add_custom_target(${ARG_NAME}_layer_check DEPENDS "${stamp}")
  add_dependencies(${ARG_TARGET} ${ARG_NAME}_layer_check)
endfunction()
