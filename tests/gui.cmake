# Real-window tests: each scenario runs the built program under its own Xvfb
# server, drives it with xdotool and checks the files it writes. They share
# nothing (own server, own temporary folders, under Wine their own prefix),
# so they may run in parallel. Windows only: the folder search finding drive
# D:, and the window once more on a display of 144 DPI.
set(scenarios window generate load table)
if(WIN32)
  list(APPEND scenarios drive_d window_144dpi)
endif()
foreach(scenario ${scenarios})
  string(REPLACE _144dpi "" script ${scenario})
  add_test(NAME gui_${scenario} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/${script}.sh $<TARGET_FILE:vostrel>)
  set_tests_properties(gui_${scenario} PROPERTIES TIMEOUT 90)
endforeach()
if(WIN32)
  set_tests_properties(gui_window_144dpi PROPERTIES ENVIRONMENT VOSTREL_GUI_DPI=144)
endif()
