using System;
using System.IO;
using Marrowvane.ScriptHost;
using System.Linq;

namespace Marrowvane.Tests;

// The protocol and its error paths, through a whole session over in-memory streams.
public class SessionTests
{
    [Fact]
    public void HandshakesAndOneAnswerPerFrame()
    {
        var (exitCode, lines) = Harness.Session(Harness.Args(typeof(DrawingGame).FullName!),
            "START", "FRAME|0.016||0,0|", "FRAME|0.016||0,0|", "SHUTDOWN", "FRAME|0.016||0,0|");
        Assert.Equal(0, exitCode);
        Assert.Equal(new[] { "READY", "STARTED" }, lines.Take(2));
        var frames = Harness.Frames(lines);
        Assert.Equal(2, frames.Count); // nothing after SHUTDOWN
        Assert.All(frames, f => Assert.Equal(new[] { "RECT", "SPRITE", "DEBUG_RECT", "CAMERA", "END_FRAME" },
                                             f.Select(l => l.Split('|')[0])));
        Assert.Equal("END_FRAME", lines[^1]);
    }

    [Fact]
    public void EndOfInputEndsTheSession()
    {
        var (exitCode, lines) = Harness.Session(Harness.Args(typeof(RecordingGame).FullName!), "START");
        Assert.Equal(0, exitCode);
        Assert.Equal(new[] { "READY", "STARTED" }, lines);
    }

    [Fact]
    public void ExceptionInUpdateIsReportedAndTheGameGoesOn()
    {
        var game = new ThrowingGame();
        var (runner, take) = Harness.Runner(game);
        runner.Frame("FRAME|0.016||0,0|"u8);
        var lines = take();
        Assert.Equal("ERROR|ThrowingGame.Update: System.InvalidOperationException: boom second line", lines[0]);
        Assert.StartsWith("LOG|Error|   at Marrowvane.Tests.ThrowingGame.Update", lines[1]);
        Assert.Contains("RECT|1.5|2|3|4|255|255|255", lines); // Draw still ran
        runner.Frame("FRAME|0.016||0,0|"u8);
        Assert.Equal(2, game.Updates);
        Assert.StartsWith("ERROR|ThrowingGame.Update:", take()[0]);
    }

    [Fact]
    public void ExceptionInUpdateStillEndsTheFrame()
    {
        var (exitCode, lines) = Harness.Session(Harness.Args(typeof(ThrowingGame).FullName!),
            "START", "FRAME|0.016||0,0|", "FRAME|0.016||0,0|");
        Assert.Equal(0, exitCode);
        var frames = Harness.Frames(lines);
        Assert.Equal(2, frames.Count);
        Assert.All(frames, f =>
        {
            Assert.StartsWith("ERROR|ThrowingGame.Update: System.InvalidOperationException: boom", f[0]);
            Assert.Contains(f, l => l.StartsWith("LOG|Error|   at "));
            Assert.Equal("END_FRAME", f[^1]);
        });
    }

    [Fact]
    public void ExceptionInStartStillAnswersStarted()
    {
        var (exitCode, lines) = Harness.Session(Harness.Args(typeof(ThrowingStartGame).FullName!), "START", "FRAME|0||0,0|");
        Assert.Equal(0, exitCode);
        Assert.Equal("READY", lines[0]);
        Assert.Equal("ERROR|ThrowingStartGame.Start: System.ArgumentException: bad start", lines[1]);
        Assert.Contains("STARTED", lines);
        Assert.Equal("END_FRAME", lines[^1]);
    }

    [Fact]
    public void FrameBeforeStartStartsTheGame()
    {
        var game = new RecordingGame();
        var (runner, _) = Harness.Runner(game);
        runner.Frame("FRAME|0||0,0|"u8);
        runner.Start();
        Assert.Equal(new[] { "Start", "Update 0", "Draw" }, game.Calls);
    }

    [Fact]
    public void StopRunsOnShutdownAndAtTheEndOfInput()
    {
        var game = new RecordingGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        runner.Stop();
        runner.Stop();
        Assert.Equal(new[] { "Start", "Stop" }, game.Calls);
    }

    [Fact]
    public void UnknownEngineLineIsIgnoredWithAWarning()
    {
        var (_, lines) = Harness.Session(Harness.Args(typeof(RecordingGame).FullName!), "START", "HELLO", "", "FRAME|0||0,0|");
        Assert.Contains("LOG|Warn|Ignored a line from the engine: HELLO", lines);
        Assert.Equal("END_FRAME", lines[^1]);
    }

    [Fact]
    public void ConsoleOutputOfGameCodeBecomesLogLines()
    {
        TextWriter savedOut = Console.Out, savedError = Console.Error;
        try
        {
            var (_, lines) = Harness.Session(Harness.Args(typeof(ConsoleGame).FullName!), log =>
            {
                Console.SetOut(new ConsoleLogWriter(log, LogLevel.Info));
                Console.SetError(new ConsoleLogWriter(log, LogLevel.Error));
            }, "START", "FRAME|0||0,0|");
            int end = lines.IndexOf("END_FRAME");
            Assert.True(lines.IndexOf("LOG|Info|half a line") is int at && at > 0 && at < end);
            Assert.Contains("LOG|Error|oops", lines);
        }
        finally
        {
            Console.SetOut(savedOut);
            Console.SetError(savedError);
        }
    }

