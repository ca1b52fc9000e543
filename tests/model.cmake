# Tuning model, main window (own binary: it sees the first build) and field commit.
vostrel_add_gtest(test_tuning ${CMAKE_CURRENT_LIST_DIR}/test_tuning.cpp)
vostrel_add_gtest(test_window ${CMAKE_CURRENT_LIST_DIR}/test_window.cpp)
vostrel_add_gtest(test_commit ${CMAKE_CURRENT_LIST_DIR}/test_commit.cpp)
