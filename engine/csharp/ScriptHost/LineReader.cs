using System;
using System.IO;

namespace Marrowvane.ScriptHost;

// Reads the engine's lines from a byte stream. A line ends at LF; one CR before
// the LF is dropped; text after the last LF counts as a line at the end of the
// input. Lines longer than MaxLineLength are skipped whole and counted.
internal sealed class LineReader
{
    public const int MaxLineLength = 64 * 1024;

    private readonly Stream input;
    private readonly byte[] buffer = new byte[MaxLineLength + 1];
    private int start;
    private int end;
    private bool skipping;

    public LineReader(Stream input)
    {
        this.input = input;
    }

    public int SkippedLines { get; private set; }

    // The line stays valid until the next call. False at the end of the input.
    public bool TryReadLine(out ReadOnlySpan<byte> line)
    {
        while (true)
        {
            int newline = buffer.AsSpan(start, end - start).IndexOf((byte)'\n');
            if (newline >= 0)
            {
                int lineStart = start;
                start += newline + 1;
                if (skipping)
                {
                    skipping = false;
                    continue;
                }
                line = TrimCr(buffer.AsSpan(lineStart, newline));
                return true;
            }
            if (end - start > MaxLineLength)
            {
                // Too long: drop what is here and the rest up to the next LF.
                if (!skipping)
                {
                    SkippedLines++;
                }
                skipping = true;
                start = end = 0;
            }
            if (start > 0)
            {
                Buffer.BlockCopy(buffer, start, buffer, 0, end - start);
                end -= start;
                start = 0;
            }
            int read = input.Read(buffer, end, buffer.Length - end);
            if (read <= 0)
            {
                bool hasRest = end > start && !skipping;
                line = hasRest ? TrimCr(buffer.AsSpan(start, end - start)) : default;
                start = end = 0;
                skipping = false;
                return hasRest;
            }
            end += read;
        }
    }

    private static ReadOnlySpan<byte> TrimCr(ReadOnlySpan<byte> line) =>
        line.Length > 0 && line[^1] == (byte)'\r' ? line[..^1] : line;
}
