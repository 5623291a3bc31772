// Shapes onto the plan: each placed by the map from its block (or the drawing) to machine
// millimetres on the XY plane, blocks drawn where INSERT places them, arrays and nesting
// included, within bounds that a hostile file cannot stretch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "dxf/dxf_entities.h"
#include "dxf/dxf_geometry.h"
#include "dxf/dxf_plan_builder.h"

namespace zor {

struct DxfFullOptions {
  // Well inside the 0.01 mm a drawing may be off, so that lengths stay within 0.1 % of the
  // true ones down to arcs of 1 mm radius.
  double chord_tolerance_mm = 0.002;
  double min_segment_mm = 0.0025;  // a motor step
  double join_tolerance_mm = 0.001;
  int max_block_depth = 32;
  // Texts lettered; off, they draw nothing (the rest of a drawing alone, as a second
  // reading that has no single-stroke font can check it).
  bool letter_texts = true;
  // Path points and holes the plan may hold (a path counts as kPathCost points more, for
  // its own room), and shapes drawn plus block placements: a drawing beyond them is cut
  // off with a notice. About 350 MB and a few seconds at most.
  size_t max_points = 16'000'000;
  size_t max_work = 16'000'000;
};

struct DxfBlock {
  std::string name;  // as the file writes it
  bool defined = false;
  Vec3 base;
  std::vector<DxfShape> shapes;
  // What the block holds but does not draw: kinds read over with their counts, and the
  // reasons its drawn kinds could not be drawn.
  std::map<std::string, size_t> skipped;
  std::vector<std::string> refusals;
};

class DxfShapeDrawer {
 public:
  DxfShapeDrawer(DxfPlanBuilder& out, DxfNotices& notices, const std::deque<DxfBlock>& blocks,
                 const DxfFullOptions& options);

  void draw(const DxfShape& shape, const Affine& map);
  // True once the work bound or the plan's room ran out: nothing more is drawn.
  bool exhausted() const { return exhausted_; }
  // Characters of the texts drawn that no font has, drawn as a box.
  size_t missing_glyphs() const { return missing_glyphs_; }

 private:
  void line(const LineShape& s, const Affine& m);
  void point(const PointShape& s, const Affine& m);
  void poly(const PolyShape& s, const Affine& m);
  void arc(const ArcShape& s, const Affine& m);
  void ellipse(const EllipseShape& s, const Affine& m);
  // The placed curve c + u cos t + v sin t for t from start over sweep, as one piece.
  void elliptic_piece(Vec2 c, Vec2 u, Vec2 v, double start, double sweep);
  void spline(const SplineShape& s, const Affine& m);
  void face(const FaceShape& s, const Affine& m);
  void text(const TextShape& s, const Affine& m);
  void insert(const InsertShape& s, const Affine& m);
  void place(const DxfBlock& block, const Affine& map, bool dimension);
  bool count_work();
  FlattenLimits limits() const;
  void curve_left_out(Flattened why);

  DxfPlanBuilder& out_;
  DxfNotices& notices_;
  const std::deque<DxfBlock>& blocks_;
  const DxfFullOptions& options_;
  std::vector<uint32_t> active_;  // the blocks being drawn, outermost first
  size_t work_ = 0;
  bool exhausted_ = false;
  size_t missing_glyphs_ = 0;
};

}  // namespace zor
