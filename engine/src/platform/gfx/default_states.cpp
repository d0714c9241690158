#include "platform/gfx/default_states.h"

#include <cstring>

namespace QV::Gfx {

void setDefaultStates(bool autoDepthStencil, uint32_t renderStates[RS_COUNT],
                      uint32_t stageStates[MAX_STAGES][TSS_COUNT]) {
    std::memset(renderStates, 0, sizeof(uint32_t) * RS_COUNT);
    std::memset(stageStates, 0, sizeof(uint32_t) * MAX_STAGES * TSS_COUNT);
    uint32_t* rs = renderStates;
    rs[RS_ZENABLE] = autoDepthStencil ? 1 : 0;
    rs[RS_FILLMODE] = FILL_SOLID;
    rs[RS_SHADEMODE] = 2;  // Gouraud
    rs[RS_ZWRITEENABLE] = 1;
    rs[RS_SRCBLEND] = BLEND_ONE;
    rs[RS_DESTBLEND] = BLEND_ZERO;
    rs[RS_CULLMODE] = CULL_CCW;
    rs[RS_ZFUNC] = CMP_LESSEQUAL;
    rs[RS_ALPHAFUNC] = CMP_ALWAYS;
    rs[RS_LIGHTING] = 1;
    rs[RS_STENCILFAIL] = rs[RS_STENCILZFAIL] = rs[RS_STENCILPASS] = STENCILOP_KEEP;
    rs[RS_STENCILFUNC] = CMP_ALWAYS;
    rs[RS_STENCILMASK] = rs[RS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[RS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[RS_COLORWRITEENABLE] = 0xF;
    for (uint32_t s = 0; s < MAX_STAGES; ++s) {
        uint32_t* st = stageStates[s];
        st[TSS_COLOROP] = s == 0 ? TOP_MODULATE : TOP_DISABLE;
        st[TSS_ALPHAOP] = s == 0 ? TOP_SELECTARG1 : TOP_DISABLE;
        st[TSS_COLORARG1] = st[TSS_ALPHAARG1] = TA_TEXTURE;
        st[TSS_COLORARG2] = st[TSS_ALPHAARG2] = TA_CURRENT;
        st[TSS_TEXCOORDINDEX] = s;
        st[TSS_ADDRESSU] = st[TSS_ADDRESSV] = st[TSS_ADDRESSW] = TADDRESS_WRAP;
        st[TSS_MAGFILTER] = st[TSS_MINFILTER] = TEXF_POINT;
        st[TSS_MIPFILTER] = TEXF_NONE;
    }
}

}  // namespace QV::Gfx
