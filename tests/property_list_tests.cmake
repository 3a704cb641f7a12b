# Property-list reader and the program's constant lists. Included from
# tests/CMakeLists.txt.
include(GoogleTest)

add_executable(property_list_test
  ${CMAKE_CURRENT_LIST_DIR}/framework/property_list_test.cpp)
target_link_libraries(property_list_test PRIVATE framework_core GTest::gtest_main GTest::gmock)
gtest_discover_tests(property_list_test)

add_executable(concordance_window_property_lists_test
  ${CMAKE_CURRENT_LIST_DIR}/concordance_window/property_lists_test.cpp)
target_link_libraries(concordance_window_property_lists_test
  PRIVATE concordance_window_lists GTest::gtest_main GTest::gmock)
gtest_discover_tests(concordance_window_property_lists_test)

add_executable(about_window_property_lists_test
  ${CMAKE_CURRENT_LIST_DIR}/about_window/property_lists_test.cpp)
target_link_libraries(about_window_property_lists_test
  PRIVATE about_window_lists GTest::gtest_main GTest::gmock)
gtest_discover_tests(about_window_property_lists_test)
