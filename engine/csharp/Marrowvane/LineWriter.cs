using System;
using System.Globalization;
using System.IO;
using System.Text;

namespace Marrowvane;

// Collects the lines of one answer in a single UTF-8 buffer and writes them to
// the engine in one go. Fields are separated by '|', lines end in LF. Numbers use
// the invariant culture: floats in their shortest round-trip form, ints in
// decimal. No string is made per line.
internal sealed class LineWriter
{
    private const int InitialCapacity = 64 * 1024;
    private const int NumberRoom = FloatFormatter.MaxLength; // more than any float or int takes

    private readonly Stream output;
    private byte[] buffer = new byte[InitialCapacity];
    private int length;

    public LineWriter(Stream output)
    {
        this.output = output;
    }

    // What is buffered and not yet written; tests read it.
    public ReadOnlySpan<byte> Pending => buffer.AsSpan(0, length);

    public void Word(ReadOnlySpan<byte> word)
    {
        Append(word);
        EndLine();
    }

    // Starts a line with its tag, e.g. "RECT"u8; fields follow, then EndLine.
    public void Begin(ReadOnlySpan<byte> tag) => Append(tag);

    public void Field(float value)
    {
        Reserve(NumberRoom + 1);
        buffer[length++] = (byte)'|';
        length += FloatFormatter.Write(value, buffer.AsSpan(length));
    }

    public void Field(int value)
    {
        Reserve(NumberRoom + 1);
        buffer[length++] = (byte)'|';
        value.TryFormat(buffer.AsSpan(length), out int written, default, CultureInfo.InvariantCulture);
        length += written;
    }

    public void Field(bool value) => FieldBytes(value ? "true"u8 : "false"u8);

    public void FieldBytes(ReadOnlySpan<byte> text)
    {
        Reserve(text.Length + 1);
        buffer[length++] = (byte)'|';
        Append(text);
    }

    // Text as UTF-8. The caller keeps line breaks out of it (and '|' where a field ends).
    public void Field(ReadOnlySpan<char> text)
    {
        Reserve(Encoding.UTF8.GetMaxByteCount(text.Length) + 1);
        buffer[length++] = (byte)'|';
        length += Encoding.UTF8.GetBytes(text, buffer.AsSpan(length));
    }

    public void EndLine()
    {
        Reserve(1);
        buffer[length++] = (byte)'\n';
    }

    // One write and one flush of everything buffered.
    public void Flush()
    {
        if (length > 0)
        {
            output.Write(buffer, 0, length);
            length = 0;
        }
        output.Flush();
    }

    private void Append(ReadOnlySpan<byte> bytes)
    {
        Reserve(bytes.Length);
        bytes.CopyTo(buffer.AsSpan(length));
        length += bytes.Length;
    }

    private void Reserve(int count)
    {
        if (buffer.Length - length < count)
        {
            Array.Resize(ref buffer, Math.Max(buffer.Length * 2, length + count));
        }
    }
}
