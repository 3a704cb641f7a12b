# The whole program headless: File > Open, sorting, Copy and both exports on one file,
# timed against wc -w and a tr|sort|uniq pipeline on the same file.
add_executable(open_benchmark ${CMAKE_CURRENT_LIST_DIR}/open_benchmark.cpp)
target_link_libraries(open_benchmark PRIVATE app Qt6::Widgets)
