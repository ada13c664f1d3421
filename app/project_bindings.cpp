// The binding table of the project file: group, key, control, state or text.
#include "app/project_bindings.h"

#include "app/controls.h"

namespace kovrex {

std::vector<ProjectBinding> ProjectBindingList;
std::unordered_set<std::string> GadgetBindingMap;

void AddGadgetBinding(const std::string& group, const std::string& key, int control, int useState) {
  ProjectBindingList.push_back({group, key, control, useState});
  GadgetBindingMap.insert(std::to_string(control));
}

void RegisterProjectBindings() {
  // Groups and keys are Dutch words in both builds, so that files pass between them.
  struct Row {
    const char* group;
    const char* key;
    int control;
    int useState;
  };
  static const Row kRows[] = {
      {"Paar", "hartafstand", 1, 0},
      {"Paar", "verhouding", 2, 0},
      {"Paar", "drukhoek", 3, 0},
      {"Paar", "beta", 4, 0},
      {"Paar", "spoed", 5, 1},
      {"Paar", "beta_zoeken", 6, 1},
      {"Paar", "tolerantie", 7, 0},
      {"Paar", "sx_min", 8, 0},
      {"Paar", "sx_max", 9, 0},
      {"Paar", "z_min", 10, 0},
      {"Paar", "reeks2", 11, 1},
      {"Paar", "breedte", 16, 0},
      {"Paar", "flankspeling", 17, 0},
      {"Paar", "boring1", 18, 0},
      {"Paar", "boring2", 19, 0},
      {"Enkel", "modul", 20, 0},
      {"Enkel", "tanden", 21, 0},
      {"Enkel", "x", 22, 0},
      {"Enkel", "drukhoek", 23, 0},
      {"Enkel", "beta", 24, 0},
      {"Enkel", "spoed", 25, 1},
      {"Enkel", "breedte", 26, 0},
      {"Enkel", "afmaat", 27, 0},
      {"Enkel", "boring", 28, 0},
      {"Heugel", "modul", 29, 0},
      {"Heugel", "tanden_rondsel", 30, 0},
      {"Heugel", "x", 31, 0},
      {"Heugel", "drukhoek", 32, 0},
      {"Heugel", "beta", 33, 0},
      {"Heugel", "spoed", 34, 1},
      {"Heugel", "breedte", 35, 0},
      {"Heugel", "boring", 36, 0},
      {"Heugel", "flankspeling", 37, 0},
      {"Heugel", "tanden_heugel", 38, 0},
      {"Heugel", "hoogte", 39, 0},
      {"Binnen", "hartafstand", 53, 0},
      {"Binnen", "verhouding", 54, 0},
      {"Binnen", "drukhoek", 55, 0},
      {"Binnen", "beta", 56, 0},
      {"Binnen", "spoed", 57, 1},
      {"Binnen", "beta_zoeken", 58, 1},
      {"Binnen", "tolerantie", 59, 0},
      {"Binnen", "dx_min", 60, 0},
      {"Binnen", "dx_max", 61, 0},
      {"Binnen", "z_min", 62, 0},
      {"Binnen", "tandverschil_min", 63, 0},
      {"Binnen", "reeks2", 64, 1},
      {"Binnen", "breedte", 69, 0},
      {"Binnen", "flankspeling", 70, 0},
      {"Binnen", "boring_rondsel", 71, 0},
      {"Binnen", "randdikte", 72, 0},
      {"Binnen", "kop_inkorten", 73, 1},
      {"Sterkte", "belasting", 75, 1},
      {"Sterkte", "waarde", 76, 0},
      {"Sterkte", "toerental", 78, 0},
      {"Sterkte", "KA", 79, 0},
      {"Sterkte", "levensduur", 80, 0},
      {"Sterkte", "klasse", 81, 1},
      {"Sterkte", "afwerking", 82, 1},
      {"Sterkte", "smering", 83, 1},
      {"Sterkte", "SH_min", 84, 0},
      {"Sterkte", "SF_min", 85, 0},
      {"Sterkte", "materiaal1", 87, 1},
      {"Sterkte", "sigHlim1", 88, 0},
      {"Sterkte", "sigFlim1", 89, 0},
      {"Sterkte", "E1", 90, 0},
      {"Sterkte", "nu1", 91, 0},
      {"Sterkte", "materiaal2", 93, 1},
      {"Sterkte", "sigHlim2", 94, 0},
      {"Sterkte", "sigFlim2", 95, 0},
      {"Sterkte", "E2", 96, 0},
      {"Sterkte", "nu2", 97, 0},
      {"Sterkte", "asmateriaal", 104, 1},
      {"Sterkte", "tau_toel", 105, 0},
      {"Sterkte", "Re_as", 106, 0},
      {"Sterkte", "spieen", 107, 1},
      {"Sterkte", "spielengte", 108, 0},
      {"Naaf", "spiebaan1", 114, 1},
      {"Naaf", "spie_b1", 115, 0},
      {"Naaf", "spie_t1", 116, 0},
      {"Naaf", "naaf1", 117, 1},
      {"Naaf", "naaf_D1", 118, 0},
      {"Naaf", "naaf_L1", 119, 0},
      {"Naaf", "spiebaan2", 121, 1},
      {"Naaf", "spie_b2", 122, 0},
      {"Naaf", "spie_t2", 123, 0},
      {"Naaf", "naaf2", 124, 1},
      {"Naaf", "naaf_D2", 125, 0},
      {"Naaf", "naaf_L2", 126, 0},
      {"Weergave", "snelheid", 41, 1},
      {"Weergave", "ingrijpingslijn", 42, 1},
      {"Weergave", "export", 43, 1},
      {"Weergave", "stl_tolerantie", 47, 0},
  };
  ResetProjectBindings();
  for (const Row& r : kRows) AddGadgetBinding(r.group, r.key, r.control, r.useState);
  GadgetBindingMap.insert(std::to_string(GadgetPairX1));
  GadgetBindingMap.insert(std::to_string(GadgetInternalX1));
}

bool IsGadgetBound(int control) { return GadgetBindingMap.count(std::to_string(control)) > 0; }

void ResetProjectBindings() {
  ProjectBindingList.clear();
  GadgetBindingMap.clear();
}

}  // namespace kovrex
