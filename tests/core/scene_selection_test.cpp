// Scene selection: which renderer slots and which transform a choice makes (random, next, all,
// keep), how locks and enabled flags steer it, and the masks of the enabled flags.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core_video.h"
#include "renderers/random.h"

namespace corvex::testing {
namespace {

void OnlyOn(int32_t* flags, int count, std::set<int> slots) {
  for (int slot = 0; slot < count; ++slot) flags[slot] = slots.count(slot) ? 1 : 0;
}

class SceneSelection : public ::testing::Test {
 protected:
  SceneSelection() { SeedRandom(9); }
  ~SceneSelection() override {
    configDialogOpen = 0;
    refreshSceneLabelsHook = nullptr;
  }
  std::vector<int> Active() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kRendererCount; ++slot) {
      if (scene.activeRenderers[slot] != 0) slots.push_back(slot);
    }
    return slots;
  }
  // Slot 5 draws nothing, so its build is recognisable by the weights of its first entry.
  bool RebuiltAsFuzzyFade() const { return transforms.sourceWeights[0] == 63; }
  void ForgetTheMap() { std::memset(transforms.sourceWeights, 0, 4); }

  CoreVideo video{24, 16};
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
  TransformManager& transforms = *video.transformManager;
};

TEST_F(SceneSelection, RandomChoicesDrawTheRendererThenTheTransformFromEnabledSlotsOnly) {
  SeedRandom(31);
  const int renderer = RandomInt(13), transform = RandomInt(14);
  SeedRandom(31);
  scene.StartFirstScene();
  EXPECT_EQ(Active(), std::vector<int>{renderer});
  EXPECT_EQ(transforms.currentTransform, transform);
  OnlyOn(scene.enabledRenderers, 14, {2, 7, 11});
  OnlyOn(transforms.enabledTransforms, 15, {3, 9, 14});
  scene.ChooseScene(666, 2);
  std::set<int> renderers, maps;
  for (int i = 0; i < 120; ++i) {
    scene.ChooseScene(0, 0);
    ASSERT_EQ(Active().size(), 1u);
    renderers.insert(Active()[0]);
    maps.insert(transforms.currentTransform);
  }
  EXPECT_EQ(renderers, (std::set<int>{2, 7, 11}));
  EXPECT_EQ(maps, (std::set<int>{3, 9, 14}));
  // Nothing enabled: every renderer slot may be drawn, and the transform is kept but rebuilt.
  OnlyOn(scene.enabledRenderers, 14, {});
  OnlyOn(transforms.enabledTransforms, 15, {});
  transforms.currentTransform = 5;
  renderers.clear();
  for (int i = 0; i < 300; ++i) {
    ForgetTheMap();
    scene.ChooseScene(0, 0);
    renderers.insert(Active()[0]);
    ASSERT_EQ(transforms.currentTransform, 5);
    ASSERT_TRUE(RebuiltAsFuzzyFade());
  }
  EXPECT_EQ(renderers.size(), 14u);
}

TEST_F(SceneSelection, LocksWinOverTheEnabledFlagsAndLocksOutsideTheSlotsCountAsNone) {
  OnlyOn(scene.enabledRenderers, 14, {2});
  OnlyOn(transforms.enabledTransforms, 15, {2});
  scene.lockedRenderer = scene.lockedTransform = 5;
  for (int mode : {0, 1, 2}) {
    transforms.currentTransform = 11;
    ForgetTheMap();
    scene.ChooseScene(0, mode);
    EXPECT_EQ(Active(), std::vector<int>{5});
    EXPECT_EQ(transforms.currentTransform, 5) << "mode " << mode;
    EXPECT_EQ(RebuiltAsFuzzyFade(), mode != 2) << "mode " << mode;
  }
  scene.ChooseScene(1, 2);  // next and all do not look at the renderer lock
  EXPECT_EQ(Active(), std::vector<int>{6});
  scene.ChooseScene(666, 2);
  EXPECT_EQ(Active().size(), 14u);
  for (auto [renderer, transform] : {std::pair{14, 15}, {100, 99}, {-2, -2}, {-99999, -1000}}) {
    scene.lockedRenderer = renderer;
    scene.lockedTransform = transform;
    scene.ChooseScene(0, 0);
    EXPECT_EQ(Active(), std::vector<int>{2}) << "lock " << renderer;
    EXPECT_EQ(transforms.currentTransform, 2) << "lock " << transform;
  }
}

