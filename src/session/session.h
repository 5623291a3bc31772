// One run of the machine controller: the machine context, the port connection, the step
// output and the handlers of the main window, over the services a front end provides. The
// window owns one session, the runner owns one per job, each test its own.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/form.h"
#include "common/preview_window.h"
#include "context/machine_context.h"
#include "motion/position_display.h"
#include "motion/screen.h"
#include "session/job_buttons.h"

namespace zor {

class OsPortApi;
class StepPort;
class RealtimeSteps;
class LptPortConnection;
class Motion;
class RasterCanvas;
class TallyingMoves;
class TimedDialogs;
struct JobCounts;
struct Env;
struct DxfPreviewState;
struct SettingsFile;

struct SessionServices {
  Form& form;
  Dialogs& dialogs;
  PreviewWindow& preview;
  Screen& screen;
  Clock& clock;
  OsPortApi& os;  // the real ports of the system, or the virtual machine's driver
  // Raises the step loop while a job or a jog runs (none: the thread runs as it is).
  RealtimeSteps* realtime = nullptr;
};

// The refusal of a job or the frame before a kind of program is chosen.
inline constexpr const char* kChooseProgramKind = "Выберите вид программы";

class Session {
 public:
  explicit Session(SessionServices services);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Whether the settings look for cfg.ini in the working directory (the window) or take
  // the file as present (the runner, which always runs a configured machine).
  enum class ConfigFile { kLook, kAssumePresent };

  // The main window's creation: connection, error box, port list, settings, position.
  // False when the connection failed (the box was shown; the program is to end).
  bool FormCreate(ConfigFile config = ConfigFile::kLook);
  // The same, with the settings made when the first of `config_places` that exists is there
  // (the installed window's working directory and user folder, the runner's --config FILE).
  bool FormCreate(const std::vector<std::string>& config_places);
  // The configuration file the settings were made from: a place, "" when none was found or
  // the file was taken as present.
  const std::string& config_file() const { return config_file_; }
  // Destroys the connection (and the driver service this run started).
  void FormDestroy();

  // Manual tab.
  void B_leftClick();
  void B_rightClick();
  void B_upClick();
  void B_downClick();
  void B_z_upClick();
  void B_z_downClick();
  void TrackBar1Change();
  void TrackBar2Change();
  void BitBtn1Click();  // go to point
  void Button8Click();  // take new coordinates
  // Position panel.
  void Button5Click();
  void Button6Click();
  void Button7Click();
  // Settings tab.
  void Button4Click();     // port test
  void B_save_cfgClick();  // "Сохранить": the edited settings into the settings file
  // The settings file lets the tab change the settings (its key editable = yes).
  bool settings_editable() const;
  // What the settings file held and what its reading found wrong (none: no file was read).
  const SettingsFile* settings_file() const { return settings_file_.get(); }
  // Program tab.
  void ProgramsChange();
  void B_risovClick();
  void B_drillClick();
  void change_nameClick();
  void Call_V_renderClick();
  void CB_holostClick();
  void CB_holostKeyDown();
  void SE_zoomChange();
  void C_autozoomClick();
  void Button10Click();
  void B_frameClick();  // the frame run round the job's working area
  // The stop request (stop button, Esc): pauses, asks "Продолжить?", and on "НЕТ" ends
  // the action in progress.
  void stop_request();

  bool moving() const;
  MachineContext& context() { return ctx_; }
  const PositionDisplay& display() const;
  RasterCanvas& path_picture();  // the Virt_cut picture, 585 x 457
  LptPortConnection* connection() { return lpt_.get(); }
  Motion& motion();
  // What the core's handlers work with (valid after FormCreate).
  Env env();
  // What the last job started by "Рисовать" or "Сверлить" did with the tool.
  const JobCounts& job_counts() const;
  const JobNotes& job_notes() const { return notes_; }
  // Nanoseconds the session's message boxes and questions have stood open so far: time in
  // which nothing moved.
  int64_t question_ns() const;
  // Every byte the step output writes to the data register, from now on (off: nullptr).
  void trace_data_writes(std::vector<uint8_t>* trace);
  // Hands every byte of the step output to `tap` as well (off: nullptr); with `instead`, to
  // `tap` only, leaving the connection out: a dry run whose tap feeds the virtual machine,
  // as long as nothing changes the port list during the run.
  void tap_data_writes(StepPort* tap, bool instead = false);

 private:
  class Busy;
  class TracedPort;
  // The creation handler; without places the configuration file is taken as present.
  bool create(const std::optional<std::vector<std::string>>& config_places);
  void jog(int axis, int direction);
  bool kind_missing();
  void motion_started();
  void motion_ended();
  void zero(int axis);
  // The settings file's port, when the list has it.
  void choose_configured_port(const std::vector<std::string>& ports);

  SessionServices s_;
  std::unique_ptr<TimedDialogs> dialogs_;
  MachineContext ctx_;
  PositionDisplay display_;
  bool busy_ = false;
  std::string config_file_;
  bool realtime_refusal_told_ = false;
  std::unique_ptr<RasterCanvas> path_;
  std::unique_ptr<DxfPreviewState> dxf_preview_;
  std::unique_ptr<SettingsFile> settings_file_;
  std::unique_ptr<LptPortConnection> lpt_;
  std::unique_ptr<TracedPort> step_port_;
  std::unique_ptr<Motion> motion_;
  std::unique_ptr<TallyingMoves> tally_;
  JobNotes notes_;
};

}  // namespace zor
