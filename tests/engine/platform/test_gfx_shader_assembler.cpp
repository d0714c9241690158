#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/glsl_translator.h"
#include "platform/gfx/shader_assembler.h"

namespace {

using namespace QV::Gfx;

bool assemble(const char* text, ShaderCode* code, std::string* errors) {
    return assembleShader(text, std::strlen(text), code, errors);
}

TEST(ShaderAssembler, DistortionProgram) {
    const char* text =
        "ps.1.4;\ndef c0, 0.15f, 0.15f, 1.0f, 1.0f;\ndef c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
        "texcrd r2.xyz, t0;\ntexld r1, t0;\nmov r2.w, r2.x;\nsub r1, r1, c1;\nmul r1, r1, c0;\n"
        "add r1, r1, r2;\nphase\ntexld r0, r1;\n";
    ShaderCode code;
    std::string errors;
    ASSERT_TRUE(assemble(text, &code, &errors)) << errors;
    EXPECT_TRUE(code.pixel);
    EXPECT_EQ(code.version(), 0xFFFF0104u);
    ASSERT_EQ(code.constants.size(), 2u);
    EXPECT_FLOAT_EQ(code.constants[1].value[0], 0.498039f);
    ASSERT_EQ(code.instructions.size(), 8u);
    const ShaderInstruction& texcrd = code.instructions[0];
    EXPECT_EQ(texcrd.opcode, "texcrd");
    EXPECT_EQ(texcrd.dest.writeMask, 0x7);
    EXPECT_EQ(texcrd.sources[0].type, RegisterType::Texture);
    const ShaderInstruction& mov = code.instructions[2];
    EXPECT_EQ(mov.dest.writeMask, 0x8);
    EXPECT_EQ(mov.sources[0].swizzle[3], 0);  // .x replicated
    EXPECT_EQ(code.instructions.back().sources[0].type, RegisterType::Temp);
    std::string glslError;
    EXPECT_FALSE(glslPixelShader(code, &glslError).empty()) << glslError;
}

TEST(ShaderAssembler, YuvStylePairAndModifiers) {
    const char* vs =
        "vs.1.1 // transform\nm4x4 oPos, v0, c0\nmov oD0, v1\nmov oT0, v2\nmov oT1, v1\n"
        "mov a0.x, c4.x\nmov r0, c[a0.x + 5]\n";
    const char* ps =
        "ps.1.1\ndef c0, 1.0, 0.0, 1.402, 0.0\ntex t0\ntex t1\nmad_sat r0, t1_bx2, c0, t0\n"
        "+mov r0.a, 1-t0.a\nlrp r1, -v0, r0, t1\ncnd r0, r0.a, r1, t0\n";
    ShaderCode vcode, pcode;
    std::string errors;
    ASSERT_TRUE(assemble(vs, &vcode, &errors)) << errors;
    ASSERT_TRUE(assemble(ps, &pcode, &errors)) << errors;
    EXPECT_FALSE(vcode.pixel);
    EXPECT_TRUE(vcode.instructions.back().sources[0].relative);
    EXPECT_EQ(vcode.instructions.back().sources[0].index, 5);
    const ShaderInstruction& mad = pcode.instructions[2];
    EXPECT_TRUE(mad.saturate);
    EXPECT_EQ(mad.sources[0].modifier, SourceModifier::Bx2);
    EXPECT_TRUE(pcode.instructions[3].coissue);
    EXPECT_EQ(pcode.instructions[3].sources[0].modifier, SourceModifier::Complement);
    EXPECT_TRUE(pcode.instructions[4].sources[0].negate);
    std::vector<VertexInput> inputs;
    uint32_t stride = 0;
    const uint32_t decl[] = {0x20000000, 0x40020000, 0x40040001, 0x40010002, 0xFFFFFFFF};
    ASSERT_TRUE(parseDeclaration(decl, &inputs, &stride, &errors));
    EXPECT_EQ(stride, 24u);
    ASSERT_EQ(inputs.size(), 3u);
    EXPECT_EQ(inputs[2].offset, 16u);
    EXPECT_FALSE(glslVertexShader(vcode, inputs, &errors).empty()) << errors;
    EXPECT_FALSE(glslPixelShader(pcode, &errors).empty()) << errors;
}

TEST(ShaderAssembler, RejectsWhatItCannotTranslate) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"ps.2.0\nmov r0, v0\n", "line 1: unsupported shader version 'ps.2.0'"},
        {"", "line 0: no shader version"},
        {"ps.1.4\ntexm3x3 r0, t0\n", "line 2: unknown instruction 'texm3x3'"},
        {"ps.1.4\nmov r9, v0\n", "line 2: bad destination register 'r9'"},
        {"ps.1.4\nmov r0, c8\n", "line 2: bad source register 'c8'"},
        {"ps.1.1\ntexld r0, t0\n", "line 2: instruction 'texld' needs ps.1.4"},
        {"ps.1.4\ntex t0\n", "line 2: instruction 'tex' not in ps.1.4"},
        {"vs.1.1\nlrp r0, v0, v1, v2\n", "line 2: instruction 'lrp' not allowed in this shader kind"},
        {"ps.1.4\nmov r0\n", "line 2: 'mov' takes 2 operand(s)"},
        {"ps.1.4\nmov r0.yx, v0\n", "line 2: bad write mask 'yx'"},
        {"ps.1.4\nmov r0, v0.q\n", "line 2: bad swizzle 'q'"},
        {"ps.1.4\nmov_x3 r0, v0\n", "line 2: unknown instruction modifier '_x3'"},
        {"ps.1.4\ndef c0, 1, 2, 3\n", "line 2: bad constant definition 'def c0, 1, 2, 3'"},
        {"ps.1.4\nphase\nphase\n", "line 3: second phase"},
        {"vs.1.1\nmov v0, r0\n", "line 2: register 'v0' cannot be written"},
        {"vs.1.1\nmov r0, oPos\n", "line 2: register 'oPos' cannot be read"},
        {"vs.1.1\nmov r0, c[r0.x]\n", "line 2: bad relative address 'c[r0.x]'"},
        {"vs.1.1\nmov r0, c[a0_x + 123456789]\n", "line 2: bad relative address 'c[a0_x + 123456789]'"},
        {"vs.1.1\nmov r0, c[a0.x_bx2\n", "line 2: bad relative address 'c[a0.x_bx2'"},
    };
    for (const Case& c : cases) {
        ShaderCode code;
        std::string errors;
        EXPECT_FALSE(assemble(c.text, &code, &errors)) << c.text;
        EXPECT_EQ(errors.substr(0, errors.find('\n')), c.error) << c.text;
    }
    // Texture coordinate sets beyond what the back end carries.
    ShaderCode code;
    std::string errors;
    ASSERT_TRUE(assemble("ps.1.4\ntexcrd r0, t5\n", &code, &errors));
    EXPECT_TRUE(glslPixelShader(code, &errors).empty());
    EXPECT_EQ(errors, "texture coordinate set 5 is not carried");
    EXPECT_FALSE(assembleShader(nullptr, 10, &code, &errors));
}

}  // namespace
