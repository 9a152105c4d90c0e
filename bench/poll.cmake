# Korvex's poll rate against qvrsim over TCP, in real time (bench/korvex_poll.sh runs it).
if(TARGET qvr_panel)
  add_executable(poll_rate ${CMAKE_CURRENT_LIST_DIR}/poll_rate.cpp)
  target_link_libraries(poll_rate PRIVATE qvr_panel)
endif()
