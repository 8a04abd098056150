# The plot widget fed like the monitoring graph: frame time, CPU share and
# resident memory with the history full.
add_executable(bench_plot ${CMAKE_CURRENT_LIST_DIR}/PlotBench.cpp)
target_link_libraries(bench_plot PRIVATE widgets)
