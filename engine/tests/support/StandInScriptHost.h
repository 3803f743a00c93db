#pragma once

// The stand-in script host: a small native program that keeps the script
// host contract (READY, STARTED on START, an answer and END_FRAME on each
// FRAME, exit on SHUTDOWN or at the end of its input) and misbehaves when
// told to, for tests of the engine's side of the pipes.
//
// How to use it
// -------------
// The build makes a folder holding an executable named "dotnet" that is the
// stand-in itself. Point DOTNET_ROOT at that folder and the engine's
// DotnetLocator finds it; the engine then starts it exactly as it would
// start dotnet (argument 1 is the script host assembly, which the stand-in
// never opens: any dummy file, or none, will do).
//
// To run the engine executable itself against it: make a folder L holding
// L/engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll (any
// file: ScriptHostLocator only tests that it exists) and the project in
// L/samples/<Game> (or run the engine with L as its current directory), put
// a game assembly file where the project's "mainAssembly" points, and start
// the engine with DOTNET_ROOT set to MARROWVANE_FAKE_DOTNET_DIR and the
// knobs below in its environment.
//
// In CMake, after engine/tests/support is added:
//     marrowvane_use_stand_in_host(<target>)
// makes <target> depend on the stand-in and defines for it
//     MARROWVANE_FAKE_DOTNET_DIR  the folder to put into DOTNET_ROOT
//     MARROWVANE_STAND_IN_HOST    the stand-in executable itself
// and puts engine/tests on its include path, so that
//     #include "support/StandInScriptHost.h"
// gives the names below. MARROWVANE_FAKE_DOTNET_DIR is also a CMake cache
// variable, for tests that run the engine executable through add_test.
//
// Knobs: environment variables, read once at start (the engine passes its
// environment on to the child, so set them before starting it).
//   MARROWVANE_STAND_IN_RECORD_DIR=<dir>   record into <dir> (created if
//       missing): argv.txt (every argument, argv[0] first, each followed by
//       a NUL byte), cwd.txt, pid.txt, fds.txt (the descriptors open at
//       start, one a line), signals.txt ("SIGPIPE default|ignored", then
//       "mask empty|mask not empty"), received.txt (every line received, LF
//       ended, written as it arrives), events.txt (how it ended: "shutdown",
//       "end of input").
//   MARROWVANE_STAND_IN_READY=normal|crlf|no-newline|none
//       how READY is written: "READY\n", "READY\r\n", "READY" with no line
//       end, or not at all. Default normal.
//   MARROWVANE_STAND_IN_READY_DELAY_MS=<ms>  sleep this long before READY.
//   MARROWVANE_STAND_IN_STDERR=<text>     write <text> and LF to standard
//       error before READY.
//   MARROWVANE_STAND_IN_LONG_LINE=<bytes>  write a line of that many 'x'
//       bytes before READY.
//   MARROWVANE_STAND_IN_EXIT_AT=before-ready|start|frame:<n>
//       exit instead of READY, on START (without STARTED), or on the n-th
//       FRAME (1-based, without answering it).
//   MARROWVANE_STAND_IN_EXIT_TEXT=<text>  write <text> (as it is, add your
//       own line ends) to standard output right before that exit.
//   MARROWVANE_STAND_IN_EXIT_CODE=<code>  the code of that exit (default 0).
//   MARROWVANE_STAND_IN_EXIT_SIGNAL=<n>   end by raising signal n instead.
//   MARROWVANE_STAND_IN_NO_STARTED=1      never answer START.
//   MARROWVANE_STAND_IN_SKIP_END_FRAME=<n>[,<n>...]  answer those FRAMEs
//       without END_FRAME.
//   MARROWVANE_STAND_IN_DELAY_FRAME=<n>:<ms>  answer the n-th FRAME late.
//   MARROWVANE_STAND_IN_ANSWER_FILE=<path>  bytes written before END_FRAME
//       for every FRAME, in the same write.
//   MARROWVANE_STAND_IN_IGNORE_SHUTDOWN=1  read SHUTDOWN and go on; ignore
//       SIGTERM; never exit on its own (only SIGKILL ends it).
//   MARROWVANE_STAND_IN_SHUTDOWN_DELAY_MS=<ms>  wait this long after
//       SHUTDOWN before exiting.
//   MARROWVANE_STAND_IN_FLOOD=before-ready|after-ready|frame:<n>
//       from then on write MARROWVANE_STAND_IN_FLOOD_LINE (default
//       "LOG|Info|flood") without pause, forever.
//   MARROWVANE_STAND_IN_NO_READ=1         after READY never read its input.
//   MARROWVANE_STAND_IN_CLOSE_INPUT=1     after READY close its standard
//       input and wait to be killed.

