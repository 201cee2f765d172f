# How each target's files are compiled, and the compiler's checks that they compile in any batch.
#
# NORVANE_BATCHES=none compiles a file at a time: a change compiles the files it touches.
# NORVANE_BATCHES=whole compiles all the .cpp files of each target as one text (CMake's unity build,
# in the order the target lists them), which reads the headers they share once. Two files that
# clash in one text (a name both declare, a file-level using-directive that makes the other's call
# ambiguous) then fail the build, which says so (cmake/batch_compile.py), wherever the target lists
# them. Two checks compile beside the batch, without making code:
#   NORVANE_CHECK_REVERSED, all the files in reverse order, for what fails in one order only (a
#     using-directive before the call it makes ambiguous, a name before the local that shadows it);
#   NORVANE_CHECK_ALONE, each file alone, for a file that compiles only after another's includes.
# Include it before the targets are made, and call norvane_check_batches() once, at the end of the
# top-level CMakeLists.txt, when every target is known.
set(NORVANE_BATCHES none CACHE STRING "How a target's files compile: none (a file at a time) or whole (one batch)")
set_property(CACHE NORVANE_BATCHES PROPERTY STRINGS none whole)
option(NORVANE_CHECK_REVERSED "Compile each batch in reverse order too, without making code" OFF)
option(NORVANE_CHECK_ALONE "Compile each file of a batch alone too, without making code" OFF)
if(NORVANE_BATCHES STREQUAL "whole")
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE 0)
elseif(NORVANE_BATCHES STREQUAL "none")
  set(CMAKE_UNITY_BUILD OFF)
else()
  message(FATAL_ERROR "NORVANE_BATCHES is none or whole, not '${NORVANE_BATCHES}'")
endif()

set(NORVANE_BATCH_COMPILE "${CMAKE_CURRENT_LIST_DIR}/batch_compile.py")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The interpreter itself rather than a launcher in front of it, such as pyenv's shim, which takes
# longer to start than it takes to run the compiles of a target.
execute_process(COMMAND "${Python3_EXECUTABLE}" -c "import sys; print(sys.executable)"
  OUTPUT_VARIABLE NORVANE_BATCH_PYTHON OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

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

# Runs every compile of a batched target through batch_compile.py, and adds its checks to it as
# sources of its own, so that they compile as its files do (flags, precompiled headers, moc's output).
function(norvane_check_batch target)
  get_target_property(type ${target} TYPE)
  get_target_property(unity ${target} UNITY_BUILD)
  if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY" OR NOT unity)
    return()
  endif()
  norvane_batched_files(${target} files)
  list(LENGTH files count)
  if(count LESS 2)
    return()
  endif()
  get_target_property(launcher ${target} CXX_COMPILER_LAUNCHER)
  if(NOT launcher)
    set(launcher "")
  endif()
  set_property(TARGET ${target} PROPERTY CXX_COMPILER_LAUNCHER
    "${NORVANE_BATCH_PYTHON}" "${NORVANE_BATCH_COMPILE}" ${target} "${PROJECT_SOURCE_DIR}" -- ${launcher})
  get_target_property(binary_folder ${target} BINARY_DIR)
  set(checks "${binary_folder}/${target}.batch-checks")
  if(NORVANE_CHECK_REVERSED)
    list(REVERSE files)
    norvane_batch_check_source(${target} "${checks}/reversed.cxx" ${files})
  endif()
  if(NORVANE_CHECK_ALONE)
    foreach(file IN LISTS files)
      file(RELATIVE_PATH name "${PROJECT_SOURCE_DIR}" "${file}")
      string(REPLACE "/" "." name "${name}")
      norvane_batch_check_source(${target} "${checks}/alone/${name}.cxx" "${file}")
    endforeach()
  endif()
endfunction()

# The files of `target` that CMake compiles in its batch: the project's own .cpp files, but those
# with compile settings of their own, which CMake compiles apart.
function(norvane_batched_files target result)
  get_target_property(folder ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(files "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${folder}" NORMALIZE OUTPUT_VARIABLE path)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${path}" in_project)
    if(NOT path MATCHES "\\.cpp$" OR NOT in_project OR NOT EXISTS "${path}")
      continue()
    endif()
    set(apart FALSE)
    foreach(property SKIP_UNITY_BUILD_INCLUSION COMPILE_OPTIONS COMPILE_DEFINITIONS COMPILE_FLAGS INCLUDE_DIRECTORIES)
      get_source_file_property(value "${path}" TARGET_DIRECTORY ${target} ${property})
      if(value)
        set(apart TRUE)
      endif()
    endforeach()
    if(NOT apart)
      list(APPEND files "${path}")
    endif()
  endforeach()
  set(${result} ${files} PARENT_SCOPE)
endfunction()

# A source of `target` that includes the files that follow, in their order, and compiles without
# making code.
function(norvane_batch_check_source target source)
  set(text "")
  foreach(file IN LISTS ARGN)
    string(APPEND text "#include \"${file}\"\n")
  endforeach()
  # Written only when its text changes, so that a new configure checks nothing again.
  file(CONFIGURE OUTPUT "${source}" CONTENT "${text}" @ONLY)
  target_sources(${target} PRIVATE "${source}")
  set_source_files_properties("${source}" TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -fsyntax-only
    SKIP_UNITY_BUILD_INCLUSION ON SKIP_AUTOGEN ON)
endfunction()
