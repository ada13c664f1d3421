// The three windows as built: every control's label, start value, tool tip and
// combo entries in both languages (the tables below are typed from the window
// descriptions, not taken from the program), the window sizes and layout rules,
// the shortcuts and the popup menu, and hiding rather than destroying windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/gtk/form_rows.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/layout_metrics.h"
#include "app/gtk/main_window.h"
#include "gui/gui_test_support.h"
#include "numbers/number_text.h"

namespace kovrex::test {
namespace {

constexpr int64_t kAny = -99;

// label: the form label of the row, the caption of a check box or button, or the
// text of a text label. text: the start text (nullptr: not checked); textEn when
// the English build starts with another text.
struct ControlExpectation {
  int control;
  const char* nl = nullptr;
  const char* en = nullptr;
  const char* text = nullptr;
  int64_t state = kAny;
  const char* tipNl = nullptr;
  const char* tipEn = nullptr;
  const char* textEn = nullptr;
};

const char* kTipHelixNl = "Schuintehoek (bij 'zoeken' de maximale); daarna Modulen berekenen";
const char* kTipHelixEn = "Helix angle (the maximum when 'search' is on); then Calculate modules";

const ControlExpectation kExpected[] = {
    // Main window, page Paar / Pair.
    {.control = 0, .state = 0},
    {.control = 1, .nl = "Hartafstand a [mm]", .en = "Centre distance a [mm]", .text = "60"},
    {.control = 2, .nl = "Overbrenging i = z2 / z1", .en = "Ratio i = z2 / z1", .text = "2"},
    {.control = 3, .nl = "Drukhoek α [°]", .en = "Pressure angle α [°]", .text = "20"},
    {.control = 4, .nl = "Schuinte β [°] / spoed", .en = "Helix angle β [°] / hand", .text = "0",
     .tipNl = kTipHelixNl, .tipEn = kTipHelixEn},
    {.control = 5, .state = 0},
    {.control = 6, .nl = "β zoeken: Σx = 0, β ≤ opgegeven", .en = "β search: Σx = 0, β ≤ given", .state = 0,
     .tipNl = "Kiest per combinatie de schuintehoek waarbij de hartafstand zonder profielverschuiving klopt",
     .tipEn = "Chooses for each combination the helix angle at which the centre distance fits without profile shift"},
    {.control = 7, .nl = "Tolerantie i [±%]", .en = "Tolerance i [±%]", .text = "2"},
    {.control = 8, .nl = "Σx  min / max", .en = "Σx  min / max", .text = "-0.5"},
    {.control = 9, .text = "1.0"},
    {.control = 10, .nl = "z min", .en = "z min", .text = "12"},
    {.control = 11, .nl = "Ook DIN 780 reeks 2 (niet-voorkeur modulen)",
     .en = "Also DIN 780 series 2 (non-preferred modules)", .state = 0},
    {.control = 12, .nl = "Modulen berekenen", .en = "Calculate modules"},
    {.control = 13, .state = -1},
    {.control = 14, .nl = "Profielverschuiving x1", .en = "Profile shift x1", .text = "0"},
    {.control = 15, .nl = "x2 =", .en = "x2 ="},
    {.control = 16, .nl = "Tandbreedte b [mm]", .en = "Face width b [mm]", .text = "10"},
    {.control = 17, .nl = "Flankspeling jn [mm]", .en = "Backlash jn [mm]", .text = "0"},
    {.control = 18, .nl = "Boring d1 / d2 [mm]", .en = "Bore d1 / d2 [mm]", .text = "8"},
    {.control = 19, .text = "12"},
    // Page Enkel / Single.
    {.control = 20, .nl = "Modul m [mm]", .en = "Module m [mm]", .text = "2"},
    {.control = 21, .nl = "Aantal tanden z", .en = "Number of teeth z", .text = "20"},
    {.control = 22, .nl = "Profielverschuiving x", .en = "Profile shift x", .text = "0"},
    {.control = 23, .nl = "Drukhoek α [°]", .en = "Pressure angle α [°]", .text = "20"},
    {.control = 24, .nl = "Schuinte β [°] / spoed", .en = "Helix angle β [°] / hand", .text = "0"},
    {.control = 25, .state = 0},
    {.control = 26, .nl = "Tandbreedte b [mm]", .en = "Face width b [mm]", .text = "10"},
    {.control = 27, .nl = "Tanddikte-afmaat As [mm]", .en = "Thickness allowance As [mm]", .text = "0"},
    {.control = 28, .nl = "Boring [mm]", .en = "Bore [mm]", .text = "8"},
    // Page Heugel / Rack.
    {.control = 29, .nl = "Modul m [mm]", .en = "Module m [mm]", .text = "2"},
    {.control = 30, .nl = "Tanden rondsel z", .en = "Pinion teeth z", .text = "20"},
    {.control = 31, .nl = "Profielverschuiving x", .en = "Profile shift x", .text = "0"},
    {.control = 32, .nl = "Drukhoek α [°]", .en = "Pressure angle α [°]", .text = "20"},
    {.control = 33, .nl = "Schuinte β [°] / spoed", .en = "Helix angle β [°] / hand", .text = "0"},
    {.control = 34, .state = 0, .tipNl = "Spoed van het rondsel; de heugeltanden staan onder dezelfde hoek",
     .tipEn = "Hand of the pinion; the rack teeth are at the same angle"},
    {.control = 35, .nl = "Tandbreedte b [mm]", .en = "Face width b [mm]", .text = "20"},
    {.control = 36, .nl = "Boring rondsel [mm]", .en = "Pinion bore [mm]", .text = "8"},
    {.control = 37, .nl = "Flankspeling jn [mm]", .en = "Backlash jn [mm]", .text = "0"},
    {.control = 38, .nl = "Heugeltanden n", .en = "Rack teeth n", .text = "20"},
    {.control = 39, .nl = "Heugelhoogte Hp [mm]", .en = "Rack height Hp [mm]", .text = "15",
     .tipNl = "Afstand van de heugelrug tot de steeklijn", .tipEn = "Distance from the rack back to the pitch line"},
    // Common controls.
    {.control = 40, .nl = "Draaien", .en = "Rotate", .state = 0},
    {.control = 41, .state = 4, .tipNl = "Snelheid van de animatie", .tipEn = "Animation speed"},
    {.control = 42, .nl = "Ingrijpingslijn", .en = "Line of action", .state = 1, .tipNl = "Ingrijpingslijn tonen",
     .tipEn = "Show line of action"},
    {.control = 43, .state = 0},
    {.control = 44, .nl = "Export DXF...", .en = "Export DXF..."},
    {.control = 45, .nl = "Export STEP...", .en = "Export STEP..."},
    {.control = 46, .nl = "Export STL...", .en = "Export STL..."},
    {.control = 47, .nl = "STL-koordafwijking [mm]", .en = "STL chord tolerance [mm]", .text = "0,01",
     .tipNl = "Maximale afstand tussen het driehoeksnet en de echte vorm",
     .tipEn = "Maximum distance between the triangle mesh and the true shape"},
    {.control = 48, .text = ""},
    {.control = 49, .nl = "Openen...", .en = "Open...", .tipNl = "Project openen (Ctrl+O)",
     .tipEn = "Open project (Ctrl+O)"},
    {.control = 50, .nl = "Opslaan", .en = "Save", .tipNl = "Project opslaan (Ctrl+S)", .tipEn = "Save project (Ctrl+S)"},
    {.control = 51, .nl = "Opslaan als...", .en = "Save as..."},
    {.control = 52, .nl = "Help", .en = "Help", .tipNl = "Handleiding (F1) en Over Kovrex",
     .tipEn = "User guide (F1) and About Kovrex"},
    // Page Binnen / Internal.
    {.control = 53, .nl = "Hartafstand a [mm]", .en = "Centre distance a [mm]", .text = "40"},
    {.control = 54, .nl = "Overbrenging i = z2 / z1", .en = "Ratio i = z2 / z1", .text = "3"},
    {.control = 55, .nl = "Drukhoek α [°]", .en = "Pressure angle α [°]", .text = "20"},
    {.control = 56, .nl = "Schuinte β [°] / spoed", .en = "Helix angle β [°] / hand", .text = "0",
     .tipNl = kTipHelixNl, .tipEn = kTipHelixEn},
    {.control = 57, .state = 0, .tipNl = "Spoed van rondsel en ring (bij binnenvertanding gelijk)",
     .tipEn = "Hand of pinion and ring (equal for internal gears)"},
    {.control = 58, .nl = "β zoeken: Δx = 0, β ≤ opgegeven", .en = "β search: Δx = 0, β ≤ given", .state = 0},
    {.control = 59, .nl = "Tolerantie i [±%]", .en = "Tolerance i [±%]", .text = "2"},
    {.control = 60, .nl = "Δx = x2 - x1  min / max", .en = "Δx = x2 - x1  min / max", .text = "-0.5"},
    {.control = 61, .text = "1.0"},
    {.control = 62, .nl = "z1 min / tandverschil min", .en = "z1 min / min. tooth diff.", .text = "12",
     .tipNl = "Kleinste tandental van het rondsel", .tipEn = "Smallest number of pinion teeth"},
    {.control = 63, .text = "8", .tipNl = "Kleinste tandverschil z2 - z1", .tipEn = "Smallest tooth difference z2 - z1"},
    {.control = 64, .nl = "Ook DIN 780 reeks 2 (niet-voorkeur modulen)",
     .en = "Also DIN 780 series 2 (non-preferred modules)", .state = 0},
    {.control = 65, .nl = "Modulen berekenen", .en = "Calculate modules"},
    {.control = 66, .state = -1},
    {.control = 67, .nl = "Profielverschuiving x1", .en = "Profile shift x1", .text = "0"},
    {.control = 68, .nl = "x2 =", .en = "x2 ="},
    {.control = 69, .nl = "Tandbreedte b [mm]", .en = "Face width b [mm]", .text = "10"},
    {.control = 70, .nl = "Flankspeling jn [mm]", .en = "Backlash jn [mm]", .text = "0"},
    {.control = 71, .nl = "Boring rondsel / rand ring", .en = "Pinion bore / ring rim", .text = "6",
     .tipNl = "Boring van het rondsel [mm]", .tipEn = "Bore of the pinion [mm]"},
    {.control = 72, .text = "6", .tipNl = "Randdikte van de ring buiten de voetcirkel [mm]",
     .tipEn = "Rim thickness of the ring outside the root circle [mm]"},
    {.control = 73, .nl = "Ringkop inkorten tegen interferentie", .en = "Shorten ring tip against interference",
     .state = 1,
     .tipNl = "Kopcirkel van de ring zo groot dat de ringkop de voetronding van het rondsel niet raakt",
     .tipEn = "Ring tip circle large enough for the ring tip to clear the pinion root fillet"},
    {.control = 74, .nl = "Sterkte...", .en = "Strength...",
     .tipNl = "Sterkteberekening (flankdruk en voetspanning) van het actieve paar",
     .tipEn = "Strength calculation (flank pressure and root stress) of the active pair"},
    {.control = 109, .nl = "Naaf/spie...", .en = "Hub/key...",
     .tipNl = "Naaf en spiebaan (DIN 6885) voor wiel 1 en wiel 2",
     .tipEn = "Hub and keyway (DIN 6885) for gear 1 and gear 2"},
    // Strength window.
    {.control = 75, .state = 0},
    {.control = 77, .nl = "Vermogen P [kW]", .en = "Power P [kW]"},
    {.control = 76, .text = "5"},
    {.control = 78, .nl = "Toerental n1 [1/min]", .en = "Speed n1 [1/min]", .text = "1500",
     .tipNl = "Toerental van wiel 1 / het rondsel", .tipEn = "Speed of gear 1 / the pinion"},
    {.control = 79, .nl = "Bedrijfsfactor KA", .en = "Application factor KA", .text = "1,25 lichte stoten",
     .textEn = "1.25 light shocks"},
    {.control = 80, .nl = "Levensduur [h]", .en = "Service life [h]", .text = "20000"},
    {.control = 81, .nl = "Nauwkeurigheid ISO 1328", .en = "Accuracy ISO 1328", .state = 2},
    {.control = 82, .nl = "Afwerking flanken", .en = "Flank finish", .state = 0},
    {.control = 83, .nl = "Smering", .en = "Lubrication", .state = 0},
    {.control = 84, .nl = "Minimaal S_H / S_F", .en = "Minimum S_H / S_F", .text = "1,0"},
    {.control = 85, .text = "1,4"},
    {.control = 103, .nl = "As en spieverbinding", .en = "Shaft and key connection"},
    {.control = 104, .state = 2},
    {.control = 105, .nl = "τ toel / R_e as [N/mm²]", .en = "τ perm / R_e shaft [N/mm²]", .text = "40",
     .tipNl = "Toelaatbare torsiespanning voor de voordimensionering (met toeslag voor buiging)",
     .tipEn = "Permissible torsional stress for preliminary sizing (with an allowance for bending)"},
    {.control = 106, .text = "490"},
    {.control = 107, .nl = "Spieen / spielengte [mm]", .en = "Keys / key length [mm]", .state = 0},
    {.control = 108, .text = "", .tipNl = "Leeg: over de hele naaflengte", .tipEn = "Empty: over the full hub length"},
    {.control = 86, .nl = "Wiel 1 / rondsel", .en = "Gear 1 / pinion"},
    {.control = 87, .state = 3},
    // Row 3, 42CrMo4 quenched and tempered: 750 / 300 N/mm2, E 206000, nu 0.30.
    {.control = 88, .nl = "σH,lim / σF,lim [N/mm²]", .en = "σH,lim / σF,lim [N/mm²]", .text = "750"},
    {.control = 89, .text = "300"},
    {.control = 90, .nl = "E [N/mm²] / ν", .en = "E [N/mm²] / ν", .text = "206000"},
    {.control = 91, .text = "0.30"},
    {.control = 92, .nl = "Wiel 2 / heugel / ring", .en = "Gear 2 / rack / ring"},
    {.control = 93, .state = 3},
    {.control = 94, .nl = "σH,lim / σF,lim [N/mm²]", .en = "σH,lim / σF,lim [N/mm²]", .text = "750"},
    {.control = 95, .text = "300"},
    {.control = 96, .nl = "E [N/mm²] / ν", .en = "E [N/mm²] / ν", .text = "206000"},
    {.control = 97, .text = "0.30"},
    {.control = 98, .text = ""},
    {.control = 99, .text = ""},
    {.control = 100, .nl = "Rapport kopiëren", .en = "Copy report"},
    {.control = 101, .nl = "Sluiten", .en = "Close"},
    // Hub and keyway window, both blocks.
    {.control = 110, .nl = "Wiel 1 / rondsel", .en = "Gear 1 / pinion"},
    {.control = 111, .nl = "Wiel 2 (alleen bij het tandwielpaar)", .en = "Gear 2 (gear pair only)"},
    {.control = 114, .nl = "Spiebaan", .en = "Keyway", .state = 0},
    {.control = 121, .nl = "Spiebaan", .en = "Keyway", .state = 0},
    {.control = 115, .nl = "Breedte b / diepte t2 [mm]", .en = "Width b / depth t2 [mm]", .text = ""},
    {.control = 122, .nl = "Breedte b / diepte t2 [mm]", .en = "Width b / depth t2 [mm]", .text = ""},
    {.control = 116, .text = "", .tipNl = "Diepte van de spiebaan in de naaf, gemeten vanaf de boring",
     .tipEn = "Depth of the keyway in the hub, measured from the bore"},
    {.control = 123, .text = "", .tipNl = "Diepte van de spiebaan in de naaf, gemeten vanaf de boring",
     .tipEn = "Depth of the keyway in the hub, measured from the bore"},
    {.control = 117, .nl = "Naaf", .en = "Hub", .state = 0},
    {.control = 124, .nl = "Naaf", .en = "Hub", .state = 0},
    {.control = 118, .nl = "Naaf Ø D / lengte L [mm]", .en = "Hub Ø D / length L [mm]", .text = "",
     .tipNl = "Leeg of 0: automatisch", .tipEn = "Empty or 0: automatic"},
    {.control = 125, .nl = "Naaf Ø D / lengte L [mm]", .en = "Hub Ø D / length L [mm]", .text = "",
     .tipNl = "Leeg of 0: automatisch", .tipEn = "Empty or 0: automatic"},
    {.control = 119, .text = "10", .tipNl = "Lengte buiten het tandwiel, per kant",
     .tipEn = "Length outside the gear, per side"},
    {.control = 126, .text = "10", .tipNl = "Lengte buiten het tandwiel, per kant",
     .tipEn = "Length outside the gear, per side"},
    {.control = 112, .nl = "Sluiten", .en = "Close"},
};

struct ComboExpectation {
  int control;
  std::vector<const char*> nl;
  std::vector<const char*> en;
};

const ComboExpectation kCombos[] = {
    {5, {"rechts", "links"}, {"right", "left"}},
    {25, {"rechts", "links"}, {"right", "left"}},
    {34, {"rechts", "links"}, {"right", "left"}},
    {57, {"rechts", "links"}, {"right", "left"}},
    {43,
     {"Exporteren: beide samen, zoals in beeld", "Exporteren: alleen wiel 1 / rondsel",
      "Exporteren: alleen wiel 2 / heugel / ring"},
     {"Export: both together, as shown", "Export: gear 1 / pinion only", "Export: gear 2 / rack / ring only"}},
    {75, {"Belasting: vermogen + toerental", "Belasting: koppel + toerental"},
     {"Load: power + speed", "Load: torque + speed"}},
    {79,
     {"1,00 gelijkmatig", "1,25 lichte stoten", "1,50 matige stoten", "1,75 zware stoten", "2,00 zeer zware stoten"},
     {"1.00 uniform", "1.25 light shocks", "1.50 moderate shocks", "1.75 heavy shocks", "2.00 very heavy shocks"}},
    {81,
     {"klasse 5", "klasse 6", "klasse 7", "klasse 8", "klasse 9", "klasse 10"},
     {"grade 5", "grade 6", "grade 7", "grade 8", "grade 9", "grade 10"}},
    {82, {"gefreesd / gestoken", "geslepen"}, {"hobbed / shaped", "ground"}},
    {83, {"olie", "vet", "droog (indicatief)"}, {"oil", "grease", "dry (indicative)"}},
    {104,
     {"As: S235", "As: S355", "As: C45 (+C of veredeld)", "As: 42CrMo4 veredeld", "As: 34CrNiMo6 veredeld",
      "As: Eigen waarden"},
     {"As: S235", "As: S355", "As: C45 (+C or Q+T)", "As: 42CrMo4 Q+T", "As: 34CrNiMo6 Q+T", "As: Custom values"}},
    {107, {"1 spie", "2 spieen"}, {"1 key", "2 keys"}},
    {114, {"geen", "DIN 6885-1", "eigen maten"}, {"none", "DIN 6885-1", "custom size"}},
    {121, {"geen", "DIN 6885-1", "eigen maten"}, {"none", "DIN 6885-1", "custom size"}},
    {117, {"geen", "links", "rechts", "beide kanten"}, {"none", "left", "right", "both sides"}},
    {124, {"geen", "links", "rechts", "beide kanten"}, {"none", "left", "right", "both sides"}},
};

std::string TipOf(int control) {
  gchar* tip = gtk_widget_get_tooltip_text(ControlWidget(control));
  std::string s = tip ? tip : "";
  g_free(tip);
  return s;
}

std::string LabelOf(int control) {
  if (GtkWidget* label = FormLabelOf(control)) return gtk_label_get_text(GTK_LABEL(label));
  return GtkStore().GetText(control);  // caption of a check box or button, text of a text label
}

void CollectLabels(GtkWidget* widget, std::vector<std::string>& texts) {
  if (GTK_IS_LABEL(widget)) texts.push_back(gtk_label_get_text(GTK_LABEL(widget)));
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c; c = c->next) CollectLabels(GTK_WIDGET(c->data), texts);
    g_list_free(children);
  }
  if (GTK_IS_NOTEBOOK(widget)) {
    for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(widget)); ++i) {
      GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(widget), gtk_notebook_get_nth_page(GTK_NOTEBOOK(widget), i));
      if (tab) CollectLabels(tab, texts);
    }
  }
}

