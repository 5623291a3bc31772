#include "dxf/dxf_preview.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/memory_form.h"
#include "common/raster_canvas.h"
#include "dxf/dxf_reader.h"
#include "motion/env.h"
#include "recording_canvas.h"
#include "scripted_services.h"

namespace zor {
namespace {

namespace fs = std::filesystem;
using testing::CanvasCall;
using testing::Segment;
using Kind = CanvasCall::Kind;

std::string line(double x1, double y1, double x2, double y2) {
  std::string out = "  0\nLINE\n  8\n0\n";
  auto pair = [&](const char* code, double v) {
    std::ostringstream s;
    s << code << "\n" << v << "\n";
    out += s.str();
  };
  pair(" 10", x1);
  pair(" 20", y1);
  pair(" 11", x2);
  pair(" 21", y2);
  return out;
}

std::string dxf(const std::string& entities) {
  return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

CanvasCall pen(Color c) {
  return {.kind = Kind::kPenColor, .color = c};
}
CanvasCall move(int64_t x, int64_t y) {
  return {.kind = Kind::kMoveTo, .x1 = x, .y1 = y};
}
CanvasCall draw(int64_t x, int64_t y) {
  return {.kind = Kind::kLineTo, .x1 = x, .y1 = y};
}

Segment black(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return {kBlack, 1, x1, y1, x2, y2};
}
Segment red(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return {kRed, 1, x1, y1, x2, y2};
}
Segment blue(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return {kBlue, 1, x1, y1, x2, y2};
}

using Segments = std::vector<Segment>;

class DxfPreview : public ::testing::Test {
 protected:
  DxfPreview() {
    form.set_text("SE_zoom", "1");
    form.set_text("name_files", (fs::path(::testing::TempDir()) / "missing.dxf").string());
  }

  void use_file(const std::string& bytes) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path path = fs::path(::testing::TempDir()) /
                          (std::string(info->test_suite_name()) + "_" + info->name() + ".dxf");
    std::ofstream(path, std::ios::binary) << bytes;
    form.set_text("name_files", path.string());
  }
  testing::RecordingCanvas& canvas() { return preview.canvas(); }

  MemoryForm form;
  testing::ScriptedDialogs dialogs;
  testing::RecordingPreviewWindow preview;
  DxfPreviewState state;
};

// The drawing of the worked example: a line along X and one up from its end.
const std::string kExample = dxf(line(0, 0, 100, 0) + line(100, 0, 100, 50));

TEST_F(DxfPreview, AutomaticScaleOfTheWorkedExample) {
  use_file(kExample);
  EXPECT_EQ(get_zoom(form, dialogs, preview, state), 3);
  EXPECT_EQ(state.off_x, 1);
  EXPECT_EQ(state.off_y, -1);
}

TEST_F(DxfPreview, WorkedExampleIsDrawnPixelForPixel) {
  use_file(kExample);
  form.set_checked("C_autozoom", true);
  video_dxf(form, dialogs, preview, state);
  EXPECT_TRUE(preview.shown());
  EXPECT_EQ(state.off_x, 3);
  EXPECT_EQ(state.off_y, -3);
  const std::vector<CanvasCall> expected = {
      {.kind = Kind::kFill, .color = kWhite},
      {.kind = Kind::kPenWidth, .width = 1},
      pen(kBlue),
      move(-27, 294),  // (-10, 0)
      draw(33, 294),   // (10, 0)
      move(3, 324),    // (0, -10)
      draw(3, 264),    // (0, 10)
      pen(kBlack),
      move(3, 294),  // the origin
      move(3, 294),
      draw(303, 294),
      move(303, 294),
      draw(303, 144),
  };
  EXPECT_EQ(canvas().calls(), expected);
}

TEST_F(DxfPreview, ZoomOneWithoutAuto) {
  use_file(dxf(line(0, 0, 10, 10)));
  video_dxf(form, dialogs, preview, state);
  // The cross is centred on (0, 297); its left arm lies outside the picture.
  EXPECT_EQ(canvas().segments(kBlue), (Segments{blue(-10, 297, 10, 297), blue(0, 307, 0, 287)}));
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, 10, 287)}));
  EXPECT_EQ(state.off_x, 0);
  EXPECT_EQ(state.off_y, 0);
}

