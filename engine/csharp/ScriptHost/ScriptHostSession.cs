using System;
using System.IO;
using System.Text;

namespace Marrowvane.ScriptHost;

// The script host's side of the line protocol. Engine to host: START, FRAME|...,
// SHUTDOWN. Host to engine: READY once the game is loaded, STARTED after START,
// and for each FRAME the frame's lines followed by END_FRAME. Each answer is
// buffered and written with one flush. SHUTDOWN or the end of the input ends the
// session with exit code 0; a game that cannot be loaded gives one ERROR line and
// exit code 1 without READY.
internal static class ScriptHostSession
{
    public const int ExitOk = 0;
    public const int ExitFailed = 1;

    public static int Run(string[] args, Stream input, Stream output, Action<Logger>? redirectConsole = null)
    {
        var writer = new LineWriter(output);
        var hostLog = new Logger();
        hostLog.Attach(writer);
        redirectConsole?.Invoke(hostLog);
        try
        {
            GameRunner? runner = Load(args, writer);
            if (runner == null)
            {
                hostLog.Drain();
                writer.Flush();
                return ExitFailed;
            }
            writer.Word("READY"u8);
            hostLog.Drain();
            writer.Flush();
            Serve(new LineReader(input), runner, writer, hostLog);
            return ExitOk;
        }
        catch (IOException)
        {
            // The engine closed the pipes; there is no one left to tell.
            return ExitOk;
        }
        catch (Exception exception)
        {
            // A fault of the script host itself, not of the game: say so and stop.
            WriteError(writer, $"Script host failed: {ErrorReport.Describe(exception)}");
            Logger.WriteLines(writer, LogLevel.Error, exception.StackTrace ?? string.Empty);
            writer.Flush();
            return ExitFailed;
        }
    }

    private static GameRunner? Load(string[] args, LineWriter writer)
    {
        if (!HostArguments.TryParse(args, out HostArguments? arguments, out string error))
        {
            WriteError(writer, error);
            return null;
        }
        Game? game = GameLoader.TryCreate(arguments!.GameAssemblyPath, arguments.MainClass, out GameLoader.Failure? failure);
        if (game == null)
        {
            WriteError(writer, failure!.Message);
            if (failure.GameException?.StackTrace is string stack)
            {
                Logger.WriteLines(writer, LogLevel.Error, stack);
            }
            return null;
        }
        return new GameRunner(game, arguments.ToSettings(), writer);
    }

    private static void Serve(LineReader reader, GameRunner runner, LineWriter writer, Logger hostLog)
    {
        int skippedReported = 0;
        while (reader.TryReadLine(out ReadOnlySpan<byte> line))
        {
            if (reader.SkippedLines != skippedReported)
            {
                skippedReported = reader.SkippedLines;
                hostLog.Warn($"Skipped a line from the engine longer than {LineReader.MaxLineLength} bytes.");
            }
            if (line.StartsWith("FRAME|"u8))
            {
                runner.Frame(line);
                Answer(writer, hostLog, "END_FRAME"u8);
            }
            else if (line.SequenceEqual("START"u8))
            {
                runner.Start();
                Answer(writer, hostLog, "STARTED"u8);
            }
            else if (line.SequenceEqual("SHUTDOWN"u8))
            {
                break;
            }
            else if (!line.IsEmpty)
            {
                hostLog.Warn($"Ignored a line from the engine: {Encoding.UTF8.GetString(line)}");
            }
        }
        runner.Stop();
        hostLog.Drain();
        writer.Flush();
    }

    private static void Answer(LineWriter writer, Logger hostLog, ReadOnlySpan<byte> word)
    {
        hostLog.Drain();
        writer.Word(word);
        writer.Flush();
    }

    private static void WriteError(LineWriter writer, string message)
    {
        writer.Begin("ERROR"u8);
        writer.Field(ErrorReport.OneLine(message).AsSpan());
        writer.EndLine();
    }
}
