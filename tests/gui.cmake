# Real-window tests: each script runs the built program under its own Xvfb
# server, drives it with xdotool and checks the files it writes. They share
# nothing (own server, own temporary folders, under Wine their own prefix),
# so they may run in parallel.
set(VOSTREL_GUI ${CMAKE_CURRENT_SOURCE_DIR}/gui)
foreach(script window enter generate load table)
  add_test(NAME gui_${script} COMMAND bash ${VOSTREL_GUI}/${script}.sh $<TARGET_FILE:vostrel>)
endforeach()
set(VOSTREL_GUI_TESTS gui_window gui_enter gui_generate gui_load gui_table)
if(WIN32)
  # Windows only: the folder search finding drive D:, and the window on a
  # display of 144 DPI.
  add_test(NAME gui_drive_d COMMAND bash ${VOSTREL_GUI}/drive_d.sh $<TARGET_FILE:vostrel>)
  add_test(NAME gui_window_144dpi COMMAND bash ${VOSTREL_GUI}/window.sh $<TARGET_FILE:vostrel>)
  set_tests_properties(gui_window_144dpi PROPERTIES ENVIRONMENT VOSTREL_GUI_DPI=144)
  list(APPEND VOSTREL_GUI_TESTS gui_drive_d gui_window_144dpi)
endif()
set_tests_properties(${VOSTREL_GUI_TESTS} PROPERTIES TIMEOUT 90)
