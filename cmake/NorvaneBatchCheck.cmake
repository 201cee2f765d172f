# norvane_check_batches()
# Makes the build fail where two files of one target would not compile in one batch (a unity build):
# a name that both define in one namespace, or a local of one that shadows a name of the other's
# namespace (cmake/check_batch_names.py reads them as text). Batches of eight hide such a pair while
# its files fall in different batches, until an unrelated change moves them into one; the core
# libraries, a file a compile in the ci preset, meet it only in the sanitizer presets. Checks every
# target of two files or more; call it once, at the end of the top-level CMakeLists.txt, when every
# target is known. Only a change to a target's files checks it again, in a fraction of a second.
set(NORVANE_BATCH_CHECK_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/check_batch_names.py")
set(NORVANE_BATCH_CHECK_READER "${CMAKE_CURRENT_LIST_DIR}/cpp_declarations.py")
# The interpreter itself rather than a launcher in front of it, such as pyenv's shim, which takes
# longer to start than the check of most targets takes.
execute_process(COMMAND "${Python3_EXECUTABLE}" -c "import sys; print(sys.executable)"
  OUTPUT_VARIABLE NORVANE_BATCH_CHECK_PYTHON OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

function(norvane_check_batches)
  norvane_targets_below("${PROJECT_SOURCE_DIR}" targets)
  foreach(target IN LISTS targets)
    norvane_check_batch(${target})
  endforeach()
endfunction()

function(norvane_targets_below folder result)
  get_property(found DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(folders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS folders)
    norvane_targets_below("${subfolder}" below)
    list(APPEND found ${below})
  endforeach()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

function(norvane_check_batch target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
    return()
  endif()
  get_target_property(folder ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(files "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${folder}" NORMALIZE)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${source}" in_project)
    if(source MATCHES "\\.cpp$" AND in_project AND EXISTS "${source}")
      file(RELATIVE_PATH source "${PROJECT_SOURCE_DIR}" "${source}")
      list(APPEND files "${source}")
    endif()
  endforeach()
  list(LENGTH files count)
  if(count LESS 2)
    return()
  endif()
  get_target_property(binary_folder ${target} BINARY_DIR)
  set(stamp "${binary_folder}/${target}.batch-checked")
  list(TRANSFORM files PREPEND "${PROJECT_SOURCE_DIR}/" OUTPUT_VARIABLE dependencies)
  add_custom_command(OUTPUT "${stamp}"
    COMMAND "${NORVANE_BATCH_CHECK_PYTHON}" "${NORVANE_BATCH_CHECK_SCRIPT}" ${target} "${stamp}" ${files}
    DEPENDS ${dependencies} "${NORVANE_BATCH_CHECK_SCRIPT}" "${NORVANE_BATCH_CHECK_READER}"
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    COMMENT "Checking that the files of ${target} compile in any batches" VERBATIM)
  # Part of every build, beside the compiles rather than before them.
  add_custom_target(${target}_batch_check ALL DEPENDS "${stamp}")
endfunction()
