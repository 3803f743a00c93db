# The end-to-end tests run the real engine executable.
if(TARGET marrowvane_exe)
  add_dependencies(${target} marrowvane_exe)
endif()
