# The end-to-end tests run the real engine executable against the stand-in
# script host, and read its screenshots back with SDL2_image.
if(TARGET marrowvane_exe)
  add_dependencies(${target} marrowvane_exe)
endif()
marrowvane_use_stand_in_host(${target})
target_link_libraries(${target} PRIVATE PkgConfig::SDL2 PkgConfig::SDL2_IMAGE)
