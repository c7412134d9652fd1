# talvik_add_test(<name> SOURCES ... [LIBS ...] [X11] [OFFSCREEN] [TIMEOUT s] [LABELS ...])
#
# Builds a GoogleTest executable and registers every test case in it with CTest.
# X11      the tests need a real X server: they run inside the "xvfb" fixture and
#          find its display through talvik::test::useFixtureDisplay().
# OFFSCREEN  Qt widget tests on the offscreen platform.
# WAYLAND  the tests need the headless Wayland compositors (weston and sway) of
#          the "wayland" fixture; each test finds its compositor's variables in
#          <build>/wayland/<kind>/env.
find_package(GTest REQUIRED)
include(GoogleTest)

set(TALVIK_XVFB_DISPLAY_FILE ${CMAKE_BINARY_DIR}/xvfb/display)

function(talvik_add_test name)
  cmake_parse_arguments(T "X11;OFFSCREEN;WAYLAND" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES} $<TARGET_OBJECTS:talvik_test_data_home>)
  target_link_libraries(${name} PRIVATE talvik_test_support GTest::gtest GTest::gmock GTest::gtest_main ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    TALVIK_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TALVIK_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Only one environment entry survives gtest_discover_tests in this CMake,
  # so sanitizer options live in the test presets and the Xvfb display file
  # is compiled into the test support library.
  set(extra "")
  if(T_OFFSCREEN)
    list(APPEND extra ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(T_X11)
    list(APPEND extra FIXTURES_REQUIRED xvfb RESOURCE_LOCK xserver)
    list(APPEND T_LABELS x11)
  endif()
  if(T_WAYLAND)
    list(APPEND extra FIXTURES_REQUIRED wayland)
    list(APPEND T_LABELS wayland)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT ${T_TIMEOUT}
      ${extra})
  # gtest_discover_tests keeps only the first of several labels, so they are
  # given once the tests are known (its list of them is <name>_TESTS).
  if(T_LABELS)
    set(label_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${label_file}
         "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${T_LABELS}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_file})
  endif()
endfunction()
