# vostrel-convert: the Scala readers, the collection table and the file the
# converter writes against the window's (headless), and the program run end
# to end on the command line.
vostrel_add_gtest(test_convert ${CMAKE_CURRENT_LIST_DIR}/test_convert.cpp)
target_link_libraries(test_convert PRIVATE vostrel_convert_core)
# Under Wine (the Windows build's tests) the test reaches these Linux paths
# through drive Z:, which is /.
set(wine 0)
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(wine 1)
endif()
set(host_root "$<${wine}:Z:>")
target_compile_definitions(test_convert PRIVATE CONVERTER="${host_root}$<TARGET_FILE:vostrel-convert>"
  COLLECTION_TABLE="${host_root}${VOSTREL_TABLE}")
add_dependencies(test_convert vostrel-convert)
add_test(NAME convert_cli COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/convert/cli.sh $<TARGET_FILE:vostrel-convert>)
set_tests_properties(convert_cli PROPERTIES ENVIRONMENT_MODIFICATION
  "DISPLAY=unset:;VOSTREL_RUNNER=set:${CMAKE_CROSSCOMPILING_EMULATOR}")
