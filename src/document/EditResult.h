#pragma once
// What an editing command did to the document, so that the main window knows what
// to do next: redraw, re-zoom and redraw, or show a message.

namespace sonvira {

enum class EditResult {
    Unchanged,             // nothing changed: no redraw needed
    SamplesChanged,        // samples changed in place: redraw the view
    BlockReplaced,         // a new block was installed, selection 0: whole-file zoom, then redraw
    RateChanged,           // only SampleRate changed: nothing to redraw
    InvalidFloatingPoint,  // a span of 0 frames on a fade or the crossfade; nothing changed
    SoundTooShort,         // the crossfade would cut more than the sound holds; nothing changed
    SizeTooLarge,          // the converted block would exceed 2^31 - 1 bytes; nothing changed
    RateOutOfRange,        // the rate would leave 1 … 2^31 - 1 (or is already outside); nothing changed
    OutOfMemory,           // the new block could not be allocated; nothing changed
};

// True for the results after which the window shows EditResultMessage in an error box.
bool IsEditFailure(EditResult result);

// The untranslated text of the error box for a failure result (UTF-8, German except the
// run-time error "Invalid floating point operation"); empty for the other results.
// The window passes it through the translation before showing it.
const char* EditResultMessage(EditResult result);

}  // namespace sonvira