    [Theory]
    [InlineData("Marrowvane.Tests.Missing", "ERROR|Main class 'Marrowvane.Tests.Missing' not found in Marrowvane.ScriptHost.Tests.dll. Classes deriving from Marrowvane.Game there: ")]
    [InlineData("Marrowvane.Tests.NotAGame", "ERROR|Main class 'Marrowvane.Tests.NotAGame' does not derive from Marrowvane.Game.")]
    [InlineData("Marrowvane.Tests.AbstractGame", "ERROR|Main class 'Marrowvane.Tests.AbstractGame' cannot be created")]
    [InlineData("Marrowvane.Tests.NoDefaultConstructorGame", "ERROR|Main class 'Marrowvane.Tests.NoDefaultConstructorGame' cannot be created")]
    [InlineData("Marrowvane.Tests.ThrowingConstructorGame", "ERROR|Main class 'Marrowvane.Tests.ThrowingConstructorGame' could not be created: its constructor threw System.InvalidOperationException: no way")]
    [InlineData("", "ERROR|No main class given: project.json needs a \"mainClass\".")]
    public void BadMainClassFailsWithoutReady(string mainClass, string expected)
    {
        var (exitCode, lines) = Harness.Session(Harness.Args(mainClass), "START");
        Assert.Equal(1, exitCode);
        Assert.StartsWith(expected, lines[0]);
        Assert.Single(lines, l => l.StartsWith("ERROR|"));
        Assert.DoesNotContain("READY", lines);
        Assert.All(lines.Skip(1), l => Assert.StartsWith("LOG|Error|", l));
    }

    [Fact]
    public void MissingCandidatesAreListed()
    {
        var (_, lines) = Harness.Session(Harness.Args("Nope"));
        Assert.Contains("Marrowvane.Tests.RecordingGame", lines[0]);
        Assert.DoesNotContain("Marrowvane.Tests.AbstractGame", lines[0]);
    }

    [Fact]
    public void MissingAssemblyFailsWithoutReady()
    {
        string path = Path.Combine(Path.GetTempPath(), "marrowvane-no-such-game.dll");
        var (exitCode, lines) = Harness.Session(Harness.Args("Game.Main", assembly: path), "START");
        Assert.Equal(1, exitCode);
        Assert.Equal(new[] { $"ERROR|Game assembly not found: {path}" }, lines);
    }

    [Fact]
    public void AssemblyThatIsNotDotNetFailsWithoutReady()
    {
        string path = Path.Combine(Path.GetTempPath(), $"marrowvane-not-an-assembly-{System.Environment.ProcessId}.dll");
        File.WriteAllText(path, "not a PE file");
        try
        {
            var (exitCode, lines) = Harness.Session(Harness.Args("Game.Main", assembly: path), "START");
            Assert.Equal(1, exitCode);
            Assert.Single(lines);
            Assert.StartsWith($"ERROR|Could not load game assembly {path}: System.BadImageFormatException", lines[0]);
        }
        finally
        {
            File.Delete(path);
        }
    }

    [Theory]
    [InlineData(new[] { "a", "b" }, "ERROR|Script host expects 7 arguments")]
    [InlineData(new[] { "g.dll", "G", ".", "", "0,016667", "0", "0" }, "ERROR|The fixed time step argument is not a number: '0,016667'.")]
    [InlineData(new[] { "g.dll", "G", ".", "", "0.000000", "0", "0" }, "ERROR|The fixed time step must be more than 0 seconds")]
    [InlineData(new[] { "g.dll", "G", ".", "", "0.016667", "x", "0" }, "ERROR|The x argument is not a number: 'x'.")]
    [InlineData(new[] { "g.dll", "G", ".", "", "0.016667", "0", "NaN" }, "ERROR|The y argument is not a number: 'NaN'.")]
    public void BadArgumentsFailWithoutReady(string[] args, string expected)
    {
        var (exitCode, lines) = Harness.Session(args, "START");
        Assert.Equal(1, exitCode);
        Assert.Single(lines);
        Assert.StartsWith(expected, lines[0]);
    }

    [Fact]
    public void ArgumentsSetTheCameraAndTheStep()
    {
        string[] args = { Harness.TestAssembly, typeof(RecordingGame).FullName!, ".", "", "0.020000", "-12.500000", "40.250000" };
        var (_, lines) = Harness.Session(args, "START", "FRAME|0||0,0|");
        Assert.Contains("CAMERA|-12.5|40.25|1|1280|720", lines);
    }

    [Fact]
    public void ViewSizeComesFromTheProjectWindow()
    {
        string directory = Directory.CreateTempSubdirectory("marrowvane-project-").FullName;
        try
        {
            File.WriteAllText(Path.Combine(directory, "project.json"),
                              "{ \"mainClass\": \"G\", \"width\": \"wide\", \"width\" : 800,\n \"height\":\n600 }");
            Assert.Equal((800f, 600f), ScriptHost.HostArguments.ReadWindowSize(directory));
            File.WriteAllText(Path.Combine(directory, "project.json"), "{ \"width\": -5 }");
            Assert.Equal((1280f, 720f), ScriptHost.HostArguments.ReadWindowSize(directory));
            Assert.Equal((1280f, 720f), ScriptHost.HostArguments.ReadWindowSize(Path.Combine(directory, "missing")));
        }
        finally
        {
            Directory.Delete(directory, recursive: true);
        }
    }
}
