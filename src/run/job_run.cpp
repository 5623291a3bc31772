#include "run/job_run.h"

#include <memory>
#include <ostream>
#include <sstream>

#include "common/clock.h"
#include "common/decimal.h"
#include "common/error.h"
#include "common/memory_form.h"
#include "common/png_writer.h"
#include "common/text_file.h"
#include "common/unseen_window.h"
#include "motion/motion.h"
#include "motion/realtime.h"
#include "motion/settings_file.h"
#include "plan/job_tally.h"
#include "plan/plan_order.h"
#include "port/step_port.h"
#include "port/system_port_api.h"
#include "port/virtual_machine.h"
#include "run/headless.h"
#include "run/json_report.h"
#include "run/trace_file.h"
#include "session/board_job.h"
#include "session/dry_run.h"
#include "session/job_progress.h"
#include "session/session.h"

namespace zor::run {
namespace {

constexpr int kDxfPage = 0;
constexpr int kGerberPage = 1;

// The board page with its folder or archive, side, offsets and pins.
void fill_board_inputs(MemoryForm& form, const RunOptions& o) {
  form.set_index("PageControl2", kBoardPage);
  form.set_text(kBoardPath, o.file);
  form.set_index(kBoardSide, *o.board_side == "bottom" ? 1 : 0);
  form.set_text(kBoardOffsetX, o.offset_x.value_or("0"));
  form.set_text(kBoardOffsetY, o.offset_y.value_or("0"));
  form.set_checked(kBoardPins, o.pins.has_value());
  form.set_text(kBoardPinDiameter, o.pins.value_or("3"));
}

// The window as it opens, with the job's texts typed into the boxes.
void fill_job_inputs(MemoryForm& form, const RunOptions& o) {
  form.set_text("e_sped", o.speed_work.value_or("2,5"));
  form.set_text("e_sped2", o.speed_rapid.value_or("2,5"));
  form.set_text("e_pero", o.z_idle.value_or("0,5"));
  form.set_text("e_sped_up", o.speed_z_up.value_or("1,5"));
  form.set_text("e_sped_dow", o.speed_z_down.value_or(o.drill ? "0,2" : "1,5"));
  form.set_text("e_glubs", o.depth.value_or("2"));
  form.set_text("d_mark", o.marker);
  form.set_text("name_files", "d:\\step\\dxf\\1.dxf");
  form.set_text("Edit15", "Файл");
  form.set_checked("CB_vozvrat", o.return_to_origin);
  form.set_checked("CB_full", o.full);
  form.set_checked(kOptimizeOrderBox, o.optimize);
  form.set_index("TrackBar1", 10);
  form.set_index("TrackBar2", 1);
  form.set_index("PageControl2", o.gerber ? kGerberPage : kDxfPage);
  if (o.board_side) fill_board_inputs(form, o);
}

// Every byte the job writes to the data register: counted, written to the trace file as it
// goes, and in a dry run latched by the virtual machine here, which spares each byte the trip
// through the connection and the driver (the runner never changes the port during a job).
class DataWrites : public StepPort {
 public:
  DataWrites(VirtualMachine* machine, TraceFile* trace) : machine_(machine), trace_(trace) {}
  void write_data(uint8_t value) override {
    ++count_;
    if (machine_ != nullptr) machine_->write(value);
    if (trace_ != nullptr) trace_->put(value);
  }
  uint64_t count() const { return count_; }

