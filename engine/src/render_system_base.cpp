#include "render_system.h"

#include "application.h"

namespace QV {

RenderSystemBase::RenderSystemBase(Application* application) : mApplication(application) {
    resetBatchState();
}

RenderSystemBase::~RenderSystemBase() {
    releaseRenderData();
}

ApplicationWindow* RenderSystemBase::windowRecord() const {
    if (mWindowRecord) return mWindowRecord;
    Application* app = mApplication ? mApplication : gApplication;
    return app ? app->getWindow() : nullptr;
}

void RenderSystemBase::resetBatchState() {
    mBatchState.mTextures.assign(1, nullptr);
    mBatchState.mPrimitiveKind = 0;
    mBatchState.mBlendMode = 1;
    mBatchState.mAddressMode = 0;
    mBatchStateKnown = false;
}

void RenderSystemBase::releaseRenderData() {
    // The batch mirror holds plain pointers, no references.
    mBatchState.mTextures.clear();
    mBatchState.releaseVertices();
    mScratchData.releaseTextures();
    mScratchData.releaseVertices();
}

}  // namespace QV
