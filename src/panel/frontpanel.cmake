# The front panel: screens and pages, keys, entry box, status LEDs and bits.
target_sources(qvr_panel PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FrontPanelLogic.h ${CMAKE_CURRENT_LIST_DIR}/FrontPanelLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenPages.h ${CMAKE_CURRENT_LIST_DIR}/ScreenPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterPages.h ${CMAKE_CURRENT_LIST_DIR}/ParameterPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EntryCommands.h ${CMAKE_CURRENT_LIST_DIR}/EntryCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusBits.h ${CMAKE_CURRENT_LIST_DIR}/StatusBits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusLeds.h ${CMAKE_CURRENT_LIST_DIR}/StatusLeds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanelTexts.h
)
