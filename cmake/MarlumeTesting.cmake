# marlume_add_test(<name> SOURCES <files...> LIBRARIES <targets...> [GUI])
# One GoogleTest executable per module, registered with ctest test by test.
# GUI tests run on Qt's offscreen platform; no test inherits the user's port map
# or settings folder.
find_package(GTest REQUIRED)
include(GoogleTest)

function(marlume_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE marlume_cfg marlume_test_support ${ARG_LIBRARIES} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    MARLUME_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    MARLUME_FUZZ_CORPUS_DIR="${PROJECT_SOURCE_DIR}/fuzz/corpus")
  if(ARG_GUI)
    # A QApplication on the offscreen platform exists before the first test.
    target_link_libraries(${name} PRIVATE marlume_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "MARLUME_TILT_PORTS=unset:")
endfunction()
