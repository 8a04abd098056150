add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/EngineBench.cpp)
target_link_libraries(bench_engine PRIVATE protocol benchmark::benchmark benchmark::benchmark_main)
set_target_properties(bench_engine PROPERTIES AUTOMOC OFF)
