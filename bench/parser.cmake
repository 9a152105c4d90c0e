# Reply parser throughput (Google Benchmark): replies per second through the assembler,
# the ring pairing and the decoders, as one poll cycle of each screen produces them.
if(TARGET qvr_panel AND benchmark_FOUND)
  add_executable(parser_bench ${CMAKE_CURRENT_LIST_DIR}/parser_bench.cpp)
  target_link_libraries(parser_bench PRIVATE qvr_panel benchmark::benchmark)
endif()
