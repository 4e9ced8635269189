#include "BlockRenderer.h"

#include "FillBuffer.h"

namespace sonvira {

void BlockRenderer::Render(PlaybackState& state, const AudioDocument& doc, int16_t* output, int32_t bytes) {
    const bool highQuality = state.HighQuality.load();
    if (highQuality && !usingHighQuality_) highQuality_.Reset();
    usingHighQuality_ = highQuality;
    if (highQuality) highQuality_.Render(state, doc, output, bytes);
    else FillBuffer(state, doc, output, bytes);
}

}  // namespace sonvira
