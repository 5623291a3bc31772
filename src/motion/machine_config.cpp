#include "motion/machine_config.h"

#include <charconv>
#include <cmath>
#include <exception>

#include "common/decimal.h"
#include "common/input_file.h"

namespace zor {
namespace {

constexpr size_t kMostConfigBytes = size_t{1} << 20;
constexpr const char* kAxisNames = "xyz";

enum class Kind { kRatio, kFrom, kTo, kBacklash, kRate, kChangeHeight, kPort, kEditable };

struct Key {
  Kind kind;
  int axis;  // 0 for the keys of the whole machine
};

std::optional<Key> find_key(const std::string& name) {
  if (name == "max_step_rate") return Key{Kind::kRate, 0};
  if (name == "tool_change_height") return Key{Kind::kChangeHeight, 0};
  if (name == "port") return Key{Kind::kPort, 0};
  if (name == "editable") return Key{Kind::kEditable, 0};
  if (name.size() < 3 || name[1] != '_') return std::nullopt;
  const size_t axis = std::string_view(kAxisNames).find(name[0]);
  if (axis == std::string_view::npos) return std::nullopt;
  const std::string what = name.substr(2);
  const int a = static_cast<int>(axis) + 1;
  if (what == "mm_per_step") return Key{Kind::kRatio, a};
  if (what == "from") return Key{Kind::kFrom, a};
  if (what == "to") return Key{Kind::kTo, a};
  if (what == "backlash") return Key{Kind::kBacklash, a};
  return std::nullopt;
}

std::string trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r");
  return std::string(s.substr(first, last - first + 1));
}

std::string lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// A decimal number with a point or a comma, as the operator writes it in either locale.
std::optional<double> parse_number(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// What a key keeps when its value is refused, as the messages tell it.
std::string fixed_value(Kind kind) {
  switch (kind) {
    case Kind::kRatio:
      return format_currency(0.0025);
    case Kind::kFrom:
      return "без нижнего предела";
    case Kind::kTo:
      return "100";
    case Kind::kBacklash:
      return "0";
    case Kind::kRate:
      return "20000";
    case Kind::kChangeHeight:
      return "без подъёма для смены сверла";
    case Kind::kPort:
      return "порт из списка";
    case Kind::kEditable:
      return "no";
  }
  return {};
}

// Why the text is no value for the key; nothing when it is one.
std::optional<std::string> refusal(Kind kind, const std::string& text) {
  if (kind == Kind::kPort) {
    if (text.empty()) return "порт не указан";
    return std::nullopt;
  }
  if (kind == Kind::kEditable) {
    const std::string v = lower(text);
    if (v == "yes" || v == "no" || v == "да" || v == "нет") return std::nullopt;
    return "ожидается yes или no";
  }
  const std::optional<double> v = parse_number(text);
  if (!v) return "не число";
  switch (kind) {
    case Kind::kRatio:
      if (!(*v > 0 && *v <= 1)) return "шаг должен быть больше 0 и не больше 1 мм";
      break;
    case Kind::kFrom:
      if (!(std::fabs(*v) <= 100000)) return "вне диапазона от -100000 до 100000 мм";
      break;
    case Kind::kTo:
      if (*v != std::trunc(*v)) return "предел задаётся целым числом мм";
      if (!(std::fabs(*v) <= 100000)) return "вне диапазона от -100000 до 100000 мм";
      break;
    case Kind::kBacklash:
      if (!(*v >= 0 && *v <= 10)) return "люфт должен быть от 0 до 10 мм";
      break;
    case Kind::kRate:
      if (!(*v > 0 && *v <= 1000000)) return "частота должна быть больше 0 и не больше 1000000";
      break;
    case Kind::kChangeHeight:
      if (!(*v > 0 && *v <= 1000)) return "высота должна быть больше 0 и не больше 1000 мм";
      break;
    default:
      break;
  }
  return std::nullopt;
}

// A line of the file split as INI reads it.
struct IniLine {
  enum Type { kBlank, kSection, kPair, kOther } type = kBlank;
  std::string section;  // for kSection, lower case
  std::string key, value;
};

IniLine split_line(const std::string& raw) {
  const std::string line = trim(raw);
  IniLine out;
  if (line.empty() || line[0] == ';' || line[0] == '#') return out;
  if (line.front() == '[' && line.back() == ']') {
    out.type = IniLine::kSection;
    out.section = lower(trim(std::string_view(line).substr(1, line.size() - 2)));
    return out;
  }
  const size_t eq = line.find('=');
  if (eq == std::string::npos) {
    out.type = IniLine::kOther;
    return out;
  }
  out.type = IniLine::kPair;
  out.key = lower(trim(std::string_view(line).substr(0, eq)));
  out.value = trim(std::string_view(line).substr(eq + 1));
  return out;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void store(MachineConfig& c, const Key& key, const std::string& text) {
  if (key.kind == Kind::kPort) {
    c.port = text;
    return;
  }
  if (key.kind == Kind::kEditable) {
    const std::string v = lower(text);
    c.editable = v == "yes" || v == "да";
    return;
  }
  const double v = *parse_number(text);
  switch (key.kind) {
    case Kind::kRatio:
      c.mm_per_step[key.axis] = v;
      break;
    case Kind::kFrom:
      c.travel_from[key.axis] = v;
      break;
    case Kind::kTo:
      c.travel_to[key.axis] = static_cast<int32_t>(v);
      break;
    case Kind::kBacklash:
      c.backlash[key.axis] = v;
      break;
    case Kind::kRate:
      c.max_step_rate = v;
      break;
    case Kind::kChangeHeight:
      c.tool_change_height = v;
      break;
    default:
      break;
  }
}

}  // namespace

std::string axis_key(int axis, const char* what) {
  return std::string(1, kAxisNames[axis - 1]) + "_" + what;
}

ConfigReading read_machine_config(const std::string& text, const std::string& name) {
  ConfigReading r;
  const std::vector<std::string> lines = split_lines(text);
  bool in_machine = false;
  std::array<int, 4> from_line{};
  std::array<std::string, 4> from_text{};
  for (size_t i = 0; i < lines.size(); ++i) {
    const IniLine line = split_line(lines[i]);
    const std::string number = std::to_string(i + 1);
    if (line.type == IniLine::kSection) in_machine = line.section == kMachineSection;
    // Only [machine] is this program's: the rest of the file may serve anything else.
    if (!in_machine || line.type == IniLine::kBlank || line.type == IniLine::kSection) continue;
    const std::optional<Key> key =
        line.type == IniLine::kPair ? find_key(line.key) : std::optional<Key>{};
    if (!key) {
      r.unknown.push_back((line.type == IniLine::kPair ? line.key : trim(lines[i])) + " (строка " +
                          number + ")");
      continue;
    }
    if (const auto why = refusal(key->kind, line.value)) {
      r.problems.push_back(name + ", строка " + number + ": " + line.key + " = " + line.value +
                           " — " + *why + "; оставлено: " + fixed_value(key->kind));
      continue;
    }
    store(r.config, *key, line.value);
    if (key->kind == Kind::kFrom) {
      from_line[key->axis] = static_cast<int>(i + 1);
      from_text[key->axis] = line.value;
    }
  }
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    const auto& from = r.config.travel_from[axis];
    const int32_t to = r.config.travel_to[axis].value_or(100);
    if (!from || *from < to) continue;
    r.problems.push_back(name + ", строка " + std::to_string(from_line[axis]) + ": " +
                         axis_key(axis, "from") + " = " + from_text[axis] + " — не ниже " +
                         axis_key(axis, "to") + " (" + std::to_string(to) +
                         "); оставлено: " + fixed_value(Kind::kFrom));
    r.config.travel_from[axis].reset();
  }
  return r;
}

ConfigReading read_machine_config_file(const std::string& path) {
  try {
    return read_machine_config(read_whole_file(path, kMostConfigBytes), path);
  } catch (const std::exception& e) {
    ConfigReading r;
    r.problems.push_back(path + ": " + e.what() + "; оставлены встроенные настройки");
    return r;
  }
}

void apply_machine_config(const MachineConfig& c, MachineState& m) {
  for (int axis = kAxisX; axis <= kAxisZ; ++axis) {
    if (c.mm_per_step[axis]) m.mm_per_step[axis] = *c.mm_per_step[axis];
    if (c.travel_to[axis]) m.travel_limit[axis] = *c.travel_to[axis];
    if (c.backlash[axis]) m.backlash[axis] = *c.backlash[axis];
    m.travel_from[axis] = c.travel_from[axis];
    // A file naming an end of Z has it checked; X and Y are always checked at the top.
    if (axis == kAxisZ) m.check_top_z = c.travel_to[axis].has_value();
  }
  if (c.max_step_rate) m.max_step_rate = *c.max_step_rate;
  m.tool_change_z = c.tool_change_height;
}

std::string config_message(const ConfigReading& r) {
  std::string text;
  if (!r.problems.empty()) {
    text = "Неверные значения в файле настроек:";
    for (const std::string& p : r.problems) text += "\n" + p;
  }
  if (!r.unknown.empty()) {
    if (!text.empty()) text += "\n";
    text += "Неизвестные ключи в [machine] (сохраняются, не используются): ";
    for (size_t i = 0; i < r.unknown.size(); ++i) text += (i ? ", " : "") + r.unknown[i];
  }
  return text;
}

std::optional<std::string> check_config_value(const std::string& key, const std::string& text) {
  const std::optional<Key> k = find_key(key);
  if (!k) return "неизвестный ключ";
  return refusal(k->kind, trim(text));
}

std::string set_config_values(const std::string& text,
                              const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<std::string> lines = split_lines(text);
  std::vector<bool> done(values.size(), false);
  bool in_machine = false;
  std::optional<size_t> machine_end;  // the line after the last non-blank one of [machine]
  for (size_t i = 0; i < lines.size(); ++i) {
    const IniLine line = split_line(lines[i]);
    if (line.type == IniLine::kSection) {
      in_machine = line.section == kMachineSection;
      if (in_machine) machine_end = i + 1;
      continue;
    }
    if (!in_machine || line.type == IniLine::kBlank) continue;
    machine_end = i + 1;
    if (line.type != IniLine::kPair) continue;
    for (size_t v = 0; v < values.size(); ++v) {
      if (done[v] || values[v].first != line.key) continue;
      // The key as the owner spelt and spaced it; only the value changes.
      const size_t eq = lines[i].find('=');
      const bool cr = !lines[i].empty() && lines[i].back() == '\r';
      lines[i] = lines[i].substr(0, eq + 1) + " " + values[v].second + (cr ? "\r" : "");
      done[v] = true;
    }
  }
  std::vector<std::string> added;
  for (size_t v = 0; v < values.size(); ++v) {
    if (!done[v]) added.push_back(values[v].first + " = " + values[v].second);
  }
  if (!added.empty()) {
    if (!machine_end) {
      if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
      lines.push_back(std::string("[") + kMachineSection + "]");
      machine_end = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*machine_end), added.begin(),
                 added.end());
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

}  // namespace zor
