// The hub and keyway command on the in-memory controls: every message in both
// languages, the DIN values written into the fields only when they differ, the
// custom fields enabled only for custom sizes, the automatic hub diameter, and
// records that get no hub or keyway.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/hub_key_command.h"
#include "geometry/gear_record.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

// A valid external gear built from plain field values, independent of the outline
// generator: m, bore and root radius are all the hub check reads.
GearRecord ValidGear(double module, double bore, double rootRadius) {
  GearRecord g;
  InitGearParams(g, module, 30, 0.0, 20.0, 20.0, bore, 0.0, 0.0, 1);
  g.rootRadius = rootRadius;
  g.valid = 1;
  return g;
}

// The in-memory store, counting how often the program writes each control's text.
class CountingStore : public MemoryControlStore {
 public:
  void SetText(int control, const std::string& text) override {
    ++writes[control];
    MemoryControlStore::SetText(control, text);
  }
  std::map<int, int> writes;
};

class HubKeyTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    SetActiveControlStore(&counting);
  }
  // Wheel 1 block (114..119) as a user fills it.
  void Fill(int keywayMode, const char* width, const char* depth, int hubSide, const char* hubD,
            const char* hubL, int base = GadgetKeyway1) {
    counting.SetState(base, keywayMode);
    counting.SetText(base + 1, width);
    counting.SetText(base + 2, depth);
    counting.SetState(base + 3, hubSide);
    counting.SetText(base + 4, hubD);
    counting.SetText(base + 5, hubL);
    counting.writes.clear();
  }
  CountingStore counting;
};

TEST_F(HubKeyTest, EveryMessageInBothLanguages) {
  struct Case {
    const char* name;
    double module, bore, rootRadius;
    int mode;
    const char *width, *depth;
    int hubSide;
    const char *hubD, *hubL;
    const char* nl;
    const char* en;
  };
  // Root radius 27.5, m 2: the hub may reach D/2 = r_f - 0.25 m = 27, the message
  // names 2 r_f - 0.5 m = 54.0. Bore 20 with the DIN key (t2 2.8): bore contour
  // 12.8, so the hub needs D/2 > 13.3.
  const Case cases[] = {
      {"DIN bore 6", 2, 6, 27.5, 1, "", "", 0, "", "10",
       "spiebaan: geen DIN 6885-maat voor deze boring (6 < d <= 230 mm); ",
       "keyway: no DIN 6885 size for this bore (6 < d <= 230 mm); "},
      {"DIN bore 231", 10, 231, 300, 1, "", "", 0, "", "10",
       "spiebaan: geen DIN 6885-maat voor deze boring (6 < d <= 230 mm); ",
       "keyway: no DIN 6885 size for this bore (6 < d <= 230 mm); "},
      {"DIN no bore", 2, 0, 27.5, 1, "", "", 0, "", "10",
       "spiebaan: geen DIN 6885-maat voor deze boring (6 < d <= 230 mm); ",
       "keyway: no DIN 6885 size for this bore (6 < d <= 230 mm); "},
      {"custom no bore", 2, 0, 27.5, 2, "3", "1", 0, "", "10", "spiebaan: geen boring; ", "keyway: no bore; "},
      {"custom 10 in 10", 2, 10, 27.5, 2, "10", "2", 0, "", "10", "spiebaan breder dan de boring; ",
       "keyway wider than the bore; "},
      {"hub length 0", 2, 20, 27.5, 1, "", "", 1, "", "0", "naaf: lengte 0; ", "hub: length 0; "},
      {"hub length empty", 2, 20, 27.5, 0, "", "", 2, "40", "", "naaf: lengte 0; ", "hub: length 0; "},
      {"hub too large", 2, 20, 27.5, 1, "", "", 3, "54,1", "10", "naaf groter dan de voetcirkel (max. 54.0 mm); ",
       "hub larger than the root circle (max. 54.0 mm); "},
      {"hub too small", 2, 20, 27.5, 1, "", "", 1, "26.6", "10", "naaf kleiner dan boring/spiebaan; ",
       "hub smaller than bore/keyway; "},
      // Bore 40 (DIN 12 x 3.3, contour 23.3): the automatic D is limited to
      // 2 r_f - 2 m = 46, and 23 <= 23.8.
      {"automatic hub too small", 2, 40, 25, 1, "", "", 1, "", "10", "naaf kleiner dan boring/spiebaan; ",
       "hub smaller than bore/keyway; "},
      // Messages follow the order of the checks: keyway first, then hub.
      {"keyway and hub", 2, 10, 27.5, 2, "12", "2", 1, "", "0",
       "spiebaan breder dan de boring; naaf: lengte 0; ", "keyway wider than the bore; hub: length 0; "},
      {"all well", 2, 20, 27.5, 1, "", "", 3, "", "10", "", ""},
  };
  for (bool dutch : {true, false}) {
    SetTextLanguageForTest(dutch);
    for (const Case& c : cases) {
      Fill(c.mode, c.width, c.depth, c.hubSide, c.hubD, c.hubL);
      GearRecord g = ValidGear(c.module, c.bore, c.rootRadius);
      g.messages = "stale; ";
      ComputeHubAndKey(g, 0);
      EXPECT_EQ(g.messages, dutch ? c.nl : c.en) << c.name << (dutch ? " (nl)" : " (en)");
    }
  }
}

