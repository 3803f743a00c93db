#include "core/FileSystem.h"
#include "script/ScriptBridge.h"
#include "script/TexturePathCache.h"

#include "script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

using Testing::TemporaryDirectory;

// The bridge's frame state as one line of text, paths shown relative to the
// project ("P" stands for it), so that a table can say what a line does.
class HandleLineTest : public ::testing::Test
{
protected:
    void SetUp() override { bridge.SetProjectDirectory(temporary.Path()); }

    std::string Describe() const { return Describe(bridge); }

    std::string Describe(const ScriptBridge& subject) const
    {
        const FrameSnapshot& snapshot = subject.GetSnapshot();
        std::ostringstream text;
        const auto rect = [&](const RectCommand& r)
        {
            text << '[' << r.x << ',' << r.y << ',' << r.width << ',' << r.height << ' ' << int(r.color.r)
                 << ',' << int(r.color.g) << ',' << int(r.color.b) << ']';
        };
        text << "rects:";
        for (const RectCommand& r : snapshot.rects)
        {
            rect(r);
        }
        text << " debug:";
        for (const RectCommand& r : snapshot.debugRects)
        {
            rect(r);
        }
        text << " sprites:";
        for (const SpriteCommand& s : snapshot.sprites)
        {
            std::string path = s.texturePath.string();
            const std::string base = temporary.Path().string();
            if (path.rfind(base, 0) == 0)
            {
                path = "P" + path.substr(base.size());
            }
            text << '[' << s.x << ',' << s.y << ',' << s.width << ',' << s.height << ' ' << int(s.color.r)
                 << ',' << int(s.color.g) << ',' << int(s.color.b) << ' ' << path << (s.flipX ? " fx" : "")
                 << (s.flipY ? " fy" : "") << ']';
        }
        text << " colliders:";
        for (const ColliderInfo& c : subject.GetColliders())
        {
            text << '[' << c.id << ' ' << c.x << ',' << c.y << ',' << c.width << ',' << c.height << ']';
        }
        const Camera& camera = snapshot.camera;
        text << " camera:" << camera.x << ',' << camera.y << ',' << camera.zoom << ',' << camera.viewWidth
             << ',' << camera.viewHeight;
        return text.str();
    }

    TemporaryDirectory temporary;
    ScriptBridge bridge;
};

const std::string kEmpty = "rects: debug: sprites: colliders: camera:0,0,1,1280,720";

struct StateCase
{
    const char* line;
    std::string expected;
};

