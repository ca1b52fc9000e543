# Settings file and Exit, the temperaments-folder search and the temperament
# file writer: headless module tests, each area in a binary of its own.
vostrel_add_gtest(test_settings ${CMAKE_CURRENT_LIST_DIR}/test_settings.cpp)
vostrel_add_gtest(test_discovery ${CMAKE_CURRENT_LIST_DIR}/test_discovery.cpp)
vostrel_add_gtest(test_writer ${CMAKE_CURRENT_LIST_DIR}/test_writer.cpp)
