#include "dxf/dxf_full_reader.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <unordered_map>
#include <variant>

#include "common/decimal.h"
#include "dxf/dxf_entities.h"
#include "dxf/dxf_plan_builder.h"
#include "dxf/dxf_text.h"
#include "dxf/dxf_units.h"
#include "plan/path_joining.h"

namespace zor {
namespace {

constexpr int kVertexIsFrame = 16;  // a spline-fit polyline's control frame, not drawn
constexpr int kBlockIsXref = 4;
constexpr int kLayerFrozen = 1;

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

class Reader {
 public:
  Reader(DxfByteSource& source, const DxfFullOptions& options)
      : pairs_(source),
        join_tolerance_(options.join_tolerance_mm),
        builder_(result_.plan, options.join_tolerance_mm, options.max_points),
        drawer_(builder_, notices_, blocks_, options),
        letter_texts_(options.letter_texts) {}

  DxfFullReading run() {
    advance();
    while (have_ && !stopped()) {
      if (is(0, "EOF")) {
        seen_eof_ = true;
        break;
      }
      if (is(0, "SECTION")) {
        section();
      } else {
        advance();
      }
    }
    finish();
    return std::move(result_);
  }

 private:
  bool advance() { return have_ = pairs_.next(); }
  bool is(int code, std::string_view value) const {
    return have_ && pairs_.code() == code && pairs_.value() == value;
  }
  bool at_entity() const { return have_ && pairs_.code() == 0; }
  bool section_ends() const { return is(0, "ENDSEC") || is(0, "EOF"); }
  bool stopped() const { return drawer_.exhausted(); }

  void section() {
    advance();
    std::string name;
    if (have_ && pairs_.code() == 2) {
      name = pairs_.value();
      advance();
    }
    if (name == "HEADER") {
      header();
    } else if (name == "TABLES") {
      tables();
    } else if (name == "BLOCKS") {
      blocks();
    } else if (name == "ENTITIES") {
      entities();
    } else {
      while (have_ && !section_ends()) advance();
    }
    if (is(0, "ENDSEC")) advance();
  }

  void header() {
    std::string variable;
    while (have_ && !section_ends()) {
      if (pairs_.code() == 9) {
        variable = pairs_.value();
      } else if (variable == "$INSUNITS" && pairs_.code() == 70) {
        double code = 0;
        if (dxf_number(pairs_.value(), code)) set_units(dxf_int(code));
      } else if (variable == "$ACADVER" && pairs_.code() == 1) {
        // From R2007 (AC1021) on, texts are UTF-8 whatever the code page says.
        text_.utf8 = upper_ascii(pairs_.value()) >= "AC1021";
        text_.version_given = true;
      } else if (variable == "$DWGCODEPAGE" && pairs_.code() == 3) {
        text_.code_page = upper_ascii(pairs_.value());
      }
      advance();
    }
  }

  // Whether `raw` lies on a layer that is off; its notice is given once per layer. In a
  // block, layer 0 is the layer of the insertion, judged where the insertion is read.
  bool on_hidden_layer(const DxfRaw& raw, DxfBlock* block) {
    if (hidden_layers_.empty()) return false;
    const std::string layer = upper_ascii(raw.layer.empty() ? "0" : raw.layer);
    if (block != nullptr && layer == "0") return false;
    if (hidden_layers_.count(layer) == 0) return false;
    const std::string notice = "слой «" + raw.layer + "» выключен: не рисуется";
    if (block != nullptr) {
      if (std::find(block->refusals.begin(), block->refusals.end(), notice) ==
          block->refusals.end())
        block->refusals.push_back(notice);
    } else {
      notices_.once(notice);
    }
    return true;
  }

  void set_units(int code) {
    const auto unit = dxf_unit(code);
    if (!unit) {
      notices_.once("единицы чертежа с кодом " + std::to_string(code) +
                    " неизвестны: взяты миллиметры");
      return;
    }
    result_.mm_per_unit = unit->mm;
    top_ = Affine::scale(unit->mm, unit->mm, unit->mm);
    if (unit->mm != 1) {
      notices_.once("единицы чертежа — " + unit->name +
                    ": 1 единица = " + format_general(unit->mm) + " мм");
    }
  }

  // The layers that are off (a negative colour) or frozen, whose entities are not drawn, and
  // the text styles; the other tables carry nothing this reading draws.
  void tables() {
    while (have_ && !section_ends()) {
      if (is(0, "LAYER")) {
        layer();
      } else if (is(0, "STYLE")) {
        DxfTextStyle style;
        std::string name;
        for (advance(); have_ && pairs_.code() != 0; advance()) {
          apply_style_pair(style, name, pairs_.code(), pairs_.value());
        }
        if (!name.empty()) text_.styles.try_emplace(upper_ascii(name), style);
      } else {
        advance();
      }
    }
  }

