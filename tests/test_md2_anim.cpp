// The animation table built from frame names, and stepping through it by
// name or one animation at a time. No drawing here.

#include "test_md2_writer.h"
#include "support/TempDir.h"
#include "toolkit/MD2.h"

#include <gtest/gtest.h>

using namespace TovarToolkit;
using md2test::Concat;
using md2test::Sequence;

namespace {

class MD2Names : public ::testing::Test {
protected:
    void Load(const std::vector<std::string>& names)
    {
        std::string path = dir.file("names.md2");
        md2test::WriteBytes(path, md2test::Build(md2test::Named(names)));
        ASSERT_TRUE(loader.ImportMD2(&model, path.c_str(), false, ""));
        ASSERT_EQ(static_cast<size_t>(model.numOfAnimations), model.pAnimations.size());
    }
    void ExpectAnimation(size_t index, const char* name, int start, int end)
    {
        ASSERT_LT(index, model.pAnimations.size());
        const TovarMD2AnimationInfo& a = model.pAnimations[index];
        EXPECT_STREQ(a.Name, name) << index;
        EXPECT_EQ(a.startFrame, start) << name;
        EXPECT_EQ(a.endFrame, end) << name;
    }

    TempDir dir;
    TovarMD2Loader loader;
    TovarMD23DModel model;
};

} // namespace

TEST_F(MD2Names, GroupsByBaseName)
{
    Load(Concat({Sequence("stand", 1, 40, true), Sequence("run", 1, 6), Sequence("jump", 1, 6)}));
    ASSERT_EQ(model.numOfAnimations, 3);
    ExpectAnimation(0, "stand", 0, 40);
    ExpectAnimation(1, "run", 40, 46);
    ExpectAnimation(2, "jump", 46, 51); // runs to the last frame: ends on it
}

TEST_F(MD2Names, SplittingTheNumberOff)
{
    // pain101: only the last two characters can be the number.
    // death, 7: no number, so the group starts one before its first frame.
    // crouch00 at index 60 starts at 59.
    Load(Concat({Sequence("pain1", 1, 3, true), {"death", "death"}, {"7", "7"}, {"ab1c", "ab2c"},
                 Sequence("x", 1, 52), {"crouch00", "crouch01", "crouch02"}, {"end1"}}));
    // Indices: pain1 0-2, death 3-4, 7 5-6, ab 7-8, x 9-60, crouch 61-63, end 64.
    ExpectAnimation(0, "pain1", 0, 3);
    ExpectAnimation(1, "death", 2, 5);
    ExpectAnimation(2, "7", 4, 7);
    ExpectAnimation(3, "ab", 7, 9); // "ab1c": the digit before the last character, the 'c' ends the number
    ExpectAnimation(4, "x", 9, 61);
    ExpectAnimation(5, "crouch", 60, 64);
    EXPECT_EQ(model.numOfAnimations, 6); // "end" begins at the last frame and is not recorded
}

TEST_F(MD2Names, CrouchZeroAtSixty)
{
    Load(Concat({Sequence("stand", 1, 40, true), Sequence("walk", 1, 20), {"crouch00", "crouch01"}, {"z1", "z2"}}));
    ExpectAnimation(2, "crouch", 59, 62);
}

TEST_F(MD2Names, EdgesOfTheTable)
{
    Load({"a1", "a2", "b1"});
    ASSERT_EQ(model.numOfAnimations, 1);
    ExpectAnimation(0, "a", 0, 2);

    Load({"a1", "a2", "a3"});
    ASSERT_EQ(model.numOfAnimations, 1);
    ExpectAnimation(0, "a", 0, 2);

    Load({"stand01"});
    EXPECT_EQ(model.numOfAnimations, 0);

    // Names of digits only have an empty base name and are never recorded.
    Load({"01", "02", "run1", "run2", "run3"});
    ASSERT_EQ(model.numOfAnimations, 1);
    ExpectAnimation(0, "run", 2, 4);

    // Case matters.
    Load({"Run1", "run2", "run3"});
    ASSERT_EQ(model.numOfAnimations, 2);
    ExpectAnimation(0, "Run", 0, 1);
    ExpectAnimation(1, "run", 2, 2); // run2 at index 1: 2 - 1 + 1
}

TEST_F(MD2Names, SetAnimationStepsOneAtATime)
{
    Load(Concat({Sequence("stand", 1, 4), Sequence("run", 1, 3), Sequence("jump", 1, 3)}));
    ASSERT_EQ(model.numOfAnimations, 3);
    model.currentFrame = 2;

    EXPECT_TRUE(loader.SetAnimation(&model, "stand"));
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 2);

    EXPECT_FALSE(loader.SetAnimation(&model, "jump"));
    EXPECT_EQ(model.currentAnim, 1);
    EXPECT_EQ(model.currentFrame, 4);
    EXPECT_FALSE(loader.SetAnimation(&model, "jump"));
    EXPECT_EQ(model.currentAnim, 2);
    EXPECT_EQ(model.currentFrame, 7);
    EXPECT_TRUE(loader.SetAnimation(&model, "jump"));
    EXPECT_TRUE(loader.SetAnimation(&model, "jump"));
    EXPECT_EQ(model.currentAnim, 2);

    // Names are compared exactly; an unknown name keeps stepping and wraps.
    EXPECT_FALSE(loader.SetAnimation(&model, "Jump"));
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_FALSE(loader.SetAnimation(&model, nullptr));
    EXPECT_EQ(model.currentAnim, 1);
}

TEST_F(MD2Names, ChangeAnimationWraps)
{
    Load(Concat({Sequence("stand", 1, 4), Sequence("run", 1, 3), Sequence("jump", 1, 3)}));
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 1);
    EXPECT_EQ(model.currentFrame, 4);
    loader.ChangeAnimation(&model);
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);

    // A current animation outside the table starts again at the first.
    model.currentAnim = 17;
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 0);
}

TEST_F(MD2Names, NoAnimationsToStepThrough)
{
    Load({"single"});
    ASSERT_EQ(model.numOfAnimations, 0);
    model.currentFrame = 0;
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_FALSE(loader.SetAnimation(&model, "single"));
    EXPECT_EQ(model.currentAnim, 0);

    TovarMD23DModel empty;
    loader.ChangeAnimation(&empty);
    EXPECT_FALSE(loader.SetAnimation(&empty, ""));
}

TEST_F(MD2Names, StartFramesOutsideTheModelAreKeptInTheTableNotInPlayback)
{
    // A group numbered from 0 at the very start begins at -1; one numbered
    // from 40 at index 2 begins at 41, past this model's end.
    Load({"a00", "a01", "b40", "b41", "c1"});
    ExpectAnimation(0, "a", -1, 2);
    ExpectAnimation(1, "b", 41, 4);
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 1);
    EXPECT_EQ(model.currentFrame, 4);
    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);
}
