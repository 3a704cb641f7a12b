# GUI tests on a private X server with a window manager: what only a real desktop shows.
# One test binary, run as a whole under one server. Included from tests/CMakeLists.txt.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
add_executable(desktop_test ${CMAKE_CURRENT_LIST_DIR}/desktop_test.cpp)
target_link_libraries(desktop_test PRIVATE gui_test_support PkgConfig::XCB)
target_compile_definitions(desktop_test PRIVATE CONCORDANCE_EXECUTABLE="$<TARGET_FILE:concordance>")
add_dependencies(desktop_test concordance)
add_test(NAME desktop_test
         COMMAND xvfb-run -a -s "-screen 0 1280x1024x24"
                 ${CMAKE_CURRENT_LIST_DIR}/with-window-manager.sh $<TARGET_FILE:desktop_test>)
# The system's D-Bus library leaks a little at exit, in the program started by the test too.
set_tests_properties(desktop_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb;ASAN_OPTIONS=detect_leaks=0" TIMEOUT 120
                     LABELS desktop)