bool WindowShowsText(int window, const std::string& text) {
  std::vector<std::string> texts;
  CollectLabels(WindowWidget(window), texts);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class WindowsTest : public GuiTest {
 protected:
  void CheckEveryControl(bool dutch) {
    BuildWindows(dutch);
    std::set<int> seen;
    for (const ControlExpectation& e : kExpected) {
      SCOPED_TRACE(std::string(ControlInfoOf(e.control).name) + (dutch ? " (nl)" : " (en)"));
      seen.insert(e.control);
      ASSERT_NE(ControlWidget(e.control), nullptr);
      if (e.nl) {
        EXPECT_EQ(LabelOf(e.control), dutch ? e.nl : e.en);
      }
      if (e.text) {
        EXPECT_EQ(GtkStore().GetText(e.control), (!dutch && e.textEn) ? e.textEn : e.text);
      }
      if (e.state != kAny) {
        EXPECT_EQ(GtkStore().GetState(e.control), e.state);
      }
      EXPECT_EQ(TipOf(e.control), e.tipNl ? (dutch ? e.tipNl : e.tipEn) : "");
    }
    // Every numbered control exists in its window (102 canvas, 113 scroll area).
    for (int c = 0; c < kGadgetCount; ++c) {
      if (ControlKindOf(c) == ControlKind::None) continue;
      EXPECT_NE(ControlWidget(c), nullptr) << ControlInfoOf(c).name;
      GtkWidget* top = gtk_widget_get_toplevel(PlacedWidget(c));
      EXPECT_EQ(top, WindowWidget(ControlInfoOf(c).window)) << ControlInfoOf(c).name;
    }
    for (const ComboExpectation& combo : kCombos) {
      const auto& entries = dutch ? combo.nl : combo.en;
      ASSERT_EQ(GtkStore().CountItems(combo.control), static_cast<int>(entries.size())) << combo.control;
      for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(GtkStore().GetItemText(combo.control, static_cast<int>(i)), entries[i]) << combo.control;
    }
    EXPECT_EQ(GtkStore().CountItems(GadgetMaterial1), 13);
    EXPECT_EQ(GtkStore().GetItemText(GadgetMaterial1, 3),
              dutch ? "42CrMo4 veredeld (~300 HB)" : "42CrMo4 quenched and tempered (~300 HB)");
    EXPECT_EQ(GtkStore().GetItemText(GadgetMaterial2, 12), dutch ? "Eigen materiaal" : "Custom material");

    EXPECT_EQ(GtkStore().GetWindowTitle(WindowMain),
              dutch ? "Kovrex - evolvente tandwielen (ISO 53 / DIN 867 / DIN 3960)"
                    : "Kovrex - involute gears (ISO 53 / DIN 867 / DIN 3960)");
    EXPECT_EQ(GtkStore().GetWindowTitle(WindowStrength),
              dutch ? "Sterkteberekening (indicatief, ISO 6336 / DIN 3990)"
                    : "Strength calculation (indicative, ISO 6336 / DIN 3990)");
    EXPECT_EQ(GtkStore().GetWindowTitle(WindowHubKeyway), dutch ? "Naaf en spiebaan" : "Hub and keyway");

    const char* tabsNl[] = {"Paar", "Enkel", "Heugel", "Binnen"};
    const char* tabsEn[] = {"Pair", "Single", "Rack", "Internal"};
    GtkNotebook* notebook = GTK_NOTEBOOK(ControlWidget(GadgetTabPanel));
    ASSERT_EQ(gtk_notebook_get_n_pages(notebook), 4);
    for (int i = 0; i < 4; ++i)
      EXPECT_STREQ(gtk_notebook_get_tab_label_text(notebook, gtk_notebook_get_nth_page(notebook, i)),
                   dutch ? tabsNl[i] : tabsEn[i]);

    EXPECT_TRUE(WindowShowsText(WindowMain,
                                dutch ? "Wijzigingen worden direct getekend. Heugelprofiel ISO 53 A: ha = 1,0 m   "
                                        "hf = 1,25 m   ρf = 0,38 m"
                                      : "Changes are drawn immediately. Basic rack ISO 53 A: ha = 1,0 m   hf = 1,25 "
                                        "m   ρf = 0,38 m"));
    EXPECT_TRUE(WindowShowsText(WindowHubKeyway,
                                dutch ? "De spiebaan ligt onder een tand en loopt over de hele lengte. Ringwiel en "
                                        "heugel krijgen geen naaf of spiebaan."
                                      : "The keyway lies under a tooth and runs the full length. Ring gears and racks "
                                        "get no hub or keyway."));
  }

  void ShowAndWait(int window) {
    GtkStore().ShowWindow(window, true);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(WindowWidget(window)); }));
    PumpUntil([&] { return gtk_widget_get_allocated_width(WindowWidget(window)) > 1; });
    PumpEvents();
  }

  GtkAllocation AllocationOf(GtkWidget* widget) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    return a;
  }
};

