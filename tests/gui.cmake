# Real-window tests: each scenario runs the built program under its own Xvfb
# server, drives it with xdotool and checks the files it writes. They share
# nothing (own server, own temporary folders, under Wine their own prefix),
# so they may run in parallel. Windows only: the folder search finding drive
# D:, and window.sh once more on a display of 144 DPI (VOSTREL_GUI_DPI).
set(scenarios window generate table)
if(WIN32)
  list(APPEND scenarios drive_d window_144dpi)
endif()
foreach(scenario ${scenarios})
  string(REGEX MATCH "[0-9]+" dpi ${scenario})
  string(REGEX REPLACE "_[0-9]+dpi" "" script ${scenario})
  add_test(NAME gui_${scenario} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/${script}.sh $<TARGET_FILE:vostrel>)
  set_tests_properties(gui_${scenario} PROPERTIES TIMEOUT 90 ENVIRONMENT VOSTREL_GUI_DPI=${dpi})
endforeach()
