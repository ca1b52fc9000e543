# Settings file and Exit, the temperaments-folder search and the writer: one headless binary each.
foreach(area settings discovery writer)
  vostrel_add_gtest(test_${area} ${CMAKE_CURRENT_LIST_DIR}/test_${area}.cpp)
endforeach()
