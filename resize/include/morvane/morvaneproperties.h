// SPDX-License-Identifier: LGPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Morvane developers
// The control's 21 persisted properties, each described once. The Qt
// property list of MorvaneCtl::Morvane, the keys the control is saved under
// (in a .ui file and in a property bag) with their order and defaults, the
// setters' rules, what Qt Designer lets a developer edit, and the property
// table of the library's README are all made from this list.
//
// MORVANE_PROPERTIES(X) calls X once per property, in the order the
// properties are read and written:
//   X(Name, Type, Default, Key, Setter, Scope, Help)
//     Name     the property, its getter Name() and its setter setName()
//     Type     int (a Long), bool (a Bool) or MorvaneCtl::ScreenResolution
//     Default  the value a newly placed control starts with, and the default
//              every key is read and written with (a Bool true is kept as -1)
//     Key      the key the value is persisted under
//     Setter   Store: the value is stored as given and PropertyChanged emitted;
//              Confirm: only after a Yes to the resolution warning;
//              Refuse: the value is measured, never set (error 382 at run
//              time, 387 at design time)
//     Scope    Public: part of the control's interface; Internal: the design
//              record, persisted and reachable through Qt's property system
//              only, read-only in Qt Designer
//     Help     the property's help string
#pragma once

#define MORVANE_PROPERTIES(X)                                                                    \
    X(Resolution, MorvaneCtl::ScreenResolution, MorvaneCtl::Res_640x480, "Resolution", Confirm,  \
      Public, "Returns the current resolutin of the screen (enumerated)")                        \
    X(ResizeFonts, bool, true, "ResizeFonts", Store, Public,                                     \
      "Resizes fonts in captions, text, etc. for all controls when the controls are resized")    \
    X(ScreenHeight, int, 0, "ScreenHeight", Refuse, Public,                                      \
      "Returns the current screen height at both design time and run time")                      \
    X(ScreenWidth, int, 0, "ScreenWidth", Refuse, Public,                                        \
      "Returns the current screen width at both design time and run time")                       \
    X(ScreenHeightDT, int, 0, "ScreenHeightDT", Confirm, Public,                                 \
      "Returns the current screen height at design time")                                        \
    X(ScreenWidthDT, int, 0, "ScreenWidthDT", Confirm, Public,                                   \
      "Returns the current screen width at design time")                                         \
    X(AutoResizeControls, bool, true, "AutoResizeControls", Store, Public,                       \
      "Automatically resizes all controls whenever the form is resized")                         \
    X(AutoResizeOnLoad, bool, true, "AutoResizeOnLoad", Store, Public,                           \
      "Automatically resizes the form and all controls when the form is loaded, using the "      \
      "aspect ratio of current (run-time) resolution relative to the design-time resolution")    \
    X(MaxFormHeight, int, 0, "MaxFormHeight", Store, Public,                                     \
      "Returns or sets the maximum allowed form height (0 = unlimited)")                         \
    X(MaxFormWidth, int, 0, "MaxFormWidth", Store, Public,                                       \
      "Returns or sets the maximum allowed form width (0 = unlimited)")                          \
    X(AllowFormMaximized, bool, true, "AllowFormMaximized", Store, Public,                       \
      "Returns or sets whether the form can be maximized")                                       \
    X(AllowFormMinimized, bool, true, "AllowFormMinimized", Store, Public,                       \
      "Returns or sets whether the form can be minimized")                                       \
    X(MinFormHeight, int, 0, "MinFormHeight", Store, Public,                                     \
      "Returns or sets the minimum allowed form height (0 = unlimited)")                         \
    X(MinFormWidth, int, 0, "MinFormWidth", Store, Public,                                       \
      "Returns or sets the minimum allowed form width (0 = unlimited)")                          \
    X(AutoCenterForm, bool, false, "AutoCenterForm", Store, Public,                              \
      "Automatically centers the form when it loads")                                            \
    X(FormHeightDT, int, 0, "FormHeightDT", Store, Internal,                                     \
      "Outer height of the form when it was last saved in the designer")                         \
    X(FormWidthDT, int, 0, "FormWidthDT", Store, Internal,                                       \
      "Outer width of the form when it was last saved in the designer")                          \
    X(FormScaleHeightDT, int, 0, "FormScaleHeightDT", Store, Internal,                           \
      "Client height of the form when it was last saved in the designer (an MDI form: its "      \
      "outer height)")                                                                           \
    X(FormScaleWidthDT, int, 0, "FormScaleWidthDT", Store, Internal,                             \
      "Client width of the form when it was last saved in the designer (an MDI form: its outer " \
      "width)")                                                                                  \
    X(ResizeFormBackground, bool, false, "ResizeFormBackground", Store, Public,                  \
      "Returns or sets whether the form background picture should be resized when the form is "  \
      "resized")                                                                                 \
    X(HideControlsOnResize, bool, false, "HideControlsOnResize", Store, Public,                  \
      "Hides all controls of the form while the form is being resized, to speed up forms with "  \
      "very many or very heavy controls")

// The Qt property of one entry. Qt's property system writes it through
// loadName(), which takes a saved value as it is while the control loads and
// follows the setter's rule afterwards.
#define MORVANE_Q_PROPERTY(Name, Type, Default, Key, Setter, Scope, Help) \
    Q_PROPERTY(Type Name READ Name WRITE load##Name)
#define MORVANE_DECLARE_LOADER(Name, Type, Default, Key, Setter, Scope, Help) \
    void load##Name(Type value);
