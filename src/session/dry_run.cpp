#include "session/dry_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "common/clock.h"
#include "common/decimal.h"
#include "common/memory_form.h"
#include "common/raster_canvas.h"
#include "common/unseen_window.h"
#include "port/virtual_machine.h"
#include "session/path_recorder.h"
#include "session/session.h"

namespace zor {
namespace {

// The boxes the jobs read, and what the file dialogs of the Gerber page left in them.
constexpr const char* kTexts[] = {"e_sped",  "e_sped2", "e_pero",     "e_sped_up", "e_sped_dow",
                                  "e_glubs", "d_mark",  "name_files", "Edit15",    "SE_zoom"};
constexpr const char* kChecks[] = {"CB_vozvrat", "CB_holost", "C_autozoom", "CB_full",
                                   "CB_optimize"};
constexpr const char* kIndices[] = {"PageControl2", "Programs", "TrackBar1", "TrackBar2"};
// The board page's.
constexpr const char* kBoardTexts[] = {"E_board", "E_board_dx", "E_board_dy", "E_board_pin_d",
                                       "E_board_roles"};

// A tool change: the plan goes on as an operator who puts the drill in.
class QuietDialogs : public GoAheadDialogs {
 public:
  explicit QuietDialogs(JobPlan& plan) : plan_(plan) {}
  void message(const std::string& text) override { plan_.messages.push_back(text); }
  void error_box(const std::string& caption, const std::string& text) override {
    plan_.messages.push_back(caption + ": " + text);
  }
  // The travel-limit question: counted once per excursion, and the job goes on.
  bool ask_limit() override {
    ++plan_.limit_warnings;
    return true;
  }

 private:
  JobPlan& plan_;
};

// Watches the job's steps: the position after each, its time, and the progress of the plan.
class PlanScreen : public Screen {
 public:
  PlanScreen(JobPlan& plan, Clock& clock, const PlanProgress& progress)
      : plan_(plan), clock_(clock), progress_(progress) {}

  void start(MachineContext& ctx) {
    ctx_ = &ctx;
    start_x_ = ctx.machine.pos_x;
    start_y_ = ctx.machine.pos_y;
    started_ = clock_.now();
    // The steps lie at least a step apart; a place within two of the line is on it.
    const auto& ratio = ctx.machine.mm_per_step;
    recorder_ =
        PathRecorder(2 * std::max({std::fabs(ratio[kAxisX]), std::fabs(ratio[kAxisY]), 1e-6}));
  }
  int64_t started() const { return started_; }
  const std::vector<PlannedPoint>& path() { return recorder_.finish(); }

  void process_events() override {
    if (!moved_) {
      // Before the first step: whatever the position became meanwhile the job set itself.
      moved_ = true;
      const MachineState& m = ctx_->machine;
      plan_.shift_x = start_x_ - m.pos_x;
      plan_.shift_y = start_y_ - m.pos_y;
      take_place();
    }
    if (++events_ % kPlanProgressTicks != 0 || !progress_) return;
    if (!progress_(plan_.ticks)) {
      plan_.cancelled = true;
      ctx_->machine.stop_flag = true;
    }
  }
  void show_path_window() override {}
  void position_changed() override {
    take_place();
    if (++plan_.ticks % JobPlan::kMarkTicks == 0) {
      plan_.time_marks.push_back(clock_.now() - started_);
    }
  }
  void run_ended() override {}
  void moving_changed(bool) override {}

 private:
  void take_place() {
    const MachineState& m = ctx_->machine;
    const bool down = m.pos_z < ctx_->modes.z_idle;
    if (plan_.extents.empty || m.pos_z < plan_.min_z) plan_.min_z = m.pos_z;
    if (plan_.extents.empty || m.pos_z > plan_.max_z) plan_.max_z = m.pos_z;
    plan_.extents.add(m.pos_x, m.pos_y);
    // The tool works where it goes down and where it moves while down; the place it stands
    // on before the job, or is raised from, is no part of the work.
    if (placed_ && down && (m.pos_x != last_x_ || m.pos_y != last_y_)) {
      plan_.work_extents.add(last_x_, last_y_);
      plan_.work_extents.add(m.pos_x, m.pos_y);
    } else if (placed_ && down && m.pos_z < last_z_) {
      plan_.work_extents.add(m.pos_x, m.pos_y);
    }
    recorder_.add(m.pos_x, m.pos_y, down);
    last_x_ = m.pos_x;
    last_y_ = m.pos_y;
    last_z_ = m.pos_z;
    placed_ = true;
  }

