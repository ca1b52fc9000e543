# Main window, tuning model and field commit: one headless binary; CTest runs each test in a
# process of its own, so the window test sees the first build.
vostrel_add_gtest(test_tuning ${CMAKE_CURRENT_LIST_DIR}/test_tuning.cpp)
