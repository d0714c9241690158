#pragma once

// Numeric codes and records of the graphics device layer. The values are
// those of the Direct3D 8 interface the renderer was designed against, so
// logged codes and recorded call sequences read the same.

#include <cstdint>
#include <vector>

namespace QV::Gfx {

using Result = int32_t;

constexpr Result OK = 0;
constexpr Result ERR_DEVICELOST = int32_t(0x88760868u);
constexpr Result ERR_DEVICENOTRESET = int32_t(0x88760869u);
constexpr Result ERR_NOTAVAILABLE = int32_t(0x8876086Au);
constexpr Result ERR_INVALIDCALL = int32_t(0x8876086Cu);
constexpr Result ERR_OUTOFVIDEOMEMORY = int32_t(0x8876017Cu);
constexpr Result ERR_WRONGTEXTUREFORMAT = int32_t(0x88760818u);
constexpr Result E_OUTOFMEMORY = int32_t(0x8007000Eu);
constexpr Result E_FAIL = int32_t(0x80004005u);

inline bool failed(Result r) { return r < 0; }
inline bool succeeded(Result r) { return r >= 0; }

constexpr uint32_t SDK_VERSION = 220;

// Formats.
constexpr uint32_t FMT_UNKNOWN = 0;
constexpr uint32_t FMT_R8G8B8 = 20;
constexpr uint32_t FMT_A8R8G8B8 = 21;
constexpr uint32_t FMT_X8R8G8B8 = 22;
constexpr uint32_t FMT_R5G6B5 = 23;
constexpr uint32_t FMT_L8 = 50;
constexpr uint32_t FMT_A8L8 = 51;
constexpr uint32_t FMT_D32 = 71;
constexpr uint32_t FMT_D24S8 = 75;
constexpr uint32_t FMT_D24X8 = 77;
constexpr uint32_t FMT_D16 = 80;
constexpr uint32_t FMT_VERTEXDATA = 100;
constexpr uint32_t FMT_INDEX16 = 101;
constexpr uint32_t FMT_INDEX32 = 102;
constexpr uint32_t FMT_DXT1 = 0x31545844;  // "DXT1"
constexpr uint32_t FMT_DXT3 = 0x33545844;
constexpr uint32_t FMT_DXT5 = 0x35545844;

// Device types and creation flags.
constexpr uint32_t DEVTYPE_HAL = 1;
constexpr uint32_t DEVTYPE_REF = 2;
constexpr uint32_t CREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t CREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr uint32_t CREATE_MIXED_VERTEXPROCESSING = 0x80;

// Resource types.
constexpr uint32_t RTYPE_SURFACE = 1;
constexpr uint32_t RTYPE_TEXTURE = 3;
constexpr uint32_t RTYPE_VERTEXBUFFER = 6;
constexpr uint32_t RTYPE_INDEXBUFFER = 7;

// Pools, usage and lock flags.
constexpr uint32_t POOL_DEFAULT = 0;
constexpr uint32_t POOL_MANAGED = 1;
constexpr uint32_t POOL_SYSTEMMEM = 2;
constexpr uint32_t USAGE_RENDERTARGET = 0x1;
constexpr uint32_t USAGE_DEPTHSTENCIL = 0x2;
constexpr uint32_t USAGE_WRITEONLY = 0x8;
constexpr uint32_t USAGE_SOFTWAREPROCESSING = 0x10;
constexpr uint32_t USAGE_DYNAMIC = 0x200;
constexpr uint32_t LOCK_READONLY = 0x10;
constexpr uint32_t LOCK_NOSYSLOCK = 0x800;
constexpr uint32_t LOCK_NOOVERWRITE = 0x1000;
constexpr uint32_t LOCK_DISCARD = 0x2000;

// Swap effects and multisampling.
constexpr uint32_t SWAPEFFECT_DISCARD = 1;
constexpr uint32_t SWAPEFFECT_FLIP = 2;
constexpr uint32_t SWAPEFFECT_COPY = 3;
constexpr uint32_t MULTISAMPLE_NONE = 0;

// Clear flags.
constexpr uint32_t CLEAR_TARGET = 1;
constexpr uint32_t CLEAR_ZBUFFER = 2;
constexpr uint32_t CLEAR_STENCIL = 4;

// Transform states.
constexpr uint32_t TS_VIEW = 2;
constexpr uint32_t TS_PROJECTION = 3;
constexpr uint32_t TS_WORLD = 256;

// Primitive types.
constexpr uint32_t PT_POINTLIST = 1;
constexpr uint32_t PT_LINELIST = 2;
constexpr uint32_t PT_LINESTRIP = 3;
constexpr uint32_t PT_TRIANGLELIST = 4;
constexpr uint32_t PT_TRIANGLESTRIP = 5;
constexpr uint32_t PT_TRIANGLEFAN = 6;

// Render states.
constexpr uint32_t RS_ZENABLE = 7;
constexpr uint32_t RS_FILLMODE = 8;
constexpr uint32_t RS_SHADEMODE = 9;
constexpr uint32_t RS_ZWRITEENABLE = 14;
constexpr uint32_t RS_ALPHATESTENABLE = 15;
constexpr uint32_t RS_SRCBLEND = 19;
constexpr uint32_t RS_DESTBLEND = 20;
constexpr uint32_t RS_CULLMODE = 22;
constexpr uint32_t RS_ZFUNC = 23;
constexpr uint32_t RS_ALPHAREF = 24;
constexpr uint32_t RS_ALPHAFUNC = 25;
constexpr uint32_t RS_DITHERENABLE = 26;
constexpr uint32_t RS_ALPHABLENDENABLE = 27;
constexpr uint32_t RS_FOGENABLE = 28;
constexpr uint32_t RS_STENCILENABLE = 52;
constexpr uint32_t RS_STENCILFAIL = 53;
constexpr uint32_t RS_STENCILZFAIL = 54;
constexpr uint32_t RS_STENCILPASS = 55;
constexpr uint32_t RS_STENCILFUNC = 56;
constexpr uint32_t RS_STENCILREF = 57;
constexpr uint32_t RS_STENCILMASK = 58;
constexpr uint32_t RS_STENCILWRITEMASK = 59;
constexpr uint32_t RS_TEXTUREFACTOR = 60;
constexpr uint32_t RS_LIGHTING = 137;
constexpr uint32_t RS_COLORWRITEENABLE = 168;
constexpr uint32_t RS_COUNT = 256;  // size of a render-state table

constexpr uint32_t FILL_POINT = 1;
constexpr uint32_t FILL_WIREFRAME = 2;
constexpr uint32_t FILL_SOLID = 3;
constexpr uint32_t CULL_NONE = 1;
constexpr uint32_t CULL_CW = 2;
constexpr uint32_t CULL_CCW = 3;

constexpr uint32_t BLEND_ZERO = 1;
constexpr uint32_t BLEND_ONE = 2;
constexpr uint32_t BLEND_SRCCOLOR = 3;
constexpr uint32_t BLEND_INVSRCCOLOR = 4;
constexpr uint32_t BLEND_SRCALPHA = 5;
constexpr uint32_t BLEND_INVSRCALPHA = 6;
constexpr uint32_t BLEND_DESTALPHA = 7;
constexpr uint32_t BLEND_INVDESTALPHA = 8;
constexpr uint32_t BLEND_DESTCOLOR = 9;
constexpr uint32_t BLEND_INVDESTCOLOR = 10;
constexpr uint32_t BLEND_SRCALPHASAT = 11;

constexpr uint32_t CMP_NEVER = 1;
constexpr uint32_t CMP_LESS = 2;
constexpr uint32_t CMP_EQUAL = 3;
constexpr uint32_t CMP_LESSEQUAL = 4;
constexpr uint32_t CMP_GREATER = 5;
constexpr uint32_t CMP_NOTEQUAL = 6;
constexpr uint32_t CMP_GREATEREQUAL = 7;
constexpr uint32_t CMP_ALWAYS = 8;

constexpr uint32_t STENCILOP_KEEP = 1;
constexpr uint32_t STENCILOP_ZERO = 2;
constexpr uint32_t STENCILOP_REPLACE = 3;
constexpr uint32_t STENCILOP_INCRSAT = 4;
constexpr uint32_t STENCILOP_DECRSAT = 5;
constexpr uint32_t STENCILOP_INVERT = 6;
constexpr uint32_t STENCILOP_INCR = 7;
constexpr uint32_t STENCILOP_DECR = 8;

constexpr uint32_t COLORWRITE_RED = 1;
constexpr uint32_t COLORWRITE_GREEN = 2;
constexpr uint32_t COLORWRITE_BLUE = 4;
constexpr uint32_t COLORWRITE_ALPHA = 8;

// Texture stage states and their values.
constexpr uint32_t MAX_STAGES = 8;
constexpr uint32_t TSS_COLOROP = 1;
constexpr uint32_t TSS_COLORARG1 = 2;
constexpr uint32_t TSS_COLORARG2 = 3;
constexpr uint32_t TSS_ALPHAOP = 4;
constexpr uint32_t TSS_ALPHAARG1 = 5;
constexpr uint32_t TSS_ALPHAARG2 = 6;
constexpr uint32_t TSS_TEXCOORDINDEX = 11;
constexpr uint32_t TSS_ADDRESSU = 13;
constexpr uint32_t TSS_ADDRESSV = 14;
constexpr uint32_t TSS_BORDERCOLOR = 15;
constexpr uint32_t TSS_MAGFILTER = 16;
constexpr uint32_t TSS_MINFILTER = 17;
constexpr uint32_t TSS_MIPFILTER = 18;
constexpr uint32_t TSS_ADDRESSW = 25;
constexpr uint32_t TSS_COUNT = 32;

constexpr uint32_t TOP_DISABLE = 1;
constexpr uint32_t TOP_SELECTARG1 = 2;
constexpr uint32_t TOP_SELECTARG2 = 3;
constexpr uint32_t TOP_MODULATE = 4;
constexpr uint32_t TOP_MODULATE2X = 5;
constexpr uint32_t TOP_MODULATE4X = 6;
constexpr uint32_t TOP_ADD = 7;
constexpr uint32_t TOP_ADDSIGNED = 8;
constexpr uint32_t TOP_SUBTRACT = 10;

constexpr uint32_t TA_DIFFUSE = 0;
constexpr uint32_t TA_CURRENT = 1;
constexpr uint32_t TA_TEXTURE = 2;
constexpr uint32_t TA_TFACTOR = 3;
constexpr uint32_t TA_COMPLEMENT = 0x10;
constexpr uint32_t TA_ALPHAREPLICATE = 0x20;

constexpr uint32_t TEXF_NONE = 0;
constexpr uint32_t TEXF_POINT = 1;
constexpr uint32_t TEXF_LINEAR = 2;
constexpr uint32_t TADDRESS_WRAP = 1;
constexpr uint32_t TADDRESS_MIRROR = 2;
constexpr uint32_t TADDRESS_CLAMP = 3;

// Flexible vertex format bits.
constexpr uint32_t FVF_XYZ = 0x002;
constexpr uint32_t FVF_NORMAL = 0x010;
constexpr uint32_t FVF_DIFFUSE = 0x040;
constexpr uint32_t FVF_SPECULAR = 0x080;
constexpr uint32_t FVF_TEXCOUNT_MASK = 0xF00;
constexpr uint32_t FVF_TEXCOUNT_SHIFT = 8;
constexpr uint32_t FVF_TEX1 = 0x100;

// Vertex shader declaration tokens.
constexpr uint32_t VSDT_FLOAT1 = 0;
constexpr uint32_t VSDT_FLOAT2 = 1;
constexpr uint32_t VSDT_FLOAT3 = 2;
constexpr uint32_t VSDT_FLOAT4 = 3;
constexpr uint32_t VSDT_D3DCOLOR = 4;
constexpr uint32_t VSD_END = 0xFFFFFFFF;
constexpr uint32_t vsdStream(uint32_t stream) { return 0x20000000u | stream; }
constexpr uint32_t vsdReg(uint32_t reg, uint32_t type) { return 0x40000000u | (type << 16) | reg; }

// Shader versions as the capabilities report them.
constexpr uint32_t psVersion(uint32_t major, uint32_t minor) { return 0xFFFF0000u | (major << 8) | minor; }
constexpr uint32_t vsVersion(uint32_t major, uint32_t minor) { return 0xFFFE0000u | (major << 8) | minor; }

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t refreshRate = 0;
    uint32_t format = FMT_UNKNOWN;
};

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    uint32_t backBufferFormat = FMT_UNKNOWN;
    uint32_t backBufferCount = 0;
    uint32_t multiSampleType = MULTISAMPLE_NONE;
    uint32_t swapEffect = 0;
    void* deviceWindow = nullptr;  // the platform window (an SDL_Window*)
    bool windowed = false;
    bool enableAutoDepthStencil = false;
    uint32_t autoDepthStencilFormat = FMT_UNKNOWN;
    uint32_t flags = 0;
    uint32_t fullScreenRefreshRate = 0;
    uint32_t presentationInterval = 0;
};

