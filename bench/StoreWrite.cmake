# The store window's paced write of a full set in the real application against the paced stand-in drive.
add_executable(bench_store_write ${CMAKE_CURRENT_LIST_DIR}/StoreWriteBench.cpp)
target_link_libraries(bench_store_write PRIVATE bench_tools store_ui)
