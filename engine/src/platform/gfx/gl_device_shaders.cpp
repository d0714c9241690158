#include <cstring>

#include "platform/gfx/gl_device.h"

namespace QV::Gfx {

Result GLDevice::createVertexShader(const uint32_t* declaration, const ShaderCode* code, uint32_t* handle,
                                    uint32_t) {
    if (!declaration || !code || !handle || code->pixel) return ERR_INVALIDCALL;
    VertexShader vs;
    std::string error;
    if (!parseDeclaration(declaration, &vs.inputs, &vs.stride, &error)) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    std::string text = glslVertexShader(*code, vs.inputs, &error);
    if (text.empty()) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    vs.shader = compile(GL_VERTEX_SHADER, text);
    if (!vs.shader) return ERR_INVALIDCALL;
    *handle = (mNextHandle++ << 1) | 1u;
    mVertexShaders[*handle] = vs;
    return OK;
}

Result GLDevice::deleteVertexShader(uint32_t handle) {
    auto it = mVertexShaders.find(handle);
    if (it == mVertexShaders.end()) return ERR_INVALIDCALL;
    mState->makeCurrent();
    for (auto p = mPrograms.begin(); p != mPrograms.end();) {
        if (std::get<0>(p->first) == handle) {
            gl.glDeleteProgram(p->second.program);
            p = mPrograms.erase(p);
        } else {
            ++p;
        }
    }
    gl.glDeleteShader(it->second.shader);
    mVertexShaders.erase(it);
    if (mVertexShader == handle) mVertexShader = 0;
    return OK;
}

Result GLDevice::setVertexShader(uint32_t handleOrFvf) {
    if ((handleOrFvf & 1u) && !mVertexShaders.count(handleOrFvf)) return ERR_INVALIDCALL;
    mVertexShader = handleOrFvf;
    return OK;
}

Result GLDevice::setVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    if (!data || uint64_t(reg) + count > 96) return ERR_INVALIDCALL;
    std::memcpy(&mVsConstants[reg * 4], data, size_t(count) * 16);
    return OK;
}

Result GLDevice::createPixelShader(const ShaderCode* code, uint32_t* handle) {
    if (!code || !handle || !code->pixel) return ERR_INVALIDCALL;
    std::string error;
    std::string text = glslPixelShader(*code, &error);
    if (text.empty()) {
        mShaderError = error;
        return ERR_INVALIDCALL;
    }
    PixelShader ps;
    ps.shader = compile(GL_FRAGMENT_SHADER, text);
    if (!ps.shader) return ERR_INVALIDCALL;
    *handle = mNextHandle++ << 1;
    mPixelShaders[*handle] = ps;
    return OK;
}

Result GLDevice::deletePixelShader(uint32_t handle) {
    auto it = mPixelShaders.find(handle);
    if (it == mPixelShaders.end()) return ERR_INVALIDCALL;
    mState->makeCurrent();
    for (auto p = mPrograms.begin(); p != mPrograms.end();) {
        if (std::get<1>(p->first) == handle) {
            gl.glDeleteProgram(p->second.program);
            p = mPrograms.erase(p);
        } else {
            ++p;
        }
    }
    gl.glDeleteShader(it->second.shader);
    mPixelShaders.erase(it);
    if (mPixelShader == handle) mPixelShader = 0;
    return OK;
}

Result GLDevice::setPixelShader(uint32_t handle) {
    if (handle && !mPixelShaders.count(handle)) return ERR_INVALIDCALL;
    mPixelShader = handle;
    return OK;
}

Result GLDevice::setPixelShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    if (!data || uint64_t(reg) + count > 8) return ERR_INVALIDCALL;
    std::memcpy(&mPsConstants[reg * 4], data, size_t(count) * 16);
    return OK;
}

}  // namespace QV::Gfx
