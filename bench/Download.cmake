# A program download in the real application against the paced stand-in drive on a pty.
add_executable(bench_download ${CMAKE_CURRENT_LIST_DIR}/DownloadBench.cpp)
target_link_libraries(bench_download PRIVATE bench_tools download_ui)
