# The frame round-trip benchmark talks to the stand-in script host, which is
# built with the tests.
if(COMMAND marrowvane_use_stand_in_host)
  marrowvane_use_stand_in_host(marrowvane_bench)
endif()
