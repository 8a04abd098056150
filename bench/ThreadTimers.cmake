# Tick delivery of the multi-channel timers: queue round trip, ticks kept through
# a main-thread stall, and drift of the period.
add_executable(thread_timers_bench ${CMAKE_CURRENT_LIST_DIR}/ThreadTimersBench.cpp)
target_link_libraries(thread_timers_bench PRIVATE platform benchmark::benchmark)
