#include "motion/working_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "common/memory_form.h"

namespace zor {
namespace {

const std::vector<std::string> kModeBoxes = {"e_sped", "e_sped2", "e_pero", "e_sped_up",
                                             "e_sped_dow"};

class WorkingModesForm : public ::testing::Test {
 protected:
  WorkingModesForm() {
    // As the window opens: no program chosen, both job buttons hidden, the boxes showing
    // their own names.
    for (const char* name : {"B_risov", "B_drill"}) form.set_visible(name, false);
    for (const auto& name : kModeBoxes) form.set_text(name, name);
    form.set_text("e_glubs", "e_glubs");
    form.set_text("Label17", "Label17");
  }
  void choose(int item) {
    form.set_index("Programs", item);
    ProgramsChange(form);
  }
  std::vector<std::string> mode_texts() const {
    std::vector<std::string> texts;
    for (const auto& name : kModeBoxes) texts.push_back(form.text(name));
    return texts;
  }

  MemoryForm form;
};

TEST_F(WorkingModesForm, DrawingShowsItsButtonAndHidesTheDepthRow) {
  choose(0);
  EXPECT_TRUE(form.visible("B_risov"));
  for (const char* name : {"B_drill", "Label17", "Label18", "e_glubs", "e_glubi", "Label26"}) {
    EXPECT_FALSE(form.visible(name)) << name;
  }
  EXPECT_EQ(mode_texts(), (std::vector<std::string>{"2,5", "2,5", "0,5", "1,5", "1,5"}));
  EXPECT_EQ(form.text("e_glubs"), "e_glubs");
}

TEST_F(WorkingModesForm, DrillingShowsTheDepthRowWithItsCaption) {
  choose(1);
  for (const char* name : {"B_drill", "Label17", "e_glubs", "Label26"}) {
    EXPECT_TRUE(form.visible(name)) << name;
  }
  for (const char* name : {"B_risov", "Label18", "e_glubi"})
    EXPECT_FALSE(form.visible(name)) << name;
  EXPECT_EQ(form.text("Label17"), "глубина отверстия");
  EXPECT_EQ(mode_texts(), (std::vector<std::string>{"2,5", "2,5", "0,5", "1,5", "0,2"}));
  EXPECT_EQ(form.text("e_glubs"), "2");
}

TEST_F(WorkingModesForm, DrawingAfterDrillingHidesTheDepthRowAndKeepsItsText) {
  choose(1);
  form.set_text("e_glubs", "3,5");
  choose(0);
  EXPECT_FALSE(form.visible("e_glubs"));
  EXPECT_FALSE(form.visible("Label17"));
  EXPECT_FALSE(form.visible("B_drill"));
  EXPECT_EQ(form.text("e_glubs"), "3,5");
  EXPECT_EQ(form.text("e_sped_dow"), "1,5");
}

TEST_F(WorkingModesForm, ChoosingAgainOverwritesWhatWasTyped) {
  choose(0);
  form.set_text("e_sped", "3,0");
  form.set_text("e_pero", "7");
  choose(0);
  EXPECT_EQ(form.text("e_sped"), "2,5");
  EXPECT_EQ(form.text("e_pero"), "0,5");
}

TEST_F(WorkingModesForm, OtherItemsChangeNothing) {
  for (int item : {2, -1, 3}) {
    choose(item);
    EXPECT_FALSE(form.visible("B_risov")) << item;
    EXPECT_FALSE(form.visible("B_drill")) << item;
    EXPECT_EQ(mode_texts(), kModeBoxes) << item;
    EXPECT_EQ(form.text("Label17"), "Label17") << item;
  }
  choose(1);
  form.set_text("e_sped", "9");
  choose(2);
  EXPECT_TRUE(form.visible("B_drill"));
  EXPECT_TRUE(form.visible("e_glubs"));
  EXPECT_EQ(form.text("e_sped"), "9");
}

class GetRejim : public ::testing::Test {
 protected:
  void type(const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) form.set_text(kModeBoxes[i], texts[i]);
  }
  std::string failure() {
    try {
      get_rejim(form, modes);
    } catch (const ConversionError& e) {
      return e.what();
    }
    return "no ConversionError";
  }

  MemoryForm form;
  WorkingModes modes;
};

TEST_F(GetRejim, ReadsTheFiveBoxesIntoTheirFields) {
  type({"2,5", "10", "1,25", "-1,5", "0,00004"});
  modes.drill_depth = 9;
  get_rejim(form, modes);
  EXPECT_EQ(modes.speed_work, 2.5);
  EXPECT_EQ(modes.speed_rapid, 10);
  EXPECT_EQ(modes.z_idle, 1.25);
  EXPECT_EQ(modes.speed_z_up, -1.5);
  EXPECT_EQ(modes.speed_z_down, 0);  // rounded to four decimals
  EXPECT_EQ(modes.drill_depth, 9);   // not read here
}

TEST_F(GetRejim, RoundsHalvesToEven) {
  type({"0,00015", "0,00025", " 1E1 ", "+3", "1,23456"});
  get_rejim(form, modes);
  EXPECT_EQ(modes.speed_work, 0.0002);
  EXPECT_EQ(modes.speed_rapid, 0.0002);
  EXPECT_EQ(modes.z_idle, 10);
  EXPECT_EQ(modes.speed_z_up, 3);
  EXPECT_EQ(modes.speed_z_down, 1.2346);
}

TEST_F(GetRejim, PointIsNotADecimalSeparatorHere) {
  type({"2.5", "1", "1", "1", "1"});
  EXPECT_EQ(failure(), "'2.5' is not a valid floating point value");
}

TEST_F(GetRejim, FailingBoxKeepsTheFieldsReadBeforeItAndLeavesTheRest) {
  modes = {.speed_work = 7, .speed_rapid = 7, .z_idle = 7, .speed_z_up = 7, .speed_z_down = 7};
  type({"1", "2", "0.5", "4", "5"});
  EXPECT_EQ(failure(), "'0.5' is not a valid floating point value");
  EXPECT_EQ(modes.speed_work, 1);
  EXPECT_EQ(modes.speed_rapid, 2);
  EXPECT_EQ(modes.z_idle, 7);
  EXPECT_EQ(modes.speed_z_up, 7);
  EXPECT_EQ(modes.speed_z_down, 7);
}

TEST_F(GetRejim, PlaceholderTextsAreNotNumbers) {
  for (const auto& name : kModeBoxes) form.set_text(name, name);
  EXPECT_EQ(failure(), "'e_sped' is not a valid floating point value");
}

TEST(ReadDrillDepth, ReadsTheDepthBoxAsTyped) {
  MemoryForm form;
  WorkingModes modes;
  form.set_text("e_glubs", "2,75");
  read_drill_depth(form, modes);
  EXPECT_EQ(modes.drill_depth, 2.75);
  EXPECT_EQ(modes.speed_work, 0);
  form.set_text("e_glubs", "2.75");
  EXPECT_THROW(read_drill_depth(form, modes), ConversionError);
  EXPECT_EQ(modes.drill_depth, 2.75);
}

}  // namespace
}  // namespace zor
