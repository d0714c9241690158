#include <cstring>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "platform/gfx/shader_assembler.h"
#include "render_system.h"
#include "report_assert.h"

namespace QV {

namespace {

// Stream 0 declarations of the two vertex formats a vertex shader can read.
const uint32_t kDeclaration21[] = {Gfx::vsdStream(0), Gfx::vsdReg(0, Gfx::VSDT_FLOAT3),
                                   Gfx::vsdReg(1, Gfx::VSDT_D3DCOLOR), Gfx::vsdReg(2, Gfx::VSDT_FLOAT2),
                                   Gfx::VSD_END};
const uint32_t kDeclaration23[] = {Gfx::vsdStream(0), Gfx::vsdReg(0, Gfx::VSDT_FLOAT3),
                                   Gfx::vsdReg(1, Gfx::VSDT_FLOAT3), Gfx::vsdReg(2, Gfx::VSDT_D3DCOLOR),
                                   Gfx::vsdReg(3, Gfx::VSDT_FLOAT2), Gfx::VSD_END};

int currentVertexFormat() {
    ConfigManager* config = Singleton<ConfigManager>::instancePointer();
    return config ? config->vertexFormat() : 21;
}

}  // namespace

const char* const RenderSystem::kDistortionPixelShader =
    "ps.1.4;\n"
    "def c0, 0.15f, 0.15f, 1.0f, 1.0f;\n"
    "def c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
    "texcrd r2.xyz, t0;\n"
    "texld r1, t0;\n"
    "mov r2.w, r2.x;\n"
    "sub r1, r1, c1;\n"
    "mul r1, r1, c0;\n"
    "add r1, r1, r2;\n"
    "phase\n"
    "texld r0, r1;\n";

int RenderSystemDX8::createPixelShader(ShaderProgramDX8* program, const char* text) {
    if (!mPixelShader14 || !program || !text || !mDevice->device) return 1;
    deletePixelShader(program);
    Gfx::ShaderCode code;
    std::string errors;
    if (!Gfx::assembleShader(text, std::strlen(text), &code, &errors)) {
        logLine(formatString("ERROR: Failed to create pixel shader: %s", errors.c_str()));
        return 1;
    }
    uint32_t handle = 0;
    if (Gfx::failed(mDevice->device->createPixelShader(&code, &handle))) return 1;
    program->mPixelShaderHandle = handle;
    program->mPixelShaderCreated = 1;
    return 0;
}

int RenderSystemDX8::createVertexShader(VertexShaderDX8* shader, const char* text) {
    if (!mVertexShader11 || !shader || !text || !mDevice->device) return 1;
    deleteVertexShader(shader);
    const uint32_t* declaration = nullptr;
    switch (currentVertexFormat()) {
        case 21:
            declaration = kDeclaration21;
            break;
        case 23:
            declaration = kDeclaration23;
            break;
        default:
            QV_FATAL("Unknown vertex shader declaration!");
    }
    Gfx::ShaderCode code;
    std::string errors;
    if (!Gfx::assembleShader(text, std::strlen(text), &code, &errors)) {
        logLine(formatString("ERROR: Failed to create vertex shader: %s", errors.c_str()));
        return 1;
    }
    uint32_t handle = 0;
    if (Gfx::failed(mDevice->device->createVertexShader(declaration, &code, &handle, mDevice->vertexUsage))) return 1;
    shader->mHandle = handle;
    shader->mCreated = 1;
    return 0;
}

int RenderSystemDX8::deletePixelShader(ShaderProgramDX8* program) {
    if (!program || !program->mPixelShaderCreated) return 1;
    Gfx::Result r = mDevice->device ? mDevice->device->deletePixelShader(program->mPixelShaderHandle) : Gfx::OK;
    program->mPixelShaderHandle = 0;
    program->mPixelShaderCreated = 0;
    return Gfx::failed(r) ? 1 : 0;
}

int RenderSystemDX8::deleteVertexShader(VertexShaderDX8* shader) {
    if (!shader || !shader->mCreated) return 1;
    Gfx::Result r = mDevice->device ? mDevice->device->deleteVertexShader(shader->mHandle) : Gfx::OK;
    shader->mHandle = 0;
    shader->mCreated = 0;
    return Gfx::failed(r) ? 1 : 0;
}

int RenderSystemDX8::deleteShaderProgram(ShaderProgram* program) {
    if (!program) return 1;
    int result = deletePixelShader(program);
    result |= deleteVertexShader(&program->mVertexShader);
    program->mUsable = 0;
    return result;
}

int RenderSystemDX8::bindShaderProgram(ShaderProgram* program) {
    flush();
    Gfx::IDevice* device = mDevice->device;
    if (!device) return 1;
    Gfx::Result pixel = device->setPixelShader(program && program->mPixelShaderCreated ? program->mPixelShaderHandle : 0);
    Gfx::Result vertex = device->setVertexShader(program && program->mVertexShader.mCreated
                                                     ? program->mVertexShader.mHandle
                                                     : VertexLayout::fvf());
    return (Gfx::failed(pixel) || Gfx::failed(vertex)) ? 1 : 0;
}

int RenderSystemDX8::unbindShaderProgram() {
    flush();
    Gfx::IDevice* device = mDevice->device;
    if (!device) return 1;
    Gfx::Result pixel = device->setPixelShader(0);
    Gfx::Result vertex = device->setVertexShader(VertexLayout::fvf());
    return (Gfx::failed(pixel) || Gfx::failed(vertex)) ? 1 : 0;
}

namespace {

int createShaderFromResource(RenderSystem* system, const char* resource, bool pixel, void* part) {
    if (!part) return 1;
    char* text = nullptr;
    FileSystem* files = Singleton<FileSystem>::instancePointer();
    if (!files || files->readFile(resource, &text) != 0 || !text) {
        logLine(formatString("ERROR. Failed to shader file %s", resource));
        return 1;
    }
    int result = pixel ? system->createPixelShader(static_cast<ShaderProgramDX8*>(part), text)
                       : system->createVertexShader(static_cast<VertexShaderDX8*>(part), text);
    delete[] text;
    return result;
}

}  // namespace

int RenderSystem::createYuvPixelShader(ShaderProgramDX8* program) {
    return createShaderFromResource(this, "yuv2rgb_ps", true, program);
}

int RenderSystem::createYuvVertexShader(VertexShaderDX8* shader) {
    return createShaderFromResource(this, "yuv2rgb_vs", false, shader);
}

int RenderSystem::createDistortionProgram(const char* pixelShaderText) {
    if (!mDistortionProgram) return 1;
    deleteShaderProgram(mDistortionProgram);
    if (createPixelShader(mDistortionProgram, pixelShaderText) != 0) return 1;
    mDistortionProgram->mUsable = 1;
    return 0;
}

}  // namespace QV
