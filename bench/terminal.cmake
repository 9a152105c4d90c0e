# FlushAndPause over a real pseudo-terminal: how close the pause lands on its deadline.
if(TARGET qvr_terminal)
  add_executable(flushpause_bench ${CMAKE_CURRENT_LIST_DIR}/flushpause_bench.cpp)
  target_link_libraries(flushpause_bench PRIVATE qvr_terminal)
endif()
