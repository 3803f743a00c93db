# The renderer tests resize the offscreen window and decode screenshots.
target_link_libraries(${target} PRIVATE PkgConfig::SDL2 PkgConfig::SDL2_IMAGE)
