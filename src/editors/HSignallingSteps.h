#pragma once
// What the signalling editors do to the image outside their dialogs, walked
// over the editor registry: the tables compiled before every Download (the
// program's and rp57cli's alike, through HTransferSteps::PrepareForDownload)
// and the defaults the tables take when the signalling type switches.
#include "HEditorRegistry.h"
#include "HSignallingMode.h"

namespace HSignallingSteps {

// The registry family of a signalling mode's own editors.
[[nodiscard]] HEditorFamily FamilyOf(HSignallingMode mode);

// Every page of the mode's family that compiles tables writes them, in
// registry order. This is the writer HTransferSteps::PrepareForDownload takes.
void WriteCompiledTables(HMemoryImage& image, HSignallingMode mode);

// Every table of the mode's family back to its defaults through its pages'
// reset steps, in registry order.
void ResetTables(HMemoryImage& image, HSignallingMode mode);

// After the signalling type was confirmed (dialog or rp57cli set): when the
// image's type differs from `before`, the new type's tables are reset. Returns
// the type the image holds.
HSignallingMode FollowTypeChange(HMemoryImage& image, HSignallingMode before);

} // namespace HSignallingSteps
