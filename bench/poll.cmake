# Korvex's poll rate against qvrsim over TCP, in real time (bench/korvex_poll.sh runs it).
if(TARGET qvr_panel)
  add_executable(poll_rate ${CMAKE_CURRENT_LIST_DIR}/poll_rate.cpp)
  target_link_libraries(poll_rate PRIVATE qvr_panel)
endif()
# The sync errors that typed targets and a unit restart cost, from the session trace
# (bench/korvex_events.sh runs it).
if(TARGET qvr_panel AND TARGET qvr_common)
  add_executable(korvex_events ${CMAKE_CURRENT_LIST_DIR}/korvex_events.cpp)
  target_link_libraries(korvex_events PRIVATE qvr_panel qvr_common)
endif()
