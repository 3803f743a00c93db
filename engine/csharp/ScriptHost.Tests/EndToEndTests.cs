using System;
using System.Collections.Generic;
using System.Diagnostics;
using System.Globalization;
using System.IO;
using System.Linq;

namespace Marrowvane.Tests;

// The real script host process with samples/BasicGame, over real pipes.
public sealed class EndToEndTests : IDisposable
{
    private static readonly TimeSpan Patience = TimeSpan.FromSeconds(20); // generous: a loaded machine is slow
    private readonly Process host;

    public EndToEndTests()
    {
        string project = Path.Combine(Harness.SourceDirectory, "samples", "BasicGame");
        host = StartHost(Path.Combine(project, "bin/Debug/net8.0/BasicGame.dll"), "BasicGame.MainGame", project, "Play");
    }

    // dotnet Marrowvane.ScriptHost.dll with the seven arguments, stdin and stdout piped.
    internal static Process StartHost(string gameAssembly, string mainClass, string projectDirectory, string startScene)
    {
        var start = new ProcessStartInfo(Environment.GetEnvironmentVariable("DOTNET_HOST_PATH") ?? "dotnet")
        {
            RedirectStandardInput = true,
            RedirectStandardOutput = true,
            RedirectStandardError = true,
            UseShellExecute = false,
            WorkingDirectory = projectDirectory,
        };
        foreach (string argument in new[]
                 {
                     Path.Combine(Harness.SourceDirectory, "engine/csharp/ScriptHost/bin/Debug/net8.0/Marrowvane.ScriptHost.dll"),
                     gameAssembly, mainClass, projectDirectory, startScene, "0.016667", "0.000000", "0.000000",
                 })
        {
            start.ArgumentList.Add(argument);
        }
        Process process = Process.Start(start)!;
        process.StandardInput.NewLine = "\n";
        return process;
    }

    public void Dispose()
    {
        if (!host.HasExited)
        {
            host.Kill();
        }
        host.Dispose();
    }

    private string ReadLine()
    {
        var read = host.StandardOutput.ReadLineAsync();
        Assert.True(read.Wait(Patience), "the script host answers");
        return read.Result ?? throw new EndOfStreamException("script host output ended; stderr: " + host.StandardError.ReadToEnd());
    }

    private List<string> Frame(string keys)
    {
        host.StandardInput.WriteLine($"FRAME|0.0166667|{keys}|640,360|");
        host.StandardInput.Flush();
        var lines = new List<string>();
        for (string line = ReadLine(); line != "END_FRAME"; line = ReadLine())
        {
            lines.Add(line);
        }
        return lines;
    }

    private static string[] PlayerSprite(List<string> frame) =>
        frame.Single(l => l.StartsWith("SPRITE|") && l.Contains("|assets/player.png|")).Split('|');

    [Fact]
    public void BasicGamePlaysFramesAndShutsDown()
    {
        Assert.Equal("READY", ReadLine());
        host.StandardInput.WriteLine("START");
        host.StandardInput.Flush();
        Assert.Equal("LOG|Info|Arrow keys or WASD move, F1 shows the colliders. Collect every coin!", ReadLine());
        Assert.Equal("STARTED", ReadLine());

        var frames = new List<List<string>>();
        for (int i = 0; i < 60; i++)
        {
            // Right for half a second, then left; F1 pressed on frame 10.
            string keys = i < 30 ? "39" : "37";
            frames.Add(Frame(i == 10 ? keys + ",112" : keys));
        }
        Assert.All(frames, f =>
        {
            Assert.Contains(f, l => l.StartsWith("CAMERA|"));
            Assert.Contains(f, l => l.StartsWith("SPRITE|") && l.Contains("assets/coin.png"));
            Assert.Contains(f, l => l.StartsWith("RECT|"));
            Assert.Contains(f, l => l.StartsWith("COLLIDER|1|"));
            Assert.DoesNotContain(f, l => l.StartsWith("ERROR|"));
        });
        float X(List<string> f) => float.Parse(PlayerSprite(f)[1], CultureInfo.InvariantCulture);
        Assert.True(X(frames[29]) > X(frames[0]), "walks right");
        Assert.Equal("false", PlayerSprite(frames[29])[9]);
        Assert.True(X(frames[59]) < X(frames[29]), "walks left");
        Assert.Equal("true", PlayerSprite(frames[59])[9]); // mirrored when facing left
        Assert.DoesNotContain(frames[9], l => l.StartsWith("DEBUG_RECT|"));
        Assert.Contains(frames[10], l => l.StartsWith("DEBUG_RECT|"));

        host.StandardInput.WriteLine("SHUTDOWN");
        host.StandardInput.Flush();
        Assert.True(host.WaitForExit((int)Patience.TotalMilliseconds));
        Assert.Equal(0, host.ExitCode);
    }

    [Fact]
    public void ExceptionOnAGameThreadIsReportedBeforeTheHostEnds()
    {
        using Process crashing = StartHost(Harness.TestAssembly, typeof(CrashingThreadGame).FullName!, ".", "");
        crashing.StandardInput.NewLine = "\n";
        crashing.StandardInput.WriteLine("START");
        crashing.StandardInput.WriteLine("FRAME|0||0,0|");
        crashing.StandardInput.Flush();
        Assert.True(crashing.WaitForExit((int)Patience.TotalMilliseconds));
        string output = crashing.StandardOutput.ReadToEnd();
        Assert.Contains("\nERROR|Script host stopped: unhandled System.InvalidOperationException: worker failed\n", output);
        Assert.NotEqual(0, crashing.ExitCode);
    }

    [Fact]
    public void EndOfInputEndsTheHost()
    {
        Assert.Equal("READY", ReadLine());
        host.StandardInput.Close();
        Assert.True(host.WaitForExit((int)Patience.TotalMilliseconds));
        Assert.Equal(0, host.ExitCode);
    }
}
