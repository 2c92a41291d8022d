// Scene selection: which renderer slots a scene choice activates (random, next, all, keep),
// how locks and enabled flags steer it, the renderer masks, and what it asks of the transform
// manager.
#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <vector>

#include "core_video.h"
#include "renderers/random.h"

namespace corvex::testing {
namespace {

class SceneSelection : public ::testing::Test {
 protected:
  SceneSelection() {
    SeedRandom(9);
    configDialogOpen = 0;
    refreshSceneLabelsHook = nullptr;
  }
  ~SceneSelection() override {
    configDialogOpen = 0;
    refreshSceneLabelsHook = nullptr;
  }
  std::vector<int32_t> Active() const {
    return {scene.activeRenderers, scene.activeRenderers + kRendererCount};
  }
  std::vector<int> ActiveSlots() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kRendererCount; ++slot) {
      if (scene.activeRenderers[slot] != 0) slots.push_back(slot);
    }
    return slots;
  }
  void OnlyEnabled(std::set<int> slots) {
    for (int slot = 0; slot < kRendererCount; ++slot) {
      scene.enabledRenderers[slot] = slots.count(slot) ? 1 : 0;
    }
  }
  void OnlyActive(std::set<int> slots) {
    for (int slot = 0; slot < kRendererCount; ++slot) {
      scene.activeRenderers[slot] = slots.count(slot) ? 1 : 0;
    }
  }
  TransformManager& transforms() { return *video.transformManager; }

  CoreVideo video{24, 16};
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
};

TEST_F(SceneSelection, RandomChoiceActivatesExactlyOneEnabledSlot) {
  OnlyEnabled({2, 7, 11});
  scene.ChooseScene(666, 2);
  std::set<int> seen;
  for (int i = 0; i < 100; ++i) {
    scene.ChooseScene(0, 2);
    ASSERT_EQ(ActiveSlots().size(), 1u);
    seen.insert(ActiveSlots()[0]);
  }
  EXPECT_EQ(seen, (std::set<int>{2, 7, 11}));
  OnlyEnabled({7});
  for (int i = 0; i < 10; ++i) {
    scene.ChooseScene(0, 2);
    EXPECT_EQ(ActiveSlots(), std::vector<int>{7});
  }
}

TEST_F(SceneSelection, RandomChoiceWithNoSlotEnabledDrawsFromEverySlot) {
  OnlyEnabled({});
  std::set<int> seen;
  for (int i = 0; i < 300; ++i) {
    scene.ChooseScene(0, 2);  // must return
    ASSERT_EQ(ActiveSlots().size(), 1u);
    seen.insert(ActiveSlots()[0]);
  }
  EXPECT_EQ(seen.size(), 14u);
}

TEST_F(SceneSelection, ARendererLockWinsOverTheEnabledFlags) {
  OnlyEnabled({2});
  scene.lockedRenderer = 5;
  for (int i = 0; i < 5; ++i) {
    scene.ChooseScene(0, 2);
    EXPECT_EQ(ActiveSlots(), std::vector<int>{5});
  }
  // Next and all do not look at the lock.
  scene.ChooseScene(1, 2);
  EXPECT_EQ(ActiveSlots(), std::vector<int>{6});
  scene.ChooseScene(666, 2);
  EXPECT_EQ(ActiveSlots().size(), 14u);
}

TEST_F(SceneSelection, ARendererLockOutsideTheSlotsCountsAsNone) {
  OnlyEnabled({4});
  for (int32_t lock : {14, 100, -2, -99999}) {
    scene.lockedRenderer = lock;
    scene.ChooseScene(0, 2);
    EXPECT_EQ(ActiveSlots(), std::vector<int>{4}) << "lock " << lock;
  }
}

TEST_F(SceneSelection, NextMovesTheFirstActiveSlotOnAndWrapsToTheFirst) {
  OnlyEnabled({3});
  OnlyActive({13});
  scene.ChooseScene(1, 2);
  EXPECT_EQ(ActiveSlots(), std::vector<int>{0});  // not enabled, still reached
  OnlyActive({4, 9});
  scene.ChooseScene(1, 2);
  EXPECT_EQ(ActiveSlots(), (std::vector<int>{5, 9}));
}

