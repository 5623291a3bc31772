// The full reading of a DXF drawing (the check box "Полное чтение файла"): the ENTITIES
// section in model space, and the blocks it places, as a plan of paths in millimetres.
//
// Drawn: LINE, LWPOLYLINE and POLYLINE (closed flags, bulges; 3D polylines projected),
// ARC, CIRCLE, ELLIPSE, SPLINE (control points, knots, weights; fit points when only those
// are given), the visible edges of 3DFACE, INSERT (base point, scale, rotation, column and
// row arrays, nested blocks). POINT entities are the holes, one drill of unknown diameter.
// Entities lie in their own plane (extrusion direction) and are projected on XY; $INSUNITS
// scales to millimetres. Everything else (TEXT, MTEXT, DIMENSION, HATCH, ...) is read over
// with one notice per kind. Curves become segments within the chord tolerance; pieces that
// meet end to end are one path, in file order.
//
// The file is read once, streaming; what is kept is the plan and the blocks' shapes.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "dxf/dxf_pairs.h"
#include "dxf/dxf_shape_drawer.h"
#include "plan/plan.h"

namespace zor {

struct DxfFullReading {
  Plan plan;
  // Entities of model space by kind as the file names them (blocks not opened; paper
  // space, VERTEX, SEQEND and ATTRIB not counted), in the order first met.
  std::vector<std::pair<std::string, size_t>> model_space;
  double mm_per_unit = 1;  // from $INSUNITS
};

// Throws IoError when the bytes cannot be read; a broken file gives what could be read
// before the break, with a notice.
DxfFullReading read_dxf_full(DxfByteSource& source, const DxfFullOptions& options = {});
// Throws IoError with the system's message when the file cannot be opened.
DxfFullReading read_dxf_full_file(const std::string& path, const DxfFullOptions& options = {});

// The plan alone, with the default options.
Plan read_dxf_plan(const std::string& path);
Plan read_dxf_plan(std::istream& in);

}  // namespace zor
