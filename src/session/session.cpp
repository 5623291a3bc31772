#include "session/session.h"

#include <array>
#include <exception>
#include <string>

#include "common/raster_canvas.h"
#include "common/text_file.h"
#include "dxf/dxf_hint.h"
#include "dxf/dxf_preview.h"
#include "gerber/file_dialog.h"
#include "gerber/gerber_passes.h"
#include "motion/env.h"
#include "motion/manual_panel.h"
#include "motion/motion.h"
#include "motion/realtime.h"
#include "motion/settings.h"
#include "motion/settings_file.h"
#include "motion/working_modes.h"
#include "plan/job_tally.h"
#include "port/lpt_port_connection.h"
#include "port/port_selection.h"
#include "port/step_port.h"
#include "session/board_job.h"
#include "session/frame_job.h"
#include "session/full_reading.h"
#include "session/job_buttons.h"
#include "session/timed_dialogs.h"

namespace zor {

// Marks the machine busy for the whole of a handler that may move it: the front end
// disables what would start a second motion, and repaints once at the end.
class Session::Busy {
 public:
  explicit Busy(Session& s) : s_(s), outer_(!s.busy_) {
    if (!outer_) return;
    s_.busy_ = true;
    s_.motion_started();
    s_.s_.screen.moving_changed(true);
  }
  ~Busy() {
    if (!outer_) return;
    // A stop request ends only the action in progress, however that action ends: a message
    // or an exception must not leave it set for the next jog or job.
    s_.ctx_.machine.stop_flag = false;
    if (s_.motion_) s_.motion_->action_ended();
    s_.busy_ = false;
    s_.motion_ended();
    s_.s_.screen.run_ended();
    s_.s_.screen.moving_changed(false);
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Session& s_;
  bool outer_;
};

// The port the step output writes through, which can keep a trace of the bytes for a dry run.
class Session::TracedPort : public StepPort {
 public:
  TracedPort(LptPortConnection& lpt, Form& form)
      : port_(lpt, [&form] { return form.text("ComboBox1"); }) {}
  void write_data(uint8_t value) override {
    if (trace_ != nullptr) trace_->push_back(value);
    if (tap_ != nullptr) {
      tap_->write_data(value);
      if (tap_only_) return;
    }
    port_.write_data(value);
  }
  void trace(std::vector<uint8_t>* trace) { trace_ = trace; }
  void tap(StepPort* tap, bool instead) {
    tap_ = tap;
    tap_only_ = tap != nullptr && instead;
  }

