# The monitoring stream at 1 ms from the paced stand-in drive into the real application's graph page.
add_executable(bench_graph_stream ${CMAKE_CURRENT_LIST_DIR}/GraphStreamBench.cpp)
target_link_libraries(bench_graph_stream PRIVATE bench_tools monitoring_ui)
