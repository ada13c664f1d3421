// DXF writer: every body is first turned into the texts of its entities, so that a
// body that cannot be written is refused before the first byte; then the file is
// emitted through a buffer in large pieces.
#include "export/dxf_writer.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "geometry/bore_outline.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

// Points nearer than this to the one before are one point in the file: the file
// holds six decimals, and a shorter edge is a zero-length or self-touching edge to
// a CAD reader.
constexpr double kMinVertexSpacing = 1e-6;

// The keyed bore is written as a polygon this close to the true contour.
constexpr double kBoreChordTolerance = 0.001;

struct Vertex {
  double x = 0.0, y = 0.0;
  std::string tx, ty;
};

struct Circle {
  const char* layer = nullptr;
  const char* colour = nullptr;  // group 62, or none (colour by layer)
  std::string cx, cy, radius;
};

// One body as the texts it is written with.
struct BodyEntities {
  std::vector<Vertex> outline;
  std::vector<Vertex> keyedBore;  // empty: no keyed bore polyline
  std::vector<Circle> circles;    // in the order written
  bool pitchLine = false;
  std::string lineX1, lineY1, lineX2, lineY2;
};

// Collects the vertices of one closed polyline in the world frame.
class ClosedVertexList {
 public:
  ClosedVertexList(double x, double y, double phi) : x_(x), y_(y), c_(std::cos(phi)), s_(std::sin(phi)) {}

  bool Add(const OutlinePoint& p) {
    const double X = x_ + p.x * c_ - p.y * s_;
    const double Y = y_ + p.x * s_ + p.y * c_;
    if (!std::isfinite(X) || !std::isfinite(Y)) return false;
    Vertex v{X, Y, FormatStepReal(X), FormatStepReal(Y)};
    if (!list_.empty() && TooClose(list_.back(), v)) return true;
    list_.push_back(std::move(v));
    return true;
  }

  // The closed flag joins the last vertex to the first; a last vertex on top of
  // the first would add a zero-length edge, so it goes.
  std::vector<Vertex> Finish() {
    while (list_.size() > 1 && TooClose(list_.back(), list_.front())) list_.pop_back();
    return std::move(list_);
  }

 private:
  // Near in value, or alike in print: two points less than 1e-6 apart in x and in y
  // can still be 1e-6 apart and print the same.
  static bool TooClose(const Vertex& a, const Vertex& b) {
    return std::hypot(a.x - b.x, a.y - b.y) < kMinVertexSpacing || (a.tx == b.tx && a.ty == b.ty);
  }

  double x_, y_, c_, s_;
  std::vector<Vertex> list_;
};

bool Real(double v, std::string& text) {
  if (!std::isfinite(v)) return false;
  text = FormatStepReal(v);
  return true;
}

bool AddCircle(BodyEntities& e, const char* layer, const char* colour, double x, double y, double radius) {
  Circle c;
  c.layer = layer;
  c.colour = colour;
  if (!Real(x, c.cx) || !Real(y, c.cy) || !Real(radius, c.radius)) return false;
  e.circles.push_back(std::move(c));
  return true;
}

bool PrepareBody(const GearRecord& body, double x, double y, double phi, BodyEntities& e) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(phi)) return false;
  const char* gearLayer = Tx(TextId::DxfLayerGear);

  ClosedVertexList outline(x, y, phi);
  for (const OutlinePolyline& line : body.outline)
    for (const OutlinePoint& p : line.points)
      if (!outline.Add(p)) return false;
  e.outline = outline.Finish();
  // Fewer than three distinct points enclose nothing: no outline to write.
  if (e.outline.size() < 3) return false;

  if (body.boreDiameter > 0.0 && HasKeyway(body) && body.isInternal == 0) {
    std::vector<OutlinePoint> bore;
    BuildBoreOutline(body, bore, kBoreChordTolerance);
    ClosedVertexList keyed(x, y, phi);
    for (const OutlinePoint& p : bore)
      if (!keyed.Add(p)) return false;
    e.keyedBore = keyed.Finish();
    if (e.keyedBore.size() < 3) return false;
  } else if (body.boreDiameter > 0.0) {
    if (!AddCircle(e, gearLayer, nullptr, x, y, body.boreDiameter / 2.0)) return false;
  }
  if (HasHub(body) && body.isInternal == 0 &&
      !AddCircle(e, Tx(TextId::DxfLayerHub), "8", x, y, body.hubDiameter / 2.0))
    return false;
  if (body.isInternal == 1 && body.rimRadius > 0.0 && !AddCircle(e, gearLayer, nullptr, x, y, body.rimRadius))
    return false;
  if (body.isRack == 1) {
    // The rack is never turned: its pitch line is its own v = 0 from u = 0.
    e.pitchLine = true;
    return Real(x, e.lineX1) && Real(y, e.lineY1) && Real(x + body.rackLength, e.lineX2) && Real(y, e.lineY2);
  }
  return AddCircle(e, Tx(TextId::DxfLayerPitch), "5", x, y, body.pitchRadius);
}