namespace Marrowvane::StandIn
{

inline constexpr const char* kRecordDir = "MARROWVANE_STAND_IN_RECORD_DIR";
inline constexpr const char* kReady = "MARROWVANE_STAND_IN_READY";
inline constexpr const char* kReadyDelayMs = "MARROWVANE_STAND_IN_READY_DELAY_MS";
inline constexpr const char* kStderr = "MARROWVANE_STAND_IN_STDERR";
inline constexpr const char* kLongLine = "MARROWVANE_STAND_IN_LONG_LINE";
inline constexpr const char* kExitAt = "MARROWVANE_STAND_IN_EXIT_AT";
inline constexpr const char* kExitText = "MARROWVANE_STAND_IN_EXIT_TEXT";
inline constexpr const char* kExitCode = "MARROWVANE_STAND_IN_EXIT_CODE";
inline constexpr const char* kExitSignal = "MARROWVANE_STAND_IN_EXIT_SIGNAL";
inline constexpr const char* kNoStarted = "MARROWVANE_STAND_IN_NO_STARTED";
inline constexpr const char* kSkipEndFrame = "MARROWVANE_STAND_IN_SKIP_END_FRAME";
inline constexpr const char* kDelayFrame = "MARROWVANE_STAND_IN_DELAY_FRAME";
inline constexpr const char* kAnswerFile = "MARROWVANE_STAND_IN_ANSWER_FILE";
inline constexpr const char* kIgnoreShutdown = "MARROWVANE_STAND_IN_IGNORE_SHUTDOWN";
inline constexpr const char* kShutdownDelayMs = "MARROWVANE_STAND_IN_SHUTDOWN_DELAY_MS";
inline constexpr const char* kFlood = "MARROWVANE_STAND_IN_FLOOD";
inline constexpr const char* kFloodLine = "MARROWVANE_STAND_IN_FLOOD_LINE";
inline constexpr const char* kNoRead = "MARROWVANE_STAND_IN_NO_READ";
inline constexpr const char* kCloseInput = "MARROWVANE_STAND_IN_CLOSE_INPUT";

inline constexpr const char* const kAllKnobs[] = {
    kRecordDir,       kReady,      kReadyDelayMs, kStderr,       kLongLine,   kExitAt,     kExitText,
    kExitCode,        kExitSignal, kNoStarted,    kSkipEndFrame, kDelayFrame, kAnswerFile, kIgnoreShutdown,
    kShutdownDelayMs, kFlood,      kFloodLine,    kNoRead,       kCloseInput};

// Files in the record folder.
inline constexpr const char* kArgvFile = "argv.txt";
inline constexpr const char* kCwdFile = "cwd.txt";
inline constexpr const char* kPidFile = "pid.txt";
inline constexpr const char* kFdsFile = "fds.txt";
inline constexpr const char* kSignalsFile = "signals.txt";
inline constexpr const char* kReceivedFile = "received.txt";
inline constexpr const char* kEventsFile = "events.txt";

} // namespace Marrowvane::StandIn
