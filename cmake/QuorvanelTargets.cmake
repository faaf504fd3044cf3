# One place that says how every Quorvanel target is built: language level, warnings,
# sanitizers. Libraries, programs, tests and benchmarks are all declared through
# quorvanel_target() so that no directory repeats these settings.

set(QUORVANEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(QUORVANEL_WERROR)
  list(APPEND QUORVANEL_WARNINGS -Werror)
endif()

if(QUORVANEL_THREAD_SANITIZE)
  # The batch mode's worker threads share the input, the ring of lines in flight and the output.
  set(QUORVANEL_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(QUORVANEL_SANITIZE)
  # float-cast-overflow is not part of "undefined" in gcc, yet an out-of-range real-to-integer
  # conversion is undefined behaviour, which the engine must never perform.
  set(QUORVANEL_SANITIZER_FLAGS
      -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
endif()

# lld links the dozens of test programs, with their debug information, in under half the time
# of the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld QUORVANEL_HAVE_LLD)
if(QUORVANEL_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# quorvanel_target(<kind> <name> SOURCES ... [QT] [DEPENDS ...] [INCLUDES ...]
#                  [TEST_ENVIRONMENT ...] [TEST_PROPERTIES <ctest property> <single value> ...])
#   kind: LIBRARY (static library), PROGRAM (executable), TEST (GoogleTest executable registered
#   with CTest case by case, or as one test in the sanitizer build), QTEST (QtTest executable registered with CTest as one test, run on the offscreen
#   platform), BENCHMARK (Google Benchmark executable, not run by CTest).
#   QT: the target has Qt classes with signals and slots (runs moc); QTEST implies it.
function(quorvanel_target kind name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPENDS;INCLUDES;TEST_ENVIRONMENT;TEST_PROPERTIES" ${ARGN})
  if(kind STREQUAL "LIBRARY")
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  elseif(kind STREQUAL "PROGRAM" OR kind STREQUAL "TEST" OR kind STREQUAL "QTEST"
         OR kind STREQUAL "BENCHMARK")
    add_executable(${name} ${ARG_SOURCES})
  else()
    message(FATAL_ERROR "quorvanel_target: unknown kind ${kind}")
  endif()
  if(ARG_QT OR kind STREQUAL "QTEST")
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
  target_compile_options(${name} PRIVATE ${QUORVANEL_WARNINGS} ${QUORVANEL_SANITIZER_FLAGS})
  target_link_options(${name} PRIVATE ${QUORVANEL_SANITIZER_FLAGS})
  if(ARG_INCLUDES)
    target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  endif()
  if(kind STREQUAL "LIBRARY")
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  endif()
  if(kind STREQUAL "TEST")
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    include(GoogleTest)
    # An empty ENVIRONMENT would take the next property name as its value.
    if(ARG_TEST_ENVIRONMENT)
      list(PREPEND ARG_TEST_PROPERTIES ENVIRONMENT "${ARG_TEST_ENVIRONMENT}")
    endif()
    if(QUORVANEL_SANITIZE)
      target_compile_definitions(${name} PRIVATE QUORVANEL_SANITIZED_BUILD)
      # A sanitized test program takes a third of a second to start, which, paid by each of some
      # 1,300 test cases, took longer than the cases themselves: here each program is one test
      # and runs all its cases in one process. Time limits are set per case; a whole program
      # takes CTest's default.
      add_test(NAME ${name} COMMAND ${name})
      set(properties)
      while(ARG_TEST_PROPERTIES)
        list(POP_FRONT ARG_TEST_PROPERTIES property value)
        if(NOT property STREQUAL "TIMEOUT")
          list(APPEND properties ${property} ${value})
        endif()
      endwhile()
      if(properties)
        set_tests_properties(${name} PROPERTIES ${properties})
      endif()
    else()
      # Named by the case's name alone: a parameter without a printer prints as its bytes,
      # pointers included, which would rename the test on every discovery.
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                           PROPERTIES ${ARG_TEST_PROPERTIES})
    endif()
  elseif(kind STREQUAL "QTEST")
    target_link_libraries(${name} PRIVATE Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    list(PREPEND ARG_TEST_ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_TEST_ENVIRONMENT}"
                         ${ARG_TEST_PROPERTIES})
  elseif(kind STREQUAL "BENCHMARK")
    target_link_libraries(${name} PRIVATE benchmark::benchmark)
  endif()
endfunction()
