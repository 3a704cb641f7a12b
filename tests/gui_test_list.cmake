include(shell_and_window_tests.cmake OPTIONAL)
include(open_and_command_tests.cmake OPTIONAL)
