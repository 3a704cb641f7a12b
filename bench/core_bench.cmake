# The counting core alone, on one thread and on all, timed against wc -w on the same file.
add_executable(core_benchmark ${CMAKE_CURRENT_LIST_DIR}/core_benchmark.cpp)
target_link_libraries(core_benchmark PRIVATE app_text)
