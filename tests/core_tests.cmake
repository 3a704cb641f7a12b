# Tests of framework_core and of the GUI-free text analysis (app_text).
if(NOT TARGET GTest::gtest_main)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_executable(core_tests
  ${CMAKE_CURRENT_LIST_DIR}/framework/core_string_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/framework/core_text_streams_test.cpp
)
target_link_libraries(core_tests PRIVATE framework_core GTest::gtest_main)
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)

add_executable(text_tests
  ${CMAKE_CURRENT_LIST_DIR}/app/text_tokeniser_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app/text_word_count_test.cpp
)
target_link_libraries(text_tests PRIVATE app_text GTest::gtest_main)
gtest_discover_tests(text_tests DISCOVERY_TIMEOUT 60)
