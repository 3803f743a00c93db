# The C# tests (script host and game API) as one CTest test, when `dotnet` is
# on PATH. `dotnet test` builds what changed first. Labelled no-sanitize: the
# sanitizer pass has nothing to add to managed code.
find_program(MARROWVANE_DOTNET dotnet)
if(MARROWVANE_DOTNET)
  add_test(NAME csharp_tests
    COMMAND ${MARROWVANE_DOTNET} test ${CMAKE_CURRENT_LIST_DIR}/ScriptHost.Tests/Marrowvane.ScriptHost.Tests.csproj
      --nologo -v quiet --logger "console;verbosity=minimal")
  set_tests_properties(csharp_tests PROPERTIES
    LABELS no-sanitize
    TIMEOUT 900
    ENVIRONMENT "MSBUILDDISABLENODEREUSE=1;DOTNET_CLI_TELEMETRY_OPTOUT=1;DOTNET_NOLOGO=1")
else()
  message(STATUS "dotnet not found: the C# tests are not registered")
endif()
