using System.Linq;
using System.Text;

namespace Marrowvane.Tests;

public class InputTests
{
    private static (GameRunner Runner, Game Game) Start()
    {
        var game = new RecordingGame();
        var (runner, _) = Harness.Runner(game);
        return (runner, game);
    }

    private static void Frame(GameRunner runner, string line) => runner.Frame(Encoding.UTF8.GetBytes(line));

    [Fact]
    public void FrameLineGivesHeldKeysMouseAndButtons()
    {
        var (runner, game) = Start();
        Frame(runner, "FRAME|0.0166667|37,65|640,360|0");
        Input input = game.Input;
        Assert.True(input.IsKeyDown(Keys.Left));
        Assert.True(input.IsKeyDown(Keys.A));
        Assert.True(input.IsKeyDown(65));
        Assert.False(input.IsKeyDown(Keys.Right));
        Assert.Equal(640, input.MouseX);
        Assert.Equal(360, input.MouseY);
        Assert.True(input.IsMouseButtonDown(MouseButton.Left));
        Assert.False(input.IsMouseButtonDown(MouseButton.Right));
        Assert.Contains("Update 0.0166667", ((RecordingGame)game).Calls);
    }

    [Fact]
    public void EdgesComeFromConsecutiveFrames()
    {
        var (runner, game) = Start();
        Input input = game.Input;

        Frame(runner, "FRAME|0.01|32|0,0|2");
        Assert.True(input.WasKeyPressed(Keys.Space));
        Assert.False(input.WasKeyReleased(Keys.Space));
        Assert.True(input.WasMouseButtonPressed(MouseButton.Middle));

        Frame(runner, "FRAME|0.01|32|0,0|2");
        Assert.True(input.IsKeyDown(Keys.Space));
        Assert.False(input.WasKeyPressed(Keys.Space));
        Assert.False(input.WasMouseButtonPressed(MouseButton.Middle));

        Frame(runner, "FRAME|0.01||0,0|");
        Assert.False(input.IsKeyDown(Keys.Space));
        Assert.True(input.WasKeyReleased(Keys.Space));
        Assert.True(input.WasMouseButtonReleased(MouseButton.Middle));

        Frame(runner, "FRAME|0.01||0,0|");
        Assert.False(input.WasKeyReleased(Keys.Space));
        Assert.False(input.WasMouseButtonReleased(MouseButton.Middle));
    }

    [Fact]
    public void AxisCombinesTwoKeys()
    {
        var (runner, game) = Start();
        Frame(runner, "FRAME|0.01|39|0,0|");
        Assert.Equal(1, game.Input.Axis(Keys.Left, Keys.Right));
        Frame(runner, "FRAME|0.01|37,39|0,0|");
        Assert.Equal(0, game.Input.Axis(Keys.Left, Keys.Right));
        Frame(runner, "FRAME|0.01|37|0,0|");
        Assert.Equal(-1, game.Input.Axis(Keys.Left, Keys.Right));
    }

    [Theory]
    [InlineData("FRAME|0.05||0,0|", 0.05f, 0, 0)]
    [InlineData("FRAME|1e-05||-5,70000|", 1e-05f, -5, 70000)]
    [InlineData("FRAME|0|255,256,999|1,2|7,8", 0f, 1, 2)]
    public void FrameFieldsAreRead(string line, float dt, int mouseX, int mouseY)
    {
        var (runner, game) = Start();
        Frame(runner, line);
        Assert.Contains($"Update {dt}", ((RecordingGame)game).Calls);
        Assert.Equal(mouseX, game.Input.MouseX);
        Assert.Equal(mouseY, game.Input.MouseY);
    }

    [Fact]
    public void CodesOutOfRangeAreIgnored()
    {
        var (runner, game) = Start();
        Frame(runner, "FRAME|0|255,256|0,0|7,8");
        Assert.True(game.Input.IsKeyDown(255));
        Assert.False(game.Input.IsKeyDown(256));
        Assert.False(game.Input.IsKeyDown(-1));
        Assert.False(game.Input.IsMouseButtonDown((MouseButton)8));
        Assert.True(game.Input.IsMouseButtonDown((MouseButton)7));
    }

    [Theory]
    [InlineData("FRAME|abc|37|0,0|")]
    [InlineData("FRAME|-1|37|0,0|")]
    [InlineData("FRAME|0.01|x,37|0,0|")]
    [InlineData("FRAME|0.01|37|00|")]
    [InlineData("FRAME|0.01|37")]
    public void UnreadableFrameWarnsOnceAndStillRuns(string line)
    {
        var game = new RecordingGame();
        var (runner, take) = Harness.Runner(game);
        Frame(runner, line);
        Frame(runner, line);
        var lines = take();
        Assert.Single(lines, l => l.StartsWith("LOG|Warn|Unreadable parts of a FRAME line"));
        Assert.Equal(2, game.FrameCount);
        Assert.Equal(2, game.Calls.Count(c => c.StartsWith("Update ")));
    }
}
