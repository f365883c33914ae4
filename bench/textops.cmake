add_executable(bench_textops ${CMAKE_CURRENT_LIST_DIR}/bench_textops.cpp)
target_link_libraries(bench_textops PRIVATE tarvextestsupport benchmark::benchmark)