TEST_F(WindowsTest, EveryControlStartsAsDescribedInDutch) { CheckEveryControl(true); }
TEST_F(WindowsTest, EveryControlStartsAsDescribedInEnglish) { CheckEveryControl(false); }

TEST_F(WindowsTest, ResultListsHaveSevenColumnsScaledByTheFont) {
  BuildWindows();
  const double widths[] = {42, 34, 34, 46, 44, 48, 48};
  const char* titles13[] = {"m", "z1", "z2", "i", "Δi %", "Σx", "β °"};
  const char* titles66[] = {"m", "z1", "z2", "i", "Δi %", "Δx", "β °"};
  const double s = LayoutLineHeight / 15.0;
  for (int list : {GadgetPairResults, GadgetInternalResults}) {
    GtkTreeView* view = GTK_TREE_VIEW(ControlWidget(list));
    ASSERT_EQ(gtk_tree_view_get_n_columns(view), 7u);
    for (int c = 0; c < 7; ++c) {
      GtkTreeViewColumn* column = gtk_tree_view_get_column(view, c);
      EXPECT_STREQ(gtk_tree_view_column_get_title(column), list == GadgetPairResults ? titles13[c] : titles66[c]);
      EXPECT_EQ(gtk_tree_view_column_get_fixed_width(column), RoundHalfAwayFromZero(widths[c] * s));
    }
    int w = 0, h = 0;
    gtk_widget_get_size_request(PlacedWidget(list), &w, &h);
    EXPECT_EQ(h, 6 * (LayoutLineHeight + 10) + 10);
  }
}

