add_executable(bench_protect ${CMAKE_CURRENT_LIST_DIR}/bench_protect.cpp)
target_link_libraries(bench_protect PRIVATE tarvextestsupport benchmark::benchmark)
