using System;
using System.Collections.Generic;
using Marrowvane;

namespace BasicGame;

// The level: walk around, pick up every coin, and the game moves on to "Cleared".
public sealed class PlayScene : Scene
{
    private const int FirstCoinId = 100;
    private static readonly Color FloorLight = new(44, 48, 60);
    private static readonly Color WallEdge = new(24, 26, 34);
    private static readonly Color WallFace = new(92, 84, 120);

    private readonly Level level = new();
    private readonly List<Rect?> coins = new(); // null once collected, so ids stay put
    private Player player = null!;
    private int collected;

    public int CoinCount => coins.Count;

    public override void Enter()
    {
        player = new Player(level.PlayerStart);
        coins.Clear();
        foreach (Rect spot in level.CoinSpots)
        {
            coins.Add(new Rect(spot.X + 8, spot.Y + 8, 32, 32));
        }
        collected = 0;
        FollowPlayer(snap: true, dt: 0);
    }

    public override void Update(float dt)
    {
        player.Move(Input, dt, level.Walls);
        FollowPlayer(snap: false, dt);

        Colliders.Add(Player.ColliderId, player.Box);
        for (int i = 0; i < coins.Count; i++)
        {
            if (coins[i] is Rect coin)
            {
                Colliders.Add(FirstCoinId + i, coin);
            }
        }
        for (int i = 0; i < level.Walls.Count; i++)
        {
            Colliders.Add(1000 + i, level.Walls[i]);
        }
    }

    public override void OnCollisionBegin(int id, int otherId)
    {
        int coin = otherId - FirstCoinId;
        if (id != Player.ColliderId || coin < 0 || coin >= coins.Count || coins[coin] == null)
        {
            return;
        }
        coins[coin] = null;
        collected++;
        Log.Info($"Coin! {collected} of {coins.Count}");
        if (collected == coins.Count)
        {
            Game.SwitchScene("Cleared");
        }
    }

    public override void Draw(Canvas canvas)
    {
        DrawFloor(canvas);
        foreach (Rect wall in level.Walls)
        {
            canvas.DrawRect(wall, WallEdge);
            canvas.DrawRect(wall.X + 3, wall.Y + 3, wall.Width - 6, wall.Height - 6, WallFace);
        }
        float bob = MathF.Sin((float)Game.Time * 4f) * 3f;
        foreach (Rect? coin in coins)
        {
            if (coin is Rect box)
            {
                canvas.DrawSprite("assets/coin.png", box.Offset(0, bob), fallback: Color.Yellow);
            }
        }
        player.Draw(canvas);
        ScoreBar.Draw(canvas, Camera, collected, coins.Count);
    }

    // A checkerboard, only where the camera looks: the light squares are drawn,
    // the dark ones are the project's background colour showing through.
    private void DrawFloor(Canvas canvas)
    {
        Rect view = Camera.VisibleArea;
        int firstColumn = Math.Max(0, (int)(view.X / Level.TileSize));
        int firstRow = Math.Max(0, (int)(view.Y / Level.TileSize));
        int lastColumn = Math.Min((int)(level.Bounds.Width / Level.TileSize) - 1, (int)(view.Right / Level.TileSize));
        int lastRow = Math.Min((int)(level.Bounds.Height / Level.TileSize) - 1, (int)(view.Bottom / Level.TileSize));
        for (int row = firstRow; row <= lastRow; row++)
        {
            for (int column = firstColumn + (firstColumn + row) % 2; column <= lastColumn; column += 2)
            {
                canvas.DrawRect(column * Level.TileSize, row * Level.TileSize, Level.TileSize, Level.TileSize, FloorLight);
            }
        }
    }

    // Eases the camera towards the player and keeps it inside the level.
    private void FollowPlayer(bool snap, float dt)
    {
        float fromX = Camera.X, fromY = Camera.Y;
        Camera.CenterOn(player.Box.CenterX, player.Box.CenterY);
        Camera.ClampTo(level.Bounds);
        if (!snap)
        {
            float follow = 1f - MathF.Exp(-8f * dt);
            Camera.X = fromX + (Camera.X - fromX) * follow;
            Camera.Y = fromY + (Camera.Y - fromY) * follow;
        }
    }
}
