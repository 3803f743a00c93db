using System;
using System.Linq;

namespace Marrowvane.Tests;

public class SceneTests
{
    [Theory]
    [InlineData("Level", "Level")]
    [InlineData("", "Menu")]      // the game's default: the first scene added
    public void StartSceneComesFromTheCommandLineFirst(string startScene, string expected)
    {
        var game = new SceneGame();
        var (runner, _) = Harness.Runner(game, startScene);
        runner.Start();
        Assert.Equal(expected, game.CurrentScene!.Name);
        Assert.Equal(new[] { "Enter" }, game.Scene(expected).Calls);
        Assert.Equal(startScene, game.StartSceneName);
    }

    [Fact]
    public void SceneChosenInStartIsTheDefault()
    {
        var game = new SceneWithStartChoiceGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        Assert.Equal("Level", game.CurrentScene!.Name);
        Assert.Empty(((TrackingScene)game.FindScene("Menu")!).Calls);

        var named = new SceneWithStartChoiceGame();
        var (namedRunner, _) = Harness.Runner(named, "Menu");
        namedRunner.Start();
        Assert.Equal("Menu", named.CurrentScene!.Name);
    }

    [Fact]
    public void UnknownStartSceneWarnsAndUsesTheDefault()
    {
        var game = new SceneGame();
        var (runner, take) = Harness.Runner(game, "Boss");
        runner.Start();
        Assert.Equal("Menu", game.CurrentScene!.Name);
        Assert.Equal(new[] { "LOG|Warn|Start scene 'Boss' is not one of the game's scenes (Menu, Level); starting in 'Menu'." }, take());
    }

    [Fact]
    public void GameWithoutScenesIgnoresTheStartScene()
    {
        var game = new RecordingGame();
        var (runner, take) = Harness.Runner(game, "Main");
        runner.Start();
        Assert.Null(game.CurrentScene);
        Assert.Empty(take());
        Assert.Equal("Main", game.StartSceneName);
    }

    [Fact]
    public void SwitchTakesEffectWhenTheCallReturns()
    {
        var game = new SceneGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        TrackingScene menu = game.Scene("Menu"), level = game.Scene("Level");
        menu.OnUpdate = scene =>
        {
            scene.Game.SwitchScene("Level");
            Assert.Same(menu, scene.Game.CurrentScene); // not yet
        };
        runner.Frame("FRAME|0.01||0,0|"u8);
        Assert.Equal(new[] { "Enter", "Update", "Exit" }, menu.Calls);
        Assert.Equal(new[] { "Enter", "Draw" }, level.Calls); // the new scene draws this frame
        Assert.Same(level, game.CurrentScene);
    }

    [Fact]
    public void SwitchingToTheCurrentSceneEntersItAgain()
    {
        var game = new SceneGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        game.SwitchScene("Menu");
        runner.Frame("FRAME|0||0,0|"u8);
        Assert.Equal(new[] { "Enter", "Exit", "Enter", "Update", "Draw" }, game.Scene("Menu").Calls);
    }

    [Fact]
    public void UnknownSceneIsAGameError()
    {
        var game = new SceneGame();
        var (runner, take) = Harness.Runner(game);
        runner.Start();
        take();
        game.Scene("Menu").OnUpdate = scene => scene.Game.SwitchScene("Nowhere");
        runner.Frame("FRAME|0||0,0|"u8);
        Assert.Equal("ERROR|TrackingScene.Update: System.ArgumentException: No scene named 'Nowhere'. Scenes: Menu, Level. (Parameter 'name')", take()[0]);
        Assert.Equal("Menu", game.CurrentScene!.Name);
    }

    [Fact]
    public void ScenesThatKeepSwitchingOnEntryAreStopped()
    {
        var game = new SceneGame();
        var (runner, take) = Harness.Runner(game, "Level");
        game.OnStart = g =>
        {
            g.Scene("Menu").OnEnter = s => s.Game.SwitchScene("Level");
            g.Scene("Level").OnEnter = s => s.Game.SwitchScene("Menu");
        };
        runner.Start();
        Assert.Contains(take(), l => l.StartsWith("LOG|Warn|Scenes kept switching on entry"));
        int enters = game.Scene("Menu").Calls.Count(c => c == "Enter") + game.Scene("Level").Calls.Count(c => c == "Enter");
        Assert.Equal(GameRunner.MaxSceneSwitchesInARow, enters);
    }

    [Fact]
    public void SceneGetsEveryCallAfterTheGame()
    {
        var game = new SceneGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        game.Scene("Menu").OnUpdate = s =>
        {
            s.Colliders.Add(1, 0, 0, 4, 4);
            s.Colliders.Add(2, 1, 1, 4, 4);
        };
        runner.Frame("FRAME|0||0,0|"u8);
        runner.Stop();
        Assert.Equal(new[] { "Enter", "Update", "Draw", "Collision 1 2", "Collision 2 1", "Exit" }, game.Scene("Menu").Calls);
    }

    [Theory]
    [InlineData("")]
    [InlineData("Menu")]
    public void BadSceneNamesAreRefused(string name)
    {
        var game = new SceneGame();
        var (runner, _) = Harness.Runner(game);
        runner.Start();
        Assert.Throws<ArgumentException>(() => game.AddScene(name, new TrackingScene()));
        Assert.Throws<ArgumentException>(() => game.AddScene("Other", game.Scene("Menu")));
    }
}
