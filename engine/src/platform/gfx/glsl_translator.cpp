#include "platform/gfx/glsl_translator.h"

#include <cstdio>
#include <set>
#include <sstream>

#include "platform/gfx/gfx_types.h"

namespace QV::Gfx {

namespace {

const char* kVaryings =
    "varying vec4 vColor0;\nvarying vec4 vColor1;\n"
    "varying vec4 vTex0;\nvarying vec4 vTex1;\nvarying vec4 vTex2;\nvarying vec4 vTex3;\n";

// The device's pixel-centre convention and depth range on the GL side:
// half a pixel right and down, z from 0..1 to -1..1, rows flipped for
// render textures so they are stored top-down.
const char* kVertexPost =
    "uniform vec4 uPost;\n"
    "vec4 qvPost(vec4 p) {\n"
    "  p.x += uPost.x * p.w;\n"
    "  p.y -= uPost.y * p.w;\n"
    "  p.z = p.z * 2.0 - p.w;\n"
    "  p.y *= uPost.z;\n"
    "  return p;\n"
    "}\n";

// Alpha test after the colour is computed, on the 8-bit alpha.
const char* kPixelOut =
    "uniform int uAlphaFunc;\n"
    "uniform float uAlphaRef;\n"
    "void qvOut(vec4 c) {\n"
    "  c = clamp(c, 0.0, 1.0);\n"
    "  float a = floor(c.a * 255.0 + 0.5);\n"
    "  bool pass = true;\n"
    "  if (uAlphaFunc == 1) pass = false;\n"
    "  else if (uAlphaFunc == 2) pass = a < uAlphaRef;\n"
    "  else if (uAlphaFunc == 3) pass = a == uAlphaRef;\n"
    "  else if (uAlphaFunc == 4) pass = a <= uAlphaRef;\n"
    "  else if (uAlphaFunc == 5) pass = a > uAlphaRef;\n"
    "  else if (uAlphaFunc == 6) pass = a != uAlphaRef;\n"
    "  else if (uAlphaFunc == 7) pass = a >= uAlphaRef;\n"
    "  if (!pass) discard;\n"
    "  gl_FragColor = c;\n"
    "}\n";

const char* kSamplers =
    "uniform sampler2D s0;\nuniform sampler2D s1;\nuniform sampler2D s2;\nuniform sampler2D s3;\n"
    "uniform sampler2D s4;\nuniform sampler2D s5;\nuniform sampler2D s6;\nuniform sampler2D s7;\n";

std::string sampler(int stage) { return "s" + std::to_string(stage); }

std::string floatText(float f) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", double(f));
    std::string s = buf;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

class Translator {
public:
    Translator(const ShaderCode& code, std::string* error) : mCode(code), mError(error) {
        for (const ShaderConstant& c : code.constants) mDefined.insert(c.index);
    }

    bool ok() const { return mOk; }

    void fail(const ShaderInstruction* ins, const std::string& what) {
        if (mOk && mError) *mError = (ins ? "line " + std::to_string(ins->line) + ": " : std::string()) + what;
        mOk = false;
    }

    std::string reg(RegisterType type, int index, bool relative = false) {
        switch (type) {
            case RegisterType::Temp: return "r" + std::to_string(index);
            case RegisterType::Const:
                if (relative) return "vsC[int(a0.x) + " + std::to_string(index) + "]";
                if (mDefined.count(index)) return "c" + std::to_string(index);
                return (mCode.pixel ? "psC[" : "vsC[") + std::to_string(index) + "]";
            case RegisterType::Texture:
                if (mCode.pixel && mCode.minor == 4) return texCoord(index);
                return "t" + std::to_string(index);
            case RegisterType::Input:
                return mCode.pixel ? "vColor" + std::to_string(index) : "v" + std::to_string(index);
            case RegisterType::Address: return "a0";
            case RegisterType::OutPos: return "oPos";
            case RegisterType::OutColor: return "oD" + std::to_string(index);
            case RegisterType::OutTex: return texCoord(index);
            case RegisterType::OutFog: return "oFog";
            case RegisterType::OutPts: return "oPts";
        }
        return "r0";
    }

