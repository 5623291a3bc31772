// A whole session on the virtual machine and a virtual clock, with the window's controls in
// memory: the handlers run exactly as the window's buttons run them, and the simulated
// motors tell what the machine did.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/memory_form.h"
#include "common/raster_canvas.h"
#include "machine_work.h"
#include "port/virtual_machine.h"
#include "scripted_services.h"
#include "session/session.h"

namespace zor::testing {

class PicturePreview : public PreviewWindow {
 public:
  void show() override { ++shown; }
  void activate() override { ++shown; }
  int outer_width() const override { return 395; }
  int outer_height() const override { return 347; }
  Canvas& picture() override { return canvas; }
  RasterCanvas canvas{387, 320};
  int shown = 0;
};

// One stretch of motion as the motors made it: Z alone in one direction, or X and Y together.
struct Stretch {
  enum Kind { kXY, kZ } kind;
  int64_t dx = 0, dy = 0, dz = 0;  // half-steps; +dz is down
  friend bool operator==(const Stretch&, const Stretch&) = default;
};
inline Stretch xy(int64_t dx, int64_t dy) {
  return {Stretch::kXY, dx, dy, 0};
}
inline Stretch z(int64_t dz) {
  return {Stretch::kZ, 0, 0, dz};
}
inline std::ostream& operator<<(std::ostream& out, const Stretch& s) {
  if (s.kind == Stretch::kZ) return out << "z(" << s.dz << ")";
  return out << "xy(" << s.dx << ", " << s.dy << ")";
}

// A trace as the virtual machine's motors made it, in stretches.
inline std::vector<Stretch> stretches(const std::vector<uint8_t>& trace) {
  struct Gather : MotorListener {
    void half_step(int axis, int delta) override {
      const auto kind = axis == kAxisZ ? Stretch::kZ : Stretch::kXY;
      const bool z_turns = kind == Stretch::kZ && !out.empty() && out.back().dz * delta < 0;
      if (out.empty() || out.back().kind != kind || z_turns) out.push_back({kind, 0, 0, 0});
      (axis == kAxisX ? out.back().dx : axis == kAxisY ? out.back().dy : out.back().dz) += delta;
    }
    std::vector<Stretch> out;
  } gather;
  replay(trace, gather);
  return gather.out;
}

struct SessionRig {
  explicit SessionRig(Session::ConfigFile config = Session::ConfigFile::kAssumePresent) {
    prepare();
    connected = session.FormCreate(config);
    attach();
  }
  // The window's start-up with the settings made from the cfg.ini at `config_path`.
  explicit SessionRig(const std::string& config_path) {
    prepare();
    connected = session.FormCreate(std::vector<std::string>{config_path});
    attach();
  }
  void prepare() {
    form.set_index("TrackBar1", 10);
    form.set_index("TrackBar2", 1);
    form.set_checked("CB_vozvrat", true);
    form.set_text("d_mark", "05");
  }
  void attach() {
    machine.set_trace(true);
    work.set_state(&session.context().machine);
    machine.set_listener(&work);
  }
  ~SessionRig() {
    session.FormDestroy();
    machine.set_listener(nullptr);
  }

  // A file on the DXF page, or on the Gerber page as its file dialog chooses it.
  void open_dxf(const std::string& path) {
    form.set_index("PageControl2", 0);
    form.set_text("name_files", path);
  }
  void open_gerber(const std::string& path) {
    form.set_index("PageControl2", 1);
    dialogs.files = {path};
    session.change_nameClick();
  }
  void full_reading(bool on = true) { form.set_checked("CB_full", on); }
  // "Рисовать" and "Сверлить" as the window presses them, in their kind of program.
  void draw() {
    drawing_modes();
    session.B_risovClick();
  }
  void drill() {
    drilling_modes();
    session.B_drillClick();
  }

  void drawing_modes() {
    form.set_index("Programs", 0);
    session.ProgramsChange();
  }
  void drilling_modes() {
    form.set_index("Programs", 1);
    session.ProgramsChange();
  }
  std::vector<Stretch> motion() const { return stretches(machine.trace()); }
  const MachineState& state() { return session.context().machine; }

  VirtualClock clock;
  MachineWork work;  // what the motors did; outlives the machine it listens to
  VirtualMachine machine{&clock};
  VirtualPortApi os{machine};
  MemoryForm form;
  ScriptedDialogs dialogs;
  PicturePreview preview;
  CountingScreen screen;
  Session session{{form, dialogs, preview, screen, clock, os}};
  bool connected = false;
};

inline constexpr double kStep = 0.0025;  // mm per half-step of the rig's settings

// The position is the sum of the steps made: after any jobs, stops and failures it must be
// what the motors turned (Z counts down), and no motor may have skipped a coil pattern.
inline void expect_position_is_motors(SessionRig& rig, const char* after) {
  const MachineState& m = rig.state();
  EXPECT_NEAR(m.pos_x, static_cast<double>(rig.machine.motor_count(1)) * kStep, 1e-9) << after;
  EXPECT_NEAR(m.pos_y, static_cast<double>(rig.machine.motor_count(2)) * kStep, 1e-9) << after;
  EXPECT_NEAR(m.pos_z, -static_cast<double>(rig.machine.motor_count(3)) * kStep, 1e-9) << after;
  EXPECT_EQ(rig.machine.fault_count(), 0) << after << ": " << rig.machine.first_fault();
  EXPECT_FALSE(m.stop_flag) << after;
  EXPECT_FALSE(rig.session.moving()) << after;
}

// A file in a fresh temporary folder, removed with the object.
class TempFile {
 public:
  TempFile(const std::string& name, const std::string& content) {
    dir_ = std::filesystem::temp_directory_path() /
           ("zor-session-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / name).string();
    std::ofstream(path_, std::ios::binary) << content;
  }
  ~TempFile() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }
  std::string folder() const { return dir_.string(); }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path dir_;
  std::string path_;
};

// DXF text with AutoCAD's right-aligned group codes.
inline std::string dxf_line(const std::string& x1, const std::string& y1, const std::string& x2,
                            const std::string& y2) {
  return "  0\nLINE\n  8\n0\n 10\n" + x1 + "\n 20\n" + y1 + "\n 11\n" + x2 + "\n 21\n" + y2 + "\n";
}
inline std::string dxf_point(const std::string& x, const std::string& y) {
  return "  0\nPOINT\n  8\n0\n 10\n" + x + "\n 20\n" + y + "\n";
}
inline std::string dxf_file(const std::string& entities) {
  return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

}  // namespace zor::testing
