# The present benchmark starts its own X server with the test helper.
target_include_directories(marrowvane_bench PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests)

# The frame round-trip benchmark talks to the stand-in script host, which is
# built with the tests.
if(COMMAND marrowvane_use_stand_in_host)
  marrowvane_use_stand_in_host(marrowvane_bench)
endif()
