# Reader, temperament handlers, Load; test_xml_parser links the reader with its own recording handlers.
add_executable(test_xml_parser ${CMAKE_CURRENT_LIST_DIR}/test_xml_parser.cpp ${PROJECT_SOURCE_DIR}/src/xml_parser.cpp)
target_include_directories(test_xml_parser PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(test_xml_parser PRIVATE GTest::gtest_main)
gtest_discover_tests(test_xml_parser DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
vostrel_add_gtest(test_temper_reader ${CMAKE_CURRENT_LIST_DIR}/test_temper_reader.cpp)
vostrel_add_gtest(test_load ${CMAKE_CURRENT_LIST_DIR}/test_load.cpp)
