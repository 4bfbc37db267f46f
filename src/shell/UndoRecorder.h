#pragma once

#include <string>

// How an editing command records its undo point. Every command that changes the configuration
// calls RecordUndo with its label once, before the first change, then calls the
// configuration's setters and redraws:
//
//     recorder.RecordUndo("set lane surface type");   // or Text("LabelSetLaneSurfaceType")
//     config.SetPhysicalSectionProperty(section, lane, PP_LANETYPE, value);
//     RedrawRoad();
//
// Edit > Undo then reads "&Undo set lane surface type". A command that turns out to change
// nothing (an invalid value, a cancelled dialog) records nothing: check the input first. A
// drag that changes the configuration at every mouse move records once, at its first change.
//
// The main window (TFormMain) is the recorder of the desktop program: TFormMain::RecordUndo.
// Undo and Redo replace the configuration object, so a page never keeps a KDConfig pointer
// across events: it takes TFormMain::Config() when it needs it, or is handed the new object by
// TFormMain::AttachConfiguration.
class UndoRecorder {
 public:
  virtual ~UndoRecorder() = default;
  /// Stores a copy of the current configuration as the newest undo point, named by `label`.
  virtual void RecordUndo(const std::string& label) = 0;
};
