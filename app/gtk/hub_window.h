// The hub and keyway window (window 2): keyway and hub inputs of gear 1 and gear 2.
// Built once, hidden; closing hides it.
#pragma once

namespace kovrex {

void BuildHubKeywayWindow();

}  // namespace kovrex
