# The present benchmark starts its own X server with the test helper.
target_include_directories(marrowvane_bench PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests)

# The frame round-trip benchmark talks to the stand-in script host, which is
# built with the tests.
if(COMMAND marrowvane_use_stand_in_host)
  marrowvane_use_stand_in_host(marrowvane_bench)
endif()

# The frame pacing benchmark runs the engine executable with its own prompt
# script host, and shares the tests' helper that runs the engine.
add_executable(marrowvane_pacing_host ${CMAKE_CURRENT_SOURCE_DIR}/pacing/PacingHost.cpp)
target_sources(marrowvane_bench PRIVATE ${PROJECT_SOURCE_DIR}/engine/tests/app/EngineProcess.cpp)
add_dependencies(marrowvane_bench marrowvane_pacing_host marrowvane_exe)
target_compile_definitions(marrowvane_bench PRIVATE MARROWVANE_PACING_HOST="$<TARGET_FILE:marrowvane_pacing_host>")
