# The script tests start the stand-in script host through DOTNET_ROOT.
marrowvane_use_stand_in_host(${target})

# A program that prints ScriptHostLocator's answer, for the candidate next
# to the executable.
add_executable(marrowvane_locator_probe ${CMAKE_CURRENT_SOURCE_DIR}/script/probe/ScriptHostLocatorProbe.cpp)
target_link_libraries(marrowvane_locator_probe PRIVATE marrowvane)
add_dependencies(${target} marrowvane_locator_probe)
target_compile_definitions(${target} PRIVATE MARROWVANE_LOCATOR_PROBE="$<TARGET_FILE:marrowvane_locator_probe>")
