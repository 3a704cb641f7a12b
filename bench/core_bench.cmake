# The counting core alone, timed against wc -w and a tr|sort|uniq pipeline on the same file.
add_executable(core_benchmark ${CMAKE_CURRENT_LIST_DIR}/core_benchmark.cpp)
target_link_libraries(core_benchmark PRIVATE app_text)