  void layer() {
    std::string name;
    double colour = 0, flags = 0;
    for (advance(); have_ && pairs_.code() != 0; advance()) {
      if (pairs_.code() == 2) name = pairs_.value();
      if (pairs_.code() == 62 && !dxf_number(pairs_.value(), colour)) colour = 0;
      if (pairs_.code() == 70 && !dxf_number(pairs_.value(), flags)) flags = 0;
    }
    if (colour < 0 || (dxf_int(flags) & kLayerFrozen) != 0)
      hidden_layers_.insert(upper_ascii(name));
  }

  void entities() {
    while (have_ && !section_ends() && !stopped()) {
      if (!at_entity()) {
        advance();
        continue;
      }
      read_entity(raw_);
      take(raw_, nullptr);
    }
  }

  void blocks() {
    while (have_ && !section_ends() && !stopped()) {
      if (is(0, "BLOCK")) {
        block();
      } else {
        advance();
      }
    }
  }

  void block() {
    std::string name;
    Vec3 base;
    int flags = 0;
    bool bad = false;
    for (advance(); have_ && pairs_.code() != 0; advance()) {
      double v = 0;
      const int code = pairs_.code();
      if (code == 2) name = pairs_.value();
      if (code != 10 && code != 20 && code != 30 && code != 70) continue;
      bad = !dxf_number(pairs_.value(), v) || bad;
      if (code == 10) base.x = v;
      if (code == 20) base.y = v;
      if (code == 30) base.z = v;
      if (code == 70) flags = dxf_int(v);
    }
    const uint32_t id = block_id(name);
    // A second definition of a name is read and left: the first one counts.
    DxfBlock scratch;
    DxfBlock& target = blocks_[id].defined ? scratch : blocks_[id];
    target.defined = true;
    target.base = base;
    if (bad) target.refusals.push_back("блок «" + name + "»: точка вставки не читается");
    if ((flags & kBlockIsXref) != 0) {
      target.refusals.push_back("блок «" + name + "» — ссылка на другой файл: не прочитан");
    }
    while (have_ && !is(0, "ENDBLK") && !section_ends()) {
      if (!at_entity()) {
        advance();
        continue;
      }
      read_entity(raw_);
      // The deque keeps `target` where it is while take() may add names.
      take(raw_, &target);
    }
    if (is(0, "ENDBLK")) read_entity(vertex_);
  }

  uint32_t block_id(const std::string& name) {
    auto [it, added] =
        block_ids_.try_emplace(upper_ascii(name), static_cast<uint32_t>(blocks_.size()));
    if (added) {
      blocks_.emplace_back();
      blocks_.back().name = name;
    }
    return it->second;
  }

  // Reads the entity whose "0" pair is current; stops at the next "0" pair.
  void read_entity(DxfRaw& raw) {
    const std::string_view type = pairs_.value();
    const DxfKind kind = dxf_kind(type);
    raw.reset(kind, type, pairs_.line());
    for (advance(); have_ && pairs_.code() != 0; advance()) {
      // Kinds read over need only to know where they belong and whether they show.
      if (kind == DxfKind::kOther && pairs_.code() != 67 && pairs_.code() != 60 &&
          pairs_.code() != 8)
        continue;
      raw.apply(pairs_.code(), pairs_.value());
    }
  }

  void read_vertices(DxfRaw& polyline) {
    while (is(0, "VERTEX")) {
      read_entity(vertex_);
      polyline.bad_number = polyline.bad_number || vertex_.bad_number;
      if ((vertex_.vertex_flags & kVertexIsFrame) != 0) continue;
      polyline.vertices.push_back({vertex_.p[0].x, vertex_.p[0].y, vertex_.p[0].z, vertex_.f[2]});
    }
    if (is(0, "SEQEND")) read_entity(vertex_);
  }

