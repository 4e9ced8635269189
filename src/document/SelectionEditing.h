#pragma once
// The selection commands of the menu "Bearbeiten": crop to the selection, cut it away,
// select nothing. One thread at a time (crop and cut on a job's worker); they replace the
// block, so the window stops playback before it runs them.

#include "AudioDocument.h"
#include "EditResult.h"

namespace sonvira {

// Keeps only the frames lo … hi - 1 of the selection frame range. Unchanged when nothing
// is selected; else BlockReplaced (the block may end up empty) or OutOfMemory.
EditResult CropToSelection(AudioDocument& doc);

// Removes the frames lo … hi - 1; bytes after the last whole frame stay. Unchanged when
// nothing is selected; else BlockReplaced (also for an empty stretch, which still clears
// the selection) or OutOfMemory.
EditResult CutSelection(AudioDocument& doc);

// Clears the selection (SelAnchor = SelEnd = 0). The window redraws the view.
void SelectNothing(AudioDocument& doc);

}  // namespace sonvira
