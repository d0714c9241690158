#include "image_file.h"

#include "file_system.h"
#include "format_string.h"
#include "report_assert.h"

namespace QV {

namespace {

// An open file of the file system, read front to back.
class FileImageSource : public ImageSource {
public:
    explicit FileImageSource(File* file) : mFile(file) {}
    ~FileImageSource() override {
        mFile->close();
        delete mFile;
    }
    long read(void* buffer, uint32_t count) override {
        int chunk = count > (1u << 30) ? (1 << 30) : static_cast<int>(count);
        return mFile->read(buffer, chunk);
    }
    uint32_t size() override { return mFile->size(); }
    uint32_t position() override {
        int32_t p = mFile->position();
        return p < 0 ? 0 : static_cast<uint32_t>(p);
    }

private:
    File* mFile;
};

}  // namespace

std::unique_ptr<ImageSource> tryOpenImageResource(const std::string& name,
                                                  const std::string& package) {
    File* file = FileSystem::instance()->open(package, name);
    if (!file) return nullptr;
    return std::unique_ptr<ImageSource>(new FileImageSource(file));
}

std::unique_ptr<ImageSource> openImageResource(const std::string& name, const std::string& package,
                                               const char* sourceFile, int line) {
    std::unique_ptr<ImageSource> file = tryOpenImageResource(name, package);
    if (!file) {
        reportAssert("QV",
                     formatString("ERROR: file '%s' not found in package '%s'", name.c_str(),
                                  package.c_str()),
                     sourceFile, line);
        breakpointTrap();
    }
    return file;
}

}  // namespace QV
