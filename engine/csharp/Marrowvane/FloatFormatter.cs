using System;
using System.Globalization;

namespace Marrowvane;

// Writes a float as the shortest decimal text that reads back as the same float,
// in the invariant culture: the text float.ToString(CultureInfo.InvariantCulture)
// gives, but several times faster for the values games draw with. Whole numbers
// below 2^24 and fractions from 0.001 up are written here with integer
// arithmetic; everything else (tiny and huge values, NaN, infinities, -0) goes to
// the framework's formatter.
internal static class FloatFormatter
{
    public const int MaxLength = 32;

    private const float WholeLimit = 16777216f;   // 2^24: every whole float below is exact
    private const float FractionLow = 0.001f;      // from here on the text never needs an exponent
    private const float FractionHigh = 8388608f;   // 2^23: above, every float is whole
    private const int MaxDecimals = 11;             // 0.001 needs up to 2 + 9 places for 9 digits

    private static readonly ulong[] PowersOfTen =
    {
        1, 10, 100, 1_000, 10_000, 100_000, 1_000_000, 10_000_000, 100_000_000,
        1_000_000_000, 10_000_000_000, 100_000_000_000,
    };

    public static int Write(float value, Span<byte> destination)
    {
        float magnitude = Math.Abs(value);
        if (magnitude < WholeLimit && value == MathF.Truncate(value) && !(value == 0f && float.IsNegative(value)))
        {
            ((int)value).TryFormat(destination, out int written, default, CultureInfo.InvariantCulture);
            return written;
        }
        if (magnitude >= FractionLow && magnitude < FractionHigh && TryWriteFraction(value, destination, out int length))
        {
            return length;
        }
        value.TryFormat(destination, out int fallback, default, CultureInfo.InvariantCulture);
        return fallback;
    }

    // value = mantissa / 2^shift with a 24-bit mantissa. Finds the fewest decimal
    // places k for which the nearest k-place decimal lies within the value's
    // rounding interval (half an ulp each side; a quarter below a power of two;
    // the interval's ends count when the mantissa is even, as round-half-even
    // reading takes them to this value).
    private static bool TryWriteFraction(float value, Span<byte> destination, out int length)
    {
        int bits = BitConverter.SingleToInt32Bits(value);
        int biasedExponent = (bits >> 23) & 0xff;
        ulong mantissa = (ulong)(bits & 0x7fffff) | (1UL << 23);
        int shift = 150 - biasedExponent; // 1..33 in this range
        bool lowerGapIsHalf = (bits & 0x7fffff) == 0 && biasedExponent > 1;
        bool endsCount = (mantissa & 1) == 0;
        ulong half = 1UL << (shift - 1);
        ulong fractionMask = (1UL << shift) - 1;

        for (int k = 1; k <= MaxDecimals; k++)
        {
            ulong power = PowersOfTen[k];
            ulong scaled = mantissa * power; // < 2^24 * 10^11 < 2^61
            ulong candidate = scaled >> shift;
            ulong rest = scaled & fractionMask;
            if (rest > half || (rest == half && (candidate & 1) == 1))
            {
                candidate++;
            }
            ulong back = candidate << shift;
            bool below = back < scaled;
            ulong distance = below ? scaled - back : back - scaled;
            // |candidate / 10^k - value| against the interval, scaled by 10^k * 2^shift.
            ulong limit = distance * (below && lowerGapIsHalf ? 4UL : 2UL);
            if (limit < power || (limit == power && endsCount))
            {
                length = WriteFixed(value < 0, candidate, k, destination);
                return true;
            }
        }
        length = 0;
        return false;
    }

    // sign, whole part, '.', exactly k fraction digits.
    private static int WriteFixed(bool negative, ulong digits, int k, Span<byte> destination)
    {
        int at = 0;
        if (negative)
        {
            destination[at++] = (byte)'-';
        }
        ulong power = PowersOfTen[k];
        (digits / power).TryFormat(destination[at..], out int whole, default, CultureInfo.InvariantCulture);
        at += whole;
        destination[at++] = (byte)'.';
        ulong fraction = digits % power;
        for (int i = k - 1; i >= 0; i--)
        {
            destination[at + i] = (byte)('0' + (int)(fraction % 10));
            fraction /= 10;
        }
        return at + k;
    }
}
