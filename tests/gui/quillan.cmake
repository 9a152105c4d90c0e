# Quillan's window tests (included from tests/gui/CMakeLists.txt).
if(NOT TARGET quillan_gui_tests)
  set(_quillan_gui ${CMAKE_CURRENT_LIST_DIR})
  qvr_add_gtest(quillan_gui_tests
    SOURCES ${_quillan_gui}/quillan_rig.h ${_quillan_gui}/quillan_window_test.cpp
            ${_quillan_gui}/quillan_dialogs_test.cpp ${_quillan_gui}/quillan_widgets_test.cpp
            ${_quillan_gui}/quillan_tools_test.cpp
    LIBS qvr_ui_quillan qvr_ui_shared qvr_upload qvr_terminal qvr_platform Qt6::Test Qt6::PrintSupport
    GUI)
endif()
