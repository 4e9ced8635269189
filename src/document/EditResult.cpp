#include "EditResult.h"

namespace sonvira {

bool IsEditFailure(EditResult result) { return EditResultMessage(result)[0] != '\0'; }

const char* EditResultMessage(EditResult result) {
    switch (result) {
        case EditResult::InvalidFloatingPoint:
            return "Invalid floating point operation";
        case EditResult::SoundTooShort:
            return "Die Aufnahme ist zu kurz für diese Überblendung. Es wurde nichts verändert!";
        case EditResult::SizeTooLarge:
            return "Das neue Sampleformat ergäbe mehr als 2 GByte Daten. "
                   "Es wurde nichts verändert!";
        case EditResult::RateOutOfRange:
            return "Die Abspielrate liegt außerhalb des gültigen Bereichs. "
                   "Es wurde nichts verändert!";
        case EditResult::OutOfMemory:
            return "Out of memory";
        case EditResult::Unchanged:
        case EditResult::SamplesChanged:
        case EditResult::BlockReplaced:
        case EditResult::RateChanged:
            break;
    }
    return "";
}

}  // namespace sonvira
