namespace Marrowvane;

// What the engine tells the script host about the game at start-up.
internal sealed record GameSettings(
    string ProjectDirectory,
    string StartScene,
    float FixedDeltaTime,
    float CameraX,
    float CameraY,
    float ViewWidth = Camera.DefaultViewWidth,
    float ViewHeight = Camera.DefaultViewHeight);
