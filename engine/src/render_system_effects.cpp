#include "render_system.h"
#include "vertex_format.h"

namespace QV {

void RenderSystem::beginDistortion() {
    if (!mPixelShader14 || !mVertexShader11 || !mDistortionEnabled || !mFrameOpen) return;
    flush();
    Gfx::IDevice* device = mDevice->device;
    Gfx::ISurface* surface = nullptr;
    if (Gfx::ITexture* target = mDistortionTexture.handle()) target->getSurfaceLevel(0, &surface);
    device->setRenderTarget(surface, nullptr);
    Gfx::safeRelease(surface);
    if (!mDistortionCleared) {
        // Red and green 0x7F are the zero offset of the distortion shader.
        device->clear(0, nullptr, Gfx::CLEAR_TARGET, 0x007F7FFFu, 1.0f, 0);
        mDistortionCleared = 1;
    }
    const Vector2<int> workspace = getWorkspaceSize();
    setViewProjection(workspace.x, workspace.y);
}

void RenderSystem::endDistortion() {
    if (!mPixelShader14 || !mVertexShader11 || !mDistortionEnabled || !mFrameOpen) return;
    flush();
    Gfx::IDevice* device = mDevice->device;
    Gfx::ISurface* surface = nullptr;
    if (Gfx::ITexture* scene = mDevice->sceneTexture.handle()) scene->getSurfaceLevel(0, &surface);
    device->setRenderTarget(surface, mDevice->depthStencilSurface);
    Gfx::safeRelease(surface);
    const Vector2<int> workspace = getWorkspaceSize();
    setViewProjection(workspace.x, workspace.y);
}

void RenderSystem::bindDistortionProgram() {
    bindShaderProgram(mDistortionProgram);
    if (mDevice->device) mDevice->device->setTexture(1, mDistortionTexture.handle());
}

void RenderSystem::unbindDistortionProgram() {
    Gfx::IDevice* device = mDevice->device;
    if (device) device->setTexture(1, nullptr);
    flush();
    if (!device) return;
    device->setPixelShader(0);
    device->setVertexShader(VertexLayout::fvf());
}

void RenderSystem::beginStencilWrite() {
    flush();
    Gfx::IDevice* device = mDevice->device;
    if (!device) return;
    device->setRenderState(Gfx::RS_STENCILENABLE, 1);
    device->setRenderState(Gfx::RS_STENCILFUNC, Gfx::CMP_ALWAYS);
    device->setRenderState(Gfx::RS_STENCILREF, 1);
    device->setRenderState(Gfx::RS_STENCILMASK, 0xFFFFFFFFu);
    device->setRenderState(Gfx::RS_STENCILWRITEMASK, 0xFFFFFFFFu);
    device->setRenderState(Gfx::RS_STENCILZFAIL, Gfx::STENCILOP_KEEP);
    device->setRenderState(Gfx::RS_STENCILFAIL, Gfx::STENCILOP_KEEP);
    device->setRenderState(Gfx::RS_STENCILPASS, Gfx::STENCILOP_REPLACE);
    flush();
    device->setRenderState(Gfx::RS_COLORWRITEENABLE, 0);
    for (int i = 0; i < 4; ++i) {
        mSavedColorWriteMask[i] = mColorWriteMask[i];
        mColorWriteMask[i] = 0;
    }
}

void RenderSystem::beginStencilTest() {
    flush();
    Gfx::IDevice* device = mDevice->device;
    if (!device) return;
    device->setRenderState(Gfx::RS_STENCILENABLE, 1);
    device->setRenderState(Gfx::RS_STENCILFUNC, Gfx::CMP_EQUAL);
}

void RenderSystem::endStencil() {
    flush();
    if (mDevice->device) mDevice->device->setRenderState(Gfx::RS_STENCILENABLE, 0);
}

void RenderSystem::clearStencil() {
    // Deliberately no flush: the pending batch draws after the clear.
    if (!mFrameOpen) return;
    mDevice->device->clear(0, nullptr, Gfx::CLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
}

void RenderSystem::setColorWriteMask(bool red, bool green, bool blue, bool alpha) {
    flush();
    if (mDevice->device) {
        const uint32_t mask = (red ? Gfx::COLORWRITE_RED : 0u) | (green ? Gfx::COLORWRITE_GREEN : 0u) |
                              (blue ? Gfx::COLORWRITE_BLUE : 0u) | (alpha ? Gfx::COLORWRITE_ALPHA : 0u);
        mDevice->device->setRenderState(Gfx::RS_COLORWRITEENABLE, mask);
    }
    const uint8_t next[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha)};
    for (int i = 0; i < 4; ++i) {
        mSavedColorWriteMask[i] = mColorWriteMask[i];
        mColorWriteMask[i] = next[i];
    }
}

}  // namespace QV
