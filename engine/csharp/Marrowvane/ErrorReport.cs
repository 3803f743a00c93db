using System;

namespace Marrowvane;

// How an exception from game code reaches the engine's console: one ERROR line
// naming where it happened, the exception type and message (line breaks become
// blanks), then its stack trace and those of its inner exceptions as LOG|Error| lines.
internal static class ErrorReport
{
    public static void Write(LineWriter writer, string where, Exception exception)
    {
        writer.Begin("ERROR"u8);
        writer.Field($"{where}: {Describe(exception)}".AsSpan());
        writer.EndLine();
        WriteStack(writer, exception);
        for (Exception? inner = exception.InnerException; inner != null; inner = inner.InnerException)
        {
            Logger.WriteLines(writer, LogLevel.Error, $"Caused by {Describe(inner)}");
            WriteStack(writer, inner);
        }
    }

    // "System.InvalidOperationException: message" on one line.
    public static string Describe(Exception exception) =>
        $"{exception.GetType().FullName}: {OneLine(exception.Message)}";

    public static string OneLine(string text) =>
        text.Replace("\r\n", " ").Replace('\r', ' ').Replace('\n', ' ');

    private static void WriteStack(LineWriter writer, Exception exception)
    {
        if (!string.IsNullOrEmpty(exception.StackTrace))
        {
            Logger.WriteLines(writer, LogLevel.Error, exception.StackTrace);
        }
    }
}
