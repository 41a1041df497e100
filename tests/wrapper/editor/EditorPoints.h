#pragma once

// Where the editor's controls and dialogs sit, in editor coordinates, and the parameters the
// window tests move: shared so that a moved control is changed in one place.
namespace editorpoints
{
constexpr int kBypassX = 775, kBypassY = 16;
constexpr int kInputVolX = 59, kInputVolY = 256;
constexpr int kFileButtonX = 86, kFileButtonY = 16;
constexpr int kPresetNameX = 355, kPresetNameY = 14;
// Inside the area every dialog covers: its pixel tells whether one shows.
constexpr int kDialogProbeX = 400, kDialogProbeY = 225;
// The save dialog's NEW FOLDER and CANCEL buttons.
constexpr int kNewFolderX = 693, kNewFolderY = 343;
constexpr int kCancelX = 693, kCancelY = 419;

constexpr int kBypass = 0, kInputVol = 1;
} // namespace editorpoints
