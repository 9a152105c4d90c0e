# replay_bench: indexing a data log of a million lines and flipping its pages (a plain
# program; see bench/README.md).
if(TARGET qvr_graphs)
  add_executable(replay_bench ${CMAKE_CURRENT_LIST_DIR}/replay_bench.cpp)
  target_link_libraries(replay_bench PRIVATE qvr_graphs)
endif()