TEST_F(WindowsTest, ModuleCombosAreEditableAndListSeriesOne) {
  BuildWindows();
  for (int combo : {GadgetSingleModule, GadgetRackModule}) {
    EXPECT_TRUE(gtk_combo_box_get_has_entry(GTK_COMBO_BOX(ControlWidget(combo))));
    ASSERT_EQ(GtkStore().CountItems(combo), 34);
    EXPECT_EQ(GtkStore().GetItemText(combo, 0), "0.05");
    EXPECT_EQ(GtkStore().GetItemText(combo, 16), "1.25");
    EXPECT_EQ(GtkStore().GetItemText(combo, 33), "60");
  }
  EXPECT_TRUE(gtk_combo_box_get_has_entry(GTK_COMBO_BOX(ControlWidget(GadgetApplicationFactor))));
  EXPECT_FALSE(gtk_combo_box_get_has_entry(GTK_COMBO_BOX(ControlWidget(GadgetPairHand))));
}

// ---- layout metrics and size rules -----------------------------------------

TEST(LayoutMetricsRules, MetricsFollowTheLineHeightAndTheWidestLabel) {
  struct Case {
    int line, widest;
    int lineHeight, fieldHeight, rowPitch, fieldX, fieldWidth, halfWidth, rightColumn, canvasLeft;
  };
  const Case cases[] = {
      // A font under 10 pixels is taken as 15.
      {9, 100, 15, 33, 38, 122, 150, 72, 290, 328},
      {0, 100, 15, 33, 38, 122, 150, 72, 290, 328},
      {10, 100, 10, 28, 33, 122, 100, 47, 240, 278},
      {17, 170, 17, 35, 40, 192, 170, 82, 380, 418},
      {22, 230, 22, 40, 45, 252, 220, 107, 490, 528},
  };
  for (const Case& c : cases) {
    SetLayoutMetrics(c.line, c.widest);
    SCOPED_TRACE(c.line);
    EXPECT_EQ(LayoutLineHeight, c.lineHeight);
    EXPECT_EQ(LayoutFieldHeight, c.fieldHeight);
    EXPECT_EQ(LayoutRowPitch, c.rowPitch);
    EXPECT_EQ(LayoutFieldX, c.fieldX);
    EXPECT_EQ(LayoutFieldWidth, c.fieldWidth);
    EXPECT_EQ(LayoutFieldHalfWidth, c.halfWidth);
    EXPECT_EQ(LayoutRightColumnWidth, c.rightColumn);
    EXPECT_EQ(CanvasLeft, c.canvasLeft);
  }
}

