# A manual upload through the ACU over a pseudo-terminal (bench/upload_pty.sh runs it).
if(TARGET qvr_upload)
  add_executable(upload_pty_bench ${CMAKE_CURRENT_LIST_DIR}/upload_pty_bench.cpp)
  target_link_libraries(upload_pty_bench PRIVATE qvr_upload)
endif()
