using System;
using System.Buffers.Text;
using System.Globalization;

namespace Marrowvane;

// Reads the engine's per-frame line:
//   FRAME|<dt>|<held key codes, comma-separated>|<mouse x>,<mouse y>|<held buttons>
// e.g. "FRAME|0.0166667|37,65|640,360|0". Lists may be empty.
internal static class FrameLine
{
    public static ReadOnlySpan<byte> Tag => "FRAME"u8;

    // Fills input with this frame's state (after Input.BeginFrame) and returns the
    // time step. A field that cannot be read counts as empty or zero, and the
    // result is false.
    public static bool TryRead(ReadOnlySpan<byte> line, Input input, out float dt)
    {
        dt = 0f;
        Span<Range> fields = stackalloc Range[5];
        int count = SplitFields(line, fields);
        if (count < 5 || !line[fields[0]].SequenceEqual(Tag))
        {
            return false;
        }
        bool wellFormed = float.TryParse(line[fields[1]], NumberStyles.Float, CultureInfo.InvariantCulture, out dt)
                          && float.IsFinite(dt) && dt >= 0f;
        if (!wellFormed)
        {
            dt = 0f;
        }
        wellFormed &= ReadList(line[fields[2]], input.SetKeyDown);
        wellFormed &= ReadMouse(line[fields[3]], input);
        wellFormed &= ReadList(line[fields[4]], input.SetMouseButtonDown);
        return wellFormed;
    }

    // Cuts the line at '|' into at most fields.Length pieces; the last piece keeps
    // any further separators.
    private static int SplitFields(ReadOnlySpan<byte> line, Span<Range> fields)
    {
        int count = 0;
        int start = 0;
        while (count < fields.Length - 1)
        {
            int separator = line[start..].IndexOf((byte)'|');
            if (separator < 0)
            {
                break;
            }
            fields[count++] = new Range(start, start + separator);
            start += separator + 1;
        }
        fields[count++] = new Range(start, line.Length);
        return count;
    }

    private static bool ReadList(ReadOnlySpan<byte> list, Action<int> setDown)
    {
        bool wellFormed = true;
        while (!list.IsEmpty)
        {
            int comma = list.IndexOf((byte)',');
            ReadOnlySpan<byte> item = comma < 0 ? list : list[..comma];
            if (Utf8Parser.TryParse(item, out int code, out int used) && used == item.Length)
            {
                setDown(code);
            }
            else
            {
                wellFormed = false;
            }
            list = comma < 0 ? default : list[(comma + 1)..];
        }
        return wellFormed;
    }

    private static bool ReadMouse(ReadOnlySpan<byte> field, Input input)
    {
        int comma = field.IndexOf((byte)',');
        if (comma < 0 ||
            !Utf8Parser.TryParse(field[..comma], out int x, out int usedX) || usedX != comma ||
            !Utf8Parser.TryParse(field[(comma + 1)..], out int y, out int usedY) || usedY != field.Length - comma - 1)
        {
            return false;
        }
        input.SetMousePosition(x, y);
        return true;
    }
}
