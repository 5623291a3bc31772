// The jobs with "Оптимизировать порядок" on, against the same jobs in file order, judged by
// what the virtual machine's motors did: the same lines drawn and holes drilled (repeats
// once), lines turned round as a whole, and the job never longer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "session_rig.h"

namespace zor::testing {
namespace {

using Cell = std::pair<int64_t, int64_t>;  // half-steps of X and Y from the start

// One pen-down stretch of X-Y motion: where it started and ended.
struct Segment {
  Cell from, to;
};

// What the motors did, from the rig's work record: the cells (half-steps from the start)
// the tool passed on the work, each pen-down X-Y run, the holes and the raised travel.
struct Work {
  std::set<Cell> inked;
  std::vector<Segment> segments;
  std::vector<Cell> holes;
  double raised_travel = 0;  // mm of X-Y travel with the tool up
};

Cell cell(PlanPoint p) {
  return {std::llround(p.x / kStep), std::llround(p.y / kStep)};
}

Work work_of(const MachineWork& record) {
  Work w;
  for (const std::vector<PlanPoint>& stroke : record.strokes()) {
    w.segments.push_back({cell(stroke.front()), cell(stroke.back())});
    for (const PlanPoint& p : stroke) w.inked.insert(cell(p));
  }
  for (const WorkHole& h : record.holes()) w.holes.push_back(cell({h.x, h.y}));
  w.raised_travel = record.raised_travel();
  return w;
}

struct JobRun {
  Work work;
  int64_t time = 0;  // virtual clock counts
  std::vector<std::string> messages;
};

enum class Page { kDxf, kGerber };

JobRun run_job(const std::string& path, Page page, bool drill, bool optimize, bool back = true) {
  SessionRig rig;
  rig.form.set_checked("CB_vozvrat", back);
  drill ? rig.drilling_modes() : rig.drawing_modes();
  rig.form.set_checked("CB_optimize", optimize);
  if (page == Page::kDxf) {
    rig.form.set_text("name_files", path);
  } else {
    rig.form.set_index("PageControl2", 1);
    rig.dialogs.files = {path};
    rig.session.change_nameClick();
  }
  const int64_t start = rig.clock.now();
  drill ? rig.session.B_drillClick() : rig.session.B_risovClick();
  return {work_of(rig.work), rig.clock.now() - start, rig.dialogs.messages};
}

// Lines as the pen drew them, either way round.
std::multiset<std::pair<Cell, Cell>> undirected(const std::vector<Segment>& segments) {
  std::multiset<std::pair<Cell, Cell>> out;
  for (const Segment& s : segments) out.insert(std::minmax(s.from, s.to));
  return out;
}

// Every cell of one set lies within a half-step of a cell of the other: a line drawn the
// other way round may step its diagonal on the other side of a tie.
bool covers(const std::set<Cell>& a, const std::set<Cell>& b) {
  for (const Cell& c : a) {
    bool near = false;
    for (int64_t dx = -1; dx <= 1 && !near; ++dx) {
      for (int64_t dy = -1; dy <= 1 && !near; ++dy) {
        near = b.count({c.first + dx, c.second + dy}) != 0;
      }
    }
    if (!near) return false;
  }
  return true;
}

std::string mm(double v) {
  std::string s = std::to_string(v);
  return s;
}

TEST(OrderedDxfJobs, SameLinesAndHolesOnceEachLinesTurnedWholeAndNeverLonger) {
  // Lines scattered in the file's order, one of them again turned round, and one whose far
  // end lies next to where the pen stands (so it is drawn backwards).
  std::string lines = dxf_line("0", "0", "10", "0") + dxf_line("30", "0", "10.5", "0");
  const double coords[][4] = {{50, 50, 60, 50}, {5, 40, 5, 30},   {60, 10, 70, 20},
                              {20, 45, 25, 45}, {70, 60, 70, 40}, {0, 20, 10, 25},
                              {45, 5, 40, 15},  {35, 35, 30, 30}};
  for (const auto& c : coords) lines += dxf_line(mm(c[0]), mm(c[1]), mm(c[2]), mm(c[3]));
  lines += dxf_line("70", "40", "70", "60");  // the fifth line again, the other way round
  std::string points;
  const double holes[][2] = {{40, 40}, {2, 2}, {40, 2}, {2, 40}, {21, 21}, {40, 40}, {3, 30}};
  for (const auto& h : holes) points += dxf_point(mm(h[0]), mm(h[1]));
  TempFile file("o.dxf", dxf_file(lines + points));

  const JobRun plain = run_job(file.path(), Page::kDxf, false, false);
  const JobRun short_order = run_job(file.path(), Page::kDxf, false, true);
  ASSERT_EQ(plain.work.segments.size(), 11u);
  // Nothing lost and nothing added but the repeat.
  auto expected = undirected(plain.work.segments);
  expected.erase(expected.find(std::minmax(Cell{28000, 16000}, Cell{28000, 24000})));
  EXPECT_EQ(undirected(short_order.work.segments), expected);
  EXPECT_EQ(short_order.messages, std::vector<std::string>{"Пропущены повторяющиеся линии: 1"});
  EXPECT_TRUE(plain.messages.empty());
  // The second line from its end at 10.5 mm, right after the first.
  ASSERT_GE(short_order.work.segments.size(), 2u);
  EXPECT_EQ(short_order.work.segments[0].from, Cell(0, 0));
  EXPECT_EQ(short_order.work.segments[0].to, Cell(4000, 0));
  EXPECT_EQ(short_order.work.segments[1].from, Cell(4200, 0));
  EXPECT_EQ(short_order.work.segments[1].to, Cell(12000, 0));
  EXPECT_LT(short_order.work.raised_travel * 3, plain.work.raised_travel);
  EXPECT_LT(short_order.time, plain.time);

  const JobRun drilled = run_job(file.path(), Page::kDxf, true, false);
  const JobRun drilled_short = run_job(file.path(), Page::kDxf, true, true);
  ASSERT_EQ(drilled.work.holes.size(), 7u);
  std::multiset<Cell> want(drilled.work.holes.begin(), drilled.work.holes.end());
  want.erase(want.find({16000, 16000}));
  EXPECT_EQ(std::multiset<Cell>(drilled_short.work.holes.begin(), drilled_short.work.holes.end()),
            want);
  EXPECT_EQ(drilled_short.messages,
            std::vector<std::string>{"Пропущены повторяющиеся отверстия: 1"});
  EXPECT_EQ(drilled_short.work.holes.front(), Cell(800, 800));  // nearest the origin first
  EXPECT_LT(drilled_short.time, drilled.time);

  // Holes whose shortest way from the origin ends far from it: with the return to 0,0 counted
  // (the rig checks it) the file's order is the quicker job, and it is kept.
  std::string far_end;
  const double corners[][2] = {{12, 0}, {21, 1}, {38, 22}, {35, 39}, {0, 22}};
  for (const auto& h : corners) far_end += dxf_point(mm(h[0]), mm(h[1]));
  TempFile returning("r.dxf", dxf_file(far_end));
  const JobRun file_order = run_job(returning.path(), Page::kDxf, true, false);
  const JobRun returned = run_job(returning.path(), Page::kDxf, true, true);
  ASSERT_EQ(returned.work.holes.size(), 5u);
  EXPECT_LE(returned.time, file_order.time);
  EXPECT_LE(returned.work.raised_travel, file_order.work.raised_travel + 1e-9);
}

TEST(OrderedGerberJobs, SameStrokesPadsAndHolesInAShorterJob) {
  // Strokes far apart in file order, a pad, and one stroke again drawn the other way.
  TempFile gbr("o.gbr",
               "%ADD10C,0.0150*%\n%ADD11C,0.1500*%\nG54D10*\n"
               "X0Y0D02*\nX1000Y0D01*\nX1000Y1000D01*\n"
               "X6000Y6000D02*\nX7000Y6000D01*\n"
               "X1200Y1000D02*\nX2000Y1000D01*\n"
               "X7200Y6000D02*\nX8000Y5000D01*\n"
               "X2000Y1000D02*\nX1200Y1000D01*\n"
               "G54D11*\nX500Y3000D03*\n"
               "G54D10*\nX2500Y1500D02*\nX3000Y1500D01*\nM02*\n");
  const JobRun plain = run_job(gbr.path(), Page::kGerber, false, false);
  const JobRun short_order = run_job(gbr.path(), Page::kGerber, false, true);
  ASSERT_FALSE(plain.work.inked.empty());
  EXPECT_TRUE(covers(plain.work.inked, short_order.work.inked));
  EXPECT_TRUE(covers(short_order.work.inked, plain.work.inked));
  // The pad's ring: the cell at its top, 0.25 mm above the centre (5, 30) mm.
  // The pad's ring (aperture 15 mm less the marker: radius 7 mm round (5, 30) mm), its top.
  EXPECT_TRUE(covers({{2000, 14800}}, short_order.work.inked));
  EXPECT_EQ(short_order.messages, std::vector<std::string>{"Пропущены повторяющиеся линии: 1"});
  EXPECT_EQ(short_order.work.segments.size() + 1, plain.work.segments.size());
  EXPECT_LT(short_order.work.raised_travel * 2, plain.work.raised_travel);
  EXPECT_LT(short_order.time, plain.time);

  // The pen on the work at the start (Z 0, as after start-up) and a file that draws from where
  // it stands: the short order begins elsewhere, so the pen goes up before it travels.
  TempFile from_here("h.gbr",
                     "%ADD10C,0.0150*%\nG54D10*\nX2000Y0D01*\n"
                     "X300Y300D02*\nX300Y400D01*\nX400Y400D02*\nX400Y300D01*\nM02*\n");
  const JobRun here = run_job(from_here.path(), Page::kGerber, false, false, false);
  const JobRun here_short = run_job(from_here.path(), Page::kGerber, false, true, false);
  ASSERT_EQ(here.work.segments.size(), 3u);
  EXPECT_EQ(undirected(here_short.work.segments), undirected(here.work.segments));
  ASSERT_FALSE(here_short.work.segments.empty());
  EXPECT_NE(here_short.work.segments[0].from, Cell(0, 0)) << "not the file's first line";

  TempFile drl("o.drl",
               "M48\nT1C0.8\n%\nT1\nX1000Y0\nX9000Y9000\nX1100Y100\nX9000Y0\nX1000Y0\n"
               "X0Y9000\nX8000Y100\nM30\n");
  const JobRun holes = run_job(drl.path(), Page::kGerber, true, false);
  const JobRun holes_short = run_job(drl.path(), Page::kGerber, true, true);
  ASSERT_EQ(holes.work.holes.size(), 7u);
  std::multiset<Cell> want(holes.work.holes.begin(), holes.work.holes.end());
  want.erase(want.find({4000, 0}));
  EXPECT_EQ(std::multiset<Cell>(holes_short.work.holes.begin(), holes_short.work.holes.end()),
            want);
  EXPECT_EQ(holes_short.messages, std::vector<std::string>{"Пропущены повторяющиеся отверстия: 1"});
  EXPECT_LT(holes_short.time, holes.time);
}

}  // namespace
}  // namespace zor::testing
