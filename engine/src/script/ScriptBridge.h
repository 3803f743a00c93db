#pragma once

// The script bridge: the script host child process, its pipes and the line
// protocol spoken over them.
//
// Line protocol
// -------------
// Lines are 8-bit text. The engine ends each line it writes with LF and never
// writes CR. A line from the script host ends at LF; one CR before the LF is
// dropped. Fields are separated by '|' with getline rules: an empty piece
// between two separators is a field, an empty piece after the last one is
// not ("RECT|1|2|" has three fields). No escaping, no quoting.
//
// Engine to script host:
//   START                       once after READY; answer STARTED within 5000 ms
//   FRAME|dt|keys|mx,my|buttons once per frame; answer lines, then END_FRAME,
//                               within 500 ms. dt in seconds, %g-like with 6
//                               significant digits; keys and buttons ascending
//                               comma lists (virtual-key codes; 0 left, 1 right,
//                               2 middle), empty when none is held
//   SHUTDOWN                    exit within 300 ms, or be killed
//
// Script host to engine (the first rule that matches wins):
//   READY / STARTED / END_FRAME          whole lines only
//   LOG|level|message                    Warn, Error, anything else is info;
//                                        the message may hold '|'
//   RECT|x|y|w|h|r|g|b                   exactly 8 fields
//   SPRITE|x|y|w|h|r|g|b|path[|flipX|flipY]  exactly 9 or 11; a flip is on
//                                        for "True" or "true" only
//   CAMERA|x|y[|zoom|viewWidth|viewHeight]   3 or more fields; zoom and the
//                                        view only with 6 or more
//   COLLIDER|id|x|y|w|h                  exactly 6 fields
//   DEBUG_RECT|x|y|w|h|r|g|b             exactly 8 fields
//   ERROR|message                        logged as an error
//   anything else not empty              logged as "[ScriptHost] " + line
// x, y, w, h, zoom, view: floats read as strtof reads them; r, g, b, id:
// integers read as strtol in base 10, colours kept to their low 8 bits.
// A data line with the wrong field count, a number that does not parse or is
// out of range, or a texture path that cannot be resolved is dropped whole
// and silently; a CAMERA line keeps the values it stored before the failing
// field. Received lines longer than 1 MiB are dropped with one warning.

