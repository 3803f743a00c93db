#!/usr/bin/env bash
# Builds the C# side: the game API, the .NET script host, samples/BasicGame, the
# benchmark game and the C# tests (engine/csharp/Marrowvane.sln). Incremental:
# a second run with nothing changed only checks. Without `dotnet` on PATH it says
# so and succeeds, so that the native engine still builds and tests.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v dotnet >/dev/null 2>&1; then
  echo "dotnet not found: skipping the C# build (script host, BasicGame, C# tests)."
  exit 0
fi

# Build nodes that outlive the build would keep running after it.
export MSBUILDDISABLENODEREUSE=1
export DOTNET_CLI_TELEMETRY_OPTOUT=1 DOTNET_NOLOGO=1 DOTNET_SKIP_FIRST_TIME_EXPERIENCE=1

echo "== C# build (script host, game API, BasicGame)"
dotnet build engine/csharp/Marrowvane.sln -nologo -v quiet -clp:NoSummary -nodeReuse:false
echo "Script host: engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll"
