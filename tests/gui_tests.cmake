# Tests that drive the real program headless.
add_library(gui_test_support STATIC support/gui_test.cpp support/gui_test_main.cpp)
target_link_libraries(gui_test_support PUBLIC app GTest::gtest Qt6::Test Qt6::Widgets)
target_include_directories(gui_test_support PUBLIC ${PROJECT_SOURCE_DIR})

function(concordance_gui_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gui_test_support GTest::gmock)
  gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${CONCORDANCE_TEST_ENVIRONMENT}" DISCOVERY_TIMEOUT 60)
endfunction()

include(gui_test_list.cmake OPTIONAL)
