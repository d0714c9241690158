#include "image_png.h"

#include <png.h>

#include <csetjmp>
#include <memory>
#include <vector>

#include "image_file.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

namespace {

struct PngReader {
    ImageSource* source;
    uint32_t consumed;
};

struct PngErrorState {
    std::jmp_buf jump;
    std::string message;
};

void readCallback(png_structp png, png_bytep data, png_size_t length) {
    PngReader* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (length > UINT32_MAX || !readExactly(*reader->source, data, static_cast<uint32_t>(length))) {
        png_error(png, "unexpected end of data");
    }
    reader->consumed += static_cast<uint32_t>(length);
}

void errorCallback(png_structp png, png_const_charp message) {
    PngErrorState* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    state->message = message && *message ? message : "libpng error";
    std::longjmp(state->jump, 1);
}

void warningCallback(png_structp, png_const_charp) {}

// Owns the libpng structures so every exit path frees them.
struct PngReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    ~PngReadStructs() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, endInfo ? &endInfo : nullptr);
    }
};

struct PngDecodeState {
    PngErrorState errorState;
    PngReader reader{nullptr, 0};
    PngReadStructs structs;
    std::unique_ptr<unsigned char[]> buffer;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int32_t format = 0;
    std::size_t rowBytes = 0;
};

// The libpng calls that may long-jump back into PngImage::decode.
bool readPng(PngDecodeState& s) {
    png_structp png = s.structs.png;
    png_infop info = s.structs.info;
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_read_fn(png, &s.reader, readCallback);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &s.width, &s.height, &bitDepth, &colourType, &interlace, nullptr,
                 nullptr);
    s.format = colourType == PNG_COLOR_TYPE_RGB ? kImageFormatRGBX : kImageFormatRGBA;

    // Everything becomes 8-bit RGBA, so the upload can always read 4 bytes a pixel.
    png_set_strip_16(png);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    s.rowBytes = png_get_rowbytes(png, info);
    if (s.rowBytes != static_cast<std::size_t>(s.width) * 4) return false;
    s.buffer.reset(new unsigned char[s.rowBytes * s.height]);
    s.rows.resize(s.height);
    for (png_uint_32 y = 0; y < s.height; ++y) s.rows[y] = s.buffer.get() + y * s.rowBytes;
    png_read_image(png, s.rows.data());
    return true;
}

// Holds the jump target and nothing that needs destroying.
bool runPng(PngDecodeState& s) {
    if (setjmp(s.errorState.jump)) return false;
    return readPng(s);
}

}  // namespace

bool PngImage::hasPngSignature(const void* data, std::size_t size) {
    if (size < 8) return false;
    return png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) == 0;
}

bool PngImage::isPng(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "png_image", 57);
    unsigned char signature[8];
    return readExactly(*file, signature, 8) && hasPngSignature(signature, 8);
}

bool PngImage::isPngFile(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = tryOpenImageResource(name, package);
    if (!file) return false;
    unsigned char signature[8];
    return readExactly(*file, signature, 8) && hasPngSignature(signature, 8);
}

int PngImage::load(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "png_image", 48);
    std::string error;
    if (!decode(*file, &error)) {
        logFormat("ERROR: PNG '%s' in package '%s': %s", name.c_str(), package.c_str(),
                  error.c_str());
        QV_FATAL("");
    }
    return 1;
}

bool PngImage::decode(ImageSource& source, std::string* error) {
    freePixels();
    mWidth = mHeight = mByteSize = mRowBytes = 0;
    mDecodedWidth = mDecodedHeight = 0;

    unsigned char signature[8];
    if (!readExactly(source, signature, 8) || !hasPngSignature(signature, 8)) {
        if (error) *error = "no PNG signature";
        return false;
    }

    // Everything the long jump may observe lives on the heap, reached through a
    // pointer that never changes after setjmp.
    std::unique_ptr<PngDecodeState> state(new PngDecodeState());
    state->reader.source = &source;
    state->reader.consumed = 8;
    state->structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state->errorState,
                                                errorCallback, warningCallback);
    if (!state->structs.png) {
        if (error) *error = "no read structure";
        return false;
    }
    state->structs.info = png_create_info_struct(state->structs.png);
    state->structs.endInfo = png_create_info_struct(state->structs.png);
    if (!state->structs.info || !state->structs.endInfo) {
        if (error) *error = "no info structure";
        return false;
    }
    if (!runPng(*state)) {
        if (error) {
            *error = state->errorState.message.empty() ? "unexpected row layout"
                                                      : state->errorState.message;
        }
        return false;
    }

    png_uint_32 width = state->width;
    png_uint_32 height = state->height;
    int32_t format = state->format;
    std::size_t rowBytes = state->rowBytes;
    std::size_t byteSize = rowBytes * height;
    mFormat = format;
    mWidth = mDecodedWidth = width;
    mHeight = mDecodedHeight = height;
    mRowBytes = static_cast<uint32_t>(rowBytes);
    mByteSize = static_cast<uint32_t>(byteSize);
    mOwnership = kImageOwnsArray;
    mPixels = state->buffer.release();
    return true;
}

}  // namespace QV
