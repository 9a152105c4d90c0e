# The front panel's screens, keys, entry box, LEDs and status bits, against scripted units
# in virtual time.
qvr_add_gtest(frontpanel_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FrontPanelRig.h
          ${CMAKE_CURRENT_LIST_DIR}/frontpanel_screens_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/frontpanel_entry_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/frontpanel_status_test.cpp
  LIBS qvr_panel qvr_link qvr_platform)
