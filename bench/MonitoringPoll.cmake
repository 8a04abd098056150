# MDM/STS polling of the monitoring window in the real application against the paced stand-in drive.
add_executable(bench_monitoring_poll ${CMAKE_CURRENT_LIST_DIR}/MonitoringPollBench.cpp)
target_link_libraries(bench_monitoring_poll PRIVATE bench_tools monitoring_ui)
