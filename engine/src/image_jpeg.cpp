#include "image_jpeg.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <memory>

#include "format_string.h"
#include "image_file.h"
#include "log_system.h"
#include "report_assert.h"

namespace QV {

namespace {

// libjpeg's own error exit ends the process; ours jumps back with the message.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo) {
    JpegErrorManager* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings (a truncated stream, say) are not worth a line each.
void outputMessage(j_common_ptr) {}

struct JpegDecodeState {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    bool created = false;
    ~JpegDecodeState() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

bool readJpeg(JpegDecodeState& s, const unsigned char* data, std::size_t size,
              std::vector<unsigned char>* out, uint32_t* width, uint32_t* height,
              int* components, std::string* error) {
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    if (s.cinfo.image_width == 0 || s.cinfo.image_height == 0 ||
        s.cinfo.image_width > kMaxImageSide || s.cinfo.image_height > kMaxImageSide) {
        if (error) {
            *error = formatString("image size %ux%u is out of range", s.cinfo.image_width,
                                  s.cinfo.image_height);
        }
        return false;
    }
    jpeg_start_decompress(&s.cinfo);
    const std::size_t rowBytes =
        static_cast<std::size_t>(s.cinfo.output_width) * s.cinfo.output_components;
    out->assign(rowBytes * s.cinfo.output_height, 0);
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = out->data() + rowBytes * s.cinfo.output_scanline;
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) break;
    }
    jpeg_finish_decompress(&s.cinfo);
    *width = s.cinfo.output_width;
    *height = s.cinfo.output_height;
    *components = s.cinfo.output_components;
    return true;
}

// Holds the jump target and nothing that needs destroying.
bool runJpeg(JpegDecodeState& s, const unsigned char* data, std::size_t size,
             std::vector<unsigned char>* out, uint32_t* width, uint32_t* height, int* components,
             std::string* error) {
    if (setjmp(s.error.jump)) return false;
    return readJpeg(s, data, size, out, width, height, components, error);
}

bool readWhole(ImageSource& source, std::vector<unsigned char>* bytes) {
    const uint32_t size = source.size() > source.position() ? source.size() - source.position() : 0;
    bytes->resize(size);
    return readExactly(source, bytes->data(), size);
}

}  // namespace

bool decodeJpegSamples(const unsigned char* data, std::size_t size, std::vector<unsigned char>* out,
                       uint32_t* width, uint32_t* height, int* components, std::string* error) {
    // Everything the long jump may observe lives on the heap.
    std::unique_ptr<JpegDecodeState> state(new JpegDecodeState());
    state->cinfo.err = jpeg_std_error(&state->error.pub);
    state->error.pub.error_exit = errorExit;
    state->error.pub.output_message = outputMessage;
    state->error.message[0] = 0;
    if (runJpeg(*state, data, size, out, width, height, components, error)) return true;
    if (state->error.message[0] && error) *error = state->error.message;
    out->clear();
    return false;
}

bool JpegImage::isJpeg(const std::string& name, const std::string& package) {
    std::unique_ptr<ImageSource> file = openImageResource(name, package, "jpeg_image", 141);
    unsigned char magic[2];
    return readExactly(*file, magic, 2) && magic[0] == 0xFF && magic[1] == 0xD8;
}

std::string JpegImage::alphaName(const std::string& colourName) {
    std::string::size_type at = colourName.rfind("_image");
    if (at == std::string::npos) return std::string();
    std::string name = colourName;
    name.insert(at, "_a");
    return name;
}

int JpegImage::load(const std::string& name, const std::string& package) {
    std::string alpha = alphaName(name);
    if (alpha.empty()) {
        QV_FATAL(formatString("ERROR: JPEG resource '%s' has no \"_image\" to name its alpha file",
                              name.c_str()));
    }
    std::unique_ptr<ImageSource> colourFile = openImageResource(name, package, "jpeg_image", 95);
    std::unique_ptr<ImageSource> alphaFile = openImageResource(alpha, package, "jpeg_image", 95);
    std::string error;
    if (!decode(*colourFile, *alphaFile, &error)) {
        QV_FATAL(formatString("ERROR: JPEG '%s' in package '%s': %s", name.c_str(),
                              package.c_str(), error.c_str()));
    }
    return 1;
}

bool JpegImage::decode(ImageSource& colour, ImageSource& alpha, std::string* error) {
    freePixels();
    mWidth = mHeight = mByteSize = mRowBytes = 0;
    mDecodedWidth = mDecodedHeight = 0;

    std::vector<unsigned char> colourBytes, alphaBytes;
    if (!readWhole(colour, &colourBytes) || !readWhole(alpha, &alphaBytes)) {
        if (error) *error = "read error";
        return false;
    }
    std::vector<unsigned char> rgb, grey;
    uint32_t width = 0, height = 0, alphaWidth = 0, alphaHeight = 0;
    int colourComponents = 0, alphaComponents = 0;
    std::string why;
    if (!decodeJpegSamples(colourBytes.data(), colourBytes.size(), &rgb, &width, &height,
                           &colourComponents, &why)) {
        if (error) *error = "colour: " + why;
        return false;
    }
    if (!decodeJpegSamples(alphaBytes.data(), alphaBytes.size(), &grey, &alphaWidth, &alphaHeight,
                           &alphaComponents, &why)) {
        if (error) *error = "alpha: " + why;
        return false;
    }
    if (colourComponents != 3 || alphaComponents != 1) {
        if (error) {
            *error = formatString("%d colour and %d alpha components, 3 and 1 expected",
                                  colourComponents, alphaComponents);
        }
        return false;
    }
    if (width != alphaWidth || height != alphaHeight) {
        if (error) {
            *error = formatString("colour is %ux%u but alpha is %ux%u", width, height, alphaWidth,
                                  alphaHeight);
        }
        return false;
    }

    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[count * 4]);
    for (std::size_t i = 0; i < count; ++i) {
        pixels[i * 4 + 0] = rgb[i * 3 + 0];
        pixels[i * 4 + 1] = rgb[i * 3 + 1];
        pixels[i * 4 + 2] = rgb[i * 3 + 2];
        pixels[i * 4 + 3] = grey[i];
    }
    mPixels = pixels.release();
    mOwnership = kImageOwnsArray;
    mFormat = kImageFormatRGBA;
    mWidth = mDecodedWidth = width;
    mHeight = mDecodedHeight = height;
    mByteSize = static_cast<uint32_t>(count * 4);
    // As the format defines it: the whole pixel area, not one row.
    mRowBytes = static_cast<uint32_t>(count * 4);
    return true;
}

}  // namespace QV