TEST_F(DxfPreview, MappingCutsTowardZero) {
  use_file(dxf(line(0.9, 0.9, -0.9, -0.9) + line(2.5, -1.5, -2.5, 1.5)));
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, 0, 297), black(2, 298, -2, 296)}));
}

TEST_F(DxfPreview, ZoomZeroCollapsesEverythingOntoOnePixel) {
  use_file(dxf(line(5, 5, 100, -30)));
  for (const std::string text : {"0", "abc", "", "1,5", "-", "+-2", "3 "}) {
    form.set_text("SE_zoom", text);
    canvas().clear();
    video_dxf(form, dialogs, preview, state);
    EXPECT_EQ(canvas().segments(),
              (Segments{blue(0, 297, 0, 297), blue(0, 297, 0, 297), black(0, 297, 0, 297)}))
        << "'" << text << "'";
  }
}

TEST_F(DxfPreview, TypedScaleIsUsedWithoutClamping) {
  use_file(dxf(line(0, 0, 1, 1)));
  form.set_text("SE_zoom", "200");
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, 200, 97)}));
  form.set_text("SE_zoom", "-2");
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, -2, 299)}));
}

TEST_F(DxfPreview, ReadZoomTakesWholeNumbersOnly) {
  const std::vector<std::pair<std::string, int>> cases = {{"7", 7},
                                                          {" 12", 12},
                                                          {"+5", 5},
                                                          {"-3", -3},
                                                          {"150", 150},
                                                          {"999", 999},
                                                          {"1.5", 0},
                                                          {"1,5", 0},
                                                          {"5 ", 0},
                                                          {"", 0},
                                                          {"-", 0},
                                                          {"+-5", 0},
                                                          {"2147483647", 2147483647},
                                                          {"2147483648", 0},
                                                          {"-2147483648", -2147483647 - 1},
                                                          {"99999999999", 0}};
  for (const auto& [text, zoom] : cases) {
    form.set_text("SE_zoom", text);
    EXPECT_EQ(read_zoom(form), zoom) << "'" << text << "'";
  }
}

TEST_F(DxfPreview, IdleTravelIsRedFromTheOriginAndBetweenLinesThatDoNotJoin) {
  use_file(dxf(line(5, 5, 10, 0) + line(10, 0, 10, 10) + line(20, 20, 30, 20)));
  form.set_checked("CB_holost", true);
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(canvas().segments(kRed),
            (Segments{red(0, 297, 5, 292), red(10, 297, 10, 297), red(10, 287, 20, 277)}));
  EXPECT_EQ(canvas().segments(kBlack),
            (Segments{black(5, 292, 10, 297), black(10, 297, 10, 287), black(20, 277, 30, 277)}));
}

TEST_F(DxfPreview, WithoutIdleTravelThereIsNoRed) {
  use_file(dxf(line(5, 5, 10, 0) + line(20, 20, 30, 20)));
  video_dxf(form, dialogs, preview, state);
  EXPECT_TRUE(canvas().segments(kRed).empty());
  EXPECT_EQ(canvas().segments(kBlack).size(), 2u);
}

TEST_F(DxfPreview, NegativeDrawingIsFittedWithTheOriginInside) {
  use_file(dxf(line(-100, -50, -20, -10)));
  form.set_checked("C_autozoom", true);
  video_dxf(form, dialogs, preview, state);
  // Box X -100..1, Y -50..1: spans 111 and 61, zoom 3; offsets 300 and -150 pixels.
  EXPECT_EQ(state.off_x, 300);
  EXPECT_EQ(state.off_y, -150);
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, 240, 177)}));
  // The origin lands inside the picture.
  EXPECT_EQ(canvas().calls()[8], move(300, 147));
}

TEST_F(DxfPreview, TallDrawingIsFittedByItsHeight) {
  use_file(dxf(line(0, 0, 0, 200)));
  EXPECT_EQ(get_zoom(form, dialogs, preview, state), 1);  // 320 div 211
  EXPECT_EQ(state.off_x, 1);
  EXPECT_EQ(state.off_y, -1);
}

