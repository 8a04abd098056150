# A full parameter READ in the real application against the paced stand-in drive on a pty.
add_executable(bench_parameter_read ${CMAKE_CURRENT_LIST_DIR}/ParameterReadBench.cpp)
target_link_libraries(bench_parameter_read PRIVATE bench_tools parameters_ui)
