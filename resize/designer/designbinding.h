// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// Design time: how a control that Designer created is tied to the form it
// is designed on, so that its design sizes follow the form and everything it
// persists is written into the .ui file.
#pragma once

class QDesignerFormEditorInterface;

namespace MorvaneCtl {
class Morvane;
}

namespace MorvaneDesigner {

// Puts the control in design mode and, once Designer has applied the saved
// properties (on the next pass of the event loop), binds it to its form
// window: first placement or load, the persisted keys marked for saving, and
// later changes reported to the form window. A control outside any form
// window (the drag image, a preview) stays in design mode and does nothing.
void prepareForDesign(MorvaneCtl::Morvane* control, QDesignerFormEditorInterface* core);

}  // namespace MorvaneDesigner
