using System;
using System.IO;

namespace Marrowvane.ScriptHost;

internal static class Program
{
    public static int Main(string[] args)
    {
        // Raw streams: the protocol is written in one buffered write per answer,
        // never through Console's line-flushing writer.
        // Game code must not read the engine's lines from stdin, nor write into the
        // protocol: Console.In is empty and Console.Out/Error become log lines.
        return ScriptHostSession.Run(args, Console.OpenStandardInput(), Console.OpenStandardOutput(), log =>
        {
            Console.SetIn(TextReader.Null);
            Console.SetOut(new ConsoleLogWriter(log, LogLevel.Info));
            Console.SetError(new ConsoleLogWriter(log, LogLevel.Error));
        });
    }
}
