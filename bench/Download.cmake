# A program download in the real application against the paced stand-in drive on a pty.
add_executable(bench_download ${CMAKE_CURRENT_LIST_DIR}/DownloadBench.cpp)
target_link_libraries(bench_download PRIVATE app_shell download_ui sim Qt6::Test)