struct Caps {
    uint32_t deviceType = DEVTYPE_HAL;
    uint32_t maxTextureWidth = 0;
    uint32_t maxTextureHeight = 0;
    uint32_t maxSimultaneousTextures = 0;
    uint32_t vertexShaderVersion = 0;
    uint32_t maxVertexShaderConst = 0;
    uint32_t pixelShaderVersion = 0;
};

struct Viewport {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct SurfaceDesc {
    uint32_t format = FMT_UNKNOWN;
    uint32_t type = RTYPE_SURFACE;
    uint32_t usage = 0;
    uint32_t pool = POOL_DEFAULT;
    uint32_t size = 0;
    uint32_t multiSampleType = MULTISAMPLE_NONE;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct LockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
};

struct BufferDesc {
    uint32_t format = FMT_UNKNOWN;
    uint32_t type = 0;
    uint32_t usage = 0;
    uint32_t pool = POOL_DEFAULT;
    uint32_t size = 0;
    uint32_t fvf = 0;
};

// Bytes per pixel of an uncompressed format, 0 for block and unknown formats.
uint32_t bytesPerPixel(uint32_t format);
bool isDepthFormat(uint32_t format);
// Bytes of one row as a lock reports it (a row of 4x4 blocks for DXT).
uint32_t rowPitch(uint32_t format, uint32_t width);
// Bytes of a whole level of w x h.
uint32_t levelSize(uint32_t format, uint32_t width, uint32_t height);
// Stride of a vertex in a flexible vertex format (2D texture coordinates).
uint32_t fvfStride(uint32_t fvf);
// A w x h surface of one format, its size in bytes filled in.
SurfaceDesc surfaceDesc(uint32_t w, uint32_t h, uint32_t format, uint32_t usage, uint32_t pool = POOL_DEFAULT);
// The levels of a w x h texture, each half the last (at least 1 x 1);
// `levels` 0 means down to 1 x 1.
std::vector<SurfaceDesc> textureLevelDescs(uint32_t w, uint32_t h, uint32_t levels, uint32_t usage, uint32_t format,
                                           uint32_t pool);
// A vertex (RTYPE_VERTEXBUFFER) or index (RTYPE_INDEXBUFFER) buffer of
// `length` bytes.
BufferDesc bufferDesc(uint32_t type, uint32_t length, uint32_t usage, uint32_t format, uint32_t fvf, uint32_t pool);
// Readable form of a result code, e.g. "D3DERR_DEVICELOST".
const char* resultName(Result r);

}  // namespace QV::Gfx
