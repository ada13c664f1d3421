// The STEP file frame: header, the fixed product and context entities, the solids
// of one or two bodies, the shape representation, and the single write of the
// finished text into the sink. Not for: the solids themselves (step_body).
#include "export/step_writer.h"

#include <charconv>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "export/step_body.h"
#include "export/step_entities.h"
#include "text/texts.h"

namespace kovrex {

namespace {

std::string g_fixedTime;

void AppendPadded(std::string& text, int value, int width) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value < 0 ? 0 : value);
  for (int pad = width - static_cast<int>(result.ptr - buffer); pad > 0; --pad) text.push_back('0');
  text.append(buffer, result.ptr);
}

std::string LocalTimeText() {
  if (!g_fixedTime.empty()) return g_fixedTime;
  std::time_t now = std::time(nullptr);
  const std::tm* t = std::localtime(&now);
  std::string text;
  if (t == nullptr) return "1970-01-01T00:00:00";
  AppendPadded(text, t->tm_year + 1900, 4);
  text += '-';
  AppendPadded(text, t->tm_mon + 1, 2);
  text += '-';
  AppendPadded(text, t->tm_mday, 2);
  text += 'T';
  AppendPadded(text, t->tm_hour, 2);
  text += ':';
  AppendPadded(text, t->tm_min, 2);
  text += ':';
  AppendPadded(text, t->tm_sec, 2);
  return text;
}

// Length of the well-formed UTF-8 sequence at text[i] and its code point; 0 when
// the bytes there are no such sequence.
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t& codePoint) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  size_t length;
  uint32_t value, minimum;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2, value = c & 0x1F, minimum = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, value = c & 0x0F, minimum = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, value = c & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char t = static_cast<unsigned char>(text[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    value = (value << 6) | (t & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

void AppendHex4(std::string& text, uint32_t unit) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) text.push_back(kDigits[(unit >> shift) & 0xF]);
}

}  // namespace

// A string literal of ISO 10303-21 holds only the printable ASCII characters, with
// the apostrophe and the backslash doubled; everything else goes between the
// directives \X2\ and \X0\ as UTF-16 code units in upper-case hexadecimal. A
// byte that is not part of valid UTF-8 is taken as the Latin-1 character of that
// value (a file name on disk need not be UTF-8).
std::string EncodeStepString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  std::string run;
  auto flush = [&]() {
    if (run.empty()) return;
    out += "\\X2\\";
    out += run;
    out += "\\X0\\";
    run.clear();
  };
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      flush();
      if (c == '\'' || c == '\\') out.push_back(static_cast<char>(c));
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    uint32_t codePoint = c;
    size_t length = c < 0x80 ? 0 : DecodeUtf8(text, i, codePoint);
    if (length == 0) {
      codePoint = c;
      length = 1;
    }
    if (codePoint >= 0x10000) {
      const uint32_t v = codePoint - 0x10000;
      AppendHex4(run, 0xD800 + (v >> 10));
      AppendHex4(run, 0xDC00 + (v & 0x3FF));
    } else {
      AppendHex4(run, codePoint);
    }
    i += length;
  }
  flush();
  return out;
}

namespace {

// Bytes of the STEP text of one body, a little above the real size: two points per
// outline point (bottom and top curve) with their references, and the entities of
// each piece, end faces, bore and hub.
size_t EstimateStepTextSize(const GearRecord& body) {
  size_t points = 0;
  for (const OutlinePolyline& line : body.outline) points += line.points.size();
  const size_t helical = body.helixAngle > 1e-9 && body.isRack == 0 ? 4 : 1;
  return helical * (points * 200 + body.outline.size() * 1200) + 16384;
}

}  // namespace

void SetStepFileTimeForTest(const std::string& timeText) { g_fixedTime = timeText; }

