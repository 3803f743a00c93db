using System;
using System.Globalization;
using System.Text;

namespace Marrowvane.Tests;

// The fast float writer must give exactly the framework's shortest round-trip text.
public class FloatFormatterTests
{
    private static void AssertSameAsFramework(float value)
    {
        Span<byte> buffer = stackalloc byte[FloatFormatter.MaxLength];
        int length = FloatFormatter.Write(value, buffer);
        string expected = value.ToString(CultureInfo.InvariantCulture);
        string actual = Encoding.ASCII.GetString(buffer[..length]);
        if (expected != actual)
        {
            Assert.Fail($"bits 0x{BitConverter.SingleToInt32Bits(value):x8}: expected {expected}, got {actual}");
        }
    }

    [Theory]
    [InlineData(0f)]
    [InlineData(1f)]
    [InlineData(-1f)]
    [InlineData(0.5f)]
    [InlineData(0.1f)]
    [InlineData(0.001f)]
    [InlineData(0.000999f)]
    [InlineData(1e-5f)]
    [InlineData(16777215f)]
    [InlineData(16777216f)]
    [InlineData(8388607.5f)]
    [InlineData(8388608f)]
    [InlineData(123456789f)]
    [InlineData(3.4028235e38f)]
    [InlineData(1.4e-45f)]
    [InlineData(float.NaN)]
    [InlineData(float.PositiveInfinity)]
    [InlineData(float.NegativeInfinity)]
    public void EdgeValues(float value) => AssertSameAsFramework(value);

    [Fact]
    public void NegativeZeroKeepsItsSign() => AssertSameAsFramework(-0f);

    [Fact]
    public void ValuesGamesDrawWith()
    {
        for (int i = -100_000; i <= 100_000; i++)
        {
            AssertSameAsFramework(i / 100f);
            AssertSameAsFramework(i * 0.1f);
            AssertSameAsFramework(i / 60f);
            AssertSameAsFramework(MathF.Sin(i) * 4 + (i % 40) * 32);
        }
    }

    [Fact]
    public void EveryPowerOfTwoNeighbourhood()
    {
        for (int exponent = 100; exponent < 160; exponent++)
        {
            int bits = exponent << 23;
            for (int delta = -3; delta <= 3; delta++)
            {
                AssertSameAsFramework(BitConverter.Int32BitsToSingle(bits + delta));
                AssertSameAsFramework(-BitConverter.Int32BitsToSingle(bits + delta));
            }
        }
    }

    [Fact]
    public void RandomBitPatterns()
    {
        var random = new Random(12345);
        for (int i = 0; i < 1_000_000; i++)
        {
            AssertSameAsFramework(BitConverter.Int32BitsToSingle(random.Next(int.MinValue, int.MaxValue)));
        }
        // Mostly inside the range the fast path handles.
        for (int i = 0; i < 1_000_000; i++)
        {
            AssertSameAsFramework((float)(random.NextDouble() * 20000 - 10000));
        }
    }
}
