# Graph engine (Google Benchmark): one plotted sample, and a full redraw of a full plot,
# on the picture the window shows.
if(TARGET qvr_ui_korvex AND benchmark_FOUND)
  add_executable(graph_bench ${CMAKE_CURRENT_LIST_DIR}/graph_bench.cpp)
  target_link_libraries(graph_bench PRIVATE qvr_ui_korvex qvr_graphs benchmark::benchmark Qt6::Gui)
endif()