TEST(LayoutMetricsRules, InitialWindowHeightFollowsTheMonitorOnlyWhenItLeavesRoom) {
  const std::pair<int, int> cases[] = {
      {700, 620},  {940, 860}, {1200, 860}, {2160, 860}, {900, 820},
      {81, 1},     // one pixel is still a height
      {80, 860},   // a zero or negative height would be no window at all
      {40, 860},   {0, 860},   {-1, 860},
  };
  for (const auto& [monitor, height] : cases) EXPECT_EQ(MainWindowInitialHeight(monitor), height) << monitor;
}

TEST(LayoutMetricsRules, TheReportGrowsTheWindowWithinTheMonitor) {
  struct Case {
    int reportTop, current, monitor;
    bool grow;
    int height, y;
  };
  const Case cases[] = {
      {1000, 620, 700, false, 0, 0},   // wish 1208 limited to 620: no growth
      {1000, 860, 1200, true, 1120, 20},
      {600, 860, 1200, false, 0, 0},   // wish 808 fits
      {700, 860, 2000, true, 908, 526},
      {1000, 860, 0, true, 1208, 0},   // no monitor: no limit, top of the screen
      {1000, 860, 60, true, 1208, 0},  // a monitor of 80 pixels or less sets no limit
  };
  for (const Case& c : cases) {
    WindowGrowth g = MainWindowGrowth(c.reportTop, c.current, c.monitor);
    SCOPED_TRACE(c.monitor);
    EXPECT_EQ(g.grow, c.grow);
    if (c.grow) {
      EXPECT_EQ(g.height, c.height);
      EXPECT_EQ(g.y, c.y);
    }
  }
}

TEST(LayoutMetricsRules, ShrinkingKeepsTheReportAndTheCanvasAtTheirMinimum) {
  SetLayoutMetrics(17, 170);  // canvas left 418
  ReportEditorTop = 900;
  struct Case {
    int w, h, report, inner, canvasW, canvasH;
  };
  const Case cases[] = {
      {1280, 1200, 292, 1200, 850, 1184},
      {818, 420, 120, 1028, 388, 404},
      {480, 60, 120, 1028, 50, 50},
      {0, 0, 120, 1028, 50, 50},
  };
  for (const Case& c : cases) {
    MainLayoutSizes s = ComputeMainLayoutSizes(c.w, c.h);
    SCOPED_TRACE(c.w);
    EXPECT_EQ(s.scrollAreaHeight, c.h);
    EXPECT_EQ(s.reportHeight, c.report);
    EXPECT_EQ(s.scrollInnerHeight, c.inner);
    EXPECT_EQ(s.canvasWidth, c.canvasW);
    EXPECT_EQ(s.canvasHeight, c.canvasH);
  }
}

TEST_F(WindowsTest, MainWindowOpensAtTheRuleSizeForThisMonitor) {
  BuildWindows();
  ShowAndWait(WindowMain);
  const int monitor = MonitorHeight();
  ASSERT_GT(monitor, 80);
  int expected = std::min(860, monitor - 80);
  // The report asks for its top plus 208 pixels, within the monitor.
  expected = std::max(expected, std::min(ReportEditorTop + 208, monitor - 80));
  int w = 0, h = 0;
  gtk_window_get_size(GTK_WINDOW(WindowWidget(WindowMain)), &w, &h);
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, expected);
}

