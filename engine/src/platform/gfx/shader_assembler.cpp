#include "platform/gfx/shader_assembler.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace QV::Gfx {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> splitOperands(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    int depth = 0;
    for (char c : s) {
        if (c == '[') ++depth;
        if (c == ']') --depth;
        if (c == ',' && depth == 0) {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!trim(cur).empty() || !out.empty()) out.push_back(trim(cur));
    return out;
}

struct OpInfo {
    int sources;
    bool pixel;
    bool vertex;
    bool dest;
};

const std::map<std::string, OpInfo>& opTable() {
    static const std::map<std::string, OpInfo> table = {
        {"nop", {0, true, true, false}},  {"phase", {0, true, false, false}},
        {"tex", {0, true, false, true}},  {"texcoord", {0, true, false, true}},
        {"texld", {1, true, false, true}}, {"texcrd", {1, true, false, true}},
        {"mov", {1, true, true, true}},   {"add", {2, true, true, true}},
        {"sub", {2, true, true, true}},   {"mul", {2, true, true, true}},
        {"mad", {3, true, true, true}},   {"lrp", {3, true, false, true}},
        {"dp3", {2, true, true, true}},   {"dp4", {2, true, true, true}},
        {"cnd", {3, true, false, true}},  {"cmp", {3, true, false, true}},
        {"min", {2, false, true, true}},  {"max", {2, false, true, true}},
        {"slt", {2, false, true, true}},  {"sge", {2, false, true, true}},
        {"rcp", {1, false, true, true}},  {"rsq", {1, false, true, true}},
        {"m4x4", {2, false, true, true}}, {"m4x3", {2, false, true, true}},
        {"m3x4", {2, false, true, true}}, {"m3x3", {2, false, true, true}},
        {"m3x2", {2, false, true, true}},
    };
    return table;
}

class Parser {
public:
    Parser(ShaderCode* code, std::string* errors) : mCode(code), mErrors(errors) {}

    bool run(const std::string& text) {
        std::istringstream in(text);
        std::string raw;
        int lineNo = 0;
        bool haveVersion = false;
        while (std::getline(in, raw)) {
            ++lineNo;
            mLine = lineNo;
            std::string line = raw;
            size_t cut = std::min(line.find(';'), line.find("//"));
            if (cut != std::string::npos) line.erase(cut);
            line = trim(line);
            if (line.empty()) continue;
            if (!haveVersion) {
                haveVersion = parseVersion(lower(line));
                if (!haveVersion) return false;
                continue;
            }
            parseInstruction(line);
        }
        if (!haveVersion) fail("no shader version");
        return mOk;
    }

private:
    void fail(const std::string& what) {
        mOk = false;
        if (mErrors) {
            if (!mErrors->empty()) *mErrors += "\n";
            *mErrors += "line " + std::to_string(mLine) + ": " + what;
        }
    }

    bool parseVersion(const std::string& v) {
        if (v == "ps.1.1" || v == "ps.1.2" || v == "ps.1.3" || v == "ps.1.4") {
            mCode->pixel = true;
            mCode->major = 1;
            mCode->minor = v[5] - '0';
            return true;
        }
        if (v == "vs.1.1" || v == "vs.1.0") {
            mCode->pixel = false;
            mCode->major = 1;
            mCode->minor = v[5] - '0';
            return true;
        }
        fail("unsupported shader version '" + v + "'");
        return false;
    }

