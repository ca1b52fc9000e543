# Shared pieces of the suite: the support library and a helper that adds a
# headless GoogleTest binary (DISPLAY removed, so nothing can open a window).
include(GoogleTest)

add_library(vostrel_test_support STATIC ${CMAKE_CURRENT_SOURCE_DIR}/support.cpp)
target_link_libraries(vostrel_test_support PUBLIC vostrel_core GTest::gtest)
target_include_directories(vostrel_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# vostrel_add_gtest(NAME source...): one test binary, its tests listed in CTest.
function(vostrel_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vostrel_test_support GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
endfunction()
