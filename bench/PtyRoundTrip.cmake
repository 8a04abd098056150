# Round trip of one SET exchange through TComPort and TComm to the stand-in drive on a pty.
add_executable(bench_pty_roundtrip ${CMAKE_CURRENT_LIST_DIR}/PtyRoundTripBench.cpp)
target_link_libraries(bench_pty_roundtrip PRIVATE platform sim)
