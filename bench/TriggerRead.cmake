# The trigger window's read-back of a 30-block recording against the paced stand-in drive on a pty.
add_executable(bench_trigger_read ${CMAKE_CURRENT_LIST_DIR}/TriggerReadBench.cpp)
target_link_libraries(bench_trigger_read PRIVATE bench_tools trigger_ui)