TEST_F(HandleLineTest, DataLinesFillTheSnapshotAndTheColliders)
{
    const std::vector<StateCase> cases = {
        // rects, field counts, colours cut to 8 bits
        {"RECT|10|20|30|40|255|0|0",
         "rects:[10,20,30,40 255,0,0] debug: sprites: colliders: camera:0,0,1,1280,720"},
        {"RECT|10|20|30|40|255|0", kEmpty},
        {"RECT|10|20|30|40|255|0|0|9", kEmpty},
        {"RECT|1|2|3|4|5|6|", kEmpty},
        {"RECT|1|2|3|4|300|-1|256",
         "rects:[1,2,3,4 44,255,0] debug: sprites: colliders: camera:0,0,1,1280,720"},
        {"RECT|12.5px| 3|+4|0x10|3.7|+12|0x10",
         "rects:[12.5,3,4,16 3,12,0] debug: sprites: colliders: camera:0,0,1,1280,720"},
        {"DEBUG_RECT|1|2|3|4|5|6|7",
         "rects: debug:[1,2,3,4 5,6,7] sprites: colliders: camera:0,0,1,1280,720"},
        {"DEBUG_RECT|1|2|3|4|5|6", kEmpty},
        // numbers that do not parse, or lie out of range: the line is dropped whole
        {"RECT|a|2|3|4|5|6|7", kEmpty},
        {"RECT|1|2|3|4||6|7", kEmpty},
        {"RECT|1|2|3|4|5|6|x", kEmpty},
        {"RECT|1e39|2|3|4|5|6|7", kEmpty},
        {"RECT|1e-40|2|3|4|5|6|7", kEmpty},
        {"RECT|1|2|3|4|5|6|2147483648", kEmpty},
        {"DEBUG_RECT|1|2|3|-|5|6|7", kEmpty},
        // sprites
        {"SPRITE|0|0|32|32|255|255|255|player.png",
         "rects: debug: sprites:[0,0,32,32 255,255,255 P/player.png] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|32|32|255|255|255|player.png|True|false",
         "rects: debug: sprites:[0,0,32,32 255,255,255 P/player.png fx] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|32|32|255|255|255|player.png|true|True",
         "rects: debug: sprites:[0,0,32,32 255,255,255 P/player.png fx fy] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|32|32|255|255|255|player.png|TRUE|1",
         "rects: debug: sprites:[0,0,32,32 255,255,255 P/player.png] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|32|32|255|255|255|a.png|True", kEmpty},
        {"SPRITE|0|0|32|32|255|255|255", kEmpty},
        {"SPRITE|0|0|1|1|1|1|1|a|b|c",
         "rects: debug: sprites:[0,0,1,1 1,1,1 P/a] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|1|1|1|1|1|sub/../img/./b.png",
         "rects: debug: sprites:[0,0,1,1 1,1,1 P/img/b.png] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|1|1|1|1|1|/abs//dir/../c.png",
         "rects: debug: sprites:[0,0,1,1 1,1,1 /abs/c.png] colliders: camera:0,0,1,1280,720"},
        {"SPRITE|0|0|32|32|1|2|3|x.png|Q", kEmpty},
        {"SPRITE|x|0|32|32|1|2|3|x.png", kEmpty},
        {"SPRITE|0|0|32|32|1|2|99999999999|x.png", kEmpty},
        // camera
        {"CAMERA|5|6", "rects: debug: sprites: colliders: camera:5,6,1,1280,720"},
        {"CAMERA|5|6|2|800|600", "rects: debug: sprites: colliders: camera:5,6,2,800,600"},
        {"CAMERA|5|6|2|800|600|9", "rects: debug: sprites: colliders: camera:5,6,2,800,600"},
        {"CAMERA|5|6|2", "rects: debug: sprites: colliders: camera:5,6,1,1280,720"},
        {"CAMERA|5|6|2|800", "rects: debug: sprites: colliders: camera:5,6,1,1280,720"},
        {"CAMERA|5", kEmpty},
        {"CAMERA|5|6|", "rects: debug: sprites: colliders: camera:5,6,1,1280,720"},
        {"CAMERA|1|2|0.001|-5|1e30", "rects: debug: sprites: colliders: camera:1,2,0.001,-5,1e+30"},
        // a failing camera field keeps what was stored before it
        {"CAMERA|bad|6|2|800|600", kEmpty},
        {"CAMERA|5|bad|2|800|600", "rects: debug: sprites: colliders: camera:5,0,1,1280,720"},
        {"CAMERA|5|6|bad|800|600", "rects: debug: sprites: colliders: camera:5,6,1,1280,720"},
        {"CAMERA|5|6|2|bad|600", "rects: debug: sprites: colliders: camera:5,6,2,1280,720"},
        {"CAMERA|5|6|2|800|1e99", "rects: debug: sprites: colliders: camera:5,6,2,800,720"},
        // colliders
        {"COLLIDER|7|1|2|3|4", "rects: debug: sprites: colliders:[7 1,2,3,4] camera:0,0,1,1280,720"},
        {"COLLIDER|300|1|2|3|4", "rects: debug: sprites: colliders:[300 1,2,3,4] camera:0,0,1,1280,720"},
        {"COLLIDER|-2147483648|0|0|0|0",
         "rects: debug: sprites: colliders:[-2147483648 0,0,0,0] camera:0,0,1,1280,720"},
        {"COLLIDER|2147483648|0|0|0|0", kEmpty},
        {"COLLIDER|7|1|2|3", kEmpty},
        {"COLLIDER|7|1|2|3|4|5", kEmpty},
        {"COLLIDER|7.9|1|2|3|4", "rects: debug: sprites: colliders:[7 1,2,3,4] camera:0,0,1,1280,720"},
        // tags only as whole tags with their separator
        {"RECTANGLE|1|2|3|4|5|6|7", kEmpty},
        {"rect|1|2|3|4|5|6|7", kEmpty},
    };
    for (const StateCase& c : cases)
    {
        SCOPED_TRACE(c.line);
        ScriptBridge fresh;
        fresh.SetProjectDirectory(temporary.Path());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_NO_THROW(fresh.HandleLine(c.line));
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        const bool isText =
            std::string(c.line).find("RECTANGLE") == 0 || std::string(c.line).find("rect") == 0;
        EXPECT_EQ(Describe(fresh), c.expected);
        EXPECT_EQ(err, "");
        if (!isText)
        {
            EXPECT_EQ(out, "") << "data lines are dropped without a message";
        }
    }
}