    // "c12" -> type and index; false when unknown for this shader kind.
    bool parseRegister(const std::string& text, RegisterType* type, int* index) {
        std::string s = lower(text);
        std::string name;
        size_t i = 0;
        while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) name += s[i++];
        std::string digits = s.substr(i);
        for (char c : digits)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        int n = digits.empty() ? 0 : std::atoi(digits.c_str());
        if (digits.size() > 3) return false;
        const bool ps = mCode->pixel;
        struct Kind {
            const char* name;
            RegisterType type;
            int psMax, vsMax;  // -1: not available
            bool needsIndex;
        } kinds[] = {
            {"r", RegisterType::Temp, 5, 11, true},      {"c", RegisterType::Const, 7, 95, true},
            {"t", RegisterType::Texture, 7, -1, true},   {"v", RegisterType::Input, 1, 15, true},
            {"a", RegisterType::Address, -1, 0, true},   {"opos", RegisterType::OutPos, -1, 0, false},
            {"od", RegisterType::OutColor, -1, 1, true}, {"ot", RegisterType::OutTex, -1, 7, true},
            {"ofog", RegisterType::OutFog, -1, 0, false}, {"opts", RegisterType::OutPts, -1, 0, false},
        };
        for (const Kind& k : kinds) {
            if (name != k.name) continue;
            int max = ps ? k.psMax : k.vsMax;
            if (max < 0 || (k.needsIndex && digits.empty()) || (!k.needsIndex && !digits.empty()) || n > max)
                return false;
            *type = k.type;
            *index = n;
            return true;
        }
        return false;
    }

    static int component(char c) {
        switch (c) {
            case 'x': case 'r': return 0;
            case 'y': case 'g': return 1;
            case 'z': case 'b': return 2;
            case 'w': case 'a': return 3;
            default: return -1;
        }
    }

    bool parseDest(const std::string& text, ShaderDest* d) {
        std::string reg = text, mask;
        size_t dot = text.find('.');
        if (dot != std::string::npos) {
            reg = text.substr(0, dot);
            mask = lower(text.substr(dot + 1));
        }
        if (!parseRegister(trim(reg), &d->type, &d->index)) {
            fail("bad destination register '" + text + "'");
            return false;
        }
        const bool writable = mCode->pixel ? (d->type == RegisterType::Temp || d->type == RegisterType::Texture)
                                           : (d->type == RegisterType::Temp || d->type >= RegisterType::Address);
        if (!writable) {
            fail("register '" + text + "' cannot be written");
            return false;
        }
        if (!mask.empty()) {
            d->writeMask = 0;
            int last = -1;
            for (char c : mask) {
                int comp = component(c);
                if (comp < 0 || comp <= last) {
                    fail("bad write mask '" + mask + "'");
                    return false;
                }
                last = comp;
                d->writeMask |= uint8_t(1 << comp);
            }
        }
        return true;
    }

    bool parseSource(const std::string& input, ShaderSource* s) {
        std::string text = trim(input);
        if (!text.empty() && text[0] == '-') {
            s->negate = true;
            text = trim(text.substr(1));
        }
        if (text.size() > 2 && text[0] == '1' && text[1] == '-') {
            s->modifier = SourceModifier::Complement;
            text = trim(text.substr(2));
        }
        std::string swizzle;
        size_t bracket = text.find('[');
        size_t dot = text.find('.', bracket == std::string::npos ? 0 : text.find(']'));
        if (dot != std::string::npos) {
            swizzle = lower(text.substr(dot + 1));
            text = text.substr(0, dot);
        }
        std::string mod;
        size_t closing = text.find(']');
        size_t under = text.find('_', closing == std::string::npos ? 0 : closing);
        if (under != std::string::npos) {
            mod = lower(text.substr(under));
            text = text.substr(0, under);
        }
        bracket = text.find('[');
        if (!mod.empty()) {
            if (s->modifier != SourceModifier::None) {
                fail("two source modifiers in '" + input + "'");
                return false;
            }
            if (mod == "_bias") s->modifier = SourceModifier::Bias;
            else if (mod == "_bx2") s->modifier = SourceModifier::Bx2;
            else if (mod == "_x2") s->modifier = SourceModifier::X2;
            else if (mod == "_dz" || mod == "_db") s->modifier = SourceModifier::Dz;
            else if (mod == "_dw" || mod == "_da") s->modifier = SourceModifier::Dw;
            else {
                fail("unknown source modifier '" + mod + "'");
                return false;
            }
        }
        if (bracket != std::string::npos) {
            // c[a0.x + n] in vertex shaders
            size_t close = text.find(']');
            std::string inside = lower(trim(text.substr(bracket + 1, close == std::string::npos ? 0 : close - bracket - 1)));
            if (mCode->pixel || lower(trim(text.substr(0, bracket))) != "c" || close == std::string::npos ||
                inside.compare(0, 4, "a0.x") != 0) {
                fail("bad relative address '" + input + "'");
                return false;
            }
            std::string rest = trim(inside.substr(4));
            int offset = 0;
            if (!rest.empty()) {
                if (rest[0] != '+') {
                    fail("bad relative address '" + input + "'");
                    return false;
                }
                offset = std::atoi(trim(rest.substr(1)).c_str());
            }
            s->type = RegisterType::Const;
            s->index = offset;
            s->relative = true;
        } else if (!parseRegister(trim(text), &s->type, &s->index)) {
            fail("bad source register '" + input + "'");
            return false;
        }
        if (s->type >= RegisterType::Address && !(s->type == RegisterType::Address)) {
            fail("register '" + input + "' cannot be read");
            return false;
        }
        if (!swizzle.empty()) {
            if (swizzle.size() > 4) {
                fail("bad swizzle '" + swizzle + "'");
                return false;
            }
            for (size_t i = 0; i < 4; ++i) {
                int comp = component(swizzle[std::min(i, swizzle.size() - 1)]);
                if (comp < 0) {
                    fail("bad swizzle '" + swizzle + "'");
                    return false;
                }
                s->swizzle[i] = uint8_t(comp);
            }
        }
        return true;
    }

    static bool parseFloat(const std::string& text, float* out) {
        std::string t = trim(text);
        if (!t.empty() && (t.back() == 'f' || t.back() == 'F')) t.pop_back();
        if (t.empty()) return false;
        char* end = nullptr;
        *out = std::strtof(t.c_str(), &end);
        return end && *end == '\0';
    }

    void parseInstruction(const std::string& line) {
        ShaderInstruction ins;
        ins.line = mLine;
        std::string rest = line;
        if (rest[0] == '+') {
            ins.coissue = true;
            rest = trim(rest.substr(1));
        }
        size_t space = rest.find_first_of(" \t");
        std::string opText = lower(space == std::string::npos ? rest : rest.substr(0, space));
        std::string operands = space == std::string::npos ? std::string() : trim(rest.substr(space));
        std::string op = opText.substr(0, opText.find('_'));
        std::string mods = opText.size() > op.size() ? opText.substr(op.size()) : std::string();

        if (op == "def") {
            std::vector<std::string> parts = splitOperands(operands);
            ShaderConstant c;
            RegisterType type;
            bool ok = parts.size() == 5 && parseRegister(parts[0], &type, &c.index) && type == RegisterType::Const;
            for (size_t i = 1; ok && i < 5; ++i) ok = parseFloat(parts[i], &c.value[i - 1]);
            if (!ok) return fail("bad constant definition '" + line + "'");
            mCode->constants.push_back(c);
            return;
        }
        auto it = opTable().find(op);
        if (it == opTable().end()) return fail("unknown instruction '" + op + "'");
        const OpInfo& info = it->second;
        if ((mCode->pixel && !info.pixel) || (!mCode->pixel && !info.vertex))
            return fail("instruction '" + op + "' not allowed in this shader kind");
        const bool ps14 = mCode->pixel && mCode->minor == 4;
        if ((op == "texld" || op == "texcrd" || op == "phase") && !ps14)
            return fail("instruction '" + op + "' needs ps.1.4");
        if ((op == "tex" || op == "texcoord") && ps14) return fail("instruction '" + op + "' not in ps.1.4");
        if (op == "phase") {
            if (mPhase) return fail("second phase");
            mPhase = true;
        }
        ins.opcode = op;

        // Instruction modifiers.
        for (size_t pos = 0; pos < mods.size();) {
            size_t next = mods.find('_', pos + 1);
            std::string m = mods.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
            if (m == "_sat") ins.saturate = true;
            else if (m == "_x2") ins.shift = 1;
            else if (m == "_x4") ins.shift = 2;
            else if (m == "_x8") ins.shift = 3;
            else if (m == "_d2") ins.shift = -1;
            else if (m == "_d4") ins.shift = -2;
            else if (m == "_d8") ins.shift = -3;
            else return fail("unknown instruction modifier '" + m + "'");
            if (!mCode->pixel) return fail("instruction modifiers need a pixel shader");
            pos = next == std::string::npos ? mods.size() : next;
        }

        std::vector<std::string> parts = splitOperands(operands);
        const size_t expected = size_t(info.sources) + (info.dest ? 1 : 0);
        if (parts.size() != expected)
            return fail("'" + op + "' takes " + std::to_string(expected) + " operand(s)");
        size_t p = 0;
        if (info.dest && !parseDest(parts[p++], &ins.dest)) return;
        if ((op == "tex" || op == "texcoord") && ins.dest.type != RegisterType::Texture)
            return fail("'" + op + "' writes a t register");
        if ((op == "texld" || op == "texcrd") && ins.dest.type != RegisterType::Temp)
            return fail("'" + op + "' writes an r register");
        for (; p < parts.size(); ++p) {
            ShaderSource s;
            if (!parseSource(parts[p], &s)) return;
            ins.sources.push_back(s);
        }
        if (op == "texld" || op == "texcrd") {
            const ShaderSource& s = ins.sources[0];
            if (s.type != RegisterType::Texture && !(op == "texld" && s.type == RegisterType::Temp && mPhase))
                return fail("bad coordinate source for '" + op + "'");
        }
        mCode->instructions.push_back(ins);
    }

    ShaderCode* mCode;
    std::string* mErrors;
    int mLine = 0;
    bool mOk = true;
    bool mPhase = false;
};

}  // namespace

bool assembleShader(const char* text, size_t length, ShaderCode* code, std::string* errors) {
    if (errors) errors->clear();
    if (!code) return false;
    *code = ShaderCode();
    if (!text) {
        if (errors) *errors = "no shader text";
        return false;
    }
    std::string source(text, strnlen(text, length));
    code->source = source;
    Parser parser(code, errors);
    return parser.run(source);
}

}  // namespace QV::Gfx
