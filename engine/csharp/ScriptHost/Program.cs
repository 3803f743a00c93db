using System;
using System.IO;

namespace Marrowvane.ScriptHost;

internal static class Program
{
    public static int Main(string[] args)
    {
        Stream stdout = Console.OpenStandardOutput();
        // An exception escaping a thread the game started ends the process; the
        // engine should hear why. One short line, written on its own.
        AppDomain.CurrentDomain.UnhandledException += (_, e) =>
        {
            string what = e.ExceptionObject is Exception exception ? ErrorReport.Describe(exception) : "unknown error";
            byte[] line = System.Text.Encoding.UTF8.GetBytes($"\nERROR|Script host stopped: unhandled {what}\n");
            stdout.Write(line);
            stdout.Flush();
        };
        // Raw streams: the protocol is written in one buffered write per answer,
        // never through Console's line-flushing writer.
        // Game code must not read the engine's lines from stdin, nor write into the
        // protocol: Console.In is empty and Console.Out/Error become log lines.
        return ScriptHostSession.Run(args, Console.OpenStandardInput(), stdout, log =>
        {
            Console.SetIn(TextReader.Null);
            Console.SetOut(new ConsoleLogWriter(log, LogLevel.Info));
            Console.SetError(new ConsoleLogWriter(log, LogLevel.Error));
        });
    }
}
