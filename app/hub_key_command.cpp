// Placeholder until the hub and keyway check lands: a gear gets no hub and no keyway.
#include "app/hub_key_command.h"

namespace kovrex {

void ComputeHubAndKey(GearRecord& g, int /*wheelIndex*/) {
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

}  // namespace kovrex
