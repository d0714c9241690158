#include "platform/gfx/recording_resources.h"

namespace QV::Gfx {

const std::vector<uint8_t>* recordedBytes(ITexture* texture, uint32_t level) {
    auto* t = dynamic_cast<RecordingTexture*>(texture);
    return t ? t->bytes(level) : nullptr;
}
const std::vector<uint8_t>* recordedBytes(IVertexBuffer* buffer) {
    auto* b = dynamic_cast<RecordingVertexBuffer*>(buffer);
    return b ? &b->bytes() : nullptr;
}
const std::vector<uint8_t>* recordedBytes(IIndexBuffer* buffer) {
    auto* b = dynamic_cast<RecordingIndexBuffer*>(buffer);
    return b ? &b->bytes() : nullptr;
}
bool isLocked(IResource* resource) {
    RecordingObject* o = objectOf(resource);
    return o && o->locked();
}

}  // namespace QV::Gfx