TEST_F(DxfPreview, EmptyFileFitsTheBoxAroundTheOrigin) {
  use_file("");
  EXPECT_EQ(get_zoom(form, dialogs, preview, state), 26);  // 320 div 12: the height limits
}

TEST_F(DxfPreview, EmptyPictureGivesZoomZero) {
  use_file(kExample);
  preview.resize_outer(8, 27);
  ASSERT_EQ(preview.picture().width(), 0);
  EXPECT_EQ(get_zoom(form, dialogs, preview, state), 0);
}

TEST_F(DxfPreview, DrawingWiderThanThePictureFallsOnOnePixelWithAuto) {
  use_file(dxf(line(0, 0, 1000, 0) + line(-5, 3, 7, -9)));
  form.set_checked("C_autozoom", true);
  video_dxf(form, dialogs, preview, state);
  for (const Segment& s : canvas().segments()) EXPECT_EQ(s, (Segment{s.color, 1, 0, 297, 0, 297}));
  EXPECT_EQ(canvas().segments().size(), 4u);
}

TEST_F(DxfPreview, ResizedWindowMovesTheRowOfTheOrigin) {
  use_file(dxf(line(0, 0, 10, 10)));
  preview.resize_outer(495, 447);
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 397, 10, 387)}));
}

TEST_F(DxfPreview, ValuesAtTheEdgeOfTheRangeDoNotOverflow) {
  use_file(dxf(line(-922337203685477.0, 922337203685477.0, 922337203685477.0, -922337203685477.0)));
  form.set_text("SE_zoom", "2000000000");
  video_dxf(form, dialogs, preview, state);
  const auto lines = canvas().segments(kBlack);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LT(lines[0].x1, -(int64_t{1} << 40));
  EXPECT_LT(lines[0].y1, -(int64_t{1} << 40));
  EXPECT_GT(lines[0].x2, int64_t{1} << 40);
  EXPECT_GT(lines[0].y2, int64_t{1} << 40);
}

TEST_F(DxfPreview, MissingFileIsReportedAndNothingIsShownOrDrawn) {
  state.off_x = 7;
  video_dxf(form, dialogs, preview, state);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{kNoSuchFile});
  EXPECT_EQ(form.focused(), "name_files");
  EXPECT_FALSE(preview.shown());
  EXPECT_TRUE(canvas().calls().empty());
  EXPECT_EQ(state.off_x, 7);
}

