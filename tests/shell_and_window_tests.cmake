# The application shell, the results window as built and the About window, driven
# headless. Included from tests/gui_tests.cmake.
concordance_gui_test(shell_gui_test ${CMAKE_CURRENT_LIST_DIR}/app/shell_test.cpp)
concordance_gui_test(results_window_construction_test
  ${CMAKE_CURRENT_LIST_DIR}/concordance_window/window_construction_test.cpp)
concordance_gui_test(about_window_gui_test ${CMAKE_CURRENT_LIST_DIR}/about_window/about_window_test.cpp)
# The About tests catch the web addresses with a small QObject of their own.
set_target_properties(about_window_gui_test PROPERTIES AUTOMOC ON)