TEST_F(HandleLineTest, AnUnresolvableTexturePathDropsTheLine)
{
    const std::string tooLong(300, 'n');
    EXPECT_NO_THROW(bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|" + tooLong + "/a.png"));
    EXPECT_NO_THROW(bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|/" + tooLong + "|True|True"));
    EXPECT_EQ(Describe(), kEmpty);
    bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|ok.png");
    EXPECT_EQ(bridge.GetSnapshot().sprites.size(), 1u);
}

TEST_F(HandleLineTest, AnEmptyTexturePathResolvesToTheProjectDirectory)
{
    bridge.HandleLine("SPRITE|0|0|32|32|1|2|3||True|True");
    ASSERT_EQ(bridge.GetSnapshot().sprites.size(), 1u);
    const SpriteCommand& sprite = bridge.GetSnapshot().sprites[0];
    EXPECT_EQ(sprite.texturePath, ResolvePath(temporary.Path(), ""));
    EXPECT_TRUE(sprite.flipX);
    EXPECT_TRUE(sprite.flipY);
    EXPECT_EQ(sprite.color, (Color3{1, 2, 3}));
}

TEST_F(HandleLineTest, RecordsAppendInTheOrderOfTheirLines)
{
    bridge.HandleLine("RECT|1|0|0|0|0|0|0");
    bridge.HandleLine("COLLIDER|1|0|0|0|0");
    bridge.HandleLine("RECT|2|0|0|0|0|0|0");
    bridge.HandleLine("DEBUG_RECT|3|0|0|0|0|0|0");
    ASSERT_EQ(bridge.GetSnapshot().rects.size(), 2u);
    EXPECT_EQ(bridge.GetSnapshot().rects[0].x, 1.0f);
    EXPECT_EQ(bridge.GetSnapshot().rects[1].x, 2.0f);
    EXPECT_EQ(bridge.GetSnapshot().debugRects.size(), 1u);
    EXPECT_EQ(bridge.GetColliders().size(), 1u);
}

struct LogCase
{
    const char* line;
    std::string out;
    std::string err;
};

TEST_F(HandleLineTest, LogErrorAndTextLinesGoToTheConsole)
{
    const std::vector<LogCase> cases = {
        {"LOG|Warn|disk|full", "[Warn] disk|full\n", ""},
        {"LOG|Debug|x", "[Info] x\n", ""},
        {"LOG|Info|hello world", "[Info] hello world\n", ""},
        {"LOG|warn|x", "[Info] x\n", ""},
        {"LOG|Warning|x", "[Info] x\n", ""},
        {"LOG|Error|boom", "", "[Error] boom\n"},
        {"LOG||text", "[Info] text\n", ""},
        {"LOG|Info|", "[Info] \n", ""},
        {"LOG|Warn", "", ""},
        {"LOG|", "", ""},
        {"ERROR|NullReference", "", "[Error] NullReference\n"},
        {"ERROR|a|b", "", "[Error] a|b\n"},
        {"ERROR|", "", "[Error] \n"},
        {"hello", "[Info] [ScriptHost] hello\n", ""},
        {"", "", ""},
        {"READY ", "[Info] [ScriptHost] READY \n", ""},
        {" READY", "[Info] [ScriptHost]  READY\n", ""},
        {"READY\r", "[Info] [ScriptHost] READY\r\n", ""},
        {"ERROR", "[Info] [ScriptHost] ERROR\n", ""},
        {"LOG", "[Info] [ScriptHost] LOG\n", ""},
        {"RECT", "[Info] [ScriptHost] RECT\n", ""},
        {"Unhandled exception. System.Exception: x",
         "[Info] [ScriptHost] Unhandled exception. System.Exception: x\n", ""},
    };
    for (const LogCase& c : cases)
    {
        SCOPED_TRACE(c.line);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        bridge.HandleLine(c.line);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    }
    EXPECT_FALSE(bridge.IsReadyReceived());
    EXPECT_EQ(Describe(), kEmpty);
}

TEST_F(HandleLineTest, HandshakeWordsSetTheirFlagsAsWholeLinesOnly)
{
    bridge.HandleLine("READY");
    EXPECT_TRUE(bridge.IsReadyReceived());
    EXPECT_FALSE(bridge.IsStartedReceived());
    bridge.HandleLine("STARTED");
    EXPECT_TRUE(bridge.IsStartedReceived());
    testing::internal::CaptureStdout();
    bridge.HandleLine("END_FRAME ");
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(bridge.IsEndFrameReceived());
    bridge.HandleLine("END_FRAME");
    EXPECT_TRUE(bridge.IsEndFrameReceived());
}

TEST_F(HandleLineTest, ClearFrameEmptiesTheListsButKeepsCameraAndHandshakes)
{
    bridge.HandleLine("READY");
    bridge.HandleLine("CAMERA|5|6|2|800|600");
    bridge.HandleLine("RECT|1|2|3|4|5|6|7");
    bridge.HandleLine("SPRITE|1|2|3|4|5|6|7|a.png");
    bridge.HandleLine("DEBUG_RECT|1|2|3|4|5|6|7");
    bridge.HandleLine("COLLIDER|1|2|3|4|5");
    bridge.HandleLine("END_FRAME");
    bridge.ClearFrame();
    EXPECT_EQ(Describe(), "rects: debug: sprites: colliders: camera:5,6,2,800,600");
    EXPECT_TRUE(bridge.IsReadyReceived());
    EXPECT_FALSE(bridge.IsEndFrameReceived());
}

TEST_F(HandleLineTest, LinesFromTheChildAreFramedBeforeHandling)
{
    bridge.ReceiveOutput("RECT|1|2|3|4|5|6|7\r\nREA");
    EXPECT_EQ(bridge.GetSnapshot().rects.size(), 1u);
    EXPECT_FALSE(bridge.IsReadyReceived());
    bridge.ReceiveOutput("DY\r\n");
    EXPECT_TRUE(bridge.IsReadyReceived());
    testing::internal::CaptureStdout();
    bridge.ReceiveOutput("STARTED\r\r\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Info] [ScriptHost] STARTED\r\n");
    EXPECT_FALSE(bridge.IsStartedReceived());
}

TEST_F(HandleLineTest, TexturePathsAreResolvedOncePerDistinctText)
{
    for (int i = 0; i < 1000; ++i)
    {
        bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|player.png");
        bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|enemy.png|true|false");
    }
    bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|./player.png");
    EXPECT_EQ(bridge.GetSnapshot().sprites.size(), 2001u);
    EXPECT_EQ(bridge.GetTexturePathCache().ResolveCount(), 3u);
    EXPECT_EQ(bridge.GetSnapshot().sprites.front().texturePath,
              bridge.GetSnapshot().sprites.back().texturePath);

    // Also a text that cannot be resolved is tried once.
    const std::string tooLong(300, 'n');
    for (int i = 0; i < 10; ++i)
    {
        bridge.HandleLine("SPRITE|0|0|1|1|1|1|1|" + tooLong);
    }
    EXPECT_EQ(bridge.GetTexturePathCache().ResolveCount(), 4u);
}

TEST(TexturePathCache, StaysBoundedWhateverTheTexts)
{
    TemporaryDirectory temporary;
    TexturePathCache cache;
    cache.SetBase(temporary.Path());
    for (std::size_t i = 0; i < 3 * TexturePathCache::kMaxEntries; ++i)
    {
        const std::string text = "t" + std::to_string(i) + ".png";
        const std::filesystem::path* resolved = cache.Resolve(text);
        ASSERT_NE(resolved, nullptr);
        EXPECT_EQ(*resolved, temporary.Path() / text);
        EXPECT_LE(cache.Size(), TexturePathCache::kMaxEntries);
    }
}

TEST_F(HandleLineTest, OneFrameHoldsAtMostTheRecordLimit)
{
    testing::internal::CaptureStdout();
    for (std::size_t i = 0; i < ScriptBridge::kMaxRecordsPerList + 5; ++i)
    {
        bridge.HandleLine("RECT|1|2|3|4|5|6|7");
        bridge.HandleLine("COLLIDER|1|2|3|4|5");
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(bridge.GetSnapshot().rects.size(), ScriptBridge::kMaxRecordsPerList);
    EXPECT_EQ(bridge.GetColliders().size(), ScriptBridge::kMaxRecordsPerList);
    EXPECT_EQ(out, "[Warn] Script host sent more than 262144 records of one kind in one frame; the rest were "
                   "dropped.\n");
    bridge.ClearFrame();
    bridge.HandleLine("RECT|1|2|3|4|5|6|7");
    EXPECT_EQ(bridge.GetSnapshot().rects.size(), 1u);
}

} // namespace
} // namespace Marrowvane
