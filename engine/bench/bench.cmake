# The present benchmark starts its own X server with the test helper.
target_include_directories(marrowvane_bench PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests)
