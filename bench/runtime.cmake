# runtime_bench: virtual-time throughput of SimRuntime and deadline accuracy of QtRuntime.
# A plain program (its figures are percentiles, not loop timings); see bench/README.md.
add_executable(runtime_bench ${CMAKE_CURRENT_LIST_DIR}/runtime_bench.cpp)
target_link_libraries(runtime_bench PRIVATE qvr_platform)
