# File > Open and the results window's commands, driven through the real dialogs.
concordance_gui_test(file_open_test ${CMAKE_CURRENT_LIST_DIR}/app/file_open_test.cpp)
# Reads of the framework's input stream pass through the test, which can make one fail.
target_link_options(file_open_test PRIVATE -Wl,--wrap=read)

concordance_gui_test(commands_test ${CMAKE_CURRENT_LIST_DIR}/concordance_window/commands_test.cpp)
# The list: rows in bulk, sorting from the headings, huge cells.
concordance_gui_test(list_rows_test ${CMAKE_CURRENT_LIST_DIR}/framework/list_rows_test.cpp)
