#include <algorithm>
#include <cstring>

#include "platform/gfx/gl_device.h"
#include "platform/gfx/gl_draw_analysis.h"
#include "platform/gfx/gl_resources.h"

namespace QV::Gfx {

namespace {

enum : GLuint { kPos = 0, kDiffuse = 1, kSpecular = 2, kTex0 = 3 };

GLenum glBlend(uint32_t b) {
    switch (b) {
        case BLEND_ZERO: return GL_ZERO;
        case BLEND_ONE: return GL_ONE;
        case BLEND_SRCCOLOR: return GL_SRC_COLOR;
        case BLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case BLEND_SRCALPHA: return GL_SRC_ALPHA;
        case BLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case BLEND_DESTALPHA: return GL_DST_ALPHA;
        case BLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case BLEND_DESTCOLOR: return GL_DST_COLOR;
        case BLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case BLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLenum glCompare(uint32_t c) {
    switch (c) {
        case CMP_NEVER: return GL_NEVER;
        case CMP_LESS: return GL_LESS;
        case CMP_EQUAL: return GL_EQUAL;
        case CMP_LESSEQUAL: return GL_LEQUAL;
        case CMP_GREATER: return GL_GREATER;
        case CMP_NOTEQUAL: return GL_NOTEQUAL;
        case CMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

// Bytes of position (three floats, four when pre-transformed) and normal at
// the start of a fixed-format vertex: where its colours begin.
uint32_t fixedColorsOffset(uint32_t fvf) { return ((fvf & 0x004) ? 16 : 12) + ((fvf & FVF_NORMAL) ? 12 : 0); }

// Byte offset of the diffuse colour in a fixed vertex format; false when the
// format has none.
bool fixedDiffuseOffset(uint32_t fvf, uint32_t* offset) {
    if (!(fvf & FVF_DIFFUSE)) return false;
    *offset = fixedColorsOffset(fvf);
    return true;
}

// Byte offset of texture coordinate set 0 in a fixed vertex format; false
// when the format has none.
bool fixedTexCoordOffset(uint32_t fvf, uint32_t* offset) {
    if (((fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT) == 0) return false;
    *offset = fixedColorsOffset(fvf) + ((fvf & FVF_DIFFUSE) ? 4 : 0) + ((fvf & FVF_SPECULAR) ? 4 : 0);
    return true;
}

// Sampling gives alpha one: no texture (the white one is sampled) or a
// format without alpha.
bool textureAlphaIsOne(GLTexture* t) {
    return !t || !t->valid() || t->format() == FMT_X8R8G8B8 || t->format() == FMT_L8;
}

GLenum glStencilOpOf(uint32_t op) {
    switch (op) {
        case STENCILOP_ZERO: return GL_ZERO;
        case STENCILOP_REPLACE: return GL_REPLACE;
        case STENCILOP_INCRSAT: return GL_INCR;
        case STENCILOP_DECRSAT: return GL_DECR;
        case STENCILOP_INVERT: return GL_INVERT;
        case STENCILOP_INCR: return GL_INCR_WRAP;
        case STENCILOP_DECR: return GL_DECR_WRAP;
        default: return GL_KEEP;
    }
}
}  // namespace

GLuint GLDevice::compile(GLenum kind, const std::string& text) {
    mState->makeCurrent();
    GLuint shader = gl.glCreateShader(kind);
    const char* src = text.c_str();
    gl.glShaderSource(shader, 1, &src, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        gl.glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        mShaderError = log;
        gl.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint GLDevice::fixedPixel(const FixedPixelKey& key) {
    const uint64_t packed = key.packed();
    auto it = mFixedPixels.find(packed);
    if (it != mFixedPixels.end()) return it->second;
    GLuint shader = compile(GL_FRAGMENT_SHADER, glslFixedPixelShader(key));
    mFixedPixels[packed] = shader;
    return shader;
}

GLDevice::Program* GLDevice::program(const FixedPixelKey& fixed) {
    const bool fixedVertex = !(mVertexShader & 1u);
    const uint32_t vsKey = fixedVertex ? 0 : mVertexShader;
    auto key = std::make_tuple(vsKey, mPixelShader, mPixelShader ? uint64_t(0) : fixed.packed());
    auto it = mPrograms.find(key);
    if (it != mPrograms.end()) return it->second.program ? &it->second : nullptr;
    Program& p = mPrograms[key];
    GLuint vs = fixedVertex ? mFixedVertex : mVertexShaders[vsKey].shader;
    GLuint ps = mPixelShader ? mPixelShaders[mPixelShader].shader : fixedPixel(fixed);
    if (!vs || !ps) return nullptr;
    GLuint prog = gl.glCreateProgram();
    gl.glAttachShader(prog, vs);
    gl.glAttachShader(prog, ps);
    if (fixedVertex) {
        gl.glBindAttribLocation(prog, kPos, "aPos");
        gl.glBindAttribLocation(prog, kDiffuse, "aDiffuse");
        gl.glBindAttribLocation(prog, kSpecular, "aSpecular");
        for (GLuint i = 0; i < GLuint(kGlslTexCoordSets); ++i)
            gl.glBindAttribLocation(prog, kTex0 + i, ("aTex" + std::to_string(i)).c_str());
    } else {
        for (const VertexInput& in : mVertexShaders[vsKey].inputs)
            gl.glBindAttribLocation(prog, in.reg, ("a" + std::to_string(in.reg)).c_str());
    }
    gl.glLinkProgram(prog);
    GLint ok = 0;
    gl.glGetProgramiv(prog, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        gl.glGetProgramInfoLog(prog, sizeof log - 1, nullptr, log);
        mShaderError = log;
        gl.glDeleteProgram(prog);
        return nullptr;
    }
    p.program = prog;
    gl.glUseProgram(prog);
    for (int s = 0; s < int(MAX_STAGES); ++s) {
        GLint loc = gl.glGetUniformLocation(prog, ("s" + std::to_string(s)).c_str());
        if (loc >= 0) gl.glUniform1i(loc, s);
    }
    p.transform = gl.glGetUniformLocation(prog, "uTransform");
    p.post = gl.glGetUniformLocation(prog, "uPost");
    p.alphaFunc = gl.glGetUniformLocation(prog, "uAlphaFunc");
    p.alphaRef = gl.glGetUniformLocation(prog, "uAlphaRef");
    p.tfactor = gl.glGetUniformLocation(prog, "uTFactor");
    p.vsC = gl.glGetUniformLocation(prog, "vsC");
    p.psC = gl.glGetUniformLocation(prog, "psC");
    return &p;
}

void GLDevice::applyStates(bool blendNoOp, bool nearestStage0) {
    const uint32_t* rs = mRenderStates;
    if (rs[RS_ALPHABLENDENABLE] && !blendNoOp) {
        gl.glEnable(GL_BLEND);
        // One pair of factors for colour and alpha alike.
        gl.glBlendFunc(glBlend(rs[RS_SRCBLEND]), glBlend(rs[RS_DESTBLEND]));
    } else {
        gl.glDisable(GL_BLEND);
    }
    const uint32_t cw = rs[RS_COLORWRITEENABLE];
    gl.glColorMask(cw & COLORWRITE_RED ? GL_TRUE : GL_FALSE, cw & COLORWRITE_GREEN ? GL_TRUE : GL_FALSE,
                   cw & COLORWRITE_BLUE ? GL_TRUE : GL_FALSE, cw & COLORWRITE_ALPHA ? GL_TRUE : GL_FALSE);
    const bool hasDepth = mDepthStencil != nullptr;
    if (rs[RS_ZENABLE] && hasDepth) {
        gl.glEnable(GL_DEPTH_TEST);
        gl.glDepthFunc(glCompare(rs[RS_ZFUNC]));
    } else {
        gl.glDisable(GL_DEPTH_TEST);
    }
    gl.glDepthMask(rs[RS_ZWRITEENABLE] && hasDepth ? GL_TRUE : GL_FALSE);
    if (rs[RS_STENCILENABLE] && hasDepth) {
        gl.glEnable(GL_STENCIL_TEST);
        gl.glStencilFunc(glCompare(rs[RS_STENCILFUNC]), GLint(rs[RS_STENCILREF]), rs[RS_STENCILMASK]);
        gl.glStencilOp(glStencilOpOf(rs[RS_STENCILFAIL]), glStencilOpOf(rs[RS_STENCILZFAIL]),
                       glStencilOpOf(rs[RS_STENCILPASS]));
        gl.glStencilMask(rs[RS_STENCILWRITEMASK]);
    } else {
        gl.glDisable(GL_STENCIL_TEST);
    }
    const bool backBuffer = currentTargetIsBackBuffer();
    if (rs[RS_CULLMODE] == CULL_CW || rs[RS_CULLMODE] == CULL_CCW) {
        // Winding is judged on screen (y down); the back buffer's GL rows
        // run the other way, which mirrors the winding.
        gl.glEnable(GL_CULL_FACE);
        gl.glCullFace(GL_BACK);
        const bool cullScreenCcw = rs[RS_CULLMODE] == CULL_CCW;
        gl.glFrontFace((cullScreenCcw != backBuffer) ? GL_CW : GL_CCW);
    } else {
        gl.glDisable(GL_CULL_FACE);
    }
    gl.glPolygonMode(GL_FRONT_AND_BACK, rs[RS_FILLMODE] == FILL_WIREFRAME ? GL_LINE
                                        : rs[RS_FILLMODE] == FILL_POINT   ? GL_POINT
                                                                          : GL_FILL);
    // Samplers: addressing and filtering come from the stage.
    for (uint32_t s = 0; s < MAX_STAGES; ++s) {
        gl.glActiveTexture(GL_TEXTURE0 + s);
        GLTexture* t = mTextures[s];
        if (t && t->valid()) {
            gl.glBindTexture(GL_TEXTURE_2D, t->id());
            const uint32_t* st = mStageStates[s];
            if (s == 0 && nearestStage0)
                t->applySampler(st[TSS_ADDRESSU], st[TSS_ADDRESSV], TEXF_POINT, TEXF_POINT, TEXF_NONE);
            else
                t->applySampler(st[TSS_ADDRESSU], st[TSS_ADDRESSV], st[TSS_MINFILTER], st[TSS_MAGFILTER],
                                st[TSS_MIPFILTER]);
        } else {
            gl.glBindTexture(GL_TEXTURE_2D, mWhiteTexture);
        }
    }
    gl.glActiveTexture(GL_TEXTURE0);
}

void GLDevice::bindVertices(uint32_t baseVertex) {
    gl.glBindBuffer(GL_ARRAY_BUFFER, mStream->id());
    const uintptr_t base = uintptr_t(baseVertex) * mStreamStride;
    for (GLuint i = 0; i < 16; ++i) gl.glDisableVertexAttribArray(i);
    if (mVertexShader & 1u) {
        for (const VertexInput& in : mVertexShaders[mVertexShader].inputs) {
            static const GLint sizes[] = {1, 2, 3, 4, 4};
            const bool color = in.type == VSDT_D3DCOLOR;
            gl.glEnableVertexAttribArray(in.reg);
            gl.glVertexAttribPointer(in.reg, sizes[in.type], color ? GL_UNSIGNED_BYTE : GL_FLOAT,
                                     color ? GL_TRUE : GL_FALSE, GLsizei(mStreamStride),
                                     reinterpret_cast<const void*>(base + in.offset));
        }
        return;
    }
    const uint32_t fvf = mVertexShader;
    gl.glEnableVertexAttribArray(kPos);
    gl.glVertexAttribPointer(kPos, 3, GL_FLOAT, GL_FALSE, GLsizei(mStreamStride), reinterpret_cast<const void*>(base));
    uintptr_t offset = base + fixedColorsOffset(fvf);
    if (fvf & FVF_DIFFUSE) {
        gl.glEnableVertexAttribArray(kDiffuse);
        gl.glVertexAttribPointer(kDiffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(mStreamStride),
                                 reinterpret_cast<const void*>(offset));
        offset += 4;
    } else {
        gl.glVertexAttrib4f(kDiffuse, 1, 1, 1, 1);  // no colour: white
    }
    if (fvf & FVF_SPECULAR) {
        gl.glEnableVertexAttribArray(kSpecular);
        gl.glVertexAttribPointer(kSpecular, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(mStreamStride),
                                 reinterpret_cast<const void*>(offset));
        offset += 4;
    } else {
        gl.glVertexAttrib4f(kSpecular, 0, 0, 0, 0);
    }
    const uint32_t sets = (fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT;
    for (uint32_t i = 0; i < uint32_t(kGlslTexCoordSets); ++i) {
        if (i < sets) {
            gl.glEnableVertexAttribArray(kTex0 + i);
            gl.glVertexAttribPointer(kTex0 + i, 2, GL_FLOAT, GL_FALSE, GLsizei(mStreamStride),
                                     reinterpret_cast<const void*>(offset + i * 8));
        } else {
            gl.glVertexAttrib4f(kTex0 + i, 0, 0, 0, 1);
        }
    }
}

bool GLDevice::vertexRange(bool indexed, uint32_t start, uint32_t count, uint32_t* first, uint32_t* last) const {
    if (!indexed) {
        *first = start;
        *last = start + count - 1;
        return count > 0;
    }
    uint32_t low = 0, high = 0;
    if (!indexRange(mIndices->bytes(), mIndices->size(), mIndices->format == FMT_INDEX32, start, count, &low, &high))
        return false;
    *first = mBaseVertex + low;
    *last = mBaseVertex + high;
    return true;
}

Result GLDevice::drawCommon(uint32_t type, uint32_t primitiveCount, bool indexed, uint32_t start, uint32_t* mode,
                            uint32_t* count) {
    if (!mInScene || !mStream || mStream->locked() || (mIndices && mIndices->locked())) return ERR_INVALIDCALL;
    switch (type) {
        case PT_POINTLIST: *mode = GL_POINTS; *count = primitiveCount; break;
        case PT_LINELIST: *mode = GL_LINES; *count = primitiveCount * 2; break;
        case PT_LINESTRIP: *mode = GL_LINE_STRIP; *count = primitiveCount + 1; break;
        case PT_TRIANGLELIST: *mode = GL_TRIANGLES; *count = primitiveCount * 3; break;
        case PT_TRIANGLESTRIP: *mode = GL_TRIANGLE_STRIP; *count = primitiveCount + 2; break;
        case PT_TRIANGLEFAN: *mode = GL_TRIANGLE_FAN; *count = primitiveCount + 2; break;
        default: return ERR_INVALIDCALL;
    }
    if (primitiveCount == 0) return ERR_INVALIDCALL;
    applyTarget();
    if (!mTargetComplete) return ERR_INVALIDCALL;
    applyViewport();
    const uint32_t* rs = mRenderStates;
    const uint32_t* st = mStageStates[0];
    FixedPixelKey fixed;
    fixed.colorOp = st[TSS_COLOROP];
    fixed.colorArg1 = st[TSS_COLORARG1];
    fixed.colorArg2 = st[TSS_COLORARG2];
    fixed.alphaOp = st[TSS_ALPHAOP];
    fixed.alphaArg1 = st[TSS_ALPHAARG1];
    fixed.alphaArg2 = st[TSS_ALPHAARG2];
    fixed.alphaFunc = rs[RS_ALPHATESTENABLE] ? rs[RS_ALPHAFUNC] : CMP_ALWAYS;
    Matrix4 transform;
    matrixMultiply(&transform, &mWorld, &mView);
    matrixMultiply(&transform, &transform, &mProjection);
    const float flip = currentTargetIsBackBuffer() ? 1.0f : -1.0f;
    // On the fixed path the vertices can spare the pixel stage work: no
    // multiplication by white, no blending when the source alpha is one
    // everywhere (source alpha, inverse source alpha then writes the source
    // unchanged), no alpha test that only rejects pixels that change
    // nothing, and nearest sampling where texels sit one to one on pixels.
    bool blendNoOp = false, nearest = false;
    uint32_t first = 0, last = 0;
    if (!(mVertexShader & 1u) && !mPixelShader && vertexRange(indexed, start, *count, &first, &last)) {
        DiffuseFacts facts;
        uint32_t offset = 0;
        if (!fixedDiffuseOffset(mVertexShader, &offset)) {
            facts.white = facts.opaque = true;  // no colour in the vertices: white
        } else {
            facts = scanDiffuse(mStream->bytes(), mStream->size(), mStreamStride, offset, first, last);
        }
        fixed.diffuseWhite = facts.white ? 1 : 0;
        AlphaSources sources;
        sources.texture = textureAlphaIsOne(mTextures[0]);
        sources.diffuse = facts.opaque;
        sources.factor = (rs[RS_TEXTUREFACTOR] >> 24) == 0xFF;
        const bool alphaOne = stageAlphaIsOne(st[TSS_ALPHAOP], st[TSS_ALPHAARG1], st[TSS_ALPHAARG2], sources);
        blendNoOp = rs[RS_SRCBLEND] == BLEND_SRCALPHA && rs[RS_DESTBLEND] == BLEND_INVSRCALPHA && alphaOne;
        if (fixed.alphaFunc != CMP_ALWAYS) {
            PixelWrites writes;
            writes.blend = rs[RS_ALPHABLENDENABLE] != 0;
            writes.sourceBlend = rs[RS_SRCBLEND];
            writes.destinationBlend = rs[RS_DESTBLEND];
            writes.depthWrite = mDepthStencil && rs[RS_ZWRITEENABLE];
            writes.stencil = mDepthStencil && rs[RS_STENCILENABLE];
            writes.sourceAlphaIsOne = alphaOne;
            if (alphaTestChangesNothing(fixed.alphaFunc, rs[RS_ALPHAREF], writes)) fixed.alphaFunc = CMP_ALWAYS;
        }
        nearest = texelsMatchPixels(type, primitiveCount, indexed, start, transform, flip);
    }
    Program* p = program(fixed);
    if (!p) return ERR_INVALIDCALL;
    gl.glUseProgram(p->program);
    applyStates(blendNoOp, nearest);
    // Row-major rows read as GL columns: the shader's M * v is v * M here.
    if (p->transform >= 0) gl.glUniformMatrix4fv(p->transform, 1, GL_FALSE, transform.data());
    gl.glUniform4f(p->post, 1.0f / float(std::max(1u, mViewport.width)),
                   1.0f / float(std::max(1u, mViewport.height)), flip, 0.0f);
    if (p->alphaFunc >= 0) gl.glUniform1i(p->alphaFunc, GLint(fixed.alphaFunc));
    gl.glUniform1f(p->alphaRef, float(rs[RS_ALPHAREF] & 0xFF));
    if (p->tfactor >= 0) {
        const uint32_t tf = rs[RS_TEXTUREFACTOR];
        gl.glUniform4f(p->tfactor, float((tf >> 16) & 0xFF) / 255.0f, float((tf >> 8) & 0xFF) / 255.0f,
                       float(tf & 0xFF) / 255.0f, float(tf >> 24) / 255.0f);
    }
    if (p->vsC >= 0) gl.glUniform4fv(p->vsC, 96, mVsConstants);
    if (p->psC >= 0) gl.glUniform4fv(p->psC, 8, mPsConstants);
    return OK;
}

bool GLDevice::texelsMatchPixels(uint32_t type, uint32_t primitiveCount, bool indexed, uint32_t start,
                                 const Matrix4& transform, float flip) const {
    const uint32_t* st = mStageStates[0];
    GLTexture* texture = mTextures[0];
    // Only filtering between texels has anything to gain.
    if (!texture || !texture->valid() || (st[TSS_MINFILTER] < TEXF_LINEAR && st[TSS_MAGFILTER] < TEXF_LINEAR))
        return false;
    uint32_t texOffset = 0;
    if (!fixedTexCoordOffset(mVertexShader, &texOffset)) return false;
    SurfaceDesc level;
    if (failed(texture->getLevelDesc(0, &level))) return false;
    WindowMapping mapping;
    std::memcpy(mapping.transform, transform.data(), sizeof mapping.transform);
    const Viewport& v = mViewport;
    mapping.shiftX = 1.0f / float(std::max(1u, v.width));
    mapping.shiftY = 1.0f / float(std::max(1u, v.height));
    mapping.flip = flip;
    mapping.viewportX = float(v.x);
    mapping.viewportY = currentTargetIsBackBuffer() ? float(int64_t(targetHeight()) - v.y - v.height) : float(v.y);
    mapping.viewportWidth = float(v.width);
    mapping.viewportHeight = float(v.height);
    TriangleSource triangles;
    triangles.type = type;
    triangles.count = primitiveCount;
    if (indexed) {
        triangles.indices = mIndices->bytes();
        triangles.indexBytes = mIndices->size();
        triangles.wideIndices = mIndices->format == FMT_INDEX32;
        triangles.firstIndex = start;
        triangles.baseVertex = mBaseVertex;
    } else {
        triangles.firstVertex = start;
    }
    return texelsLandOnPixels(mStream->bytes(), mStream->size(), mStreamStride, texOffset, triangles, mapping,
                              level.width, level.height);
}

void GLDevice::queued(uint32_t primitives) {
    // A software rasterizer starts on submitted work only at a flush; handing
    // it over every few thousand primitives lets it draw while the frame is
    // still being submitted instead of after.
    constexpr uint32_t kFlushEvery = 8000;
    mQueuedPrimitives += primitives;
    if (mQueuedPrimitives < kFlushEvery) return;
    mQueuedPrimitives = 0;
    gl.glFlush();
}

Result GLDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    uint32_t mode = 0, count = 0;
    Result r = drawCommon(type, primitiveCount, false, startVertex, &mode, &count);
    if (failed(r)) return r;
    bindVertices(0);
    gl.glDrawArrays(mode, GLint(startVertex), GLsizei(count));
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    queued(primitiveCount);
    return OK;
}

Result GLDevice::drawIndexedPrimitive(uint32_t type, uint32_t, uint32_t, uint32_t startIndex,
                                      uint32_t primitiveCount) {
    if (!mIndices) return ERR_INVALIDCALL;
    uint32_t mode = 0, count = 0;
    Result r = drawCommon(type, primitiveCount, true, startIndex, &mode, &count);
    if (failed(r)) return r;
    bindVertices(mBaseVertex);
    const bool wide = mIndices->format == FMT_INDEX32;
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mIndices->id());
    gl.glDrawElements(mode, GLsizei(count), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                      reinterpret_cast<const void*>(uintptr_t(startIndex) * (wide ? 4 : 2)));
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    queued(primitiveCount);
    return OK;
}

}  // namespace QV::Gfx
