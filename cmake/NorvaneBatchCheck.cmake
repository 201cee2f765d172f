# norvane_batch_check(TARGET)
# Makes the build fail where `target`, which this build compiles a file at a time, would not compile
# in batches of files (as the sanitizer presets compile it): a name that one file's anonymous
# namespace declares and another file of the target declares too, or that shadows it. Its sources
# are compiled once more, all in one batch, checked without making code, which costs a fraction of
# compiling them; only a change to them or to what they include checks them again.
function(norvane_batch_check target)
  get_target_property(folder ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  get_target_property(libraries ${target} LINK_LIBRARIES)
  list(TRANSFORM sources PREPEND "${folder}/")
  set(check ${target}_batch_check)
  add_library(${check} OBJECT ${sources})
  target_link_libraries(${check} PRIVATE ${libraries})
  target_include_directories(${check} PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
  target_compile_definitions(${check} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
  target_compile_options(${check} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>)
  set_target_properties(${check} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0
    CXX_COMPILER_LAUNCHER "${PROJECT_SOURCE_DIR}/cmake/check_without_code.sh")
endfunction()