TEST_F(SceneSelection, AfterAllSlotsNextShrinksTheSetFromTheFront) {
  scene.ChooseScene(666, 2);
  EXPECT_EQ(Active(), std::vector<int32_t>(14, 1));
  for (int step = 1; step <= 13; ++step) {
    scene.ChooseScene(1, 2);
    std::vector<int> expected(14 - step);
    std::iota(expected.begin(), expected.end(), step);
    ASSERT_EQ(ActiveSlots(), expected) << "after " << step << " steps";
    EXPECT_EQ(scene.FirstActiveRenderer(), step);
  }
  scene.ChooseScene(1, 2);
  EXPECT_EQ(ActiveSlots(), std::vector<int>{0});
  scene.ChooseScene(666, 2);
  scene.ChooseScene(0, 2);
  EXPECT_EQ(ActiveSlots().size(), 1u);
}

TEST_F(SceneSelection, OtherModesKeepTheSlotsAndEveryChoiceRestartsTheScene) {
  OnlyActive({1, 8});
  transforms().currentTransform = 3;
  for (int mode : {2, 5, -1}) {
    scene.frameInScene = 321;
    scene.sceneJustStarted = 0;
    scene.ChooseScene(mode, 1);
    EXPECT_EQ(ActiveSlots(), (std::vector<int>{1, 8}));
    EXPECT_EQ(scene.frameInScene, 0);
    EXPECT_EQ(scene.sceneJustStarted, 1);
  }
  EXPECT_EQ(transforms().currentTransform, 6);  // three times the next transform
}

TEST_F(SceneSelection, TheTransformFollowsTheTransformModeAndItsLock) {
  transforms().SetTransformMask(1 << 4);  // only slot 10
  scene.ChooseScene(0, 0);
  EXPECT_EQ(transforms().currentTransform, 10);
  scene.ChooseScene(0, 2);
  EXPECT_EQ(transforms().currentTransform, 10);
  scene.ChooseScene(2, 1);
  EXPECT_EQ(transforms().currentTransform, 11);
  scene.lockedTransform = 2;  // not enabled: the lock still wins
  scene.ChooseScene(0, 0);
  EXPECT_EQ(transforms().currentTransform, 2);
  scene.ChooseScene(666, 1);
  EXPECT_EQ(transforms().currentTransform, 2);
}

TEST_F(SceneSelection, StartFirstSceneIsARandomRendererAndARandomTransform) {
  SeedRandom(31);
  const int firstRenderer = RandomInt(13);
  const int firstTransform = RandomInt(14);
  SeedRandom(31);
  scene.StartFirstScene();
  EXPECT_EQ(ActiveSlots(), std::vector<int>{firstRenderer});
  EXPECT_EQ(transforms().currentTransform, firstTransform);
  EXPECT_EQ(scene.sceneJustStarted, 1);
}

TEST_F(SceneSelection, TheOpenPanelIsRefreshedForTheRenderersAndForTheTransform) {
  static int refreshes;
  refreshes = 0;
  refreshSceneLabelsHook = [] { ++refreshes; };
  scene.ChooseScene(0, 0);
  EXPECT_EQ(refreshes, 0);
  configDialogOpen = 1;
  scene.ChooseScene(1, 2);
  EXPECT_EQ(refreshes, 2);
}

TEST_F(SceneSelection, FirstActiveRendererIsTheLowestSlotThatIsOne) {
  OnlyActive({6, 12});
  EXPECT_EQ(scene.FirstActiveRenderer(), 6);
  OnlyActive({});
  EXPECT_EQ(scene.FirstActiveRenderer(), 0);  // nothing active yet: slot 0 stands in
}

// Bit b is slot 13 - b; bits above 13 are ignored; a negative mask acts as its magnitude.
TEST_F(SceneSelection, RendererMasksUnpackAndPackBothWays) {
  EXPECT_EQ(scene.AllRenderersMask(), 16383);
  struct Case {
    int32_t mask;
    std::vector<int> slots;
    int32_t packed;
  };
  const Case cases[] = {
      {1, {13}, 1},
      {8192, {0}, 8192},
      {16384, {}, 0},
      {-3, {12, 13}, 3},
      {6143, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, 6143},
      {32767, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, 16383},
  };
  for (const Case& c : cases) {
    scene.SetRendererMask(c.mask);
    std::vector<int32_t> expected(14, 0);
    for (int slot : c.slots) expected[slot] = 1;
    EXPECT_EQ(std::vector<int32_t>(scene.enabledRenderers, scene.enabledRenderers + 14), expected)
        << "mask " << c.mask;
    EXPECT_EQ(scene.RendererMask(), c.packed) << "mask " << c.mask;
  }
}

}  // namespace
}  // namespace corvex::testing
