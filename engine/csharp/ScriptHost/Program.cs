using System;

namespace Marrowvane.ScriptHost;

internal static class Program
{
    public static int Main(string[] args)
    {
        // Raw streams: the protocol is written in one buffered write per answer,
        // never through Console's line-flushing writer.
        return ScriptHostSession.Run(args, Console.OpenStandardInput(), Console.OpenStandardOutput(), log =>
        {
            Console.SetOut(new ConsoleLogWriter(log, LogLevel.Info));
            Console.SetError(new ConsoleLogWriter(log, LogLevel.Error));
        });
    }
}
