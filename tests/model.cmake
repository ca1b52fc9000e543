# Tuning model, main window and field commit: headless module tests. The
# window test has a binary of its own, so it sees the window's first build.
vostrel_add_gtest(test_tuning ${CMAKE_CURRENT_LIST_DIR}/test_tuning.cpp)
vostrel_add_gtest(test_window ${CMAKE_CURRENT_LIST_DIR}/test_window.cpp)
vostrel_add_gtest(test_commit ${CMAKE_CURRENT_LIST_DIR}/test_commit.cpp)