TEST_F(HubKeyTest, RejectedHubAndKeywayLeaveNoHubAndNoKeyway) {
  // Hub too large: no hub stored at all.
  Fill(1, "", "", 3, "60", "10");
  GearRecord g = ValidGear(2, 20, 27.5);
  ComputeHubAndKey(g, 0);
  EXPECT_EQ(g.hubSide, 0);
  EXPECT_EQ(g.hubDiameter, 0.0);
  EXPECT_EQ(g.hubLength, 0.0);
  EXPECT_FALSE(HasHub(g));
  // The DIN keyway itself stands.
  EXPECT_TRUE(HasKeyway(g));

  // Custom keyway wider than the bore keeps its depth, width 0: no keyway.
  Fill(2, "10", "2,5", 0, "", "10");
  g = ValidGear(2, 10, 27.5);
  ComputeHubAndKey(g, 0);
  EXPECT_EQ(g.keywayWidth, 0.0);
  EXPECT_EQ(g.keywayDepth, 2.5);
  EXPECT_FALSE(HasKeyway(g));
}

TEST_F(HubKeyTest, DinKeywayFillsTheRecordAndWritesTheFieldsOnlyWhenDifferent) {
  struct Case {
    double bore;
    double b, h, t2, inHub;
    const char *width, *depth;
  };
  // DIN 6885-1 rows 6 < d <= 8 and 17 < d <= 22; h - t1 = 2 - 1.2 and 6 - 3.5.
  const Case cases[] = {{8, 2, 2, 1.0, 0.8, "2", "1.0"}, {20, 6, 6, 2.8, 2.5, "6", "2.8"}};
  for (const Case& c : cases) {
    Fill(1, "", "", 0, "", "10");
    GearRecord g = ValidGear(2, c.bore, 27.5);
    ComputeHubAndKey(g, 0);
    EXPECT_EQ(g.keywayWidth, c.b) << c.bore;
    EXPECT_EQ(g.keyHeight, c.h) << c.bore;
    EXPECT_EQ(g.keywayDepth, c.t2) << c.bore;
    EXPECT_NEAR(g.keyHeightInHub, c.inHub, 1e-12) << c.bore;
    EXPECT_EQ(g.keyIsDin, 1) << c.bore;
    EXPECT_EQ(g.messages, "") << c.bore;
    EXPECT_EQ(counting.GetText(GadgetKeyWidth1), c.width) << c.bore;
    EXPECT_EQ(counting.GetText(GadgetKeyDepth1), c.depth) << c.bore;
    EXPECT_EQ(counting.writes[GadgetKeyWidth1], 1) << c.bore;
    EXPECT_EQ(counting.writes[GadgetKeyDepth1], 1) << c.bore;

    // Recomputing with the fields already showing the values writes nothing.
    counting.writes.clear();
    ComputeHubAndKey(g, 0);
    EXPECT_EQ(counting.writes[GadgetKeyWidth1], 0) << c.bore;
    EXPECT_EQ(counting.writes[GadgetKeyDepth1], 0) << c.bore;
  }

  // A field holding the same number in another form ("6,0") is rewritten; one
  // already right is not.
  Fill(1, "6,0", "2.8", 0, "", "10");
  GearRecord g = ValidGear(2, 20, 27.5);
  ComputeHubAndKey(g, 0);
  EXPECT_EQ(counting.GetText(GadgetKeyWidth1), "6");
  EXPECT_EQ(counting.writes[GadgetKeyWidth1], 1);
  EXPECT_EQ(counting.writes[GadgetKeyDepth1], 0);
}

