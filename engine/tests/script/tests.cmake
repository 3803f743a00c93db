# The script tests start the stand-in script host through DOTNET_ROOT.
marrowvane_use_stand_in_host(${target})