TEST_F(WindowsTest, MainWindowPartsSitWhereTheMetricsPutThem) {
  BuildWindows();
  ShowAndWait(WindowMain);
  GtkAllocation canvas = AllocationOf(PlacedWidget(GadgetCanvas));
  GtkAllocation window = AllocationOf(gtk_bin_get_child(GTK_BIN(WindowWidget(WindowMain))));
  EXPECT_EQ(canvas.x - window.x, CanvasLeft + 4);
  EXPECT_EQ(canvas.y - window.y, 8);
  EXPECT_EQ(canvas.width, window.width - CanvasLeft - 12);
  EXPECT_EQ(canvas.height, window.height - 16);
  GtkAllocation scroll = AllocationOf(PlacedWidget(GadgetInputScrollArea));
  EXPECT_EQ(scroll.width, CanvasLeft);
  EXPECT_EQ(scroll.height, window.height);

  // A field sits at LayoutFieldX, its label at 10, in the coordinates of the page.
  GtkAllocation label = AllocationOf(FormLabelOf(GadgetPairCentreDistance));
  GtkAllocation field = AllocationOf(ControlWidget(GadgetPairCentreDistance));
  EXPECT_EQ(field.x - label.x, LayoutFieldX - 10);
  EXPECT_EQ(field.width, LayoutFieldWidth);
  EXPECT_EQ(field.height, LayoutFieldHeight);
  GtkAllocation bore1 = AllocationOf(ControlWidget(GadgetPairBore1));
  GtkAllocation bore2 = AllocationOf(ControlWidget(GadgetPairBore2));
  EXPECT_EQ(bore1.width, LayoutFieldHalfWidth);
  EXPECT_EQ(bore2.x - bore1.x, LayoutFieldWidth - LayoutFieldHalfWidth);
  EXPECT_EQ(bore2.x + bore2.width, field.x + field.width);
  // The rows advance by the row pitch.
  GtkAllocation ratio = AllocationOf(ControlWidget(GadgetPairRatio));
  EXPECT_EQ(ratio.y - field.y, LayoutRowPitch);

  // Tool bar: four buttons of a quarter of the column, the last ending with it.
  const int w4 = (LayoutRightColumnWidth - 18) / 4;
  GtkAllocation open = AllocationOf(ControlWidget(GadgetToolOpen));
  GtkAllocation help = AllocationOf(ControlWidget(GadgetToolHelp));
  EXPECT_EQ(open.width, w4);
  EXPECT_EQ(help.x - open.x, LayoutRightColumnWidth - w4);
  GtkAllocation saveAs = AllocationOf(ControlWidget(GadgetToolSaveAs));
  EXPECT_LE(saveAs.x + saveAs.width, help.x) << "the Save as button runs into Help";

  // The report starts at ReportEditorTop inside the scroll area.
  GtkAllocation report = AllocationOf(PlacedWidget(GadgetReport));
  GtkAllocation inner = AllocationOf(gtk_widget_get_parent(PlacedWidget(GadgetReport)));
  EXPECT_EQ(report.y - inner.y, ReportEditorTop);
  EXPECT_EQ(report.height, std::max(120, window.height - ReportEditorTop - 8));
}

TEST_F(WindowsTest, ShrinkingTheMainWindowStopsAtItsMinimumAndKeepsTheReportAndCanvas) {
  BuildWindows();
  ShowAndWait(WindowMain);
  GtkWindow* window = GTK_WINDOW(WindowWidget(WindowMain));
  gtk_window_resize(window, 200, 200);
  const int minWidth = CanvasLeft + 400, minHeight = 420;
  ASSERT_TRUE(PumpUntil([&] {
    int w = 0, h = 0;
    gtk_window_get_size(window, &w, &h);
    return w == minWidth && h == minHeight;
  }));
  PumpUntil([&] { return AllocationOf(PlacedWidget(GadgetCanvas)).height == minHeight - 16; });
  GtkAllocation canvas = AllocationOf(PlacedWidget(GadgetCanvas));
  EXPECT_EQ(canvas.width, minWidth - CanvasLeft - 12);
  EXPECT_EQ(canvas.height, minHeight - 16);
  EXPECT_EQ(AllocationOf(PlacedWidget(GadgetReport)).height, 120);
  EXPECT_EQ(AllocationOf(PlacedWidget(GadgetInputScrollArea)).height, minHeight);
}

TEST_F(WindowsTest, StrengthWindowHasItsBuiltSizeAsMinimumAndItsReportFollowsTheSize) {
  BuildWindows();
  ShowAndWait(WindowStrength);
  GtkWindow* window = GTK_WINDOW(WindowWidget(WindowStrength));
  int builtW = 0, builtH = 0;
  gtk_window_get_size(window, &builtW, &builtH);
  EXPECT_EQ(builtW, LayoutFieldX + LayoutFieldWidth + 460);
  EXPECT_GE(builtH, 22 * LayoutRowPitch + 40);
  // Every row fits: the Close button ends inside the window.
  GtkAllocation close = AllocationOf(ControlWidget(GadgetStrengthClose));
  EXPECT_LE(close.y + close.height, builtH);

  gtk_window_resize(window, 100, 100);
  PumpFor(100);
  int w = 0, h = 0;
  gtk_window_get_size(window, &w, &h);
  EXPECT_EQ(w, builtW);
  EXPECT_EQ(h, builtH);

  gtk_window_resize(window, builtW + 200, builtH + 100);
  const int x0 = LayoutFieldX + LayoutFieldWidth + 10;
  ASSERT_TRUE(PumpUntil([&] {
    return AllocationOf(PlacedWidget(GadgetStrengthReport)).width == builtW + 200 - x0 - 10;
  }));
  GtkAllocation report = AllocationOf(PlacedWidget(GadgetStrengthReport));
  GtkAllocation status = AllocationOf(PlacedWidget(GadgetStrengthStatus));
  EXPECT_EQ(status.width, builtW + 200 - x0 - 10);
  EXPECT_EQ(status.height, LayoutFieldHeight + 6);
  EXPECT_EQ(report.y, LayoutFieldHeight + 22);
  EXPECT_EQ(report.height, builtH + 100 - report.y - 10);
}

TEST_F(WindowsTest, ClosingTheStrengthWindowHidesItAndReopeningShowsTheValuesTyped) {
  BuildWindows();
  UseRealWindowClose();
  OpenStrengthWindow();
  ShowAndWait(WindowStrength);
  GtkWidget* before = WindowWidget(WindowStrength);
  gtk_entry_set_text(GTK_ENTRY(ControlWidget(GadgetLoadValue)), "7,5");
  gtk_combo_box_set_active(GTK_COMBO_BOX(ControlWidget(GadgetLubrication)), 1);

  GdkEvent* e = gdk_event_new(GDK_DELETE);
  gboolean handled = FALSE;
  g_signal_emit_by_name(before, "delete-event", e, &handled);
  gdk_event_free(e);
  PumpEvents();
  EXPECT_FALSE(GtkStore().IsWindowVisible(WindowStrength));
  EXPECT_EQ(StrengthWindowOpen, 0);

  OpenStrengthWindow();
  PumpEvents();
  EXPECT_TRUE(GtkStore().IsWindowVisible(WindowStrength));
  EXPECT_EQ(WindowWidget(WindowStrength), before);
  EXPECT_EQ(GtkStore().GetText(GadgetLoadValue), "7,5");
  EXPECT_EQ(GtkStore().GetState(GadgetLubrication), 1);
}

