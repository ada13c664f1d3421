// Export command: the tolerance and validity checks, the bore check and the size
// estimates before the requester, the proposed name and the requester, outlines at
// the export density for the CAD kernels, the safe file write and the messages.
#include "app/export_command.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/atomic_file.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "app/internal_commands.h"
#include "app/placements.h"
#include "app/rack_commands.h"
#include "app/services.h"
#include "export/dxf_writer.h"
#include "export/export_plan.h"
#include "export/export_status.h"
#include "export/step_writer.h"
#include "export/stl_writer.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr double kMinStlTolerance = 0.0001;
constexpr double kMaxStlTolerance = 1.0;
// Above this many triangles or STEP control points the file would run to
// gigabytes and the program would stop answering while it is built.
constexpr uint64_t kMaxModelSize = 20000000;

// Outline points per screen step while a CAD file is written.
constexpr int kExportDetail = 4;
constexpr int kScreenDetail = 1;

void Show(MessageIcon icon, const std::string& text) { Svc().messageBox(icon, Tx(TextId::ProductName), text); }

std::string Millions(double millions) { return FormatFixed(1, millions); }

void ShowTooManyTriangles(double millions) {
  Show(MessageIcon::Warning,
       Tx(TextId::ExportTooManyTrianglesPrefix) + Millions(millions) + Tx(TextId::ExportTooManyTrianglesSuffix));
}

void ShowStepTooLarge(double millions) {
  Show(MessageIcon::Warning,
       Tx(TextId::ExportStepTooLargePrefix) + Millions(millions) + Tx(TextId::ExportStepTooLargeSuffix));
}

void ShowBoreReachesRoot() { Show(MessageIcon::Warning, Tx(TextId::ExportBoreReachesRoot)); }

void ShowNothingValid() { Show(MessageIcon::Warning, Tx(TextId::ExportNothingValid)); }

void ShowCannotWrite(const std::string& path) {
  Show(MessageIcon::Error, Tx(TextId::ExportFileQuotePrefix) + path + Tx(TextId::ExportCannotWriteSuffix));
}

// "DESC|patterns|DESC|patterns..." as the requester's pattern list.
std::vector<FilePattern> FilterPatterns(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<FilePattern> patterns;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) patterns.push_back({parts[i], parts[i + 1]});
  return patterns;
}

ShownArrangement CurrentArrangement() {
  BodyPlacement placed[2];
  const int count = ComputeBodyPlacements(placed);
  ShownArrangement shown;
  shown.displayMode = DisplayMode;
  if (count >= 1) shown.first = {placed[0].body, placed[0].x, placed[0].y, placed[0].rotation};
  if (count >= 2) shown.second = {placed[1].body, placed[1].x, placed[1].y, placed[1].rotation};
  return shown;
}

// The bodies that will be written, first and (when there is one) second.
std::vector<const GearRecord*> WrittenBodies(const ExportBodies& bodies) {
  std::vector<const GearRecord*> list = {bodies.first.body};
  if (bodies.second.body != nullptr) list.push_back(bodies.second.body);
  return list;
}

// The displayed records rebuilt at the export density, and put back exactly as
// they were when the export ends, whatever its outcome. Each is rebuilt from its own
// stored values, never from the fields: those may hold values the tab rejected or
// changes that were never applied.
class ExportDensityOutlines {
 public:
  ExportDensityOutlines() {
    switch (static_cast<DisplayKind>(DisplayMode)) {
      case DisplayKind::Pair:
        Keep(Gear1);
        Keep(Gear2);
        ComputeExternalGearGeometry(Gear1, kExportDetail);
        ComputeExternalGearGeometry(Gear2, kExportDetail);
        break;
      case DisplayKind::Single:
        Keep(Gear1);
        ComputeExternalGearGeometry(Gear1, kExportDetail);
        break;
      case DisplayKind::PinionRack:
        Keep(Gear1);
        Keep(Rack);
        ComputeExternalGearGeometry(Gear1, kExportDetail);
        RebuildRackAtDensity(kExportDetail);
        break;
      case DisplayKind::Internal:
        Keep(Gear1);
        Keep(RingGear);
        ComputeExternalGearGeometry(Gear1, kExportDetail);
        RebuildRingAtDetail(kExportDetail);
        break;
      default:
        break;
    }
  }
  ~ExportDensityOutlines() {
    // The copies are the records as displayed (detail 1), bit for bit: rebuilding
    // at the screen density could differ in the last digit from what was drawn.
    for (Kept& k : kept_) *k.record = std::move(k.copy);
  }
  ExportDensityOutlines(const ExportDensityOutlines&) = delete;
  ExportDensityOutlines& operator=(const ExportDensityOutlines&) = delete;

