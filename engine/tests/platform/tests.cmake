# The window tests push events through SDL's own queue, and the Xvfb test
# reads the real window back from the X server.
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
target_link_libraries(${target} PRIVATE PkgConfig::SDL2 PkgConfig::X11)
