#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The profile file's payload: named sections, written in ascending byte order
// of their names (std::map's order).
using SectionMap = std::map<std::string, std::vector<uint8_t>>;

// u32 count, then per section: name bytes and a zero byte, u32 length, content.
std::vector<uint8_t> writeSectionTable(const SectionMap& sections);

// False (out left empty) when the table is cut short, a name lacks its
// terminator, a length runs past the end or bytes follow the last section.
// A repeated name keeps the later content.
bool parseSectionTable(const uint8_t* bytes, size_t size, SectionMap& out);

// The order in which the sections appear in the bytes, repeats included.
bool listSectionTable(const uint8_t* bytes, size_t size,
                      std::vector<std::pair<std::string, std::vector<uint8_t>>>& out);
