using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using Marrowvane.ScriptHost;

namespace Marrowvane.Tests;

// Runs games in-process: a GameRunner over a memory stream, or a whole script
// host session over in-memory stdin and stdout.
internal static class Harness
{
    public static string TestAssembly => typeof(Harness).Assembly.Location;

    public static string SourceDirectory =>
        Path.GetFullPath(Path.Combine(AppContext.BaseDirectory, "../../../../../.."));

    public static (GameRunner Runner, Func<List<string>> TakeLines) Runner(Game game, string startScene = "", float fixedDt = 1f / 60f)
    {
        var output = new MemoryStream();
        var writer = new LineWriter(output);
        var runner = new GameRunner(game, new GameSettings(".", startScene, fixedDt, 0, 0), writer);
        return (runner, () =>
        {
            writer.Flush();
            List<string> lines = Lines(output.ToArray());
            output.SetLength(0);
            return lines;
        });
    }

    // The session's exit code and every line it wrote.
    public static (int ExitCode, List<string> Lines) Session(string[] args, params string[] engineLines) =>
        Session(args, null, engineLines);

    public static (int ExitCode, List<string> Lines) Session(string[] args, Action<Logger>? redirectConsole, params string[] engineLines)
    {
        var input = new MemoryStream(Encoding.UTF8.GetBytes(string.Concat(engineLines.Select(l => l + "\n"))));
        var output = new MemoryStream();
        int exitCode = ScriptHostSession.Run(args, input, output, redirectConsole);
        return (exitCode, Lines(output.ToArray()));
    }

    public static string[] Args(string mainClass, string startScene = "", string assembly = "") =>
        new[] { assembly.Length > 0 ? assembly : TestAssembly, mainClass, ".", startScene, "0.016667", "0.000000", "0.000000" };

    public static List<string> Lines(byte[] bytes)
    {
        string text = Encoding.UTF8.GetString(bytes);
        Assert.True(text.Length == 0 || text.EndsWith('\n'), "output ends in LF");
        return text.Split('\n', StringSplitOptions.None).SkipLast(1).ToList();
    }

    // The lines of each answer: up to and including each END_FRAME.
    public static List<List<string>> Frames(IEnumerable<string> lines)
    {
        var frames = new List<List<string>>();
        var current = new List<string>();
        foreach (string line in lines.SkipWhile(l => l != "STARTED").Skip(1))
        {
            current.Add(line);
            if (line == "END_FRAME")
            {
                frames.Add(current);
                current = new List<string>();
            }
        }
        return frames;
    }
}
