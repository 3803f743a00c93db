using System.Collections.Generic;
using Marrowvane;

namespace BasicGame;

// The map, drawn as text: '#' wall, 'c' coin, 'p' where the player starts.
public sealed class Level
{
    public const float TileSize = 48f;

    private static readonly string[] Map =
    {
        "########################################",
        "#p.....#...........c..........#.......c#",
        "#......#......................#........#",
        "#..c...#....#########.....c...#...###..#",
        "#......#....#.......#.........#........#",
        "#...........#...c...#..................#",
        "#...........#.......#.........#####....#",
        "#####..######...........c.........#....#",
        "#...........#.......#.............#....#",
        "#..c........#########.....#####...#..c.#",
        "#.........................#...#........#",
        "#.......####......c.......#.c.#........#",
        "#..........#..............#...#....#####",
        "#....c.....#......#####...........c....#",
        "#..........#...........................#",
        "#.....................#................#",
        "#..######.....c.......#.......c....#...#",
        "#.......#.............######.......#...#",
        "#...c...#..........................#.c.#",
        "#.......#.....#####......c.........#...#",
        "#.............#........................#",
        "########################################",
    };

    public List<Rect> Walls { get; } = new();
    public List<Rect> CoinSpots { get; } = new();
    public Rect PlayerStart { get; private set; }
    public Rect Bounds => new(0, 0, Map[0].Length * TileSize, Map.Length * TileSize);

    public Level()
    {
        for (int row = 0; row < Map.Length; row++)
        {
            string line = Map[row];
            for (int column = 0; column < line.Length; column++)
            {
                var tile = new Rect(column * TileSize, row * TileSize, TileSize, TileSize);
                switch (line[column])
                {
                    case '#':
                        // One box per run of wall tiles keeps the collider list short.
                        int runEnd = column;
                        while (runEnd + 1 < line.Length && line[runEnd + 1] == '#')
                        {
                            runEnd++;
                        }
                        Walls.Add(tile with { Width = (runEnd - column + 1) * TileSize });
                        column = runEnd;
                        break;
                    case 'c':
                        CoinSpots.Add(tile);
                        break;
                    case 'p':
                        PlayerStart = tile;
                        break;
                }
            }
        }
    }
}
