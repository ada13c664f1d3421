// Binary STL of one or two placed bodies: every body is planned first (so that the
// triangle count is known before anything is meshed), then meshed into the
// triangle list, whose blocks are encoded little-endian, byte by byte, and written
// as they fill.
#include "export/stl_writer.h"

#include <bit>
#include <cmath>
#include <string>

#include "export/stl_gear_mesh.h"
#include "export/stl_hub_mesh.h"
#include "export/stl_mesh_limits.h"
#include "export/stl_rack_mesh.h"
#include "numbers/number_text.h"

namespace kovrex {

void AddStlTriangle(StlTriangleList& list, double x0, double y0, double z0, double x1, double y1, double z1,
                    double x2, double y2, double z2) {
  list.push_back(StlTriangle{{x0, x1, x2}, {y0, y1, y2}, {z0, z1, z2}});
}

void AddPlanarTriangleOriented(StlTriangleList& list, bool facingUp, double x1, double y1, double x2, double y2,
                               double x3, double y3, double z) {
  const double c = (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
  if (c == 0.0) return;
  if ((c > 0.0) == facingUp)
    AddStlTriangle(list, x1, y1, z, x2, y2, z, x3, y3, z);
  else
    AddStlTriangle(list, x1, y1, z, x3, y3, z, x2, y2, z);
}

int WriteStlSolid(StlTriangleList& list, const GearRecord& body, double dx, double dy, double rotation,
                  double tolerance) {
  if (body.isRack) return BuildRackMeshStl(list, body, dx, dy, tolerance);
  return TessellateGearBody(list, body, dx, dy, rotation, tolerance);
}

namespace {

enum class BodyKind { Gear, HubGear, Rack };

struct BodyPlan {
  BodyKind kind = BodyKind::Gear;
  GearMeshPlan gear;
  HubGearMeshPlan hub;
  RackMeshPlan rack;
  uint64_t triangles = 0;
};

bool Finite(double v) { return std::isfinite(v) && std::fabs(v) < 1e30; }

ExportError PlanBody(const GearRecord& body, double dx, double dy, double rotation, double tolerance,
                     BodyPlan& plan) {
  // A face width that is not a positive number would give a flat or inside-out
  // body; it cannot be meshed.
  if (!Finite(dx) || !Finite(dy) || !Finite(rotation) || !Finite(body.faceWidth) || !(body.faceWidth > 0.0))
    return ExportError::InvalidBody;
  ExportError error = ExportError::None;
  if (body.isRack) {
    plan.kind = BodyKind::Rack;
    error = PlanRackMesh(body, dx, dy, tolerance, plan.rack);
    plan.triangles = plan.rack.triangles;
  } else if (!body.isInternal && (HasKeyway(body) || HasHub(body))) {
    plan.kind = BodyKind::HubGear;
    error = PlanHubGearMesh(body, dx, dy, rotation, tolerance, plan.hub);
    plan.triangles = plan.hub.triangles;
  } else {
    plan.kind = BodyKind::Gear;
    error = PlanGearMesh(body, dx, dy, rotation, tolerance, plan.gear);
    plan.triangles = plan.gear.triangles;
  }
  return error;
}

void MeshBody(const BodyPlan& plan, StlTriangleList& list) {
  switch (plan.kind) {
    case BodyKind::Rack:
      MeshRackPlan(plan.rack, list);
      break;
    case BodyKind::HubGear:
      MeshHubGearPlan(plan.hub, list);
      break;
    case BodyKind::Gear:
      MeshGearPlan(plan.gear, list);
      break;
  }
}

uint64_t Fail(ExportStatus* status, ExportError error, double millions = 0.0) {
  if (status) {
    status->error = error;
    status->millions = millions;
  }
  return 0;
}

void PutU32(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
  out.push_back(static_cast<char>((v >> 16) & 0xFF));
  out.push_back(static_cast<char>((v >> 24) & 0xFF));
}

void PutFloat(std::string& out, double v) { PutU32(out, std::bit_cast<uint32_t>(static_cast<float>(v))); }

void PutRecord(std::string& out, const StlTriangle& t) {
  const double ux = t.x[1] - t.x[0], uy = t.y[1] - t.y[0], uz = t.z[1] - t.z[0];
  const double wx = t.x[2] - t.x[0], wy = t.y[2] - t.y[0], wz = t.z[2] - t.z[0];
  double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  // A degenerate triangle keeps the zero normal.
  if (length > 0.0) {
    nx /= length;
    ny /= length;
    nz /= length;
  }
  PutFloat(out, nx);
  PutFloat(out, ny);
  PutFloat(out, nz);
  for (int i = 0; i < 3; ++i) {
    PutFloat(out, t.x[i]);
    PutFloat(out, t.y[i]);
    PutFloat(out, t.z[i]);
  }
  out.push_back(0);
  out.push_back(0);
}

// Appends the records; false (with a partial append) at a coordinate that is not
// a finite number a float can hold.
bool EncodeRecords(const std::vector<StlTriangle>& triangles, std::string& out) {
  for (const StlTriangle& t : triangles) {
    for (int i = 0; i < 3; ++i)
      if (!Finite(t.x[i]) || !Finite(t.y[i]) || !Finite(t.z[i])) return false;
    PutRecord(out, t);
  }
  return true;
}

}  // namespace

std::string StlHeaderText(double tolerance) {
  std::string text = "ZE Dozaraza STL, koordafwijking " + FormatFixed(4, tolerance) + " mm";
  text.resize(80, ' ');
  return text;
}

uint64_t WriteStlFile(ByteSink& file, double tolerance, const GearRecord& first, double firstRotation,
                      const GearRecord* second, double secondX, double secondY, double secondRotation,
                      ExportStatus* status) {
  if (status) *status = ExportStatus{};
  if (!std::isfinite(tolerance) || !(tolerance > 0.0)) return Fail(status, ExportError::InvalidBody);

  // Both bodies are planned before either is meshed: the size check must come
  // before the work and the memory it would guard against.
  BodyPlan plans[2];
  const int bodies = second ? 2 : 1;
  ExportError error = PlanBody(first, 0.0, 0.0, firstRotation, tolerance, plans[0]);
  if (error == ExportError::None && second)
    error = PlanBody(*second, secondX, secondY, secondRotation, tolerance, plans[1]);
  if (error != ExportError::None) return Fail(status, error);
  uint64_t expected = 0;
  for (int i = 0; i < bodies; ++i)
    expected = plans[i].triangles > UINT64_MAX - expected ? UINT64_MAX : expected + plans[i].triangles;
  if (expected > kMaxStlTriangles)
    return Fail(status, ExportError::TooManyTriangles, static_cast<double>(expected) / 1e6);
  if (expected == 0) return Fail(status, ExportError::InvalidBody);

  // The count is known exactly from the plans, so the header goes first and every
  // block of triangles is encoded and written as soon as it is meshed.
  std::string chunk = StlHeaderText(tolerance);
  PutU32(chunk, static_cast<uint32_t>(expected));
  if (!file.Write(chunk)) return Fail(status, ExportError::Write);
  constexpr size_t kBlock = 4096;
  chunk.reserve(50 * kBlock);
  // A coordinate no float holds is the body's fault, a refused write the file's.
  bool unencodable = false;
  StlTriangleList list(
      [&](const std::vector<StlTriangle>& block) {
        chunk.clear();
        if (!EncodeRecords(block, chunk)) {
          unencodable = true;
          return false;
        }
        return file.Write(chunk);
      },
      kBlock);
  for (int i = 0; i < bodies; ++i) MeshBody(plans[i], list);
  const bool flushed = list.Flush();
  if (!flushed && !unencodable) return Fail(status, ExportError::Write);
  // A count that differs from the plan's would leave a file whose header lies.
  if (!flushed || list.total() != expected) return Fail(status, ExportError::InvalidBody);
  return expected;
}

bool WriteStlTriangleList(ByteSink& file, double tolerance, const StlTriangleList& list) {
  if (list.size() > UINT32_MAX) return false;
  std::string bytes = StlHeaderText(tolerance);
  PutU32(bytes, static_cast<uint32_t>(list.size()));
  return EncodeRecords(list.items(), bytes) && file.Write(bytes);
}

uint64_t EstimateStlTriangles(const GearRecord& body, double tolerance, ExportError* error, double dx, double dy) {
  if (error) *error = ExportError::None;
  ExportError why = ExportError::InvalidBody;
  BodyPlan plan;
  if (std::isfinite(tolerance) && tolerance > 0.0) why = PlanBody(body, dx, dy, 0.0, tolerance, plan);
  if (why != ExportError::None) {
    if (error) *error = why;
    return 0;
  }
  return plan.triangles;
}

}  // namespace kovrex
