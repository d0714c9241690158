// Shader texts are content files: any bytes must assemble or fail cleanly,
// and whatever assembles must translate or fail cleanly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gfx/glsl_translator.h"
#include "platform/gfx/shader_assembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QV::Gfx::ShaderCode code;
    std::string errors;
    const char* text = reinterpret_cast<const char*>(data);
    if (!QV::Gfx::assembleShader(text, size, &code, &errors)) return 0;
    if (code.pixel) {
        QV::Gfx::glslPixelShader(code, &errors);
    } else {
        std::vector<QV::Gfx::VertexInput> inputs(3);
        inputs[1].reg = 1;
        inputs[1].type = 4;
        inputs[2].reg = 2;
        inputs[2].type = 1;
        QV::Gfx::glslVertexShader(code, inputs, &errors);
    }
    return 0;
}