bool WriteStepFile(ByteSink& file, const std::string& path, const GearRecord& first, double firstRotation,
                   const GearRecord* second, double secondX, double secondY, double secondRotation,
                   ExportStatus* status) {
  if (status) *status = ExportStatus{};
  // A helical gear of fine outline and large twist can need hundreds of millions
  // of control points (gigabytes of text): refuse before building anything.
  const uint64_t controlPoints = EstimateStepControlPoints(first) + (second ? EstimateStepControlPoints(*second) : 0);
  if (controlPoints > kStepControlPointLimit) {
    if (status) {
      status->error = ExportError::StepTooLarge;
      status->millions = static_cast<double>(controlPoints) / 1e6;
    }
    return false;
  }
  const size_t slash = path.rfind('/');
  const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = fileName.rfind('.');
  const std::string name = EncodeStepString(dot == std::string::npos ? fileName : fileName.substr(0, dot));

  // The header goes in front of the entity lines and the text is reserved from
  // the outline size, so that a large gear is never copied or regrown: on a busy
  // machine the page faults of each regrowth cost more than the formatting.
  ResetStepEntities();
  StepLineList.text.reserve(EstimateStepTextSize(first) + (second ? EstimateStepTextSize(*second) : 0));
  StepLineList.text = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('";
  StepLineList.text += Tx(TextId::StepFileDescription);
  StepLineList.text += "'),'2;1');\nFILE_NAME('";
  StepLineList.text += EncodeStepString(fileName);
  StepLineList.text += "','";
  StepLineList.text += LocalTimeText();
  StepLineList.text +=
      "',(''),(''),'Kovrex','Kovrex','');\n"
      "FILE_SCHEMA(('AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }'));\nENDSEC;\nDATA;\n";
  const uint64_t application =
      AddStepEntity("APPLICATION_CONTEXT('core data for automotive mechanical design processes')");
  AddStepEntity("APPLICATION_PROTOCOL_DEFINITION('international standard','automotive_design',2000," +
                FormatStepRef(application) + ")");
  const uint64_t productContext = AddStepEntity("PRODUCT_CONTEXT(''," + FormatStepRef(application) + ",'mechanical')");
  const uint64_t product =
      AddStepEntity("PRODUCT('" + name + "','" + name + "','',(" + FormatStepRef(productContext) + "))");
  const uint64_t formation = AddStepEntity("PRODUCT_DEFINITION_FORMATION('',''," + FormatStepRef(product) + ")");
  const uint64_t definitionContext =
      AddStepEntity("PRODUCT_DEFINITION_CONTEXT('part definition'," + FormatStepRef(application) + ",'design')");
  const uint64_t definition = AddStepEntity("PRODUCT_DEFINITION('design',''," + FormatStepRef(formation) + "," +
                                            FormatStepRef(definitionContext) + ")");
  const uint64_t shape = AddStepEntity("PRODUCT_DEFINITION_SHAPE('',''," + FormatStepRef(definition) + ")");
  const uint64_t length = AddStepEntity("(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.))");
  const uint64_t angle = AddStepEntity("(NAMED_UNIT(*)PLANE_ANGLE_UNIT()SI_UNIT($,.RADIAN.))");
  const uint64_t solidAngle = AddStepEntity("(NAMED_UNIT(*)SI_UNIT($,.STERADIAN.)SOLID_ANGLE_UNIT())");
  const uint64_t uncertainty =
      AddStepEntity("UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-06)," + FormatStepRef(length) +
                    ",'distance_accuracy_value','confusion accuracy')");
  const uint64_t context = AddStepEntity(
      "(GEOMETRIC_REPRESENTATION_CONTEXT(3)GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((" + FormatStepRef(uncertainty) +
      "))GLOBAL_UNIT_ASSIGNED_CONTEXT((" + FormatStepRef(length) + "," + FormatStepRef(angle) + "," +
      FormatStepRef(solidAngle) + "))REPRESENTATION_CONTEXT('Context #1','3D Context with UNIT and UNCERTAINTY'))");
  const uint64_t z = AddStepEntity("DIRECTION('',(0.,0.,1.))");
  const uint64_t x = AddStepEntity("DIRECTION('',(1.,0.,0.))");
  const uint64_t world = WriteStepAxisPlacement(z, x, 0.0, 0.0, 0.0);

  std::string items = FormatStepRef(world);
  AppendStepRef(items, WriteStepGearSolid(first, 0.0, 0.0, firstRotation));
  if (second != nullptr) AppendStepRef(items, WriteStepGearSolid(*second, secondX, secondY, secondRotation));
  const uint64_t representation = AddStepEntity("ADVANCED_BREP_SHAPE_REPRESENTATION('" + name + "',(" + items + ")," +
                                                FormatStepRef(context) + ")");
  AddStepEntity("SHAPE_DEFINITION_REPRESENTATION(" + FormatStepRef(shape) + "," + FormatStepRef(representation) + ")");

  // A number no file may hold, a singular fit or an empty outline: the body's
  // fault, not the file's.
  if (StepLineList.faulty) {
    ResetStepEntities();
    if (status) status->error = ExportError::InvalidBody;
    return false;
  }

  StepLineList.text += "ENDSEC;\nEND-ISO-10303-21;\n";
  const bool written = file.Write(StepLineList.text);
  ResetStepEntities();
  if (!written) {
    if (status) status->error = ExportError::Write;
    return false;
  }
  return true;
}

}  // namespace kovrex
