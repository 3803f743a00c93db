#include "script/ScriptBridge.h"

#include "core/Log.h"
#include "script/DotnetLocator.h"
#include "script/FieldReader.h"
#include "script/FrameLine.h"
#include "script/LineFields.h"
#include "script/ProtocolNumbers.h"
#include "script/ScriptHostCommand.h"

#include <algorithm>
#include <exception>

namespace Marrowvane
{

namespace
{

// The longest sleep between two looks at the clock inside a wait.
constexpr std::chrono::milliseconds kPollStep{1};

// How often a child whose output is still open is asked whether it ended.
constexpr std::chrono::milliseconds kExitCheckInterval{50};

// A pipe holds at most 1 MiB on Linux; after the child has ended, this many
// reads take all it left, even past the wait's deadline.
constexpr int kReadsAfterExit = 16;

bool IsTrueWord(std::string_view field)
{
    return field == "True" || field == "true";
}

// Colours on the wire are decimal integers cut to their low 8 bits.
Color3 LowBits(std::int32_t r, std::int32_t g, std::int32_t b)
{
    return Color3{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

} // namespace

ScriptBridge::ScriptBridge(ScriptBridgeTimeouts timeouts) : timeouts(timeouts), readBuffer(kReadChunk) {}

ScriptBridge::~ScriptBridge()
{
    Shutdown();
}

bool ScriptBridge::Start(const ScriptHostConfig& config)
{
    SetProjectDirectory(config.projectDirectory);

    const std::filesystem::path dotnetHost = DotnetLocator();
    const std::vector<std::string> arguments = ScriptHostArguments(dotnetHost, config);

    switch (child.Start(dotnetHost, arguments, config.projectDirectory))
    {
    case ChildStartError::None: break;
    case ChildStartError::InputPipe: return Fail("Could not create stdin pipe.");
    case ChildStartError::InputPipeSetup: return Fail("Could not configure stdin pipe.");
    case ChildStartError::OutputPipe: return Fail("Could not create stdout pipe.");
    case ChildStartError::OutputPipeSetup: return Fail("Could not configure stdout pipe.");
    case ChildStartError::Spawn:
        return Fail("Could not start .NET script host. Make sure dotnet is available on PATH.");
    }

    WaitFor("READY", timeouts.ready);
    if (readyReceived)
    {
        LogInfo("C# script host started.");
        return true;
    }
    return Fail("Script host did not become ready.");
}

void ScriptBridge::SendStart()
{
    SendLine("START");
    WaitFor("STARTED", timeouts.started);
}

void ScriptBridge::ExchangeFrame(float dt)
{
    ClearFrame();
    ComposeFrameLine(dt, frameLine);
    SendLine(frameLine);
    WaitFor("END_FRAME", timeouts.frame);
}

void ScriptBridge::Shutdown()
{
    if (child.IsRunning())
    {
        shuttingDown = true;
        SendLine("SHUTDOWN");
        // While the child winds down its output is still read, so that it
        // never blocks on a full pipe and its last lines are not lost.
        const Clock::time_point graceEnd = Clock::now() + timeouts.shutdownGrace;
        for (;;)
        {
            PollUntil(graceEnd, {});
            const Clock::duration left = graceEnd - Clock::now();
            if (!child.IsRunning() || left <= Clock::duration::zero())
            {
                break;
            }
            child.WaitForIo(std::min<Clock::duration>(left, kPollStep), !pendingInput.empty());
        }
        if (child.IsRunning())
        {
            child.Kill();
        }
        shuttingDown = false;
    }
    child.Close();
    pendingInput.clear();
}

bool ScriptBridge::Fail(const std::string& message)
{
    LogError(message);
    Shutdown();
    return false;
}

void ScriptBridge::SendLine(std::string_view line)
{
    if (!child.HasInput() || childEnded)
    {
        return;
    }
    if (pendingInput.size() + line.size() + 1 > kMaxPendingInput)
    {
        if (!inputDropReported)
        {
            LogError("Script host is not reading its input; lines are being dropped.");
            inputDropReported = true;
        }
        return;
    }
    pendingInput.append(line);
    pendingInput += '\n';
    FlushInput();
}

void ScriptBridge::FlushInput()
{
    if (pendingInput.empty())
    {
        return;
    }
    const std::ptrdiff_t written = child.WriteSome(pendingInput);
    if (written < 0)
    {
        // The child's side of its input is gone: nothing more can reach it.
        // Said at the end of the wait, unless the child turns out to have
        // ended, which says it better.
        pendingInput.clear();
        inputLost = true;
        return;
    }
    pendingInput.erase(0, static_cast<std::size_t>(written));
    if (pendingInput.empty())
    {
        inputDropReported = false;
    }
}

void ScriptBridge::PollOutput(std::chrono::steady_clock::time_point deadline)
{
    PollUntil(deadline, {});
}

void ScriptBridge::PollUntil(Clock::time_point deadline, std::string_view word)
{
    FlushInput();
    // A child that ends closes its output, so its end is looked for when the
    // output has ended, and otherwise only now and then (a process it
    // started may hold the pipe open). When it is found that way, it was
    // reaped before reading, so that all it wrote is handled before its end
    // is reported.
    ChildExit exit;
    bool exited = false;
    if (child.IsRunning() && child.HasOutput())
    {
        const Clock::time_point now = Clock::now();
        if (now - lastExitCheck >= kExitCheckInterval)
        {
            lastExitCheck = now;
            exited = child.PollExit(exit);
        }
    }
    ReadOutput(deadline, exited ? std::string_view{} : word, exited ? kReadsAfterExit : 1);
    if (!exited && child.IsRunning() && !child.HasOutput())
    {
        exited = child.PollExit(exit);
    }
    if (exited && !shuttingDown)
    {
        ReportChildExit(exit);
        childEnded = true;
    }
}

void ScriptBridge::ReadOutput(Clock::time_point deadline, std::string_view word, int minimumReads)
{
    for (int reads = 1; child.HasOutput(); ++reads)
    {
        const std::ptrdiff_t count = child.ReadSome(readBuffer.data(), readBuffer.size());
        if (count == 0)
        {
            return;
        }
        if (count < 0)
        {
            // End of the output: text left without its LF is shown, never
            // taken for a protocol line.
            lineBuffer.Finish([](std::string_view text) { LogInfo("[ScriptHost] " + std::string(text)); });
            return;
        }
        ReceiveOutput(std::string_view(readBuffer.data(), static_cast<std::size_t>(count)));
        if (reads >= minimumReads && (WordReceived(word) || Clock::now() >= deadline))
        {
            return;
        }
    }
}

void ScriptBridge::WaitFor(std::string_view word, std::chrono::milliseconds timeout)
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + timeout;
    // Sleeping on the pipe comes first: it returns at once when output is
    // waiting, and a read of an empty pipe is saved. A child that has ended
    // is not waited for.
    bool satisfied = WordReceived(word) || childEnded;
    if (satisfied)
    {
        PollUntil(deadline, word);
    }
    while (!satisfied && Clock::now() - start < timeout)
    {
        child.WaitForIo(std::min<Clock::duration>(deadline - Clock::now(), kPollStep), !pendingInput.empty());
        PollUntil(deadline, word);
        satisfied = WordReceived(word) || childEnded;
    }
    if (!satisfied)
    {
        // A line that arrived as the time ran out still counts.
        PollUntil(deadline, word);
    }
    if (inputLost && !childEnded && !inputDropReported && !shuttingDown)
    {
        LogError("Script host is not reading its input; lines are being dropped.");
        inputDropReported = true;
    }
}

bool ScriptBridge::WordReceived(std::string_view word) const
{
    return (word == "READY" && readyReceived) || (word == "STARTED" && startedReceived) ||
           (word == "END_FRAME" && endFrameReceived);
}

void ScriptBridge::ReportChildExit(const ChildExit& exit)
{
    if (exit.bySignal)
    {
        LogError("Script host was terminated by signal " + std::to_string(exit.value) + ".");
    }
    else
    {
        LogError("Script host exited with code " + std::to_string(exit.value) + ".");
    }
}

void ScriptBridge::ReceiveOutput(std::string_view bytes)
{
    lineBuffer.Feed(bytes, [this](std::string_view line) { HandleLine(line); });
}

void ScriptBridge::ClearFrame()
{
    snapshot.rects.clear();
    snapshot.sprites.clear();
    snapshot.debugRects.clear();
    colliders.clear();
    endFrameReceived = false;
    recordLimitReported = false;
}

void ScriptBridge::SetProjectDirectory(const std::filesystem::path& directory)
{
    projectDirectory = directory;
    texturePaths.SetBase(directory);
}

void ScriptBridge::HandleLine(std::string_view line)
{
    try
    {
        if (line.empty())
        {
            return;
        }
        // Tags are told apart by their first letter; within one letter the
        // order is that of the protocol.
        switch (line.front())
        {
        case 'R':
            if (line == "READY")
            {
                readyReceived = true;
                return;
            }
            if (line.starts_with("RECT|"))
            {
                ParseRect(line.substr(5), snapshot.rects);
                return;
            }
            break;
        case 'S':
            if (line == "STARTED")
            {
                startedReceived = true;
                return;
            }
            if (line.starts_with("SPRITE|"))
            {
                ParseSprite(line.substr(7));
                return;
            }
            break;
        case 'E':
            if (line == "END_FRAME")
            {
                endFrameReceived = true;
                return;
            }
            if (line.starts_with("ERROR|"))
            {
                LogError(std::string(line.substr(6)));
                return;
            }
            break;
        case 'L':
            if (line.starts_with("LOG|"))
            {
                ParseLog(line);
                return;
            }
            break;
        case 'C':
            if (line.starts_with("CAMERA|"))
            {
                ParseCamera(line);
                return;
            }
            if (line.starts_with("COLLIDER|"))
            {
                ParseCollider(line.substr(9));
                return;
            }
            break;
        case 'D':
            if (line.starts_with("DEBUG_RECT|"))
            {
                ParseRect(line.substr(11), snapshot.debugRects);
                return;
            }
            break;
        default: break;
        }
        LogInfo("[ScriptHost] " + std::string(line));
    }
    catch (const std::exception&)
    {
        // Out of memory for a record or a message: the line is dropped and
        // the engine goes on.
    }
}

void ScriptBridge::ParseLog(std::string_view line)
{
    const std::size_t bar = line.find('|', 4);
    if (bar == std::string_view::npos)
    {
        return;
    }
    const std::string_view level = line.substr(4, bar - 4);
    const std::string message(line.substr(bar + 1));
    if (level == "Warn")
    {
        LogWarn(message);
    }
    else if (level == "Error")
    {
        LogError(message);
    }
    else
    {
        LogInfo(message);
    }
}

// The data handlers get the fields after the tag and read them in one pass:
// each record is built completely and appended only when every field read
// and no field is left over.

void ScriptBridge::ParseRect(std::string_view fields, std::vector<RectCommand>& target)
{
    FieldReader reader(fields);
    RectCommand rect;
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    if (!reader.Float(rect.x) || !reader.Float(rect.y) || !reader.Float(rect.width) ||
        !reader.Float(rect.height) || !reader.Int(r) || !reader.Int(g) || !reader.Int(b) || !reader.AtEnd())
    {
        return;
    }
    rect.color = LowBits(r, g, b);
    if (target.size() >= kMaxRecordsPerList)
    {
        ReportRecordLimit();
        return;
    }
    target.push_back(rect);
}

void ScriptBridge::ParseSprite(std::string_view fields)
{
    FieldReader reader(fields);
    SpriteCommand sprite;
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    std::string_view texture;
    if (!reader.Float(sprite.x) || !reader.Float(sprite.y) || !reader.Float(sprite.width) ||
        !reader.Float(sprite.height) || !reader.Int(r) || !reader.Int(g) || !reader.Int(b) ||
        !reader.Text(texture))
    {
        return;
    }
    // 9 fields in all, or 11 with the two flips.
    if (!reader.AtEnd())
    {
        std::string_view flipX;
        std::string_view flipY;
        if (!reader.Text(flipX) || !reader.Text(flipY) || !reader.AtEnd())
        {
            return;
        }
        sprite.flipX = IsTrueWord(flipX);
        sprite.flipY = IsTrueWord(flipY);
    }
    if (snapshot.sprites.size() >= kMaxRecordsPerList)
    {
        ReportRecordLimit();
        return;
    }
    const std::filesystem::path* texturePath = texturePaths.Resolve(texture);
    if (texturePath == nullptr)
    {
        return;
    }
    sprite.color = LowBits(r, g, b);
    sprite.texturePath = *texturePath;
    snapshot.sprites.push_back(std::move(sprite));
}

void ScriptBridge::ParseCamera(std::string_view line)
{
    const LineFields fields(line);
    if (fields.Count() < 3)
    {
        return;
    }
    // Each value is stored as soon as it is read: a failing field keeps
    // the ones before it.
    Camera& camera = snapshot.camera;
    if (!ParseFloatField(fields[1], camera.x) || !ParseFloatField(fields[2], camera.y))
    {
        return;
    }
    if (fields.Count() >= 6)
    {
        static_cast<void>(ParseFloatField(fields[3], camera.zoom) &&
                          ParseFloatField(fields[4], camera.viewWidth) &&
                          ParseFloatField(fields[5], camera.viewHeight));
    }
}

void ScriptBridge::ParseCollider(std::string_view fields)
{
    FieldReader reader(fields);
    ColliderInfo collider;
    if (!reader.Int(collider.id) || !reader.Float(collider.x) || !reader.Float(collider.y) ||
        !reader.Float(collider.width) || !reader.Float(collider.height) || !reader.AtEnd())
    {
        return;
    }
    if (colliders.size() >= kMaxRecordsPerList)
    {
        ReportRecordLimit();
        return;
    }
    colliders.push_back(collider);
}

void ScriptBridge::ReportRecordLimit()
{
    if (!recordLimitReported)
    {
        LogWarn("Script host sent more than " + std::to_string(kMaxRecordsPerList) +
                " records of one kind in one frame; the rest were dropped.");
        recordLimitReported = true;
    }
}

} // namespace Marrowvane
