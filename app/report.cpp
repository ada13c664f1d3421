// The report command: puts the text of the displayed arrangement into the report
// control and lets the strength window follow. The text itself is built in
// report_text.cpp.
#include "app/report.h"

#include "app/control_store.h"
#include "app/controls.h"
#include "app/report_text.h"
#include "app/strength_run.h"

namespace kovrex {

void RefreshReport() {
  Controls().SetText(GadgetReport, BuildReportText());
  // Last, so that the strength window always shows the arrangement just reported.
  ComputeStrengthAndReport();
}

}  // namespace kovrex