TEST_F(HubKeyTest, SecondWheelUsesItsOwnBlock) {
  Fill(0, "", "", 0, "", "10", GadgetKeyway1);
  Fill(1, "", "", 2, "", "12", GadgetKeyway2);
  GearRecord g = ValidGear(2, 20, 27.5);
  ComputeHubAndKey(g, 1);
  EXPECT_EQ(g.keywayWidth, 6.0);
  EXPECT_EQ(g.hubSide, 2);
  EXPECT_EQ(g.hubLength, 12.0);
  EXPECT_EQ(counting.GetText(GadgetKeyWidth2), "6");
  EXPECT_EQ(counting.GetText(GadgetKeyDepth2), "2.8");
  EXPECT_EQ(counting.writes[GadgetKeyWidth1], 0);
  EXPECT_EQ(counting.writes[GadgetKeyDepth1], 0);
  EXPECT_FALSE(counting.IsEnabled(GadgetKeyWidth2));
}

TEST_F(HubKeyTest, CustomFieldsAreEnabledOnlyForCustomSizes) {
  struct Case {
    int mode;
    bool enabled;
  };
  const Case cases[] = {{2, true}, {0, false}, {1, false}, {2, true}, {-1, false}, {7, false}};
  for (const Case& c : cases) {
    Fill(c.mode, "4", "1,5", 0, "", "10");
    GearRecord g = ValidGear(2, 20, 27.5);
    ComputeHubAndKey(g, 0);
    EXPECT_EQ(counting.IsEnabled(GadgetKeyWidth1), c.enabled) << c.mode;
    EXPECT_EQ(counting.IsEnabled(GadgetKeyDepth1), c.enabled) << c.mode;
    // The custom fields are never rewritten by the program in custom mode.
    if (c.mode == 2) {
      EXPECT_EQ(counting.writes[GadgetKeyWidth1], 0);
      EXPECT_EQ(g.keywayWidth, 4.0);
      EXPECT_EQ(g.keywayDepth, 1.5);
      EXPECT_NEAR(g.keyHeightInHub, 1.35, 1e-12);  // 0.9 t2
      EXPECT_EQ(g.keyIsDin, 0);
      EXPECT_EQ(g.keyHeight, 0.0);
    } else if (c.mode != 1) {
      EXPECT_FALSE(HasKeyway(g)) << c.mode;
    }
  }
}

