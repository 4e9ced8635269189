#pragma once
// Builds dBase III files byte by byte, so that tests can hand the table class files that
// another tool wrote or that were damaged in a known way.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace sonvira::test {

struct DbfLayout {
    std::vector<std::pair<std::string, uint8_t>> fields;
    std::vector<std::vector<std::string>> records;  // values by field position
    std::vector<bool> deleted;                      // by record, missing = live
    int headerLength = -1;                          // -1: the true one
    int recordLength = -1;
    int64_t recordCount = -1;
    bool endMark = true;
};

inline std::vector<uint8_t> BuildDbf(const DbfLayout& layout) {
    const std::size_t headerLength = 32 + 32 * layout.fields.size() + 1;
    std::size_t recordLength = 1;
    for (const auto& f : layout.fields) recordLength += f.second;
    const auto put16 = [](uint8_t* p, std::size_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    };
    std::vector<uint8_t> bytes(headerLength, 0);
    bytes[0] = 0x03;
    bytes[1] = 124, bytes[2] = 5, bytes[3] = 17;
    const auto count = static_cast<uint32_t>(layout.recordCount >= 0 ? layout.recordCount
                                                                    : static_cast<int64_t>(layout.records.size()));
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(count >> (8 * i));
    put16(&bytes[8], layout.headerLength >= 0 ? static_cast<std::size_t>(layout.headerLength) : headerLength);
    put16(&bytes[10], layout.recordLength >= 0 ? static_cast<std::size_t>(layout.recordLength) : recordLength);
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        uint8_t* d = &bytes[32 + 32 * i];
        std::memcpy(d, layout.fields[i].first.data(), std::min<std::size_t>(layout.fields[i].first.size(), 10));
        d[11] = 'C';
        d[16] = layout.fields[i].second;
    }
    bytes[headerLength - 1] = 0x0D;
    for (std::size_t r = 0; r < layout.records.size(); ++r) {
        std::string record(recordLength, ' ');
        if (r < layout.deleted.size() && layout.deleted[r]) record[0] = '*';
        std::size_t offset = 1;
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            if (f < layout.records[r].size())
                record.replace(offset, std::min<std::size_t>(layout.records[r][f].size(), layout.fields[f].second),
                               layout.records[r][f].substr(0, layout.fields[f].second));
            offset += layout.fields[f].second;
        }
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    if (layout.endMark) bytes.push_back(0x1A);
    return bytes;
}

// The nineteen columns of the translation table.
inline std::vector<std::pair<std::string, uint8_t>> LanguageFields() {
    std::vector<std::pair<std::string, uint8_t>> fields;
    for (int i = 1; i <= 19; ++i) fields.emplace_back("LANGUAGE" + std::to_string(i), 255);
    return fields;
}

}  // namespace sonvira::test
