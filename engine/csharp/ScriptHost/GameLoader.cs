using System;
using System.IO;
using System.Linq;
using System.Reflection;

namespace Marrowvane.ScriptHost;

// Loads the game assembly and creates its main class. Every failure comes back
// as one sentence that names what could not be loaded and why.
internal static class GameLoader
{
    public sealed record Failure(string Message, Exception? GameException = null);

    public static Game? TryCreate(string assemblyPath, string mainClass, out Failure? failure)
    {
        failure = null;
        if (string.IsNullOrWhiteSpace(mainClass))
        {
            failure = new Failure("No main class given: project.json needs a \"mainClass\".");
            return null;
        }
        string fullPath = Path.GetFullPath(assemblyPath);
        if (!File.Exists(fullPath))
        {
            failure = new Failure($"Game assembly not found: {fullPath}");
            return null;
        }
        Assembly assembly;
        try
        {
            assembly = new GameLoadContext(fullPath).LoadFromAssemblyPath(fullPath);
        }
        catch (Exception exception) when (exception is BadImageFormatException or FileLoadException or IOException)
        {
            failure = new Failure($"Could not load game assembly {fullPath}: {ErrorReport.Describe(exception)}");
            return null;
        }

        Type? type;
        try
        {
            type = assembly.GetType(mainClass, throwOnError: false);
        }
        catch (Exception exception) when (exception is ArgumentException or FileLoadException or BadImageFormatException or TypeLoadException)
        {
            failure = new Failure($"Main class '{mainClass}' could not be loaded from {Path.GetFileName(fullPath)}: {ErrorReport.Describe(exception)}");
            return null;
        }
        if (type == null)
        {
            failure = new Failure($"Main class '{mainClass}' not found in {Path.GetFileName(fullPath)}.{Candidates(assembly)}");
            return null;
        }
        if (!typeof(Game).IsAssignableFrom(type))
        {
            failure = new Failure($"Main class '{mainClass}' does not derive from Marrowvane.Game.");
            return null;
        }
        if (type.IsAbstract || type.GetConstructor(Type.EmptyTypes) == null)
        {
            failure = new Failure($"Main class '{mainClass}' cannot be created: it needs to be a non-abstract class with a public parameterless constructor.");
            return null;
        }
        try
        {
            return (Game)Activator.CreateInstance(type)!;
        }
        catch (TargetInvocationException exception) when (exception.InnerException != null)
        {
            Exception thrown = exception.InnerException;
            failure = new Failure($"Main class '{mainClass}' could not be created: its constructor threw {ErrorReport.Describe(thrown)}", thrown);
            return null;
        }
    }

    // " Classes deriving from Marrowvane.Game there: A.B, C.D." or nothing.
    private static string Candidates(Assembly assembly)
    {
        Type?[] types;
        try
        {
            types = assembly.GetTypes();
        }
        catch (ReflectionTypeLoadException exception)
        {
            types = exception.Types;
        }
        string[] names = types
            .Where(t => t != null && !t.IsAbstract && typeof(Game).IsAssignableFrom(t))
            .Select(t => t!.FullName ?? t.Name)
            .Order(StringComparer.Ordinal)
            .ToArray();
        return names.Length == 0
            ? " It has no class deriving from Marrowvane.Game."
            : $" Classes deriving from Marrowvane.Game there: {string.Join(", ", names)}.";
    }
}
