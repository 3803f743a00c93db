#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Marrowvane
{
namespace
{

// Records the hooks it receives in a log shared by the test.
class RecordingEntity : public Entity
{
public:
    RecordingEntity(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    ~RecordingEntity() override { log.push_back("~" + name); }

    void Start() override { log.push_back("Start " + name); }
    void Update(float dt) override { log.push_back("Update " + name + " " + std::to_string(dt)); }

private:
    std::string name;
    std::vector<std::string>& log;
};

// A game's own scene type, which adds entities of its own classes.
class RecordingScene : public Scene
{
public:
    explicit RecordingScene(std::vector<std::string>& log) : log(log) {}

    Entity* Add(const std::string& name)
    {
        entities.push_back(std::make_unique<RecordingEntity>(name, log));
        return entities.back().get();
    }

private:
    std::vector<std::string>& log;
};

void ExpectDefaultTransform(const Transform& transform)
{
    EXPECT_EQ(transform.positionX, 0.0f);
    EXPECT_EQ(transform.positionY, 0.0f);
    EXPECT_EQ(transform.scaleX, 1.0f);
    EXPECT_EQ(transform.scaleY, 1.0f);
    EXPECT_EQ(transform.rotation, 0.0f);
}

TEST(SceneTest, ANewSceneIsEmptyAndNotStarted)
{
    Scene scene;
    EXPECT_TRUE(scene.Entities().empty());
    EXPECT_FALSE(scene.IsStarted());
    scene.Update(0.016f);
    EXPECT_FALSE(scene.IsStarted());
    scene.Start();
    EXPECT_TRUE(scene.IsStarted());
    EXPECT_TRUE(scene.Entities().empty());
}

TEST(SceneTest, CreatedEntitiesHaveTheDefaultTransformAndStayPut)
{
    Scene scene;
    Entity* const first = scene.CreateEntity();
    ExpectDefaultTransform(first->transform);
    first->transform.positionX = 42.0f;
    for (int i = 0; i < 1000; ++i)
    {
        scene.CreateEntity();
    }
    ASSERT_EQ(scene.Entities().size(), 1001u);
    EXPECT_EQ(scene.Entities().front().get(), first);
    EXPECT_EQ(first->transform.positionX, 42.0f);

    scene.Start();
    scene.Update(0.5f);
    Entity* const late = scene.CreateEntity();
    ExpectDefaultTransform(late->transform);
    EXPECT_EQ(scene.Entities().back().get(), late);
}

TEST(SceneTest, StartRunsOnceInCreationOrderAndUpdateRunsEveryTime)
{
    std::vector<std::string> log;
    {
        RecordingScene scene(log);
        scene.Add("a");
        scene.Add("b");
        scene.Update(0.25f); // before Start: still updates
        scene.Start();
        scene.Start();
        scene.Add("c"); // after Start: never started
        scene.Start();
        scene.Update(0.5f);
    }
    const std::vector<std::string> expected = {
        "Update a 0.250000", "Update b 0.250000", "Start a", "Start b", "Update a 0.500000",
        "Update b 0.500000", "Update c 0.500000", "~a",      "~b",      "~c",
    };
    EXPECT_EQ(log, expected);
}

TEST(EntityTest, TheBaseHooksDoNothing)
{
    Entity entity;
    entity.Start();
    entity.Update(1.0f);
    ExpectDefaultTransform(entity.transform);
}

} // namespace
} // namespace Marrowvane
