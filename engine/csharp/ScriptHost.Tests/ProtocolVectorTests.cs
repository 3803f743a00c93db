using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Linq;
using System.Text;

namespace Marrowvane.Tests;

// The cases of engine/csharp/protocol-vectors.txt, which the engine's tests share.
public class ProtocolVectorTests
{
    public static IEnumerable<object[]> Cases() =>
        File.ReadLines(Path.Combine(Harness.SourceDirectory, "engine/csharp/protocol-vectors.txt"))
            .Where(l => l.Length > 0 && !l.StartsWith('#'))
            .Select(l => l.Split('\t'))
            .Select(f => new object[] { f[0], f[1], f[2] });

    private static float F(string text) => float.Parse(text, NumberStyles.Float, CultureInfo.InvariantCulture);
    private static int I(string text) => int.Parse(text, CultureInfo.InvariantCulture);

    [Theory]
    [MemberData(nameof(Cases))]
    public void LinesMatchTheirValues(string kind, string values, string line)
    {
        string[] v = values.Split(' ');
        if (kind == "FRAME")
        {
            var input = new Input();
            input.BeginFrame();
            Assert.True(FrameLine.TryRead(Encoding.UTF8.GetBytes(line), input, out float dt));
            Assert.Equal(F(v[0]), dt);
            foreach (string key in v[1] == "-" ? Array.Empty<string>() : v[1].Split(','))
            {
                Assert.True(input.IsKeyDown(I(key)));
            }
            string[] mouse = v[2].Split(',');
            Assert.Equal((I(mouse[0]), I(mouse[1])), (input.MouseX, input.MouseY));
            foreach (string button in v[3] == "-" ? Array.Empty<string>() : v[3].Split(','))
            {
                Assert.True(input.IsMouseButtonDown((MouseButton)I(button)));
            }
            return;
        }

        var writer = new LineWriter(new MemoryStream());
        writer.Begin(Encoding.ASCII.GetBytes(kind));
        int at = 0;
        if (kind == "COLLIDER")
        {
            writer.Field(I(v[at++]));
        }
        int floats = kind == "COLLIDER" ? 4 : kind == "CAMERA" ? 5 : 4;
        for (int i = 0; i < floats; i++)
        {
            writer.Field(F(v[at++]));
        }
        if (kind is "RECT" or "DEBUG_RECT" or "SPRITE")
        {
            for (int i = 0; i < 3; i++)
            {
                writer.Field(I(v[at++]));
            }
        }
        if (kind == "SPRITE")
        {
            string path = string.Join(' ', v[at..^2]);
            writer.Field(path.AsSpan());
            writer.Field(bool.Parse(v[^2]));
            writer.Field(bool.Parse(v[^1]));
        }
        writer.EndLine();
        Assert.Equal(line + "\n", Encoding.UTF8.GetString(writer.Pending));
    }
}