 private:
  ConnectionStepPort port_;
  std::vector<uint8_t>* trace_ = nullptr;
  StepPort* tap_ = nullptr;
  bool tap_only_ = false;
};

Session::Session(SessionServices services)
    : s_(services),
      dialogs_(std::make_unique<TimedDialogs>(services.dialogs, services.clock)),
      path_(std::make_unique<RasterCanvas>(kPathWidth, kPathHeight)),
      dxf_preview_(std::make_unique<DxfPreviewState>()) {}

Session::~Session() = default;

Env Session::env() {
  return Env{ctx_, *tally_, s_.form, *dialogs_, s_.preview, *path_};
}

bool Session::FormCreate(ConfigFile config) {
  if (config == ConfigFile::kLook) return FormCreate(std::vector<std::string>{kConfigFile});
  return create(std::nullopt);
}

bool Session::FormCreate(const std::vector<std::string>& config_places) {
  return create(config_places);
}

bool Session::create(const std::optional<std::vector<std::string>>& config_places) {
  lpt_ = std::make_unique<LptPortConnection>(s_.os);
  const bool connected = lpt_->Connected();
  if (!connected) {
    std::string text = connection_error_text(lpt_->last_error());
    if (const std::string advice = s_.os.open_failure_advice(); !advice.empty()) {
      text += "\n" + advice;
    } else if (const std::string none = s_.os.no_ports_advice(); !none.empty()) {
      text += "\n" + none;
    }
    const std::string meaning = s_.os.error_meaning(lpt_->last_error());
    if (!meaning.empty()) text += "\n" + meaning;
    s_.dialogs.error_box(kConnectionErrorCaption, text);
  }
  step_port_ = std::make_unique<TracedPort>(*lpt_, s_.form);
  motion_ =
      std::make_unique<Motion>(ctx_, *step_port_, s_.clock, s_.screen, *dialogs_, display_, *path_);
  tally_ = std::make_unique<TallyingMoves>(*motion_, ctx_);
  const std::vector<std::string> ports = probe_port_list(*lpt_);
  s_.form.set_items("ComboBox1", ports);
  if (ports.empty()) {
    if (const std::string advice = s_.os.no_ports_advice(); !advice.empty()) {
      s_.screen.notice(advice);
    }
  }
  if (config_places) {
    config_file_ = find_config_file(*config_places);
    init_settings(s_.form, s_.dialogs, ctx_.machine, !config_file_.empty(),
                  missing_config_message(*config_places));
    if (!config_file_.empty()) {
      settings_file_ = std::make_unique<SettingsFile>(
          load_settings_file(config_file_, s_.form, s_.dialogs, ctx_.machine));
      choose_configured_port(ports);
    }
  } else {
    init_settings(s_.form, s_.dialogs, ctx_.machine, true);
  }
  ctx_.machine.pos_x = 0;
  ctx_.machine.pos_y = 0;
  ctx_.machine.pos_z = 0;
  return connected;
}

void Session::choose_configured_port(const std::vector<std::string>& ports) {
  const std::optional<std::string>& port = settings_file_->reading.config.port;
  if (!port) return;
  for (const std::string& entry : ports) {
    if (entry != *port) continue;
    s_.form.set_text("ComboBox1", entry);
    return;
  }
  s_.dialogs.message(
      "Порт " + *port + " из файла настроек не отвечает; выбран " +
      (s_.form.text("ComboBox1").empty() ? std::string("никакой") : s_.form.text("ComboBox1")));
}

bool Session::settings_editable() const {
  return settings_file_ && settings_file_->reading.config.editable;
}

void Session::B_save_cfgClick() {
  if (!settings_file_) {
    s_.dialogs.message(kSaveNotAllowed);
    return;
  }
  if (save_settings(s_.form, s_.dialogs, ctx_.machine, *settings_file_, busy_)) {
    s_.screen.notice("Настройки сохранены: " + settings_file_->path);
  }
}

void Session::FormDestroy() {
  tally_.reset();
  motion_.reset();
  step_port_.reset();
  lpt_.reset();
}

void Session::motion_started() {
  // A port that was busy may have been let go since: the action tries it once more.
  s_.os.retry_busy_ports();
  if (s_.realtime == nullptr || s_.realtime->enter() || realtime_refusal_told_) return;
  realtime_refusal_told_ = true;
  s_.screen.notice(s_.realtime->refused_notice());
}

void Session::motion_ended() {
  try {
    if (motion_) motion_->catch_up_texts();
  } catch (const std::exception&) {
    // A position beyond what a text can show has stopped the step loop already.
  }
  if (s_.realtime != nullptr) s_.realtime->leave();
}

void Session::jog(int axis, int direction) {
  Busy busy(*this);
  zor::jog(*motion_, ctx_, s_.form, axis, direction);
}

void Session::B_leftClick() {
  jog(kAxisX, -1);
}
void Session::B_rightClick() {
  jog(kAxisX, +1);
}
void Session::B_upClick() {
  jog(kAxisY, +1);
}
void Session::B_downClick() {
  jog(kAxisY, -1);
}
void Session::B_z_upClick() {
  jog(kAxisZ, -1);
}
void Session::B_z_downClick() {
  jog(kAxisZ, +1);
}
void Session::TrackBar1Change() {
  zor::TrackBar1Change(s_.form);
}
void Session::TrackBar2Change() {
  zor::TrackBar2Change(s_.form);
}

void Session::BitBtn1Click() {
  Busy busy(*this);
  zor::BitBtn1Click(*motion_, ctx_, s_.form);
}

void Session::Button8Click() {
  // The axes stored before a faulty box are taken too: the pen follows whatever was taken.
  struct PlacePen {
    Motion* motion;
    ~PlacePen() {
      if (motion != nullptr) motion->place_pen();
    }
  } place{motion_.get()};
  zor::Button8Click(ctx_, s_.form, display_);
  s_.screen.run_ended();
}

void Session::zero(int axis) {
  zero_axis(ctx_, display_, axis);
  s_.screen.run_ended();
}

void Session::Button5Click() {
  zero(kAxisX);
}
void Session::Button6Click() {
  zero(kAxisY);
}
void Session::Button7Click() {
  zero(kAxisZ);
}

void Session::Button4Click() {
  std::array<bool, 8> checked{};
  for (size_t k = 0; k < checked.size(); ++k) {
    checked[k] = s_.form.checked("CheckBox" + std::to_string(k + 1));
  }
  const uint8_t value = send_port_test(*lpt_, s_.form.text("ComboBox1"), checked);
  s_.form.set_text("Label35", std::to_string(value));
}

void Session::ProgramsChange() {
  zor::ProgramsChange(s_.form);
}

bool Session::kind_missing() {
  // Before a kind of program is chosen its mode boxes are empty: no job can read them.
  if (s_.form.index("Programs") >= 0) return false;
  dialogs_->message(kChooseProgramKind);
  return true;
}

void Session::B_risovClick() {
  if (kind_missing()) return;
  Busy busy(*this);
  tally_->reset();
  notes_ = {};
  Env e = env();
  zor::B_risovClick(e, &notes_);
}

void Session::B_drillClick() {
  if (kind_missing()) return;
  Busy busy(*this);
  tally_->reset();
  notes_ = {};
  Env e = env();
  zor::B_drillClick(e, &notes_);
}

void Session::change_nameClick() {
  Env e = env();
  const std::string before = s_.form.text("name_files");
  if (board_page(s_.form)) {
    board_choose(e);
    return;
  }
  zor::change_nameClick(e);
  // The DXF page tells, as the Gerber page does, what the fixed reading would miss.
  if (s_.form.index("PageControl2") == 0 && s_.form.text("name_files") != before) {
    s_.form.set_text("L_dxf_hint", dxf_fixed_reading_hint(s_.form.text("name_files")).value_or(""));
  }
}

void Session::Call_V_renderClick() {
  if (board_page(s_.form)) {
    Env e = env();
    board_preview(e);
    return;
  }
  if (full_reading(s_.form)) {
    Env e = env();
    full_preview(e);
    return;
  }
  video_dxf(s_.form, s_.dialogs, s_.preview, *dxf_preview_);
}
void Session::CB_holostClick() {
  Call_V_renderClick();
}
void Session::CB_holostKeyDown() {
  Call_V_renderClick();
}
void Session::SE_zoomChange() {
  Call_V_renderClick();
}

void Session::C_autozoomClick() {
  if (full_reading(s_.form)) {
    Env e = env();
    full_preview(e);
    s_.form.set_visible("SE_zoom", !s_.form.checked("C_autozoom"));
    return;
  }
  zor::C_autozoomClick(s_.form, s_.dialogs, s_.preview, *dxf_preview_);
}

void Session::Button10Click() {
  Env e = env();
  if (full_reading(s_.form)) {
    full_preview(e);
    return;
  }
  zor::Button10Click(e);
}

void Session::B_frameClick() {
  if (kind_missing()) return;
  Busy busy(*this);
  Env e = env();
  zor::B_frameClick(e);
}

void Session::stop_request() {
  if (!busy_) return;
  if (!dialogs_->ask_continue()) ctx_.machine.stop_flag = true;
}

void Session::trace_data_writes(std::vector<uint8_t>* trace) {
  step_port_->trace(trace);
}

int64_t Session::question_ns() const {
  return dialogs_->open_ns();
}

const JobCounts& Session::job_counts() const {
  return tally_->counts();
}

void Session::tap_data_writes(StepPort* tap, bool instead) {
  step_port_->tap(tap, instead);
}

bool Session::moving() const {
  return busy_;
}
const PositionDisplay& Session::display() const {
  return display_;
}
RasterCanvas& Session::path_picture() {
  return *path_;
}
Motion& Session::motion() {
  return *motion_;
}

}  // namespace zor