TEST_F(WindowsTest, HubWindowIsAsTallAsItsRowsAndClosingHidesIt) {
  BuildWindows();
  UseRealWindowClose();
  ShowHubKeywayWindow();
  ShowAndWait(WindowHubKeyway);
  int w = 0, h = 0;
  gtk_window_get_size(GTK_WINDOW(WindowWidget(WindowHubKeyway)), &w, &h);
  EXPECT_EQ(w, LayoutFieldX + LayoutFieldWidth + 20);
  GtkAllocation close = AllocationOf(ControlWidget(GadgetHubClose));
  EXPECT_EQ(h, close.y + LayoutFieldHeight + 16);

  GdkEvent* e = gdk_event_new(GDK_DELETE);
  gboolean handled = FALSE;
  g_signal_emit_by_name(WindowWidget(WindowHubKeyway), "delete-event", e, &handled);
  gdk_event_free(e);
  EXPECT_FALSE(GtkStore().IsWindowVisible(WindowHubKeyway));
  EXPECT_TRUE(GTK_IS_WINDOW(WindowWidget(WindowHubKeyway)));
}

TEST_F(WindowsTest, ShortcutsSendTheirMenuItems) {
  BuildWindows();
  struct Case {
    int window;
    guint key;
    GdkModifierType modifiers;
    bool sends;
    MenuItem item;
  };
  const GdkModifierType none = static_cast<GdkModifierType>(0);
  const Case cases[] = {
      {WindowMain, GDK_KEY_F1, none, true, MenuItem::Help},
      {WindowMain, GDK_KEY_o, GDK_CONTROL_MASK, true, MenuItem::OpenProject},
      {WindowMain, GDK_KEY_s, GDK_CONTROL_MASK, true, MenuItem::SaveProject},
      {WindowStrength, GDK_KEY_F1, none, true, MenuItem::Help},
      {WindowHubKeyway, GDK_KEY_F1, none, true, MenuItem::Help},
      {WindowStrength, GDK_KEY_s, GDK_CONTROL_MASK, false, MenuItem::SaveProject},
      {WindowHubKeyway, GDK_KEY_o, GDK_CONTROL_MASK, false, MenuItem::OpenProject},
  };
  for (const Case& c : cases) {
    Recorded().Clear();
    gtk_accel_groups_activate(G_OBJECT(WindowWidget(c.window)), c.key, c.modifiers);
    SCOPED_TRACE(std::to_string(c.window) + " " + gdk_keyval_name(c.key));
    if (c.sends) {
      ASSERT_EQ(Recorded().menus.size(), 1u);
      EXPECT_EQ(Recorded().menus[0], c.item);
    } else {
      EXPECT_TRUE(Recorded().menus.empty());
    }
  }
}

void CheckHelpMenu(bool dutch) {
  GList* menus = gtk_menu_get_for_attach_widget(WindowWidget(WindowMain));
  ASSERT_NE(menus, nullptr);
  GList* items = gtk_container_get_children(GTK_CONTAINER(menus->data));
  ASSERT_EQ(g_list_length(items), 2u);
  GtkWidget* guide = GTK_WIDGET(g_list_nth_data(items, 0));
  GtkWidget* about = GTK_WIDGET(g_list_nth_data(items, 1));
  g_list_free(items);
  // "Handleiding\tF1": the shortcut shows as an accelerator, not as a tab in the text.
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(guide)), dutch ? "Handleiding" : "User guide");
  guint key = 0;
  GdkModifierType modifiers;
  gtk_accel_label_get_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(guide))), &key, &modifiers);
  EXPECT_EQ(key, static_cast<guint>(GDK_KEY_F1));
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(about)), dutch ? "Over Kovrex" : "About Kovrex");
  Recorded().Clear();
  gtk_menu_item_activate(GTK_MENU_ITEM(guide));
  gtk_menu_item_activate(GTK_MENU_ITEM(about));
  ASSERT_EQ(Recorded().menus.size(), 2u);
  EXPECT_EQ(Recorded().menus[0], MenuItem::Help);
  EXPECT_EQ(Recorded().menus[1], MenuItem::About);
}

TEST_F(WindowsTest, HelpPopupMenuInDutch) {
  BuildWindows(true);
  CheckHelpMenu(true);
}

TEST_F(WindowsTest, HelpPopupMenuInEnglish) {
  BuildWindows(false);
  CheckHelpMenu(false);
}

}  // namespace
}  // namespace kovrex::test

namespace kovrex::test {
namespace {

void CollectEllipsized(GtkWidget* widget, std::vector<std::string>& cut) {
  if (GTK_IS_LABEL(widget) && gtk_widget_get_mapped(widget)) {
    if (pango_layout_is_ellipsized(gtk_label_get_layout(GTK_LABEL(widget))))
      cut.push_back(gtk_label_get_text(GTK_LABEL(widget)));
  }
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c; c = c->next) CollectEllipsized(GTK_WIDGET(c->data), cut);
    g_list_free(children);
  }
}

class LabelFitTest : public GuiTest, public ::testing::WithParamInterface<bool> {};

// Labels, captions and the start texts must be readable whole in both languages.
TEST_P(LabelFitTest, NoTextIsCutShort) {
  BuildWindows(GetParam());
  for (int window : {WindowMain, WindowStrength, WindowHubKeyway}) {
    GtkStore().ShowWindow(window, true);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(WindowWidget(window)); }));
  }
  PumpFor(100);
  for (int page = 0; page < 4; ++page) {
    GtkStore().SetState(GadgetTabPanel, page);
    PumpFor(30);
    for (int window : {WindowMain, WindowStrength, WindowHubKeyway}) {
      std::vector<std::string> cut;
      CollectEllipsized(WindowWidget(window), cut);
      for (const std::string& text : cut) ADD_FAILURE() << "cut short: '" << text << "' (page " << page << ")";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LabelFitTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Dutch" : "English"; });

}  // namespace
}  // namespace kovrex::test

namespace kovrex::test {
namespace {

class ScrollAreaTest : public GuiTest {};

// One wheel step of the pointer at (x, y) of a GDK window, delivered as a real
// event and handled before it returns.
void SendWheel(GdkWindow* target, GdkScrollDirection direction, double x, double y) {
  GdkEvent* e = gdk_event_new(GDK_SCROLL);
  e->scroll.window = GDK_WINDOW(g_object_ref(target));
  e->scroll.direction = direction;
  e->scroll.x = x;
  e->scroll.y = y;
  e->scroll.time = GDK_CURRENT_TIME;
  gdk_event_set_device(e, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  gtk_main_do_event(e);
  gdk_event_free(e);
  PumpEvents();
}

// A wheel step over the input column scrolls by one form row.
TEST_F(ScrollAreaTest, WheelScrollsTheInputColumnByOneRowPitch) {
  BuildWindows();
  GtkStore().ShowWindow(WindowMain, true);
  GtkWindow* window = GTK_WINDOW(WindowWidget(WindowMain));
  gtk_window_resize(window, 1280, 500);  // shorter than the column, so it can scroll
  GtkWidget* scrolled = PlacedWidget(GadgetInputScrollArea);
  GtkAdjustment* adj = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scrolled));
  ASSERT_TRUE(PumpUntil([&] {
    return gtk_adjustment_get_upper(adj) - gtk_adjustment_get_page_size(adj) > 3 * LayoutRowPitch;
  }));
  EXPECT_EQ(gtk_adjustment_get_step_increment(adj), LayoutRowPitch);