bool WriteLines(ByteSink& file, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines)
    if (!WriteDxfLine(file, line)) return false;
  return true;
}

bool WritePolyline(ByteSink& file, const char* layer, const std::vector<Vertex>& vertices) {
  // Group 66 = vertices follow, 70 = 1 closed.
  if (!WriteLines(file, {"0", "POLYLINE", "8", layer, "66", "1", "70", "1", "10", "0.0", "20", "0.0", "30", "0.0"}))
    return false;
  for (const Vertex& v : vertices)
    if (!WriteLines(file, {"0", "VERTEX", "8", layer, "10", v.tx, "20", v.ty, "30", "0.0"})) return false;
  return WriteLines(file, {"0", "SEQEND", "8", layer});
}

bool EmitBody(ByteSink& file, const BodyEntities& e) {
  const char* gearLayer = Tx(TextId::DxfLayerGear);
  if (!WritePolyline(file, gearLayer, e.outline)) return false;
  if (!e.keyedBore.empty() && !WritePolyline(file, gearLayer, e.keyedBore)) return false;
  for (const Circle& c : e.circles) {
    if (!WriteLines(file, {"0", "CIRCLE", "8", c.layer})) return false;
    if (c.colour != nullptr && !WriteLines(file, {"62", c.colour})) return false;
    if (!WriteLines(file, {"10", c.cx, "20", c.cy, "30", "0.0", "40", c.radius})) return false;
  }
  if (e.pitchLine &&
      !WriteLines(file, {"0", "LINE", "8", Tx(TextId::DxfLayerPitch), "62", "5", "10", e.lineX1, "20", e.lineY1,
                         "30", "0.0", "11", e.lineX2, "21", e.lineY2, "31", "0.0"}))
    return false;
  return true;
}

// Gathers the many short lines into large writes; a refused write is remembered
// and refuses everything after it.
class BufferedSink : public ByteSink {
 public:
  explicit BufferedSink(ByteSink& out) : out_(out) { buffer_.reserve(kChunk); }
  using ByteSink::Write;
  bool Write(const void* data, size_t size) override {
    if (failed_) return false;
    buffer_.append(static_cast<const char*>(data), size);
    return buffer_.size() < kChunk || Flush();
  }
  bool Flush() {
    if (failed_) return false;
    if (!buffer_.empty() && !out_.Write(buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
    return !failed_;
  }

 private:
  static constexpr size_t kChunk = 1 << 16;
  ByteSink& out_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace

bool WriteDxfLine(ByteSink& file, std::string_view text) { return file.Write(text) && file.Write("\r\n", 2); }

bool WriteGearDxfEntities(ByteSink& file, const GearRecord& body, double x, double y, double phi) {
  BodyEntities e;
  return PrepareBody(body, x, y, phi, e) && EmitBody(file, e);
}

bool WriteDxfFile(ByteSink& file, const GearRecord& first, double firstRotation, const GearRecord* second,
                  double secondX, double secondY, double secondRotation, ExportStatus* status) {
  if (status) *status = ExportStatus{};
  BodyEntities a, b;
  if (!PrepareBody(first, 0.0, 0.0, firstRotation, a) ||
      (second != nullptr && !PrepareBody(*second, secondX, secondY, secondRotation, b))) {
    if (status) status->error = ExportError::InvalidBody;
    return false;
  }
  // From here on only the sink can refuse.
  if (status) status->error = ExportError::Write;

  BufferedSink out(file);
  // $INSUNITS 4: millimetres.
  if (!WriteLines(out, {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "9", "$INSUNITS", "70", "4",
                        "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"}))
    return false;
  if (!EmitBody(out, a)) return false;
  if (second != nullptr && !EmitBody(out, b)) return false;
  if (!WriteLines(out, {"0", "ENDSEC", "0", "EOF"})) return false;
  if (!out.Flush()) return false;
  if (status) status->error = ExportError::None;
  return true;
}

}  // namespace kovrex
