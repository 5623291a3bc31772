#include "run/json_report.h"

#include <charconv>
#include <cstdio>
#include <ostream>

namespace zor::run {
namespace {

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Length of the valid UTF-8 sequence starting at s[i], or 0.
size_t utf8_sequence(const std::string& s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  // No overlong forms, no surrogates, nothing beyond U+10FFFF.
  const auto c1 = static_cast<unsigned char>(s[i + 1]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
      (c == 0xF4 && c1 > 0x8F)) {
    return 0;
  }
  return len;
}

// "\"board\": {\"files\": […], \"outline\": […], \"offset\": […], \"mirrored\": …, \"pins\": […]}"
std::string json_board(const BoardSummary& b) {
  std::string text = "\"board\": {\"files\": [";
  for (size_t k = 0; k < b.files.size(); ++k) {
    text += (k ? ", " : "") + std::string("{\"name\": ") + json_string(b.files[k].name) +
            ", \"role\": \"" + role_word(b.files[k].role) + "\"}";
  }
  text += "], \"outline\": [" + number(b.outline.xmin) + ", " + number(b.outline.ymin) + ", " +
          number(b.outline.xmax) + ", " + number(b.outline.ymax) + "], \"offset\": [" +
          number(b.offset_x) + ", " + number(b.offset_y) +
          "], \"mirrored\": " + (b.mirrored ? "true" : "false") + ", \"pins\": [";
  for (size_t k = 0; k < b.pins.size(); ++k) {
    text += (k ? ", [" : "[") + number(b.pins[k].x) + ", " + number(b.pins[k].y) + "]";
  }
  return text + "]}";
}

}  // namespace

std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else if (c >= 0x80) {
      const size_t len = utf8_sequence(text, i);
      if (len == 0) {
        out += "\\ufffd";
        ++i;
        continue;
      }
      out.append(text, i, len);
      i += len;
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}

// The settings as the owner wrote them: the shortest text that reads back as the value.
static std::string setting(double v) {
  char buf[40];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
}

static void write_machine(std::ostream& out, const MachineReport& m) {
  const auto triple = [&out](const std::array<double, 3>& v) {
    out << '[' << setting(v[0]) << ", " << setting(v[1]) << ", " << setting(v[2]) << ']';
  };
  out << ", \"machine\": {\"mm_per_step\": ";
  triple(m.mm_per_step);
  out << ", \"travel\": [";
  for (size_t a = 0; a < 3; ++a) {
    out << (a ? ", [" : "[") << (m.travel_from[a] ? setting(*m.travel_from[a]) : "null") << ", "
        << setting(m.travel_to[a]) << ']';
  }
  out << "], \"backlash\": ";
  triple(m.backlash);
  out << ", \"max_step_rate\": " << setting(m.max_step_rate) << '}';
}

void write_json(std::ostream& out, const JobReport& r) {
  out << "{\"pos\": [" << number(r.pos[0]) << ", " << number(r.pos[1]) << ", " << number(r.pos[2])
      << "], \"port_writes\": " << r.port_writes << ", \"motor\": [" << r.motor[0] << ", "
      << r.motor[1] << ", " << r.motor[2] << "], \"job_time_s\": " << number(r.job_time_s);
  if (r.job_time_file_order_s) {
    out << ", \"job_time_file_order_s\": " << number(*r.job_time_file_order_s);
  }
  out << ", \"limit_warnings\": " << r.limit_warnings << ", \"messages\": [";
  for (size_t i = 0; i < r.messages.size(); ++i) {
    out << (i ? ", " : "") << json_string(r.messages[i]);
  }
  out << "], \"extents\": ";
  if (r.extents) {
    const auto& e = *r.extents;
    out << '[' << number(e[0]) << ", " << number(e[1]) << ", " << number(e[2]) << ", "
        << number(e[3]) << ']';
  } else {
    out << "null";
  }
  if (r.drill) {
    out << ", \"holes\": " << r.holes << ", \"tool_changes\": " << r.tool_changes;
  } else {
    out << ", \"pen_lifts\": " << r.pen_lifts;
  }
  out << ", \"notices\": " << json_list(r.notices);
  if (r.board) out << ", " << json_board(*r.board);
  if (r.intervals != nullptr) out << ", " << json_interval_errors(*r.intervals);
  if (r.machine) write_machine(out, *r.machine);
  out << "}\n";
}

std::string json_list(const std::vector<std::string>& texts) {
  std::string list = "[";
  for (size_t i = 0; i < texts.size(); ++i) list += (i ? ", " : "") + json_string(texts[i]);
  return list + "]";
}

std::string json_interval_errors(const IntervalHistogram& errors) {
  char buf[200];
  std::snprintf(buf, sizeof buf,
                "\"interval_error_us\": {\"p50\": %.2f, \"p99\": %.2f, \"p999\": %.2f, "
                "\"max\": %.2f}, \"chain_restarts\": %lld",
                errors.percentile_us(0.5), errors.percentile_us(0.99), errors.percentile_us(0.999),
                errors.max_us(), static_cast<long long>(errors.restarts()));
  return buf;
}

}  // namespace zor::run