 private:
  struct Kept {
    GearRecord* record;
    GearRecord copy;
  };
  void Keep(GearRecord& record) { kept_.push_back({&record, record}); }
  std::vector<Kept> kept_;
};

// The warning for a body a writer refuses or would refuse: false when the status
// holds no refusal.
bool ShowRefusal(const ExportStatus& status) {
  switch (status.error) {
    case ExportError::InvalidGeometry:
      ShowBoreReachesRoot();
      return true;
    case ExportError::TooManyTriangles:
    case ExportError::StepTooLarge:
      // A size that is no number cannot be shown: such a body is no valid body.
      if (!std::isfinite(status.millions)) {
        ShowNothingValid();
      } else if (status.error == ExportError::TooManyTriangles) {
        ShowTooManyTriangles(status.millions);
      } else {
        ShowStepTooLarge(status.millions);
      }
      return true;
    case ExportError::InvalidBody:
      ShowNothingValid();
      return true;
    case ExportError::None:
    case ExportError::Write:
      break;
  }
  return false;
}

ExportWriterTable RealWriters() {
  ExportWriterTable t;
  t.writeStep = WriteStepFile;
  t.writeStl = WriteStlFile;
  t.estimateStepControlPoints = EstimateStepControlPoints;
  t.estimateStlTriangles = EstimateStlTriangles;
  return t;
}

ExportWriterTable g_writers = RealWriters();

// Writes the file; the old file is replaced only when every byte was written.
// Returns false after it has shown its own message, true on success.
bool WriteExportFile(ExportKind kind, const std::string& path, double tolerance, const ExportBodies& bodies) {
  const PlacedBody& a = bodies.first;
  const PlacedBody& b = bodies.second;
  ExportStatus status;
  uint64_t triangles = 0;
  bool ok = false;
  {
    std::optional<ExportDensityOutlines> dense;
    if (kind != ExportKind::Stl) dense.emplace();
    AtomicFileWriter file;
    if (file.Open(path)) {
      switch (kind) {
        case ExportKind::Dxf:
          ok = WriteDxfFile(file, *a.body, a.rotation, b.body, b.x, b.y, b.rotation, &status);
          break;
        case ExportKind::Step:
          ok = g_writers.writeStep(file, path, *a.body, a.rotation, b.body, b.x, b.y, b.rotation, &status);
          break;
        case ExportKind::Stl:
          triangles =
              g_writers.writeStl(file, tolerance, *a.body, a.rotation, b.body, b.x, b.y, b.rotation, &status);
          ok = triangles >= 1;
          break;
      }
      ok = ok && file.Commit();
    }
    if (!ok) file.Abandon();
  }
  if (!ok) {
    // Only a refused write blames the file; a writer that refused the body for
    // its geometry says so.
    if (!ShowRefusal(status)) ShowCannotWrite(path);
    return false;
  }
  if (kind == ExportKind::Stl) {
    const uint64_t kilobytes = StlFileKilobytes(triangles);
    Show(MessageIcon::Info, Tx(TextId::ExportStlWrittenPrefix) + std::to_string(triangles) +
                                Tx(TextId::ExportStlWrittenTriangles) + std::to_string(kilobytes) +
                                Tx(TextId::ExportStlWrittenKilobytes) + FormatFixed(4, tolerance) +
                                Tx(TextId::ExportStlWrittenMillimetres));
  }
  return true;
}

}  // namespace

ExportWriterTable& ExportWriters() { return g_writers; }
void ResetExportWriters() { g_writers = RealWriters(); }

