# add_sonvira_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <seconds>]
#                  [LABELS <labels...>] [TSAN])
# One GoogleTest executable; every test case becomes a ctest test with a time limit,
# so a hanging device or process fails fast instead of stalling the run.
# TSAN marks a suite that exercises threads: the ThreadSanitizer build of test.sh
# builds and runs only those (target sonvira_tsan_tests, label tsan).
add_custom_target(sonvira_tsan_tests)

function(add_sonvira_test name)
  cmake_parse_arguments(ARG "TSAN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  set(labels ${ARG_LABELS})
  if(ARG_TSAN)
    list(APPEND labels tsan)
    add_dependencies(sonvira_tsan_tests ${name})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main sonvira_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(SONVIRA_TSAN AND NOT ARG_TSAN)
    # The ThreadSanitizer build compiles and runs only the threaded suites.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  sonvira_discover_tests(${name} ${ARG_TIMEOUT} "${labels}")
endfunction()

# add_sonvira_plain_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <seconds>]
#                        [LABELS <labels...>])
# A GoogleTest executable built and linked without sanitizers, whatever the build: for a
# suite that replaces the allocator or the pthread calls itself, which the sanitizers'
# runtimes replace too. Our libraries carry the sanitizers in a sanitizer build, so the
# sources of ours it tests go into SOURCES; LIBS are outside libraries only.
function(add_sonvira_plain_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main sonvira_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(SONVIRA_TSAN OR SONVIRA_FUZZ)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  sonvira_discover_tests(${name} ${ARG_TIMEOUT} "${ARG_LABELS}")
endfunction()

# Every test case of `name` becomes a ctest test with the time limit and labels.
function(sonvira_discover_tests name timeout labels)
  # One environment entry only: gtest_discover_tests splits property values at ';'.
  set(properties TIMEOUT ${timeout} ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  if(labels)
    list(APPEND properties LABELS "${labels}")
  endif()
  # Tests of a shared real resource (the test display's key grabs, the default sound
  # sink) run one at a time, or they would take it from each other.
  foreach(shared IN ITEMS x_display sound_server)
    if(shared IN_LIST labels)
      list(APPEND properties RESOURCE_LOCK ${shared})
    endif()
  endforeach()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()
