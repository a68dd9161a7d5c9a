#include "form1.h"

namespace tessaro::ui {

Form1::Form1()
    : PlotForm({"Form1", model::PlotKind::DuringPlan, "Save As..", CloseVariant::RebuildBoard}) {}

}  // namespace tessaro::ui