#include "app/ProjectConfig.h"
#include "platform/ChildProcess.h"
#include "render/FrameSnapshot.h"
#include "script/LineAssembler.h"
#include "script/TexturePathCache.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Marrowvane
{

// How long the engine waits for the script host. The defaults are the
// engine's; tests shorten them where the length itself is not the point.
struct ScriptBridgeTimeouts
{
    static constexpr std::chrono::milliseconds kReady{5000};
    static constexpr std::chrono::milliseconds kStarted{5000};
    static constexpr std::chrono::milliseconds kFrame{500};
    static constexpr std::chrono::milliseconds kShutdownGrace{300};

    std::chrono::milliseconds ready = kReady;
    std::chrono::milliseconds started = kStarted;
    std::chrono::milliseconds frame = kFrame;
    std::chrono::milliseconds shutdownGrace = kShutdownGrace;
};

class ScriptBridge
{
public:
    // Lines the engine could not hand to the child yet wait in memory up to
    // this size; further lines are dropped.
    static constexpr std::size_t kMaxPendingInput = 1048576;
    // Records of one kind that one frame may hold; further ones are dropped.
    static constexpr std::size_t kMaxRecordsPerList = 262144;
    // The most one read takes from the output pipe.
    static constexpr std::size_t kReadChunk = 65536;

    explicit ScriptBridge(ScriptBridgeTimeouts timeouts = {});
    ~ScriptBridge();
    ScriptBridge(const ScriptBridge&) = delete;
    ScriptBridge& operator=(const ScriptBridge&) = delete;

    // Starts dotnet with the script host and waits for READY. On failure
    // writes one error line, leaves nothing open and returns false. Once per
    // bridge.
    bool Start(const ScriptHostConfig& config);
    // START, then wait for STARTED. Checks nothing.
    void SendStart();
    // Empties the frame's lists, sends the FRAME line of dt and the input
    // state, and handles the answer until END_FRAME or the frame time-out.
    void ExchangeFrame(float dt);
    // SHUTDOWN, the grace time, then the child is killed if it still runs;
    // closes everything. A second call does nothing.
    void Shutdown();

    // Queues line and LF for the child and writes what the pipe takes now;
    // never blocks. Nothing happens without a child.
    void SendLine(std::string_view line);
    // Writes what waits for the child and handles what it wrote. After the
    // first read it stops at deadline (the default: at once), so a child
    // that writes without pause cannot hold it.
    void PollOutput(std::chrono::steady_clock::time_point deadline = {});
    // Polls until word ("READY", "STARTED", "END_FRAME") has arrived, the
    // child has ended, or timeout has passed, sleeping on the pipe in the
    // meantime; then polls once more. Reports nothing: see the flags.
    void WaitFor(std::string_view word, std::chrono::milliseconds timeout);
    // LogError(message), Shutdown(), false.
    bool Fail(const std::string& message);

    // One line from the script host, without its line end.
    void HandleLine(std::string_view line);
    // Bytes as read from the child: cut into lines, each handled.
    void ReceiveOutput(std::string_view bytes);
    // Empties the rects, sprites, debug rects and colliders, and clears
    // endFrameReceived; the camera stays.
    void ClearFrame();
    // The base of sprite texture paths; Start sets it from its config.
    void SetProjectDirectory(const std::filesystem::path& directory);

    const FrameSnapshot& GetSnapshot() const { return snapshot; }
    const std::vector<ColliderInfo>& GetColliders() const { return colliders; }
    bool IsReadyReceived() const { return readyReceived; }
    bool IsStartedReceived() const { return startedReceived; }
    bool IsEndFrameReceived() const { return endFrameReceived; }
    // The child ended on its own (and was reported).
    bool HasChildEnded() const { return childEnded; }
    bool IsChildRunning() const { return child.IsRunning(); }
    long ChildId() const { return child.Id(); }
    std::size_t PendingInputSize() const { return pendingInput.size(); }
    const TexturePathCache& GetTexturePathCache() const { return texturePaths; }
    const LineAssembler& GetLineAssembler() const { return lineBuffer; }

private:
    using Clock = std::chrono::steady_clock;

    void PollUntil(Clock::time_point deadline, std::string_view word);
    void ReadOutput(Clock::time_point deadline, std::string_view word, int minimumReads);
    void FlushInput();
    void ReportChildExit(const ChildExit& exit);
    bool WordReceived(std::string_view word) const;
    void ReportRecordLimit();

    void ParseLog(std::string_view line);
    void ParseRect(std::string_view fields, std::vector<RectCommand>& target);
    void ParseSprite(std::string_view fields);
    void ParseCamera(std::string_view line);
    void ParseCollider(std::string_view fields);

    // The child process with both pipe ends.
    ChildProcess child;
    std::filesystem::path projectDirectory;
    // Output read from the child that does not end in LF yet.
    LineAssembler lineBuffer;
    FrameSnapshot snapshot;
    std::vector<ColliderInfo> colliders;
    bool readyReceived = false;
    bool startedReceived = false;
    bool endFrameReceived = false;

    ScriptBridgeTimeouts timeouts;
    // Bytes for the child that its pipe did not take yet.
    std::string pendingInput;
    bool inputDropReported = false;
    bool inputLost = false;
    bool childEnded = false;
    bool shuttingDown = false;
    bool recordLimitReported = false;
    Clock::time_point lastExitCheck{};
    std::vector<char> readBuffer;
    std::string frameLine;
    TexturePathCache texturePaths;
};

} // namespace Marrowvane