TEST_F(SceneSelection, NextWrapsFromTheLastSlotAndShrinksTheSetOfAllFromTheFront) {
  OnlyOn(scene.enabledRenderers, 14, {3});
  OnlyOn(transforms.enabledTransforms, 15, {7});
  OnlyOn(scene.activeRenderers, 14, {});
  EXPECT_EQ(scene.FirstActiveRenderer(), 0);  // before any choice slot 0 stands in
  OnlyOn(scene.activeRenderers, 14, {13});
  transforms.currentTransform = 14;
  scene.ChooseScene(1, 1);
  EXPECT_EQ(Active(), std::vector<int>{0});  // reached although not enabled
  EXPECT_EQ(transforms.currentTransform, 0);
  OnlyOn(scene.activeRenderers, 14, {4, 9});
  transforms.currentTransform = 4;
  ForgetTheMap();
  scene.ChooseScene(1, 1);
  EXPECT_EQ(Active(), (std::vector<int>{5, 9}));
  EXPECT_TRUE(RebuiltAsFuzzyFade());
  scene.ChooseScene(666, 2);
  for (int step = 1; step <= 14; ++step) {
    scene.ChooseScene(1, 2);
    std::vector<int> expected;
    for (int slot = step; slot < 14; ++slot) expected.push_back(slot);
    ASSERT_EQ(Active(), step < 14 ? expected : std::vector<int>{0}) << "after " << step;
  }
}

TEST_F(SceneSelection, OtherModesKeepTheSlotsAndEveryChoiceRestartsTheScene) {
  OnlyOn(scene.activeRenderers, 14, {1, 8});
  transforms.currentTransform = 3;
  for (int mode : {2, 5, -1}) {
    scene.frameInScene = 321;
    scene.sceneJustStarted = 0;
    scene.ChooseScene(mode, 1);
    EXPECT_EQ(Active(), (std::vector<int>{1, 8}));
    EXPECT_EQ(scene.frameInScene, 0);
    EXPECT_EQ(scene.sceneJustStarted, 1);
  }
  EXPECT_EQ(transforms.currentTransform, 6);
  // Keeping the transform neither rebuilds its map nor draws a number.
  ForgetTheMap();
  SeedRandom(9);
  const int next = std::rand();
  SeedRandom(9);
  scene.ChooseScene(2, 2);
  EXPECT_EQ(std::rand(), next);
  EXPECT_EQ(transforms.sourceWeights[0], 0);
}

// Bit b is slot count - 1 - b; higher bits are ignored; a negative mask acts as its magnitude.
TEST_F(SceneSelection, MasksOfTheEnabledRenderersAndTransformsBothWays) {
  EXPECT_EQ(scene.AllRenderersMask(), 16383);
  EXPECT_EQ(transforms.AllTransformsMask(), 32767);
  struct Row { int32_t mask; const char* transforms; const char* renderers; };
  const Row rows[] = {
      {1, "000000000000001", "00000000000001"},     {8192, "010000000000000", "10000000000000"},
      {16384, "100000000000000", "00000000000000"}, {-3, "000000000000011", "00000000000011"},
      {6143, "001011111111111", "01011111111111"},  {32767, "111111111111111", "11111111111111"},
      {32768 + 2, "000000000000010", "00000000000010"},
  };
  auto flags = [](const int32_t* f, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += f[i] ? '1' : '0';
    return s;
  };
  for (const Row& row : rows) {
    transforms.SetTransformMask(row.mask);
    scene.SetRendererMask(row.mask);
    EXPECT_EQ(flags(transforms.enabledTransforms, 15), row.transforms) << row.mask;
    EXPECT_EQ(flags(scene.enabledRenderers, 14), row.renderers) << row.mask;
    EXPECT_EQ(transforms.TransformMask(), std::strtol(row.transforms, nullptr, 2)) << row.mask;
    EXPECT_EQ(scene.RendererMask(), std::strtol(row.renderers, nullptr, 2)) << row.mask;
  }
  OnlyOn(transforms.enabledTransforms, 15, {});
  transforms.enabledTransforms[2] = 7;  // any flag that is not 0 counts as enabled
  EXPECT_EQ(transforms.TransformMask(), 1 << 12);
}

}  // namespace
}  // namespace corvex::testing