 private:
  VirtualMachine* machine_;
  TraceFile* trace_;
  uint64_t count_ = 0;
};

MachineReport machine_report(const MachineState& m) {
  MachineReport r;
  for (int axis = 1; axis <= 3; ++axis) {
    const auto a = static_cast<size_t>(axis - 1);
    r.mm_per_step[a] = m.mm_per_step[axis];
    r.travel_from[a] = m.travel_from[axis];
    r.travel_to[a] = m.travel_limit[axis];
    r.backlash[a] = m.backlash[axis];
  }
  r.max_step_rate = m.max_step_rate;
  return r;
}

// Runs the job and fills the report; returns the exit status.
int run_one(const RunOptions& o, std::ostream& err, JobReport& report,
            IntervalHistogram* intervals) {
  VirtualMachine machine;
  std::unique_ptr<OsPortApi> os;
  if (o.port) {
    os = make_system_port_api();
  } else {
    os = std::make_unique<VirtualPortApi>(machine);
  }
  VirtualClock virtual_clock;
  RealClock real_clock;
  Clock& clock = o.realtime ? static_cast<Clock&>(real_clock) : static_cast<Clock&>(virtual_clock);

  std::unique_ptr<TraceFile> trace;
  if (o.trace_file) trace = std::make_unique<TraceFile>(*o.trace_file);
  DataWrites writes(o.port ? nullptr : &machine, trace.get());

  MemoryForm form;
  HeadlessDialogs dialogs(err);
  UnseenPreview preview;
  HeadlessScreen screen;
  // Only steps timed on the system clock gain from real-time priority.
  const std::unique_ptr<RealtimeSteps> realtime = o.realtime ? make_system_realtime() : nullptr;
  Session session({form, dialogs, preview, screen, clock, *os, realtime.get()});
  fill_job_inputs(form, o);

  bool failed = false;
  const bool connected = o.config_file
                             ? session.FormCreate(std::vector<std::string>{*o.config_file})
                             : session.FormCreate(Session::ConfigFile::kAssumePresent);
  if (intervals != nullptr) session.motion().collect_intervals(intervals);
  const std::array<int64_t, 3> motors_at_start = {machine.motor_count(1), machine.motor_count(2),
                                                  machine.motor_count(3)};
  int64_t started = clock.now();
  // A settings file with a value the machine cannot take: told, and nothing moves, since no
  // operator is there to see the message before the job starts.
  const SettingsFile* settings = session.settings_file();
  const bool bad_settings = settings != nullptr && !settings->reading.problems.empty();
  report.machine = machine_report(session.context().machine);
  JobPlan stop_plan;
  int64_t ticks_at_start = 0;
  if (!connected || bad_settings || (trace && !trace->error().empty())) {
    // Nothing moves when the trace cannot be kept; the reason is reported with the others.
    failed = true;
  } else {
    if (o.port) form.set_text("ComboBox1", *o.port);
    session.tap_data_writes(&writes, !o.port);
    try {
      if (o.board_side) {
        // The board page's boxes were filled with the window's.
      } else if (o.gerber) {
        // Choosing the file in the dialog reads its apertures; a missing file cannot be chosen.
        if (file_exists(o.file)) {
          dialogs.choose(o.file);
          session.change_nameClick();
        } else {
          form.set_text("Edit15", o.file);
        }
      } else {
        form.set_text("name_files", o.file);
      }
      const JobButton button = o.drill ? JobButton::kDrill : JobButton::kDraw;
      if (o.stop_at) {
        // The stop comes at a share of the planned time, so the job is planned first, as the
        // window plans it; the stop request then comes from the step loop's events.
        stop_plan = dry_run(form, session.context(), button);
        const auto due =
            static_cast<int64_t>(static_cast<double>(stop_plan.job_time) * *o.stop_at / 100.0);
        screen.on_events = [&, due, asked = false](int64_t ticks) mutable {
          if (asked || stop_plan.time_at(ticks - ticks_at_start) < due) return;
          asked = true;
          dialogs.order_stop();
          session.stop_request();
        };
      }
      ticks_at_start = screen.ticks();
      started = clock.now();
      if (button == JobButton::kDrill) {
        session.B_drillClick();
      } else {
        session.B_risovClick();
      }
      screen.on_events = {};
    } catch (const std::exception& e) {
      dialogs.message(e.what());
      failed = true;
    }
  }
  const int64_t ended = clock.now();
  failed = failed || dialogs.failure_reported();

  const MachineState& m = session.context().machine;
  report.pos = {m.pos_x, m.pos_y, m.pos_z};
  report.port_writes = writes.count();
  if (!o.port) {
    for (int axis = 1; axis <= 3; ++axis) {
      report.motor[axis - 1] = machine.motor_count(axis) - motors_at_start[axis - 1];
    }
  }
  report.job_time_s = static_cast<double>(ended - started) / static_cast<double>(clock.frequency());
  report.limit_warnings = dialogs.limit_warnings();
  report.messages = dialogs.messages();
  if (connected) {
    const JobCounts& counts = session.job_counts();
    if (counts.extents) {
      // To a ten-thousandth of a mm: a position summed from steps carries float noise far
      // below a step, which would only clutter the report.
      const auto mm = [](double v) { return round_even(v * 1e4) / 1e4; };
      const PlanExtents& e = *counts.extents;
      report.extents = std::array<double, 4>{mm(e.xmin), mm(e.ymin), mm(e.xmax), mm(e.ymax)};
    }
    report.drill = o.drill;
    report.holes = counts.holes;
    report.pen_lifts = counts.pen_lifts;
    report.tool_changes = session.job_notes().tool_changes;
    report.notices = session.job_notes().notices;
    report.board = session.job_notes().board;
    if (o.stop_at && session.job_notes().stopped) {
      // The window's status line after a stop.
      const JobProgress progress(stop_plan);
      const auto elapsed_ns = static_cast<int64_t>(static_cast<double>(ended - started) * 1e9 /
                                                   static_cast<double>(clock.frequency()));
      const std::string told = progress.finished(screen.ticks() - ticks_at_start, elapsed_ns, true);
      err << told << '\n';
      report.notices.push_back(told);
    }
  }
  const std::vector<std::string>& told = screen.notices();
  report.notices.insert(report.notices.end(), told.begin(), told.end());
  if (trace && !trace->close()) {
    err << trace->error() << '\n';
    report.messages.push_back(trace->error());
    failed = true;
  }
  try {
    if (o.png_file) write_png(*o.png_file, session.path_picture());
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    report.messages.emplace_back(e.what());
    failed = true;
  }
  session.FormDestroy();
  return failed ? 1 : 0;
}

}  // namespace

int run_job(const RunOptions& o, std::ostream& out, std::ostream& err) {
  JobReport report;
  IntervalHistogram intervals;
  if (o.realtime) report.intervals = &intervals;
  const int status = run_one(o, err, report, o.realtime ? &intervals : nullptr);
  if (o.optimize) {
    // The same job in file order, quietly, on the virtual machine and clock.
    RunOptions file_order = o;
    file_order.optimize = false;
    file_order.realtime = false;
    file_order.port.reset();
    file_order.trace_file.reset();
    file_order.png_file.reset();
    std::ostringstream quiet;
    JobReport plain;
    run_one(file_order, quiet, plain, nullptr);
    report.job_time_file_order_s = plain.job_time_s;
  }
  write_json(out, report);
  return status;
}

}  // namespace zor::run
