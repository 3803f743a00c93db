#include "render/FrameSnapshot.h"

#include <gtest/gtest.h>

namespace Marrowvane
{
namespace
{

TEST(FrameSnapshotTest, ANewSnapshotHasTheDefaultCameraAndEmptyLists)
{
    const FrameSnapshot snapshot;
    EXPECT_EQ(snapshot.camera.x, 0.0f);
    EXPECT_EQ(snapshot.camera.y, 0.0f);
    EXPECT_EQ(snapshot.camera.zoom, 1.0f);
    EXPECT_EQ(snapshot.camera.viewWidth, 1280.0f);
    EXPECT_EQ(snapshot.camera.viewHeight, 720.0f);
    EXPECT_TRUE(snapshot.rects.empty());
    EXPECT_TRUE(snapshot.sprites.empty());
    EXPECT_TRUE(snapshot.debugRects.empty());
}

TEST(FrameSnapshotTest, RecordsStartAtZero)
{
    const RectCommand rect;
    EXPECT_EQ(rect.x, 0.0f);
    EXPECT_EQ(rect.y, 0.0f);
    EXPECT_EQ(rect.width, 0.0f);
    EXPECT_EQ(rect.height, 0.0f);
    EXPECT_EQ(rect.color, (Color3{0, 0, 0}));

    const SpriteCommand sprite;
    EXPECT_EQ(sprite.x, 0.0f);
    EXPECT_EQ(sprite.y, 0.0f);
    EXPECT_EQ(sprite.width, 0.0f);
    EXPECT_EQ(sprite.height, 0.0f);
    EXPECT_EQ(sprite.color, (Color3{0, 0, 0}));
    EXPECT_TRUE(sprite.texturePath.empty());
    EXPECT_FALSE(sprite.flipX);
    EXPECT_FALSE(sprite.flipY);

    const ColliderInfo collider;
    EXPECT_EQ(collider.id, 0);
    EXPECT_EQ(collider.x, 0.0f);
    EXPECT_EQ(collider.y, 0.0f);
    EXPECT_EQ(collider.width, 0.0f);
    EXPECT_EQ(collider.height, 0.0f);
}

TEST(FrameSnapshotTest, ListsKeepTheirRecordsInOrderAndByValue)
{
    FrameSnapshot snapshot;
    snapshot.rects.push_back({1.0f, 2.0f, 3.0f, 4.0f, {5, 6, 7}});
    snapshot.rects.push_back({8.0f, 0.0f, 0.0f, 0.0f, {}});
    snapshot.sprites.push_back({0.0f, 0.0f, 1.0f, 1.0f, {}, "assets/hero.png", true, false});

    FrameSnapshot copy = snapshot;
    snapshot.rects.clear();
    snapshot.sprites.clear();
    ASSERT_EQ(copy.rects.size(), 2u);
    EXPECT_EQ(copy.rects[0].color, (Color3{5, 6, 7}));
    EXPECT_EQ(copy.rects[1].x, 8.0f);
    ASSERT_EQ(copy.sprites.size(), 1u);
    EXPECT_EQ(copy.sprites[0].texturePath, "assets/hero.png");
    EXPECT_TRUE(copy.sprites[0].flipX);
    EXPECT_TRUE(copy.debugRects.empty());
}

} // namespace
} // namespace Marrowvane
