# Helpers shared by every folder: warnings for our own targets and test registration.

function(trivane_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2 -Wnull-dereference)
  if(TRIVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# trivane_add_gtest(NAME n SOURCES ... [LIBS ...] [LABELS ...] [ENV VAR=value ...] [TIMEOUT s]
#                   [FIXTURES f ...] [SERIAL])
# Builds one GoogleTest executable and registers its cases with ctest. ENV applies to every
# case; ALSO_ENV registers every case a second time under "<name>.alt." with those variables;
# FIXTURES names ctest fixtures every case requires (e.g. samplecard); SERIAL runs each case with
# nothing else beside it (timing measurements that other tests' load would spoil).
function(trivane_add_gtest)
  cmake_parse_arguments(T "SERIAL" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV;ALSO_ENV;FIXTURES" ${ARGN})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  trivane_warnings(${T_NAME})

  # gtest_discover_tests writes the properties out unquoted: a list would turn its second item
  # into a property name and silently drop what follows (fixtures, RUN_SERIAL).
  list(LENGTH T_LABELS label_count)
  list(LENGTH T_FIXTURES fixture_count)
  if(label_count GREATER 1 OR fixture_count GREATER 1)
    message(FATAL_ERROR "${T_NAME}: one label and one fixture per GoogleTest suite")
  endif()
  # An empty value would shift the property list, so only properties that have one are passed.
  string(REPLACE ";" "\\;" labels "${T_LABELS}")
  set(common LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
  if(T_FIXTURES)
    string(REPLACE ";" "\\;" fixtures "${T_FIXTURES}")
    list(APPEND common FIXTURES_REQUIRED "${fixtures}")
  endif()
  if(T_SERIAL)
    list(APPEND common RUN_SERIAL TRUE)
  endif()

  set(properties ${common})
  if(T_ENV)
    string(REPLACE ";" "\\;" env "${T_ENV}")
    list(APPEND properties ENVIRONMENT "${env}")
  endif()
  gtest_discover_tests(${T_NAME} TEST_PREFIX "${T_NAME}." DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
  if(T_ALSO_ENV)
    string(REPLACE ";" "\\;" env "${T_ALSO_ENV}")
    gtest_discover_tests(${T_NAME} TEST_PREFIX "${T_NAME}.alt." DISCOVERY_MODE PRE_TEST
      PROPERTIES ${common} ENVIRONMENT "${env}")
  endif()
endfunction()
