namespace Marrowvane;

internal enum LogLevel
{
    Info,
    Warn,
    Error,
}