  void take(DxfRaw& raw, DxfBlock* block) {
    if (raw.kind == DxfKind::kVertex || raw.kind == DxfKind::kSeqend) return;
    if (raw.kind == DxfKind::kPolyline) read_vertices(raw);
    auto skip = [&](const std::string& kind) {
      if (block != nullptr) {
        ++block->skipped[kind];
      } else {
        notices_.skipped(kind);
      }
    };
    if (block == nullptr) {
      if (raw.paper_space) return skip("объекты листа");
      if (raw.type != "ATTRIB") count(raw.type);
    }
    if (raw.invisible) return skip("невидимые объекты");
    if (on_hidden_layer(raw, block)) return;
    if (raw.bad_number) {
      if (first_bad_line_ == 0) first_bad_line_ = raw.line;
      return skip("объекты с нечитаемыми числами");
    }
    if (raw.kind == DxfKind::kOther) return skip(raw.type);
    if (!letter_texts_ && (raw.kind == DxfKind::kText || raw.kind == DxfKind::kMText)) return;
    const uint32_t id = raw.kind == DxfKind::kInsert ? block_id(raw.name) : 0;
    auto shape = raw.kind == DxfKind::kText || raw.kind == DxfKind::kMText
                     ? to_text_shape(raw, text_)
                 : raw.kind == DxfKind::kDimension ? dimension(raw)
                                                   : to_shape(raw, id);
    if (auto* refusal = std::get_if<ShapeRefusal>(&shape)) {
      if (refusal->kind) return skip(refusal->reason);
      if (refusal->reason.empty()) return;
      if (block != nullptr) {
        block->refusals.push_back(refusal->reason);
      } else {
        notices_.once(refusal->reason);
      }
      return;
    }
    if (block != nullptr) {
      block->shapes.push_back(std::move(std::get<DxfShape>(shape)));
    } else {
      drawer_.draw(std::get<DxfShape>(shape), top_);
    }
  }

  // A dimension is drawn from the block its CAD program drew it in, in the drawing's
  // coordinates, moved by its insertion point when it has one.
  std::variant<DxfShape, ShapeRefusal> dimension(const DxfRaw& raw) {
    if (raw.name.empty()) return ShapeRefusal{"DIMENSION (без блока)", true};
    InsertShape s;
    s.block = block_id(raw.name);
    s.dimension = true;
    if (raw.has_p[2]) s.point = Affine::from_ocs(raw.extrusion).apply(raw.p[2]);
    return s;
  }

  void count(const std::string& type) {
    auto [it, added] = counts_.try_emplace(type, result_.model_space.size());
    if (added) result_.model_space.emplace_back(type, 0);
    ++result_.model_space[it->second].second;
  }

  void finish() {
    // Pieces that meet but were not written one after the other (an outline's lines, then its
    // fillets; the copies of a block) are joined as well.
    join_paths(result_.plan.paths, join_tolerance_);
    std::vector<std::string> first;
    if (pairs_.bad_code()) {
      first.push_back("строка " + std::to_string(pairs_.line()) + ": «" + pairs_.bad_text() +
                      "» вместо кода группы; файл прочитан до этого места");
    } else if (!seen_eof_ && !stopped()) {
      first.push_back("файл обрывается без конца (EOF): прочитано то, что есть");
    }
    if (stopped() || builder_.overflowed()) {
      first.push_back("чертёж слишком велик: прочитана только его часть");
    }
    if (builder_.too_far() != 0) {
      first.push_back("пропущено объектов дальше 100 км от начала координат: " +
                      std::to_string(builder_.too_far()));
    }
    if (first_bad_line_ != 0) {
      first.push_back("строка " + std::to_string(first_bad_line_) +
                      " и другие: объекты с нечитаемыми числами пропущены");
    }
    if (drawer_.missing_glyphs() != 0) {
      first.push_back("знаков, которых нет в шрифте, нарисовано квадратиками: " +
                      std::to_string(drawer_.missing_glyphs()));
    }
    std::vector<std::string> rest = notices_.lines();
    first.insert(first.end(), rest.begin(), rest.end());
    result_.plan.notices = std::move(first);
  }

  DxfPairs pairs_;
  bool have_ = false;
  bool seen_eof_ = false;
  DxfFullReading result_;
  DxfNotices notices_;
  std::deque<DxfBlock> blocks_;
  std::unordered_map<std::string, uint32_t> block_ids_;
  std::set<std::string> hidden_layers_;  // upper case
  double join_tolerance_;
  DxfPlanBuilder builder_;
  DxfShapeDrawer drawer_;
  Affine top_;
  DxfRaw raw_;
  DxfRaw vertex_;
  DxfTextContext text_;
  bool letter_texts_;
  std::map<std::string, size_t> counts_;
  size_t first_bad_line_ = 0;
};

}  // namespace

DxfFullReading read_dxf_full(DxfByteSource& source, const DxfFullOptions& options) {
  return Reader(source, options).run();
}

DxfFullReading read_dxf_full_file(const std::string& path, const DxfFullOptions& options) {
  const auto source = open_dxf_file(path);
  return read_dxf_full(*source, options);
}

Plan read_dxf_plan(const std::string& path) {
  return read_dxf_full_file(path).plan;
}

Plan read_dxf_plan(std::istream& in) {
  const auto source = dxf_stream_source(in);
  return read_dxf_full(*source).plan;
}

}  // namespace zor
