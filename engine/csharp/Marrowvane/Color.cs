using System;
using System.Globalization;

namespace Marrowvane;

/// <summary>An opaque colour of three 8-bit channels.</summary>
public readonly record struct Color
{
    /// <summary>Red, 0 to 255.</summary>
    public byte R { get; }

    /// <summary>Green, 0 to 255.</summary>
    public byte G { get; }

    /// <summary>Blue, 0 to 255.</summary>
    public byte B { get; }

    /// <summary>Creates a colour; each channel is clamped to 0..255.</summary>
    public Color(int r, int g, int b)
    {
        R = (byte)Math.Clamp(r, 0, 255);
        G = (byte)Math.Clamp(g, 0, 255);
        B = (byte)Math.Clamp(b, 0, 255);
    }

    /// <summary>Parses "#rrggbb" (either letter case).</summary>
    /// <exception cref="FormatException">The text is not of the form #rrggbb.</exception>
    public static Color FromHex(string hex)
    {
        ArgumentNullException.ThrowIfNull(hex);
        if (hex.Length != 7 || hex[0] != '#' ||
            !int.TryParse(hex.AsSpan(1), NumberStyles.AllowHexSpecifier, CultureInfo.InvariantCulture, out int rgb))
        {
            throw new FormatException($"Colour '{hex}' is not of the form #rrggbb.");
        }
        return new Color((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
    }

    /// <summary>The colour part of the way from this one to <paramref name="other"/> (t from 0 to 1).</summary>
    public Color Lerp(Color other, float t)
    {
        t = Math.Clamp(t, 0f, 1f);
        return new Color((int)MathF.Round(R + (other.R - R) * t),
                         (int)MathF.Round(G + (other.G - G) * t),
                         (int)MathF.Round(B + (other.B - B) * t));
    }

    /// <summary>"#rrggbb".</summary>
    public override string ToString() => $"#{R:x2}{G:x2}{B:x2}";

    /// <summary>255, 255, 255.</summary>
    public static Color White => new(255, 255, 255);
    /// <summary>0, 0, 0.</summary>
    public static Color Black => new(0, 0, 0);
    /// <summary>128, 128, 128.</summary>
    public static Color Gray => new(128, 128, 128);
    /// <summary>220, 50, 50.</summary>
    public static Color Red => new(220, 50, 50);
    /// <summary>60, 200, 80.</summary>
    public static Color Green => new(60, 200, 80);
    /// <summary>60, 110, 230.</summary>
    public static Color Blue => new(60, 110, 230);
    /// <summary>250, 210, 60.</summary>
    public static Color Yellow => new(250, 210, 60);
    /// <summary>255, 0, 255: the colour a sprite shows when its texture cannot be drawn, unless it names another.</summary>
    public static Color Magenta => new(255, 0, 255);
}
