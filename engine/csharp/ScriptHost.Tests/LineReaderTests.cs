using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using Marrowvane.ScriptHost;

namespace Marrowvane.Tests;

public class LineReaderTests
{
    private static (List<string> Lines, int Skipped) ReadAll(byte[] bytes, int chunk = int.MaxValue)
    {
        var reader = new LineReader(new TrickleStream(bytes, chunk));
        var lines = new List<string>();
        while (reader.TryReadLine(out var line))
        {
            lines.Add(Encoding.UTF8.GetString(line));
        }
        return (lines, reader.SkippedLines);
    }

    [Theory]
    [InlineData("START\nFRAME|0||0,0|\n", new[] { "START", "FRAME|0||0,0|" })]
    [InlineData("abc\r\ndef\n", new[] { "abc", "def" })]
    [InlineData("a\r\r\n", new[] { "a\r" })]
    [InlineData("\n\r\n", new[] { "", "" })]
    [InlineData("SHUTDOWN", new[] { "SHUTDOWN" })] // no LF before the end of input
    [InlineData("", new string[0])]
    public void LinesEndAtLf(string text, string[] expected)
    {
        foreach (int chunk in new[] { 1, 3, int.MaxValue })
        {
            Assert.Equal(expected, ReadAll(Encoding.UTF8.GetBytes(text), chunk).Lines);
        }
    }

    [Fact]
    public void OverlongLineIsSkippedWhole()
    {
        string longLine = new string('x', LineReader.MaxLineLength + 1);
        var (lines, skipped) = ReadAll(Encoding.UTF8.GetBytes("START\n" + longLine + "\nEND\n"), 4096);
        Assert.Equal(new[] { "START", "END" }, lines);
        Assert.Equal(1, skipped);
    }

    [Fact]
    public void LineOfTheMaximumLengthIsRead()
    {
        string line = new string('y', LineReader.MaxLineLength);
        Assert.Equal(new[] { line }, ReadAll(Encoding.UTF8.GetBytes(line + "\n"), 1000).Lines);
    }

    // Hands out at most chunk bytes per read, as a pipe may.
    private sealed class TrickleStream(byte[] bytes, int chunk) : MemoryStream(bytes)
    {
        public override int Read(byte[] buffer, int offset, int count) => base.Read(buffer, offset, System.Math.Min(count, chunk));
    }
}
