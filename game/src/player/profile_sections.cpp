#include "player/profile_sections.h"

#include "animationeditor/vector_stream.h"
#include "player/checked_stream.h"

std::vector<uint8_t> writeSectionTable(const SectionMap& sections) {
    std::vector<uint8_t> bytes;
    AE::VectorStream stream(&bytes);
    AE::writeValue<uint32_t>(stream, static_cast<uint32_t>(sections.size()));
    for (const auto& [name, content] : sections) {
        AE::writeCString(stream, name);
        AE::writeValue<uint32_t>(stream, static_cast<uint32_t>(content.size()));
        if (!content.empty()) stream.write(content.data(), static_cast<unsigned>(content.size()));
    }
    return bytes;
}

bool listSectionTable(const uint8_t* bytes, size_t size,
                      std::vector<std::pair<std::string, std::vector<uint8_t>>>& out) {
    out.clear();
    CheckedStream stream(bytes, size);
    const uint32_t count = AE::readValue<uint32_t>(stream);
    // Each section takes at least a terminator and a length.
    if (stream.failed() || uint64_t(count) * 5 > stream.remaining()) return false;
    for (uint32_t i = 0; i < count; ++i) {
        std::string name = readCStringChecked(stream);
        const uint32_t length = AE::readValue<uint32_t>(stream);
        if (stream.failed() || length > stream.remaining()) return false;
        std::vector<uint8_t> content(bytes + stream.position(), bytes + stream.position() + length);
        stream.skip(length);
        out.emplace_back(std::move(name), std::move(content));
    }
    if (stream.failed() || !stream.atEnd()) {
        out.clear();
        return false;
    }
    return true;
}

bool parseSectionTable(const uint8_t* bytes, size_t size, SectionMap& out) {
    out.clear();
    std::vector<std::pair<std::string, std::vector<uint8_t>>> list;
    if (!listSectionTable(bytes, size, list)) return false;
    for (auto& [name, content] : list) out[name] = std::move(content);
    return true;
}
