using System;
using System.Collections.Generic;
using System.Threading;

namespace Marrowvane;

/// <summary>
/// Writes messages to the engine's console. A message with line breaks becomes one
/// console line per line. Messages logged from other threads are safe too: they are
/// sent with the next frame.
/// </summary>
public sealed class Logger
{
    // Messages from other threads wait for the game thread; beyond this many the
    // newest are dropped and counted.
    internal const int MaxQueuedMessages = 10_000;

    private readonly object gate = new();
    private readonly List<(LogLevel Level, string Message)> queued = new();
    private LineWriter? writer;
    private int ownerThread;
    private int droppedMessages;

    internal Logger()
    {
    }

    /// <summary>An information line.</summary>
    public void Info(string message) => Write(LogLevel.Info, message);

    /// <summary>A warning line.</summary>
    public void Warn(string message) => Write(LogLevel.Warn, message);

    /// <summary>An error line (it does not stop the game).</summary>
    public void Error(string message) => Write(LogLevel.Error, message);

    internal void Attach(LineWriter lineWriter)
    {
        writer = lineWriter;
        ownerThread = Environment.CurrentManagedThreadId;
        Drain();
    }

    internal void Write(LogLevel level, string? message)
    {
        message ??= string.Empty;
        if (writer != null && Environment.CurrentManagedThreadId == ownerThread)
        {
            WriteLines(writer, level, message);
            return;
        }
        lock (gate)
        {
            if (queued.Count < MaxQueuedMessages)
            {
                queued.Add((level, message));
            }
            else
            {
                droppedMessages++;
            }
        }
    }

    // Writes what other threads logged; runs on the game thread.
    internal void Drain()
    {
        if (writer == null)
        {
            return;
        }
        (LogLevel Level, string Message)[] messages;
        int dropped;
        lock (gate)
        {
            if (queued.Count == 0 && droppedMessages == 0)
            {
                return;
            }
            messages = queued.ToArray();
            dropped = droppedMessages;
            queued.Clear();
            droppedMessages = 0;
        }
        foreach (var (level, message) in messages)
        {
            WriteLines(writer, level, message);
        }
        if (dropped > 0)
        {
            WriteLines(writer, LogLevel.Warn, $"{dropped} log messages from other threads were dropped.");
        }
    }

    internal static void WriteLines(LineWriter writer, LogLevel level, ReadOnlySpan<char> message)
    {
        ReadOnlySpan<byte> tag = level switch
        {
            LogLevel.Warn => "LOG|Warn"u8,
            LogLevel.Error => "LOG|Error"u8,
            _ => "LOG|Info"u8,
        };
        while (true)
        {
            int lineEnd = message.IndexOfAny('\r', '\n');
            ReadOnlySpan<char> line = lineEnd < 0 ? message : message[..lineEnd];
            writer.Begin(tag);
            writer.Field(line);
            writer.EndLine();
            if (lineEnd < 0)
            {
                return;
            }
            // CR LF counts as one break.
            int next = lineEnd + 1;
            if (message[lineEnd] == '\r' && next < message.Length && message[next] == '\n')
            {
                next++;
            }
            message = message[next..];
            if (message.IsEmpty)
            {
                return;
            }
        }
    }
}
