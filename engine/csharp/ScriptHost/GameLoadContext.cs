using System.IO;
using System.Reflection;
using System.Runtime.Loader;

namespace Marrowvane.ScriptHost;

// Loads a game assembly and the libraries it brings from its own folder, while
// the game API assembly (Marrowvane) is always the script host's own, so that the
// game's Game type is the one the host drives.
internal sealed class GameLoadContext : AssemblyLoadContext
{
    private static readonly Assembly ApiAssembly = typeof(Game).Assembly;

    private readonly AssemblyDependencyResolver resolver;
    private readonly string gameDirectory;

    public GameLoadContext(string gameAssemblyPath)
        : base("Game", isCollectible: false)
    {
        resolver = new AssemblyDependencyResolver(gameAssemblyPath);
        gameDirectory = Path.GetDirectoryName(gameAssemblyPath) ?? ".";
    }

    protected override Assembly? Load(AssemblyName name)
    {
        if (name.Name == ApiAssembly.GetName().Name)
        {
            return ApiAssembly;
        }
        string? path = resolver.ResolveAssemblyToPath(name);
        if (path == null)
        {
            // A game built without a .deps.json still finds what lies beside it.
            string beside = Path.Combine(gameDirectory, name.Name + ".dll");
            path = File.Exists(beside) ? beside : null;
        }
        // Null leaves framework assemblies to the default context.
        return path != null ? LoadFromAssemblyPath(path) : null;
    }

    protected override nint LoadUnmanagedDll(string unmanagedDllName)
    {
        string? path = resolver.ResolveUnmanagedDllToPath(unmanagedDllName);
        return path != null ? LoadUnmanagedDllFromPath(path) : nint.Zero;
    }
}
