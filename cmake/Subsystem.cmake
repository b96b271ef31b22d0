# One static library per subsystem folder, built from every .cpp in it, so a
# new unit needs no edit of a shared list.
function(configurator_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;QT" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One test executable per test folder; each test case is its own CTest entry.
function(configurator_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest test_support)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    # Cases that need a real X display run through with_x_display.sh instead.
    TEST_FILTER "-*RealDisplay*"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    # One variable only: the discovery script splits a list of them apart.
    # The test main makes the offscreen platform the default.
    PROPERTIES ENVIRONMENT "CONFIGURATOR_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data"
    DISCOVERY_TIMEOUT 60)
endfunction()
