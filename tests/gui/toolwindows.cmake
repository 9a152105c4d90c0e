# The tool windows, driven by their controls.
if(TARGET qvr_tools)
  target_sources(korvex_gui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tool_windows_test.cpp)
  target_link_libraries(korvex_gui_tests PRIVATE qvr_tools)
endif()
