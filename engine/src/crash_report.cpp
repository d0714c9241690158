#include "crash_report.h"

#include <cstdio>
#include <cstring>

namespace QV {

namespace {

constexpr std::size_t kLineCapacity = 4608;

using u64 = unsigned long long;

// One parsed line of the map text.
struct MapEntry {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool executable = false;
    const char* path = nullptr;
    std::size_t pathLength = 0;
};

std::uint64_t parseHex(const char*& p, const char* end) {
    std::uint64_t value = 0;
    while (p < end) {
        char c = *p;
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        value = (value << 4) | static_cast<std::uint64_t>(digit);
        ++p;
    }
    return value;
}

void skipSpaces(const char*& p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
}

void skipField(const char*& p, const char* end) {
    while (p < end && *p != ' ' && *p != '\t') ++p;
}

// "start-end perms offset dev inode [path]"
bool parseMapLine(const char* line, const char* end, MapEntry& out) {
    const char* p = line;
    out = MapEntry();
    out.start = parseHex(p, end);
    if (p >= end || *p != '-') return false;
    ++p;
    out.end = parseHex(p, end);
    skipSpaces(p, end);
    const char* perms = p;
    skipField(p, end);
    for (const char* q = perms; q < p; ++q) {
        if (*q == 'x') out.executable = true;
    }
    for (int field = 0; field < 3; ++field) {  // offset, device, inode
        skipSpaces(p, end);
        skipField(p, end);
    }
    skipSpaces(p, end);
    out.path = p;
    out.pathLength = static_cast<std::size_t>(end - p);
    return true;
}

template <class Visit>
void forEachMapLine(const char* text, std::size_t length, Visit visit) {
    if (!text) return;
    const char* p = text;
    const char* end = text + length;
    while (p < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lineEnd) lineEnd = end;
        MapEntry entry;
        if (parseMapLine(p, lineEnd, entry)) visit(entry);
        p = lineEnd + 1;
    }
}

// The stack holds other frames' sanitizer red zones: read it unchecked.
__attribute__((no_sanitize_address, noinline)) std::uint64_t readWord(std::uint64_t address) {
    return *reinterpret_cast<const volatile std::uint64_t*>(address);
}

bool samePath(const MapEntry& a, const char* path, std::size_t length) {
    return a.pathLength == length && std::memcmp(a.path, path, length) == 0;
}

}  // namespace

void writeExceptionBlock(CrashReportSink& sink, const CrashReportInput& in) {
    char line[kLineCapacity];
    std::snprintf(line, sizeof(line), "ExceptionAddress:              0x%016llX", u64(in.exceptionAddress));
    sink.line(line);
    std::snprintf(line, sizeof(line), "ExceptionCode:                 %08X", in.exceptionCode);
    sink.line(line);
    std::snprintf(line, sizeof(line), "ExceptionFlags:                %08X", in.exceptionFlags);
    sink.line(line);
    std::uint64_t rebased = in.exceptionAddress - in.mainModuleBase + 0x400000u;
    std::snprintf(line, sizeof(line), "ExceptionAddress (0x00400000): 0x%016llX", u64(rebased));
    sink.line(line);
}

void writeRegisterBlock(CrashReportSink& sink, const CrashReportInput& in) {
    sink.line("");
    sink.line("Registers:");
    char line[kLineCapacity];
    // Three registers a line, as "NAME: value" separated by one space.
    for (int first = 0; first < in.registerCount; first += 3) {
        std::size_t used = 0;
        line[0] = '\0';
        for (int i = first; i < first + 3 && i < in.registerCount; ++i) {
            int n = std::snprintf(line + used, sizeof(line) - used, "%s%s: %016llX", i == first ? "" : " ",
                                  in.registerNames[i], u64(in.registerValues[i]));
            if (n > 0) used += static_cast<std::size_t>(n);
            if (used >= sizeof(line)) break;
        }
        sink.line(line);
    }
}

void writeStackBlock(CrashReportSink& sink, std::uint64_t sp, std::uint64_t top, std::uint64_t bottom) {
    char line[kLineCapacity];
    sink.line("");
    std::snprintf(line, sizeof(line), "Stack (top: 0x%016llX bottom: 0x%016llX size: 0x%08llX):", u64(top), u64(bottom),
                  u64(top - bottom));
    sink.line(line);
    // Below the bottom lies the guard page: reading there would fault again.
    if (sp > top || sp < bottom) {
        sink.line("ERROR: Failed to dump stack");
        return;
    }
    const std::size_t kWord = sizeof(std::uint64_t);
    std::uint64_t address = sp;
    std::uint64_t remaining = (top - sp) / kWord;
    while (remaining > 7) {
        u64 w[7];
        for (int i = 0; i < 7; ++i) w[i] = readWord(address + i * kWord);
        std::snprintf(line, sizeof(line),
                      "0x%016llX: 0x%016llx 0x%016llx 0x%016llx 0x%016llx 0x%016llx 0x%016llx 0x%016llx", u64(address),
                      w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
        sink.line(line);
        address += 7 * kWord;
        remaining -= 7;
    }
    std::size_t used = static_cast<std::size_t>(std::snprintf(line, sizeof(line), "0x%016llX: ", u64(address)));
    for (std::uint64_t i = 0; i < remaining; ++i) {
        int n = std::snprintf(line + used, sizeof(line) - used, "0x%llx ", u64(readWord(address + i * kWord)));
        if (n > 0) used += static_cast<std::size_t>(n);
    }
    sink.line(line);
}

void writeModuleBlock(CrashReportSink& sink, const char* memoryMap, std::size_t length) {
    sink.line("");
    sink.line("Modules: ");
    // Consecutive mappings of one file form one module.
    MapEntry current;
    bool open = false;
    bool executable = false;
    char line[kLineCapacity];
    auto flush = [&]() {
        if (open && executable) {
            int pathLength = static_cast<int>(current.pathLength > 4096 ? 4096 : current.pathLength);
            std::snprintf(line, sizeof(line), "%.*s Handle (0x%016llX) Address (0x%016llX-0x%016llX)", pathLength,
                          current.path, u64(current.start), u64(current.start), u64(current.end));
            sink.line(line);
        }
        open = false;
        executable = false;
    };
    forEachMapLine(memoryMap, length, [&](const MapEntry& entry) {
        bool isFile = entry.pathLength > 0 && entry.path[0] == '/';
        if (open && isFile && samePath(entry, current.path, current.pathLength)) {
            if (entry.end > current.end) current.end = entry.end;
            executable = executable || entry.executable;
            return;
        }
        flush();
        if (isFile) {
            current = entry;
            open = true;
            executable = entry.executable;
        }
    });
    flush();
}

std::uint64_t findModuleBase(const char* memoryMap, std::size_t length, const char* path) {
    if (!path) return 0;
    std::size_t pathLength = std::strlen(path);
    std::uint64_t base = 0;
    bool found = false;
    forEachMapLine(memoryMap, length, [&](const MapEntry& entry) {
        if (!found && samePath(entry, path, pathLength)) {
            base = entry.start;
            found = true;
        }
    });
    return base;
}

void writeCrashReport(CrashReportSink& sink, const CrashReportInput& input) {
    sink.line("");
    sink.line("***************************************");
    sink.line("* ERROR: Unhandled exception occured! *");
    sink.line("***************************************");
    sink.line("");
    writeExceptionBlock(sink, input);
    writeRegisterBlock(sink, input);
    writeStackBlock(sink, input.stackPointer, input.stackTop, input.stackBottom);
    writeModuleBlock(sink, input.memoryMap, input.memoryMapLength);
}

}  // namespace QV