    std::string texCoord(int index) {
        if (index >= kGlslTexCoordSets) {
            fail(nullptr, "texture coordinate set " + std::to_string(index) + " is not carried");
            return "vTex0";
        }
        return "vTex" + std::to_string(index);
    }

    std::string source(const ShaderSource& s) {
        std::string v = reg(s.type, s.index, s.relative);
        static const char comps[] = "xyzw";
        if (!(s.swizzle[0] == 0 && s.swizzle[1] == 1 && s.swizzle[2] == 2 && s.swizzle[3] == 3)) {
            v += ".";
            for (uint8_t c : s.swizzle) v += comps[c];
        }
        switch (s.modifier) {
            case SourceModifier::Bias: v = "(" + v + " - 0.5)"; break;
            case SourceModifier::Bx2: v = "(2.0 * (" + v + " - 0.5))"; break;
            case SourceModifier::X2: v = "(2.0 * " + v + ")"; break;
            case SourceModifier::Complement: v = "(1.0 - " + v + ")"; break;
            default: break;
        }
        if (s.negate) v = "(-" + v + ")";
        return v;
    }

    // Coordinates of a texld/texcrd source, with the projective divides.
    std::string coords(const ShaderSource& s) {
        ShaderSource plain = s;
        plain.modifier = SourceModifier::None;
        std::string v = source(plain);
        if (s.modifier == SourceModifier::Dz) return "vec4(" + v + ".xy / " + v + ".z, 0.0, 1.0)";
        if (s.modifier == SourceModifier::Dw) return "vec4(" + v + ".xy / " + v + ".w, 0.0, 1.0)";
        return v;
    }

    void write(std::ostringstream& out, const ShaderInstruction& ins, const std::string& value) {
        std::string v = value;
        if (ins.shift > 0) v = "(" + v + ") * " + floatText(float(1 << ins.shift));
        if (ins.shift < 0) v = "(" + v + ") * " + floatText(1.0f / float(1 << -ins.shift));
        if (ins.saturate) v = "clamp(" + v + ", 0.0, 1.0)";
        std::string dest = reg(ins.dest.type, ins.dest.index);
        if (ins.dest.type == RegisterType::Address) {
            out << "  a0 = floor(" << v << ");\n";
            return;
        }
        if (ins.dest.writeMask == 0xF) {
            out << "  " << dest << " = " << v << ";\n";
            return;
        }
        static const char comps[] = "xyzw";
        std::string mask;
        for (int i = 0; i < 4; ++i)
            if (ins.dest.writeMask & (1 << i)) mask += comps[i];
        out << "  { vec4 q = " << v << "; " << dest << "." << mask << " = q." << mask << "; }\n";
    }

