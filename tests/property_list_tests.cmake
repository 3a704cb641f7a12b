# The property-list reader; the program's own lists are checked through the windows built
# from them. Included from tests/CMakeLists.txt.
include(GoogleTest)

add_executable(property_list_test
  ${CMAKE_CURRENT_LIST_DIR}/framework/property_list_test.cpp)
target_link_libraries(property_list_test PRIVATE framework_core GTest::gtest_main GTest::gmock)
gtest_discover_tests(property_list_test)

