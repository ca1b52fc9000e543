# Real-window tests: each script runs the built program under its own Xvfb
# server, drives it with xdotool and checks the files it writes. They share
# nothing (own server, own temporary folders), so they may run in parallel.
if(WIN32)
  return()  # under Wine: until lib.sh starts vostrel.exe
endif()
foreach(script window enter generate load table)
  add_test(NAME gui_${script}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/${script}.sh $<TARGET_FILE:vostrel>)
  set_tests_properties(gui_${script} PROPERTIES TIMEOUT 90)
endforeach()
