// A recording of moves cut into strokes and made again in a short order: turned strokes keep
// each segment's speed, strokes that are more than a lowering and X-Y moves keep their way
// round, a closed one starts nearest the pen, and the raises stay where the recording had them.
#include "plan/move_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zor {
namespace {

class CallLog : public Moves {
 public:
  void move_to_xy(double x, double y, double speed) override {
    log.push_back("XY " + num(x) + "," + num(y) + " @" + num(speed));
  }
  void down_up(double z, double speed) override {
    log.push_back("Z " + num(z) + " @" + num(speed));
  }
  static std::string num(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  }
  std::vector<std::string> log;
};

TEST(MoveRecord, StrokesMadeAgainWholeInAShortOrder) {
  MachineState machine;  // at 0,0 on the surface
  MachineState shadow = machine;
  WorkingModes modes;
  modes.z_idle = 0.5;
  modes.speed_z_up = 3;
  modes.speed_rapid = 8;
  RecordingMoves rec(shadow);
  auto travel = [&](double x, double y) {
    rec.down_up(0.5, 3);
    rec.move_to_xy(x, y, 8);
  };
  // Far away first: a two-segment stroke at two speeds whose far end is nearest the origin.
  travel(50, 0);
  rec.down_up(0, 1);
  rec.move_to_xy(50, 10, 2);
  rec.move_to_xy(1, 1, 4);
  // A stroke that changes height on the way: never turned.
  travel(60, 60);
  rec.down_up(0, 1);
  rec.move_to_xy(70, 60, 2);
  rec.down_up(-1, 1);
  rec.move_to_xy(70, 70, 2);
  // A closed square, nearest the pen at its corner (50, 20) after the first stroke.
  travel(40, 30);
  rec.down_up(0, 1);
  rec.move_to_xy(40, 20, 2);
  rec.move_to_xy(50, 20, 2);
  rec.move_to_xy(50, 30, 2);
  rec.move_to_xy(40, 30, 2);
  rec.down_up(0.5, 3);
  EXPECT_EQ(shadow.pos_z, 0.5);
  EXPECT_EQ(shadow.pos_x, 40);

  const StrokeOrder order = order_strokes(rec.calls, machine, modes);
  EXPECT_EQ(order.dropped, 0u);
  EXPECT_TRUE(order.first_raise);
  EXPECT_TRUE(order.last_raise);
  CallLog out;
  make_strokes(order, machine, modes, out);
  EXPECT_EQ(out.log, (std::vector<std::string>{
                         "Z 0.5 @3", "XY 1,1 @8", "Z 0 @1", "XY 50,10 @4", "XY 50,0 @2", "Z 0.5 @3",
                         "XY 50,20 @8", "Z 0 @1", "XY 50,30 @2", "XY 40,30 @2", "XY 40,20 @2",
                         "XY 50,20 @2", "Z 0.5 @3", "XY 60,60 @8", "Z 0 @1", "XY 70,60 @2",
                         "Z -1 @1", "XY 70,70 @2", "Z 0.5 @3"}));

  // The same stroke again, the other way round: made once.
  travel(1, 1);
  rec.down_up(0, 1);
  rec.move_to_xy(50, 10, 4);
  rec.move_to_xy(50, 0, 2);
  EXPECT_EQ(order_strokes(rec.calls, machine, modes).dropped, 1u);
  EXPECT_FALSE(order_strokes(rec.calls, machine, modes).last_raise);

  // A stop request ends the job between strokes.
  CallLog stopped;
  machine.stop_flag = true;
  make_strokes(order, machine, modes, stopped);
  EXPECT_TRUE(stopped.log.empty());
}

}  // namespace
}  // namespace zor