    void body(std::ostringstream& out) {
        for (const ShaderConstant& c : mCode.constants)
            out << "  const vec4 c" << c.index << " = vec4(" << floatText(c.value[0]) << ", "
                << floatText(c.value[1]) << ", " << floatText(c.value[2]) << ", " << floatText(c.value[3])
                << ");\n";
        for (const ShaderInstruction& ins : mCode.instructions) {
            const std::string& op = ins.opcode;
            std::vector<std::string> s;
            for (const ShaderSource& src : ins.sources) s.push_back(source(src));
            if (op == "nop" || op == "phase") continue;
            if (op == "tex") {
                write(out, ins, "texture2D(" + sampler(ins.dest.index) + ", " + texCoord(ins.dest.index) + ".xy)");
            } else if (op == "texcoord") {
                write(out, ins, "clamp(" + texCoord(ins.dest.index) + ", 0.0, 1.0)");
            } else if (op == "texld") {
                write(out, ins, "texture2D(" + sampler(ins.dest.index) + ", (" + coords(ins.sources[0]) + ").xy)");
            } else if (op == "texcrd") {
                write(out, ins, coords(ins.sources[0]));
            } else if (op == "mov") {
                write(out, ins, s[0]);
            } else if (op == "add") {
                write(out, ins, s[0] + " + " + s[1]);
            } else if (op == "sub") {
                write(out, ins, s[0] + " - " + s[1]);
            } else if (op == "mul") {
                write(out, ins, s[0] + " * " + s[1]);
            } else if (op == "mad") {
                write(out, ins, s[0] + " * " + s[1] + " + " + s[2]);
            } else if (op == "lrp") {
                write(out, ins, "mix(" + s[2] + ", " + s[1] + ", " + s[0] + ")");
            } else if (op == "dp3") {
                write(out, ins, "vec4(dot((" + s[0] + ").xyz, (" + s[1] + ").xyz))");
            } else if (op == "dp4") {
                write(out, ins, "vec4(dot(" + s[0] + ", " + s[1] + "))");
            } else if (op == "cnd") {
                // Before ps.1.4 the condition is r0.a alone.
                std::string cond = mCode.minor == 4 ? s[0] : "vec4((" + s[0] + ").w)";
                write(out, ins, "mix(" + s[2] + ", " + s[1] + ", vec4(greaterThan(" + cond + ", vec4(0.5))))");
            } else if (op == "cmp") {
                write(out, ins, "mix(" + s[2] + ", " + s[1] + ", vec4(greaterThanEqual(" + s[0] + ", vec4(0.0))))");
            } else if (op == "min") {
                write(out, ins, "min(" + s[0] + ", " + s[1] + ")");
            } else if (op == "max") {
                write(out, ins, "max(" + s[0] + ", " + s[1] + ")");
            } else if (op == "slt") {
                write(out, ins, "vec4(lessThan(" + s[0] + ", " + s[1] + "))");
            } else if (op == "sge") {
                write(out, ins, "vec4(greaterThanEqual(" + s[0] + ", " + s[1] + "))");
            } else if (op == "rcp") {
                write(out, ins, "vec4(1.0 / (" + s[0] + ").w)");
            } else if (op == "rsq") {
                write(out, ins, "vec4(inversesqrt(abs((" + s[0] + ").w)))");
            } else if (op.size() == 4 && op[0] == 'm' && op[2] == 'x') {
                const int width = op[1] - '0';   // 3 or 4 components
                const int rows = op[3] - '0';
                std::string v = "vec4(";
                for (int i = 0; i < 4; ++i) {
                    if (i) v += ", ";
                    if (i >= rows) {
                        v += "0.0";
                        continue;
                    }
                    ShaderSource row = ins.sources[1];
                    row.index += i;
                    std::string a = s[0], b = source(row);
                    v += width == 3 ? "dot((" + a + ").xyz, (" + b + ").xyz)" : "dot(" + a + ", " + b + ")";
                }
                write(out, ins, v + ")");
            } else {
                fail(&ins, "instruction '" + op + "' has no translation");
            }
        }
    }

private:
    const ShaderCode& mCode;
    std::string* mError;
    std::set<int> mDefined;
    bool mOk = true;
};

}  // namespace

bool parseDeclaration(const uint32_t* declaration, std::vector<VertexInput>* inputs, uint32_t* stride,
                      std::string* error) {
    inputs->clear();
    uint32_t offset = 0;
    bool streamSeen = false;
    for (int i = 0; i < 64; ++i) {
        const uint32_t token = declaration[i];
        if (token == VSD_END) {
            *stride = offset;
            return streamSeen;
        }
        const uint32_t kind = token >> 29;
        if (kind == 1 && (token & 0xF) == 0) {
            streamSeen = true;
        } else if (kind == 2 && streamSeen) {
            VertexInput in;
            in.reg = token & 0x1F;
            in.type = (token >> 16) & 0xF;
            in.offset = offset;
            static const uint32_t sizes[] = {4, 8, 12, 16, 4};
            if (in.type > VSDT_D3DCOLOR || in.reg > 15) break;
            offset += sizes[in.type];
            inputs->push_back(in);
        } else {
            break;
        }
    }
    if (error) *error = "unsupported vertex declaration";
    return false;
}

std::string glslFixedVertexShader() {
    std::ostringstream out;
    out << "#version 120\n" << kVaryings << kVertexPost
        << "attribute vec4 aPos;\nattribute vec4 aDiffuse;\nattribute vec4 aSpecular;\n"
           "attribute vec4 aTex0;\nattribute vec4 aTex1;\nattribute vec4 aTex2;\nattribute vec4 aTex3;\n"
           "uniform mat4 uTransform;\n"
           "void main() {\n"
           "  gl_Position = qvPost(uTransform * vec4(aPos.xyz, 1.0));\n"
           "  vColor0 = aDiffuse.zyxw;\n"  // bytes are blue, green, red, alpha
           "  vColor1 = aSpecular.zyxw;\n"
           "  vTex0 = aTex0;\n  vTex1 = aTex1;\n  vTex2 = aTex2;\n  vTex3 = aTex3;\n"
           "}\n";
    return out.str();
}

uint64_t FixedPixelKey::packed() const {
    const uint32_t f[8] = {diffuseWhite, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, alphaFunc};
    uint64_t k = 0;
    for (uint32_t v : f) k = (k << 8) | (v & 0xFF);
    return k;
}

namespace {

// The diffuse colour: a constant when every vertex of the draw is white,
// so the multiplication goes away.
std::string diffuse(bool white) { return white ? "vec4(1.0)" : "vColor0"; }

std::string fixedArg(uint32_t a, bool white) {
    std::string v;
    switch (a & 0xF) {
        case TA_TEXTURE: v = "tex"; break;
        case TA_TFACTOR: v = "uTFactor"; break;
        case 4: v = "vColor1"; break;    // specular
        default: v = diffuse(white); break;  // diffuse; current is diffuse at stage 0
    }
    if (a & TA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
    if (a & TA_ALPHAREPLICATE) v = "vec4(" + v + ".a)";
    return v;
}

// A stage operation; `bounded` tells whether the result stays within 0..1
// (every argument does), so it needs no clamp.
std::string fixedOp(uint32_t op, uint32_t arg1, uint32_t arg2, bool white, bool* bounded) {
    const std::string a = fixedArg(arg1, white), b = fixedArg(arg2, white);
    *bounded = true;
    switch (op) {
        case TOP_SELECTARG1: return a;
        case TOP_SELECTARG2: return b;
        case TOP_MODULATE:
            if (a == "vec4(1.0)") return b;
            if (b == "vec4(1.0)") return a;
            return a + " * " + b;
        case TOP_DISABLE: return diffuse(white);  // the diffuse colour passes
        default: break;
    }
    *bounded = false;
    switch (op) {
        case TOP_MODULATE2X: return a + " * " + b + " * 2.0";
        case TOP_MODULATE4X: return a + " * " + b + " * 4.0";
        case TOP_ADD: return a + " + " + b;
        case TOP_ADDSIGNED: return a + " + " + b + " - 0.5";
        case TOP_SUBTRACT: return a + " - " + b;
        default: *bounded = true; return diffuse(white);
    }
}

std::string clamped(const std::string& e, bool bounded) {
    return bounded ? "(" + e + ")" : "clamp(" + e + ", 0.0, 1.0)";
}

bool usesTexture(uint32_t op, uint32_t arg1, uint32_t arg2) {
    const bool first = op != TOP_SELECTARG2 && op >= TOP_SELECTARG1 && (arg1 & 0xF) == TA_TEXTURE;
    const bool second = op != TOP_SELECTARG1 && op >= TOP_SELECTARG2 && (arg2 & 0xF) == TA_TEXTURE;
    return first || second;
}

}  // namespace

std::string glslFixedPixelShader(const FixedPixelKey& k) {
    static const char* tests[] = {"true", "false", "a < uAlphaRef", "a == uAlphaRef", "a <= uAlphaRef",
                                  "a > uAlphaRef", "a != uAlphaRef", "a >= uAlphaRef", "true"};
    const uint32_t func = (k.alphaFunc >= 1 && k.alphaFunc <= 8) ? k.alphaFunc : CMP_ALWAYS;
    std::ostringstream out;
    out << "#version 120\n" << kVaryings << "uniform sampler2D s0;\nuniform vec4 uTFactor;\nuniform float uAlphaRef;\n"
        << "void main() {\n";
    if (usesTexture(k.colorOp, k.colorArg1, k.colorArg2) || usesTexture(k.alphaOp, k.alphaArg1, k.alphaArg2))
        out << "  vec4 tex = texture2D(s0, vTex0.xy);\n";
    const bool white = k.diffuseWhite != 0;
    bool colorBounded = true, alphaBounded = true;
    const std::string color = fixedOp(k.colorOp, k.colorArg1, k.colorArg2, white, &colorBounded);
    const std::string alpha = fixedOp(k.alphaOp, k.alphaArg1, k.alphaArg2, white, &alphaBounded);
    if (func != CMP_ALWAYS) {
        out << "  float alpha = " << clamped(alpha, alphaBounded) << ".a;\n"
            << "  float a = floor(alpha * 255.0 + 0.5);\n  if (!(" << tests[func] << ")) discard;\n"
            << "  gl_FragColor = vec4(" << clamped(color, colorBounded) << ".rgb, alpha);\n}\n";
    } else if (color == alpha) {
        out << "  gl_FragColor = " << clamped(color, colorBounded) << ";\n}\n";
    } else {
        out << "  gl_FragColor = vec4(" << clamped(color, colorBounded) << ".rgb, " << clamped(alpha, alphaBounded)
            << ".a);\n}\n";
    }
    return out.str();
}

namespace {

// The translated instructions of a program of the kind asked for; false,
// with `error` set, when it is of the other kind or does not translate.
bool translatedBody(const ShaderCode& code, bool pixel, std::string* error, std::ostringstream& body) {
    if (code.pixel != pixel) {
        if (error) *error = pixel ? "not a pixel shader" : "not a vertex shader";
        return false;
    }
    Translator t(code, error);
    t.body(body);
    return t.ok();
}

}  // namespace

std::string glslPixelShader(const ShaderCode& code, std::string* error) {
    std::ostringstream body;
    if (!translatedBody(code, true, error, body)) return std::string();
    std::ostringstream out;
    out << "#version 120\n" << kVaryings << kPixelOut << kSamplers << "uniform vec4 psC[8];\n"
        << "void main() {\n"
           "  vec4 r0 = vec4(0.0), r1 = vec4(0.0), r2 = vec4(0.0), r3 = vec4(0.0), r4 = vec4(0.0), r5 = vec4(0.0);\n";
    if (code.minor < 4) out << "  vec4 t0 = vec4(0.0), t1 = vec4(0.0), t2 = vec4(0.0), t3 = vec4(0.0);\n";
    out << body.str() << "  qvOut(r0);\n}\n";
    return out.str();
}

std::string glslVertexShader(const ShaderCode& code, const std::vector<VertexInput>& inputs, std::string* error) {
    std::ostringstream body;
    if (!translatedBody(code, false, error, body)) return std::string();
    std::ostringstream out;
    out << "#version 120\n" << kVaryings << kVertexPost << "uniform vec4 vsC[96];\n";
    for (const VertexInput& in : inputs) out << "attribute vec4 a" << in.reg << ";\n";
    out << "void main() {\n";
    for (int r = 0; r < 16; ++r) {
        const VertexInput* found = nullptr;
        for (const VertexInput& in : inputs)
            if (int(in.reg) == r) found = &in;
        if (!found) out << "  vec4 v" << r << " = vec4(0.0, 0.0, 0.0, 1.0);\n";
        else if (found->type == VSDT_D3DCOLOR) out << "  vec4 v" << r << " = a" << r << ".zyxw;\n";
        else out << "  vec4 v" << r << " = a" << r << ";\n";
    }
    out << "  vec4 r0 = vec4(0.0), r1 = vec4(0.0), r2 = vec4(0.0), r3 = vec4(0.0), r4 = vec4(0.0), r5 = vec4(0.0);\n"
           "  vec4 r6 = vec4(0.0), r7 = vec4(0.0), r8 = vec4(0.0), r9 = vec4(0.0), r10 = vec4(0.0), r11 = vec4(0.0);\n"
           "  vec4 a0 = vec4(0.0), oPos = vec4(0.0, 0.0, 0.0, 1.0), oFog = vec4(0.0), oPts = vec4(0.0);\n"
           "  vec4 oD0 = vec4(1.0), oD1 = vec4(0.0);\n"
           "  vTex0 = vec4(0.0, 0.0, 0.0, 1.0); vTex1 = vTex0; vTex2 = vTex0; vTex3 = vTex0;\n"
        << body.str()
        << "  vColor0 = clamp(oD0, 0.0, 1.0);\n  vColor1 = clamp(oD1, 0.0, 1.0);\n"
           "  gl_Position = qvPost(oPos);\n}\n";
    return out.str();
}

}  // namespace QV::Gfx