  // Delivered as GTK delivers a real wheel event: to the window under the pointer.
  GtkWidget* viewport = gtk_bin_get_child(GTK_BIN(scrolled));
  GdkWindow* target = gtk_viewport_get_bin_window(GTK_VIEWPORT(viewport));
  auto wheel = [&](GdkScrollDirection direction) { SendWheel(target, direction, 5, 5); };
  wheel(GDK_SCROLL_DOWN);
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(adj), LayoutRowPitch);
  wheel(GDK_SCROLL_DOWN);
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(adj), 2 * LayoutRowPitch);
  wheel(GDK_SCROLL_UP);
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(adj), LayoutRowPitch);
}

// The GDK window a real wheel event over the widget arrives at: the widget's own
// input window (a slider's, a combo button's), found below its parent's window.
GdkWindow* InputWindowOf(GtkWidget* widget) {
  GdkWindow* parent = gtk_widget_get_window(widget);
  std::vector<GdkWindow*> todo = {parent};
  while (!todo.empty()) {
    GdkWindow* w = todo.back();
    todo.pop_back();
    gpointer owner = nullptr;
    gdk_window_get_user_data(w, &owner);
    if (owner != nullptr && w != parent &&
        (owner == widget || gtk_widget_is_ancestor(GTK_WIDGET(owner), widget)))
      return w;
    GList* children = gdk_window_get_children(w);
    for (GList* c = children; c; c = c->next) todo.push_back(GDK_WINDOW(c->data));
    g_list_free(children);
  }
  return parent;
}

void WheelOver(GtkWidget* widget, GdkScrollDirection direction) {
  SendWheel(InputWindowOf(widget), direction, 3, 3);
}

// The wheel over a slider or combo without the keyboard focus scrolls the input
// column by one row and changes no value (so no event, no modified project); with
// the focus the control takes the wheel itself. Result lists scroll their rows.
TEST_F(ScrollAreaTest, WheelOverAnUnfocusedValueControlScrollsTheColumnAndChangesNothing) {
  BuildWindows();
  GtkStore().ShowWindow(WindowMain, true);
  GtkWindow* window = GTK_WINDOW(WindowWidget(WindowMain));
  gtk_window_resize(window, 1280, 500);
  GtkAdjustment* column = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(PlacedWidget(GadgetInputScrollArea)));
  ASSERT_TRUE(PumpUntil([&] {
    return gtk_adjustment_get_upper(column) - gtk_adjustment_get_page_size(column) > 6 * LayoutRowPitch;
  }));
  GtkStore().SetState(GadgetSpeed, 4);
  GtkStore().SetState(GadgetPairHand, 0);
  GtkStore().SetState(GadgetTabPanel, 1);  // the Single tab with its editable module combo
  PumpEvents();
  gtk_window_set_focus(window, ControlWidget(GadgetPairCentreDistance));
  PumpEvents();
  Recorded().Clear();

  struct Case {
    const char* name;
    int control;
  };
  const Case cases[] = {
      {"speed slider", GadgetSpeed},
      {"hand combo", GadgetSingleHand},
      {"module combo with entry", GadgetSingleModule},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GtkWidget* widget = ControlWidget(c.control);
    const int64_t state = GtkStore().GetState(c.control);
    const std::string text = GtkStore().GetText(c.control);
    gtk_adjustment_set_value(column, 2 * LayoutRowPitch);
    PumpEvents();
    WheelOver(widget, GDK_SCROLL_UP);
    EXPECT_EQ(GtkStore().GetState(c.control), state);
    EXPECT_EQ(GtkStore().GetText(c.control), text);
    EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(column), LayoutRowPitch);
    WheelOver(widget, GDK_SCROLL_DOWN);
    WheelOver(widget, GDK_SCROLL_DOWN);
    EXPECT_EQ(GtkStore().GetState(c.control), state);
    EXPECT_EQ(GtkStore().GetText(c.control), text);
    EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(column), 3 * LayoutRowPitch);
    EXPECT_TRUE(Recorded().controls.empty()) << Recorded().controls.size() << " events";
  }

  // With the keyboard focus the slider takes the wheel: its value moves, the
  // column stays.
  GtkWidget* slider = ControlWidget(GadgetSpeed);
  gtk_window_set_focus(window, slider);
  PumpEvents();
  gtk_adjustment_set_value(column, 2 * LayoutRowPitch);
  PumpEvents();
  Recorded().Clear();
  WheelOver(slider, GDK_SCROLL_UP);
  EXPECT_NE(GtkStore().GetState(GadgetSpeed), 4);
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(column), 2 * LayoutRowPitch);
  ASSERT_FALSE(Recorded().controls.empty());
  EXPECT_EQ(Recorded().controls.back().control, GadgetSpeed);

  // A result list with more rows than it shows scrolls them, not the column.
  GtkStore().SetState(GadgetTabPanel, 0);
  for (int i = 0; i < 60; ++i) GtkStore().AddItem(GadgetPairResults, "1\n20\n40\n2.000\n0.00\n0.000\n0.000");
  GtkAdjustment* rows = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(PlacedWidget(GadgetPairResults)));
  ASSERT_TRUE(PumpUntil([&] { return gtk_adjustment_get_upper(rows) > gtk_adjustment_get_page_size(rows) + 50; }));
  gtk_adjustment_set_value(column, 0);
  gtk_adjustment_set_value(rows, 0);
  PumpEvents();
  GtkWidget* list = ControlWidget(GadgetPairResults);
  GdkEvent* e = gdk_event_new(GDK_SCROLL);
  e->scroll.window = GDK_WINDOW(g_object_ref(gtk_tree_view_get_bin_window(GTK_TREE_VIEW(list))));
  e->scroll.direction = GDK_SCROLL_DOWN;
  e->scroll.x = 5;
  e->scroll.y = 5;
  e->scroll.time = GDK_CURRENT_TIME;
  gdk_event_set_device(e, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  gtk_main_do_event(e);
  gdk_event_free(e);
  PumpEvents();
  EXPECT_GT(gtk_adjustment_get_value(rows), 0.0);
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(column), 0.0);
}

}  // namespace
}  // namespace kovrex::test
