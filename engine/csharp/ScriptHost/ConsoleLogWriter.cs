using System.IO;
using System.Text;

namespace Marrowvane.ScriptHost;

// Stands in for Console.Out and Console.Error while a game runs, so that what game
// code prints reaches the engine as whole LOG lines instead of mixing into the
// protocol: each finished line becomes one log message of the writer's level.
internal sealed class ConsoleLogWriter : TextWriter
{
    private readonly Logger log;
    private readonly LogLevel level;
    private readonly StringBuilder line = new();

    public ConsoleLogWriter(Logger log, LogLevel level)
    {
        this.log = log;
        this.level = level;
    }

    public override Encoding Encoding => Encoding.UTF8;

    public override void Write(char value)
    {
        lock (line)
        {
            if (value == '\n')
            {
                EmitLine();
            }
            else if (value != '\r')
            {
                line.Append(value);
            }
        }
    }

    // An unfinished line goes out when the game flushes.
    public override void Flush()
    {
        lock (line)
        {
            if (line.Length > 0)
            {
                EmitLine();
            }
        }
    }

    private void EmitLine()
    {
        string text = line.ToString();
        line.Clear();
        log.Write(level, text);
    }
}
