# Quillan's window under a TCP flood: menu latency and memory (bench/quillan_flood.sh runs it).
if(TARGET qvr_ui_quillan)
  add_executable(quillan_flood_probe ${CMAKE_CURRENT_LIST_DIR}/quillan_flood_probe.cpp)
  target_link_libraries(quillan_flood_probe PRIVATE qvr_ui_quillan)
endif()
