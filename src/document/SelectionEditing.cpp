#include "SelectionEditing.h"

#include <cstring>

#include "BlockAllocation.h"

namespace sonvira {

EditResult CropToSelection(AudioDocument& doc) {
    if (doc.SelAnchor == doc.SelEnd) return EditResult::Unchanged;
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t bpf = doc.BytesPerFrame();
    const int64_t size = (range.hi - range.lo) * bpf;
    SampleBlock block = AllocateBlock(size);
    if (!block) return EditResult::OutOfMemory;
    if (size > 0) std::memcpy(block.get(), doc.SampleData + range.lo * bpf, static_cast<size_t>(size));
    doc.InstallBlock(block.release(), static_cast<int32_t>(size));
    return EditResult::BlockReplaced;
}

EditResult CutSelection(AudioDocument& doc) {
    if (doc.SelAnchor == doc.SelEnd) return EditResult::Unchanged;
    const FrameRange range = doc.SelectionFrameRange();
    const int64_t bpf = doc.BytesPerFrame();
    const int64_t head = range.lo * bpf;
    const int64_t tailStart = range.hi * bpf;
    const int64_t size = doc.DataSize - (tailStart - head);
    SampleBlock block = AllocateBlock(size);
    if (!block) return EditResult::OutOfMemory;
    if (head > 0) std::memcpy(block.get(), doc.SampleData, static_cast<size_t>(head));
    if (size > head) {
        std::memcpy(block.get() + head, doc.SampleData + tailStart, static_cast<size_t>(size - head));
    }
    doc.InstallBlock(block.release(), static_cast<int32_t>(size));
    return EditResult::BlockReplaced;
}

void SelectNothing(AudioDocument& doc) {
    doc.SelAnchor = 0;
    doc.SelEnd = 0;
}

}  // namespace sonvira
