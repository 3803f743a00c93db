using System;
using System.Globalization;
using System.IO;
using System.Text.RegularExpressions;

namespace Marrowvane.ScriptHost;

// The seven arguments the engine starts the script host with, in this order:
// game assembly path, main class, project directory, start scene, fixed time
// step, x, y. The numbers are invariant-culture decimals with six places.
internal sealed record HostArguments(
    string GameAssemblyPath,
    string MainClass,
    string ProjectDirectory,
    string StartScene,
    float FixedDeltaTime,
    float X,
    float Y)
{
    public const int Count = 7;

    // Above this rate two neighbouring steps 1/n round to the same six decimals.
    private const double MaxRestoredRate = 999.0;

    public static bool TryParse(string[] args, out HostArguments? result, out string error)
    {
        result = null;
        if (args.Length != Count)
        {
            error = $"Script host expects {Count} arguments (game assembly, main class, project directory, " +
                    $"start scene, fixed time step, x, y) but got {args.Length}.";
            return false;
        }
        if (!TryNumber(args[4], "fixed time step", out float fixedDt, out error) ||
            !TryNumber(args[5], "x", out float x, out error) ||
            !TryNumber(args[6], "y", out float y, out error))
        {
            return false;
        }
        if (!(fixedDt > 0f))
        {
            error = $"The fixed time step must be more than 0 seconds; got '{args[4]}'.";
            return false;
        }
        result = new HostArguments(args[0], args[1], args[2], args[3], RestoreStep(fixedDt), x, y);
        error = string.Empty;
        return true;
    }

    // The settings for the game, with the view size of the project's window.
    public GameSettings ToSettings()
    {
        (float width, float height) = ReadWindowSize(ProjectDirectory);
        return new GameSettings(ProjectDirectory, StartScene, FixedDeltaTime, X, Y, width, height);
    }

    // The step arrives with six decimals, so 1/60 comes as 0.016667. A value that
    // is 1/n up to that rounding is taken as exactly 1/n, so that n steps make a second.
    internal static float RestoreStep(float step)
    {
        double rate = Math.Round(1.0 / step);
        if (rate >= 1.0 && rate <= MaxRestoredRate && Math.Abs(1.0 / rate - step) <= 0.5e-6)
        {
            return (float)(1.0 / rate);
        }
        return step;
    }

    // The engine reads "width" and "height" from project.json as the first quoted key
    // followed by a colon and digits, wherever it stands; this reads them the same way.
    internal static (float Width, float Height) ReadWindowSize(string projectDirectory)
    {
        string json;
        try
        {
            json = File.ReadAllText(Path.Combine(projectDirectory, "project.json"));
        }
        catch (Exception exception) when (exception is IOException or UnauthorizedAccessException or ArgumentException or NotSupportedException)
        {
            return (Camera.DefaultViewWidth, Camera.DefaultViewHeight);
        }
        return (ReadSize(json, "width", Camera.DefaultViewWidth), ReadSize(json, "height", Camera.DefaultViewHeight));
    }

    private static float ReadSize(string json, string key, float fallback)
    {
        Match match = Regex.Match(json, "\"" + key + "\"\\s*:\\s*([0-9]+)");
        return match.Success && int.TryParse(match.Groups[1].Value, NumberStyles.None, CultureInfo.InvariantCulture, out int value) && value > 0
            ? value
            : fallback;
    }

    private static bool TryNumber(string text, string name, out float value, out string error)
    {
        if (float.TryParse(text, NumberStyles.Float, CultureInfo.InvariantCulture, out value) && float.IsFinite(value))
        {
            error = string.Empty;
            return true;
        }
        error = $"The {name} argument is not a number: '{text}'.";
        return false;
    }
}