  JobPlan& plan_;
  Clock& clock_;
  const PlanProgress& progress_;
  MachineContext* ctx_ = nullptr;
  PathRecorder recorder_{0};
  double start_x_ = 0, start_y_ = 0;
  double last_x_ = 0, last_y_ = 0, last_z_ = 0;
  bool placed_ = false;
  int64_t started_ = 0;
  int64_t events_ = 0;
  bool moved_ = false;
};

// The boxes of the plan. The step output reads the port's name before every byte it writes;
// the plan's port is the virtual machine's, and answering it at once keeps a million steps
// well under a second.
class PlanForm : public MemoryForm {
 public:
  std::string text(std::string_view control) const override {
    if (control == kPortList) return port_;
    return MemoryForm::text(control);
  }
  void set_items(std::string_view control, const std::vector<std::string>& items) override {
    MemoryForm::set_items(control, items);
    if (control == kPortList) port_ = MemoryForm::text(control);
  }
  void set_text(std::string_view control, const std::string& text) override {
    MemoryForm::set_text(control, text);
    if (control == kPortList) port_ = text;
  }

 private:
  static constexpr std::string_view kPortList = "ComboBox1";
  std::string port_;
};

constexpr const char* kOptimize = "CB_optimize";

void copy_job_boxes(const Form& from, MemoryForm& to) {
  for (const char* name : kTexts) to.set_text(name, from.text(name));
  for (const char* name : kChecks) to.set_checked(name, from.checked(name));
  for (const char* name : kIndices) to.set_index(name, from.index(name));
  for (const char* name : kBoardTexts) to.set_text(name, from.text(name));
  to.set_checked("CB_board_pins", from.checked("CB_board_pins"));
  to.set_index("CB_board_side", from.index("CB_board_side"));
}

// The place in the currency form rounded to 0.1 mm, unless that no longer lies beyond.
std::string beyond_text(double place, int32_t limit) {
  const double tenths = round_even(place * 10) / 10;
  return format_currency(tenths > limit ? tenths : place);
}

}  // namespace

int64_t JobPlan::time_at(int64_t ticks_done) const {
  if (ticks_done >= ticks) return job_time;
  if (ticks_done <= 0) return 0;
  const int64_t mark = ticks_done / kMarkTicks;
  const int64_t from_ticks = mark * kMarkTicks;
  const int64_t from_time = mark == 0 ? 0 : time_marks[static_cast<size_t>(mark - 1)];
  const bool last = static_cast<size_t>(mark) >= time_marks.size();
  const int64_t to_ticks = last ? ticks : from_ticks + kMarkTicks;
  const int64_t to_time = last ? job_time : time_marks[static_cast<size_t>(mark)];
  const double share = static_cast<double>(ticks_done - from_ticks) /
                       static_cast<double>(std::max<int64_t>(1, to_ticks - from_ticks));
  return from_time + static_cast<int64_t>(share * static_cast<double>(to_time - from_time));
}

JobPlan dry_run(const Form& form, const MachineContext& ctx, JobButton button,
                const PlanProgress& progress) {
  JobPlan plan;
  VirtualClock clock;
  VirtualMachine machine;
  VirtualPortApi os(machine);
  PlanForm boxes;
  copy_job_boxes(form, boxes);
  QuietDialogs dialogs(plan);
  UnseenPreview preview;
  PlanScreen screen(plan, clock, progress);
  Session session({boxes, dialogs, preview, screen, clock, os});
  session.FormCreate(Session::ConfigFile::kAssumePresent);
  MachineContext& own = session.context();
  own = ctx;
  own.machine.stop_flag = false;
  plan.frequency = clock.frequency();
  plan.travel_limit = own.machine.travel_limit;
  plan.travel_from = own.machine.travel_from;
  plan.check_top_z = own.machine.check_top_z;
  screen.start(own);
  try {
    if (button == JobButton::kDrill) {
      session.B_drillClick();
    } else {
      session.B_risovClick();
    }
  } catch (const std::exception& e) {
    plan.error = e.what();
  }
  plan.job_time = clock.now() - screen.started();
  plan.modes = own.modes;
  plan.path = screen.path();
  plan.counts = session.job_counts();
  plan.notes = session.job_notes();
  session.FormDestroy();
  return plan;
}

MemoryForm job_boxes(const Form& form) {
  MemoryForm boxes;
  copy_job_boxes(form, boxes);
  return boxes;
}

std::string plan_inputs(const Form& form, const MachineContext& ctx, JobButton button) {
  std::string key = button == JobButton::kDrill ? "drill" : "draw";
  const auto add = [&key](const std::string& part) {
    key += '\n';
    key += part;
  };
  for (const char* name : kTexts) add(form.text(name));
  for (const char* name : kChecks) add(form.checked(name) ? "1" : "0");
  for (const char* name : kIndices) add(std::to_string(form.index(name)));
  for (const char* name : {"name_files", "Edit15"}) {
    std::error_code error;
    const std::filesystem::path file(form.text(name));
    const auto size = std::filesystem::file_size(file, error);
    const auto time = std::filesystem::last_write_time(file, error);
    add(error ? "-" : std::to_string(size) + " " + std::to_string(time.time_since_epoch().count()));
  }
  const MachineState& m = ctx.machine;
  char numbers[256];
  std::snprintf(numbers, sizeof numbers, "%.17g %.17g %.17g %.17g %.17g %.17g %d %d", m.pos_x,
                m.pos_y, m.pos_z, m.mm_per_step[1], m.mm_per_step[2], m.mm_per_step[3],
                m.travel_limit[1], m.travel_limit[2]);
  add(numbers);
  return key;
}

JobPlan plan_ahead(const Form& form, const MachineContext& ctx, JobButton button,
                   const PlanProgress& progress) {
  JobPlan plan = dry_run(form, ctx, button, progress);
  if (!plan.cancelled && form.checked(kOptimize)) {
    MemoryForm in_file_order = job_boxes(form);
    in_file_order.set_checked(kOptimize, false);
    const JobPlan plain = dry_run(in_file_order, ctx, button, progress);
    if (plain.cancelled) {
      plan.cancelled = true;
    } else {
      plan.file_order_time = plain.job_time;
    }
  }
  return plan;
}

std::string limit_question(const JobPlan& plan) {
  const TableBox& box = plan.extents;
  if (box.empty) return {};
  std::string beyond;
  const auto check = [&](const char* axis, double place, int32_t limit) {
    if (!(place > limit)) return;
    if (!beyond.empty()) beyond += ", ";
    beyond += std::string(axis) + " до " + beyond_text(place, limit) + " мм (предел " +
              std::to_string(limit) + ")";
  };
  check("X", box.max_x, plan.travel_limit[kAxisX]);
  check("Y", box.max_y, plan.travel_limit[kAxisY]);
  if (plan.check_top_z) check("Z", plan.max_z, plan.travel_limit[kAxisZ]);
  // The lower ends the settings file names: the place and how far it lies past the end.
  const auto check_from = [&](int axis, const char* name, double place) {
    const std::optional<double>& from = plan.travel_from[axis];
    if (!from || !(place < *from)) return;
    if (!beyond.empty()) beyond += ", ";
    beyond += std::string(name) + " до " + format_currency(round_even(place * 10) / 10) +
              " мм, на " + format_currency(round_even((*from - place) * 10) / 10) +
              " мм ниже нижнего предела " + format_general(*from);
  };
  check_from(kAxisX, "X", box.min_x);
  check_from(kAxisY, "Y", box.min_y);
  check_from(kAxisZ, "Z", plan.min_z);
  if (beyond.empty()) return {};
  return "Задание выходит за пределы: " + beyond + ". Продолжить?";
}

}  // namespace zor