TEST_F(HubKeyTest, AutomaticHubDiameter) {
  struct Case {
    const char* name;
    double bore, rootRadius;
    int mode;
    double diameter;
  };
  // m 2, so max(3, m) = 3. Bore 20 with the DIN key: max(1.8 x 20, 2 x 12.8 + 6)
  // = max(36, 31.6) = 36, at most 2 r_f - 4. Without keyway: max(36, 20 + 6) = 36.
  // No bore: 1.2 r_f.
  const Case cases[] = {
      {"DIN, r_f 27.5", 20, 27.5, 1, 36.0},
      {"DIN, r_f 19: limited to 34", 20, 19, 1, 34.0},
      {"plain bore 20", 20, 27.5, 0, 36.0},
      {"bore 10 plain: 2 x 5 + 6 = 16 < 18", 10, 27.5, 0, 18.0},
      {"no bore", 0, 27.5, 0, 33.0},
  };
  for (const Case& c : cases) {
    for (const char* typed : {"", "0", "-5"}) {
      Fill(c.mode, "", "", 1, typed, "10");
      GearRecord g = ValidGear(2, c.bore, c.rootRadius);
      ComputeHubAndKey(g, 0);
      EXPECT_EQ(g.messages, "") << c.name;
      EXPECT_EQ(g.hubSide, 1) << c.name;
      EXPECT_NEAR(g.hubDiameter, c.diameter, 1e-12) << c.name << " D typed '" << typed << "'";
      EXPECT_EQ(g.hubLength, 10.0) << c.name;
    }
  }
  // A module above 3 widens the margin: m 4, bore 30 plain, r_f 60:
  // max(54, 30 + 8) = 54.
  Fill(0, "", "", 3, "", "8");
  GearRecord g = ValidGear(4, 30, 60);
  ComputeHubAndKey(g, 0);
  EXPECT_NEAR(g.hubDiameter, 54.0, 1e-12);
  EXPECT_EQ(g.hubSide, 3);
}

TEST_F(HubKeyTest, TypedHubIsStoredAsTyped) {
  Fill(1, "", "", 3, "40,5", "12,5");
  GearRecord g = ValidGear(2, 20, 27.5);
  ComputeHubAndKey(g, 0);
  EXPECT_EQ(g.hubSide, 3);
  EXPECT_EQ(g.hubDiameter, 40.5);
  EXPECT_EQ(g.hubLength, 12.5);
  EXPECT_TRUE(HasHub(g));
}

TEST_F(HubKeyTest, RingRackAndInvalidRecordsOnlyGetCleared) {
  struct Case {
    const char* name;
    int64_t valid, isInternal, isRack;
  };
  const Case cases[] = {{"invalid", 0, 0, 0}, {"ring gear", 1, 1, 0}, {"rack", 1, 0, 1}};
  for (const Case& c : cases) {
    Fill(1, "", "", 3, "40", "10");
    counting.SetEnabled(GadgetKeyWidth1, true);
    GearRecord g = ValidGear(2, 20, 27.5);
    g.valid = c.valid;
    g.isInternal = c.isInternal;
    g.isRack = c.isRack;
    g.hubSide = 3;
    g.hubDiameter = 40;
    g.hubLength = 10;
    g.keywayWidth = 6;
    g.keywayDepth = 2.8;
    g.keyHeight = 6;
    g.keyHeightInHub = 2.5;
    g.keyIsDin = 1;
    g.messages = "stale; ";
    ComputeHubAndKey(g, 0);
    EXPECT_EQ(g.hubSide, 0) << c.name;
    EXPECT_EQ(g.hubDiameter, 0.0) << c.name;
    EXPECT_EQ(g.hubLength, 0.0) << c.name;
    EXPECT_EQ(g.keywayWidth, 0.0) << c.name;
    EXPECT_EQ(g.keywayDepth, 0.0) << c.name;
    EXPECT_EQ(g.keyHeight, 0.0) << c.name;
    EXPECT_EQ(g.keyHeightInHub, 0.0) << c.name;
    EXPECT_EQ(g.keyIsDin, 0) << c.name;
    EXPECT_EQ(g.messages, "") << c.name;
    EXPECT_EQ(g.boreDiameter, 20.0) << c.name;
    // The window's controls are left as they are.
    EXPECT_TRUE(counting.writes.empty()) << c.name;
    EXPECT_TRUE(counting.IsEnabled(GadgetKeyWidth1)) << c.name;
  }
}

}  // namespace
}  // namespace kovrex