void ExportDrawing(int kindNumber) {
  if (kindNumber < 0 || kindNumber > 2) return;
  const ExportKind kind = static_cast<ExportKind>(kindNumber);
  const int64_t comboIndex = Controls().GetState(GadgetExportChoice);
  const double tolerance = GetGadgetNumber(GadgetStlTolerance);

  // Written so that a NaN is refused too.
  if (kind == ExportKind::Stl && !(tolerance >= kMinStlTolerance && tolerance <= kMaxStlTolerance)) {
    Show(MessageIcon::Warning, Tx(TextId::ExportStlToleranceRange));
    return;
  }
  if (!DisplayedBodiesAreValid(DisplayMode, Gear1, Gear2, RingGear, Rack)) {
    ShowNothingValid();
    return;
  }
  const ExportSelection selection =
      EffectiveExportSelection(DisplayMode, comboIndex >= 0 && comboIndex <= 2 ? static_cast<int>(comboIndex) : 0);
  const ExportBodies bodies = ChooseExportBodies(CurrentArrangement(), selection);
  if (bodies.first.body == nullptr) {
    ShowNothingValid();
    return;
  }
  // A body too large or with features too small for the files (a centre distance
  // of 1e308, a hub 1e-7 mm long) is no valid body to export: refused here, not
  // blamed on the file after the requester.
  for (const PlacedBody* placed : {&bodies.first, &bodies.second}) {
    if (placed->body != nullptr && !BodyFitsTheFiles(*placed)) {
      ShowNothingValid();
      return;
    }
  }

  // A bore or keyway that reaches the root or the hub would give crossing contours
  // and solids with a negative volume: refused before anything is asked or written.
  const std::vector<const GearRecord*> written = WrittenBodies(bodies);
  const double rootMargin = kind == ExportKind::Stl ? tolerance : 0.0;
  for (const GearRecord* body : written) {
    if (!BoreFitsInsideBody(*body, rootMargin)) {
      ShowBoreReachesRoot();
      return;
    }
  }
  if (kind == ExportKind::Stl) {
    // The estimate plans each body as the writer will, where it will stand, from
    // counts alone, so a body the mesh cannot take is refused here too.
    uint64_t total = 0;
    for (const PlacedBody* placed : {&bodies.first, &bodies.second}) {
      if (placed->body == nullptr) continue;
      ExportStatus planned;
      const uint64_t n =
          g_writers.estimateStlTriangles(*placed->body, tolerance, &planned.error, placed->x, placed->y);
      if (ShowRefusal(planned)) return;
      total = n > UINT64_MAX - total ? UINT64_MAX : total + n;
    }
    if (total > kMaxModelSize) {
      ShowTooManyTriangles(static_cast<double>(total) / 1e6);
      return;
    }
  } else if (kind == ExportKind::Step) {
    uint64_t total = 0;
    for (const GearRecord* body : written) total += g_writers.estimateStepControlPoints(*body);
    if (total > kMaxModelSize) {
      ShowStepTooLarge(static_cast<double>(total) / 1e6);
      return;
    }
    // Helical end curves that would cross make a face no kernel accepts. They are
    // checked as the writer will fit them: through the outline at the export
    // density, not through the screen's.
    bool fitted = false;
    for (const GearRecord* body : written) fitted = fitted || StepFitsEndCurves(*body);
    if (fitted) {
      ExportDensityOutlines dense;
      for (const GearRecord* body : written) {
        if (!StepEndCurvesKeepClear(*body)) {
          ShowNothingValid();
          return;
        }
      }
    }
  }

  const std::string proposed = DefaultExportName(DisplayMode, selection, Gear1, Gear2, RingGear, Rack) + "." +
                               ExportExtension(kind);
  const std::optional<std::string> answer =
      Svc().saveRequester(Tx(TextId::ExportRequesterTitle), proposed, FilterPatterns(ExportFilter(kind)));
  if (!answer || answer->empty()) return;
  WriteExportFile(kind, ExportPathWithExtension(*answer, kind), tolerance, bodies);
}

}  // namespace kovrex