TEST_F(DxfPreview, MissingFileGivesZoomZeroAndKeepsTheOffsets) {
  state.off_x = 4;
  state.off_y = -4;
  EXPECT_EQ(get_zoom(form, dialogs, preview, state), 0);
  EXPECT_EQ(state.off_x, 4);
  EXPECT_EQ(state.off_y, -4);
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(DxfPreview, BadValueKeepsWhatWasDrawnBefore) {
  use_file(dxf(line(0, 0, 10, 0) + "  0\nLINE\n  8\n0\n 21\n1.2.3\n"
                                   "  0\nEOF\n"));
  try {
    video_dxf(form, dialogs, preview, state);
    ADD_FAILURE() << "no ConversionError";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'1,2,3' is not a valid floating point value");
  }
  EXPECT_EQ(canvas().segments(kBlack), (Segments{black(0, 297, 10, 297)}));
}

TEST_F(DxfPreview, AutoToggleHidesAndShowsTheScaleBox) {
  use_file(kExample);
  form.set_text("SE_zoom", "2");
  form.set_checked("C_autozoom", true);
  C_autozoomClick(form, dialogs, preview, state);
  EXPECT_FALSE(form.visible("SE_zoom"));
  EXPECT_EQ(canvas().segments(kBlack).front(), black(3, 294, 303, 294));  // fitted: zoom 3
  form.set_checked("C_autozoom", false);
  C_autozoomClick(form, dialogs, preview, state);
  EXPECT_TRUE(form.visible("SE_zoom"));
  EXPECT_EQ(canvas().segments(kBlack).front(), black(0, 297, 200, 297));  // typed: zoom 2
}

TEST_F(DxfPreview, AutoToggleWithAMissingFileStillToggles) {
  form.set_checked("C_autozoom", true);  // the click checks the box before its handler runs
  C_autozoomClick(form, dialogs, preview, state);
  EXPECT_FALSE(form.visible("SE_zoom"));
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

// A redraw that fails on a bad value ends the handler with its message; the scale box must
// still follow the Auto box, or the next click shows it while Auto is on.
TEST_F(DxfPreview, AutoToggleFollowsTheBoxWhenTheRedrawFails) {
  use_file(dxf(line(0, 0, 10, 10) + "  0\nLINE\n  8\n0\n 10\nx\n 20\n0\n 11\n1\n 21\n1\n"));
  form.set_checked("C_autozoom", true);
  EXPECT_THROW(C_autozoomClick(form, dialogs, preview, state), ConversionError);
  EXPECT_FALSE(form.visible("SE_zoom"));
  form.set_checked("C_autozoom", false);
  EXPECT_THROW(C_autozoomClick(form, dialogs, preview, state), ConversionError);
  EXPECT_TRUE(form.visible("SE_zoom"));
}

// A preview window whose picture is a real raster.
class RasterPreviewWindow : public PreviewWindow {
 public:
  void show() override {}
  void activate() override {}
  int outer_width() const override { return 395; }
  int outer_height() const override { return 347; }
  Canvas& picture() override { return canvas; }
  RasterCanvas canvas{387, 320};
};

TEST_F(DxfPreview, WorkedExampleOnARealPicture) {
  use_file(kExample);
  form.set_checked("C_autozoom", true);
  RasterPreviewWindow raster;
  video_dxf(form, dialogs, raster, state);
  const RasterCanvas& p = raster.canvas;
  // The first line from (3, 294) up to, not including, (303, 294); the second from
  // (303, 294) up to, not including, (303, 144).
  EXPECT_EQ(p.pixel(4, 294), kBlack);
  EXPECT_EQ(p.pixel(302, 294), kBlack);
  EXPECT_EQ(p.pixel(303, 294), kBlack);
  EXPECT_EQ(p.pixel(303, 145), kBlack);
  EXPECT_EQ(p.pixel(303, 144), kWhite);
  EXPECT_EQ(p.pixel(304, 294), kWhite);
  EXPECT_EQ(p.pixel(303, 295), kWhite);
  // The cross: the horizontal arm runs from x 0 (clipped at -27) to 32 on row 294, under
  // the black line from x 3 on; the vertical arm from row 319 (clipped at 324) up to 265.
  EXPECT_EQ(p.pixel(0, 294), kBlue);
  EXPECT_EQ(p.pixel(3, 300), kBlue);
  EXPECT_EQ(p.pixel(3, 265), kBlue);
  EXPECT_EQ(p.pixel(3, 264), kWhite);
  EXPECT_EQ(p.pixel(100, 100), kWhite);
}

// Each real file draws one black line per LINE record, at the fitted scale, with the idle
// travel on.
TEST_F(DxfPreview, RealFilesDrawEveryLine) {
  form.set_checked("C_autozoom", true);
  form.set_checked("CB_holost", true);
  for (const char* name : {"ezdxf_wipeout_door_autocad.dxf", "dxfparser_extendeddata_qcad_crlf.dxf",
                           "ezdxf_recover01_padded_values.dxf", "ezdxf_dimension_in_block.dxf",
                           "ezdxf_AC1003_LINE_Example.dxf", "ezdxf_Leica_Disto_S910.dxf"}) {
    const std::string path = std::string(ZOR_TEST_DATA) + "/dxf/" + name;
    form.set_text("name_files", path);
    size_t records = 0;
    DxfEntityReader reader(path, DxfEntityKind::kLine);
    for (DxfLine l; reader.next(l);) ++records;
    canvas().clear();
    ASSERT_NO_THROW(video_dxf(form, dialogs, preview, state)) << name;
    EXPECT_EQ(canvas().segments(kBlack).size(), records) << name;
    EXPECT_EQ(canvas().segments(kRed).size(), records) << name;
    EXPECT_EQ(canvas().fills(), 1) << name;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace zor
