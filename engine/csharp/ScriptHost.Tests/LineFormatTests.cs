using System;
using System.Globalization;
using System.IO;
using System.Text;
using System.Threading;

namespace Marrowvane.Tests;

public class LineFormatTests
{
    // A culture that writes 1,5 for one and a half; formatting must not follow it.
    private static CultureInfo CommaCulture()
    {
        var culture = (CultureInfo)CultureInfo.InvariantCulture.Clone();
        culture.NumberFormat.NumberDecimalSeparator = ",";
        culture.NumberFormat.NumberGroupSeparator = ".";
        culture.NumberFormat.NegativeSign = "\u2212";
        return culture;
    }

    private static string Formatted(Action<LineWriter> write)
    {
        var writer = new LineWriter(new MemoryStream());
        write(writer);
        return Encoding.UTF8.GetString(writer.Pending);
    }

    [Theory]
    [InlineData(0f, "|0")]
    [InlineData(1.5f, "|1.5")]
    [InlineData(-2.25f, "|-2.25")]
    [InlineData(0.1f, "|0.1")]
    [InlineData(1f / 3f, "|0.33333334")]
    [InlineData(1e-5f, "|1E-05")]
    [InlineData(123456789f, "|123456790")]
    [InlineData(3.4e38f, "|3.4E+38")]
    public void FloatsAreShortestRoundTripInvariant(float value, string expected)
    {
        CultureInfo saved = CultureInfo.CurrentCulture;
        foreach (CultureInfo culture in new[] { CultureInfo.InvariantCulture, CommaCulture() })
        {
            CultureInfo.CurrentCulture = culture;
            try
            {
                string text = Formatted(w => w.Field(value));
                Assert.Equal(expected, text);
                Assert.Equal(value, float.Parse(text.AsSpan(1), CultureInfo.InvariantCulture));
            }
            finally
            {
                CultureInfo.CurrentCulture = saved;
            }
        }
    }

    [Theory]
    [InlineData(0, "|0")]
    [InlineData(255, "|255")]
    [InlineData(-7, "|-7")]
    [InlineData(int.MinValue, "|-2147483648")]
    public void IntsAreDecimal(int value, string expected)
    {
        CultureInfo saved = CultureInfo.CurrentCulture;
        CultureInfo.CurrentCulture = CommaCulture();
        try
        {
            Assert.Equal(expected, Formatted(w => w.Field(value)));
        }
        finally
        {
            CultureInfo.CurrentCulture = saved;
        }
    }

    [Fact]
    public void DrawCallsBecomeTheirLines()
    {
        CultureInfo saved = CultureInfo.CurrentCulture;
        CultureInfo.CurrentCulture = CommaCulture();
        try
        {
            var (runner, take) = Harness.Runner(new DrawingGame());
            runner.Frame("FRAME|0.5||0,0|"u8);
            Assert.Equal(new[]
            {
                "RECT|1.5|-2.25|0.1|1E-05|1|2|3",
                "SPRITE|10|20|32|32|255|0|128|assets/é.png|true|false",
                "DEBUG_RECT|0|0|8|8|220|50|50",
                "CAMERA|0|0|1|1280|720",
            }, take());
        }
        finally
        {
            CultureInfo.CurrentCulture = saved;
        }
    }

    [Fact]
    public void FlushWritesEverythingInOneWrite()
    {
        var stream = new CountingStream();
        var writer = new LineWriter(stream);
        for (int i = 0; i < 5000; i++)
        {
            writer.Begin("RECT"u8);
            writer.Field(i * 0.5f);
            writer.EndLine();
        }
        Assert.Equal(0, stream.Writes);
        writer.Flush();
        Assert.Equal(1, stream.Writes);
        Assert.Equal(1, stream.Flushes);
        Assert.True(writer.Pending.IsEmpty);
        Assert.StartsWith("RECT|0\nRECT|0.5\nRECT|1\n", Encoding.UTF8.GetString(stream.ToArray()));
    }

    [Fact]
    public void SpritePathWithSeparatorIsAGameError()
    {
        var (runner, take) = Harness.Runner(new PathGame("bad|name.png"));
        runner.Frame("FRAME|0.016||0,0|"u8);
        var lines = take();
        Assert.StartsWith("ERROR|PathGame.Draw: System.ArgumentException: Texture path 'bad|name.png' must not contain", lines[0]);
        Assert.DoesNotContain(lines, l => l.StartsWith("SPRITE|"));
        Assert.Equal("CAMERA|0|0|1|1280|720", lines[^1]);
    }

    [Theory]
    [InlineData("one", new[] { "LOG|Info|one" })]
    [InlineData("a\nb", new[] { "LOG|Info|a", "LOG|Info|b" })]
    [InlineData("a\r\nb\n", new[] { "LOG|Info|a", "LOG|Info|b" })]
    [InlineData("", new[] { "LOG|Info|" })]
    [InlineData("pipes|stay", new[] { "LOG|Info|pipes|stay" })]
    public void LogMessagesBecomeOneLinePerLine(string message, string[] expected)
    {
        var game = new RecordingGame();
        var (_, take) = Harness.Runner(game);
        game.Log.Info(message);
        Assert.Equal(expected, take());
    }

    [Fact]
    public void LogLevelsHaveTheirTags()
    {
        var game = new RecordingGame();
        var (_, take) = Harness.Runner(game);
        game.Log.Info("i");
        game.Log.Warn("w");
        game.Log.Error("e");
        Assert.Equal(new[] { "LOG|Info|i", "LOG|Warn|w", "LOG|Error|e" }, take());
    }

    [Fact]
    public void LogFromAnotherThreadWaitsForTheFrame()
    {
        var game = new RecordingGame();
        var (runner, take) = Harness.Runner(game);
        var thread = new Thread(() => game.Log.Warn("from a worker"));
        thread.Start();
        thread.Join();
        Assert.Empty(take());
        runner.Frame("FRAME|0||0,0|"u8);
        Assert.Contains("LOG|Warn|from a worker", take());
    }

    [Theory]
    [InlineData("#FFffFF", 255, 255, 255)]
    [InlineData("#1a2b3c", 26, 43, 60)]
    public void ColorsParseFromHex(string hex, int r, int g, int b) =>
        Assert.Equal(new Color(r, g, b), Color.FromHex(hex));

    [Theory]
    [InlineData("#fff")]
    [InlineData("1a2b3c0")]
    [InlineData("#gg0000")]
    public void BadHexColorsThrow(string hex) => Assert.Throws<FormatException>(() => Color.FromHex(hex));

    private sealed class PathGame(string path) : Game
    {
        public override void Draw(Canvas canvas) => canvas.DrawSprite(path, 0, 0, 1, 1);
    }

    private sealed class CountingStream : MemoryStream
    {
        public int Writes { get; private set; }
        public int Flushes { get; private set; }

        public override void Write(byte[] buffer, int offset, int count)
        {
            Writes++;
            base.Write(buffer, offset, count);
        }

        public override void Flush()
        {
            Flushes++;
            base.Flush();
        }
    }
}
