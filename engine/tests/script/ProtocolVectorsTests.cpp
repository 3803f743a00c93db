// The shared protocol vectors (engine/csharp/protocol-vectors.txt), which the
// C# tests read too: every data line the script host writes reads back to its
// values here, and every FRAME line the engine composes is the one listed.
#include "platform/InputState.h"
#include "script/FrameLine.h"
#include "script/ScriptBridge.h"
#include "script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

struct Vector
{
    std::string kind;
    std::vector<std::string> values;
    std::string line;
};

std::vector<Vector> ReadVectors()
{
    std::ifstream file(std::filesystem::path(MARROWVANE_SOURCE_DIR) / "engine/csharp/protocol-vectors.txt");
    std::vector<Vector> vectors;
    for (std::string text; std::getline(file, text);)
    {
        if (text.empty() || text[0] == '#')
        {
            continue;
        }
        const auto firstTab = text.find('\t');
        const auto secondTab = text.find('\t', firstTab + 1);
        Vector vector{text.substr(0, firstTab), {}, text.substr(secondTab + 1)};
        std::istringstream values(text.substr(firstTab + 1, secondTab - firstTab - 1));
        for (std::string value; values >> value;)
        {
            vector.values.push_back(value);
        }
        vectors.push_back(std::move(vector));
    }
    return vectors;
}

float F(const std::string& text)
{
    return std::strtof(text.c_str(), nullptr);
}

int I(const std::string& text)
{
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

void ExpectRect(const RectCommand& rect, const std::vector<std::string>& v)
{
    EXPECT_EQ(rect.x, F(v[0]));
    EXPECT_EQ(rect.y, F(v[1]));
    EXPECT_EQ(rect.width, F(v[2]));
    EXPECT_EQ(rect.height, F(v[3]));
    EXPECT_EQ(rect.color, (Color3{static_cast<std::uint8_t>(I(v[4])), static_cast<std::uint8_t>(I(v[5])),
                                  static_cast<std::uint8_t>(I(v[6]))}));
}

void SetHeld(const std::string& list, void (*set)(std::uint32_t, bool))
{
    if (list == "-")
    {
        return;
    }
    std::istringstream codes(list);
    for (std::string code; std::getline(codes, code, ',');)
    {
        set(static_cast<std::uint32_t>(I(code)), true);
    }
}

TEST(ProtocolVectors, EveryLineMeansItsValuesOnBothSides)
{
    const std::vector<Vector> vectors = ReadVectors();
    ASSERT_FALSE(vectors.empty());
    Testing::TemporaryDirectory project;
    for (const Vector& vector : vectors)
    {
        SCOPED_TRACE(vector.line);
        const auto& v = vector.values;
        ScriptBridge bridge;
        bridge.SetProjectDirectory(project.Path());
        if (vector.kind == "FRAME")
        {
            ResetInputStateForTests();
            SetHeld(v[1], SetKeyState);
            SetMousePosition(I(v[2]), I(v[2].substr(v[2].find(',') + 1)));
            SetHeld(v[3], SetMouseButtonState);
            std::string line;
            ComposeFrameLine(F(v[0]), line);
            EXPECT_EQ(line, vector.line);
            ResetInputStateForTests();
            continue;
        }
        bridge.HandleLine(vector.line);
        const FrameSnapshot& snapshot = bridge.GetSnapshot();
        if (vector.kind == "RECT" || vector.kind == "DEBUG_RECT")
        {
            const auto& list = vector.kind == "RECT" ? snapshot.rects : snapshot.debugRects;
            ASSERT_EQ(list.size(), 1u);
            ExpectRect(list[0], v);
        }
        else if (vector.kind == "SPRITE")
        {
            ASSERT_EQ(snapshot.sprites.size(), 1u);
            const SpriteCommand& sprite = snapshot.sprites[0];
            ExpectRect(RectCommand{sprite.x, sprite.y, sprite.width, sprite.height, sprite.color}, v);
            std::string path = v[7];
            for (std::size_t i = 8; i + 2 < v.size(); ++i)
            {
                path += " " + v[i]; // a path may hold blanks
            }
            EXPECT_EQ(sprite.texturePath, (project.Path() / path).lexically_normal());
            EXPECT_EQ(sprite.flipX, v[v.size() - 2] == "true");
            EXPECT_EQ(sprite.flipY, v[v.size() - 1] == "true");
        }
        else if (vector.kind == "CAMERA")
        {
            EXPECT_EQ(snapshot.camera.x, F(v[0]));
            EXPECT_EQ(snapshot.camera.y, F(v[1]));
            EXPECT_EQ(snapshot.camera.zoom, F(v[2]));
            EXPECT_EQ(snapshot.camera.viewWidth, F(v[3]));
            EXPECT_EQ(snapshot.camera.viewHeight, F(v[4]));
        }
        else if (vector.kind == "COLLIDER")
        {
            ASSERT_EQ(bridge.GetColliders().size(), 1u);
            const ColliderInfo& collider = bridge.GetColliders()[0];
            EXPECT_EQ(collider.id, I(v[0]));
            EXPECT_EQ(collider.x, F(v[1]));
            EXPECT_EQ(collider.y, F(v[2]));
            EXPECT_EQ(collider.width, F(v[3]));
            EXPECT_EQ(collider.height, F(v[4]));
        }
        else
        {
            ADD_FAILURE() << "unknown kind " << vector.kind;
        }
    }
}

} // namespace
} // namespace Marrowvane
