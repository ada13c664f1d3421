// Hub and keyway of a gear from the hub and keyway window: reads the controls of
// one wheel's block, fills the record's hub and keyway fields and collects the
// problems in its messages. Not for: drawing or exporting the hub (they read HasHub).
#include "app/hub_key_command.h"

#include <string>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "capacity/key_connection.h"
#include "numbers/number_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

enum class KeywayMode : int { None = 0, Din6885 = 1, Custom = 2 };

// Offsets of a wheel's controls from its keyway combo (114 for wheel 1, 121 for wheel 2).
constexpr int kKeywayModeOffset = 0;
constexpr int kWidthOffset = 1;
constexpr int kDepthOffset = 2;
constexpr int kHubSideOffset = 3;
constexpr int kHubDiameterOffset = 4;
constexpr int kHubLengthOffset = 5;
constexpr int kWheelBlockStride = GadgetKeyway2 - GadgetKeyway1;  // 7

KeywayMode ReadKeywayMode(int control) {
  int64_t s = Controls().GetState(control);
  if (s == static_cast<int>(KeywayMode::Din6885)) return KeywayMode::Din6885;
  if (s == static_cast<int>(KeywayMode::Custom)) return KeywayMode::Custom;
  return KeywayMode::None;
}

// 0 none, 1 left, 2 right, 3 both; a state outside that (no entry selected) is none.
int64_t ReadHubSide(int control) {
  int64_t s = Controls().GetState(control);
  return (s >= 1 && s <= 3) ? s : 0;
}

void ClearHubAndKeyway(GearRecord& g) {
  g.hubSide = 0;
  g.hubDiameter = 0.0;
  g.hubLength = 0.0;
  g.keywayWidth = 0.0;
  g.keywayDepth = 0.0;
  g.keyHeight = 0.0;
  g.keyHeightInHub = 0.0;
  g.keyIsDin = 0;
  g.messages.clear();
}

}  // namespace

void ComputeHubAndKey(GearRecord& g, int wheelIndex) {
  const int base = GadgetKeyway1 + kWheelBlockStride * (wheelIndex == 1 ? 1 : 0);
  const int widthField = base + kWidthOffset;
  const int depthField = base + kDepthOffset;

  const KeywayMode mode = ReadKeywayMode(base + kKeywayModeOffset);
  const int64_t hubSide = ReadHubSide(base + kHubSideOffset);
  ClearHubAndKeyway(g);
  if (!g.valid || g.isInternal || g.isRack) return;

  Controls().SetEnabled(widthField, mode == KeywayMode::Custom);
  Controls().SetEnabled(depthField, mode == KeywayMode::Custom);

  const double bore = g.boreDiameter;
  if (mode == KeywayMode::Din6885) {
    DinKeyLookup key = bore > 0.0 ? LookupDin6885Key(bore) : DinKeyLookup{};
    if (key.found) {
      g.keywayWidth = key.b;
      g.keywayDepth = key.t2;
      g.keyHeight = key.h;
      g.keyIsDin = 1;
      g.keyHeightInHub = key.h - key.t1;
      SetGadgetTextIfChanged(widthField, FormatFixed(0, key.b));
      SetGadgetTextIfChanged(depthField, FormatFixed(1, key.t2));
    } else {
      g.messages += Tx(TextId::HubKeyNoDinSize);
    }
  } else if (mode == KeywayMode::Custom) {
    g.keywayWidth = GetGadgetNumber(widthField);
    g.keywayDepth = GetGadgetNumber(depthField);
    // Without the key's own height the bearing face is taken as 90 % of the hub depth.
    g.keyHeightInHub = 0.9 * g.keywayDepth;
    if (bore <= 0.0) {
      g.messages += Tx(TextId::HubKeyNoBore);
    } else if (g.keywayWidth >= bore) {
      g.messages += Tx(TextId::HubKeyWiderThanBore);
      g.keywayWidth = 0.0;
    }
  }

  if (hubSide == 0) return;
  const double m = g.normalModule;
  const double rootRadius = g.rootRadius;
  const double length = GetGadgetNumber(base + kHubLengthOffset);
  double diameter = GetGadgetNumber(base + kHubDiameterOffset);
  if (diameter <= 0.0) {
    if (bore > 0.0) {
      diameter = MinOfTwo(MaxDouble(1.8 * bore, 2.0 * ComputeBoreContourRadius(g) + 2.0 * MaxDouble(3.0, m)),
                          2.0 * rootRadius - 2.0 * m);
    } else {
      diameter = 1.2 * rootRadius;
    }
  }
  if (length <= 0.0) {
    g.messages += Tx(TextId::HubKeyHubLengthZero);
    return;
  }
  if (diameter / 2.0 > rootRadius - 0.25 * m) {
    g.messages += Tx(TextId::HubKeyHubTooLargeStart);
    g.messages += FormatFixed(1, 2.0 * rootRadius - 0.5 * m);
    g.messages += Tx(TextId::HubKeyHubTooLargeEnd);
    return;
  }
  if (diameter / 2.0 <= ComputeBoreContourRadius(g) + 0.5) {
    g.messages += Tx(TextId::HubKeyHubTooSmall);
    return;
  }
  g.hubSide = hubSide;
  g.hubDiameter = diameter;
  g.hubLength = length;
}

}  // namespace kovrex
