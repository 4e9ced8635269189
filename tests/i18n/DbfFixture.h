#pragma once
// Builds dBase III files byte by byte, so that tests can hand the table class files that
// another tool wrote or that were damaged in a known way.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace sonvira::test {

struct DbfSpec {
    std::vector<std::pair<std::string, uint8_t>> fields;
    std::vector<std::vector<std::string>> records;  // values by field position
    std::vector<bool> deleted;                      // by record, missing = live
    int headerLength = -1;                          // -1: the true one
    int recordLength = -1;
    int64_t recordCount = -1;
    bool endMark = true;
};

inline std::vector<uint8_t> BuildDbf(const DbfSpec& spec) {
    const std::size_t headerLength = 32 + 32 * spec.fields.size() + 1;
    std::size_t recordLength = 1;
    for (const auto& f : spec.fields) recordLength += f.second;
    const auto put16 = [](uint8_t* p, std::size_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    };
    std::vector<uint8_t> bytes(headerLength, 0);
    bytes[0] = 0x03;
    bytes[1] = 124, bytes[2] = 5, bytes[3] = 17;
    const auto count = static_cast<uint32_t>(spec.recordCount >= 0 ? spec.recordCount
                                                                    : static_cast<int64_t>(spec.records.size()));
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(count >> (8 * i));
    put16(&bytes[8], spec.headerLength >= 0 ? static_cast<std::size_t>(spec.headerLength) : headerLength);
    put16(&bytes[10], spec.recordLength >= 0 ? static_cast<std::size_t>(spec.recordLength) : recordLength);
    for (std::size_t i = 0; i < spec.fields.size(); ++i) {
        uint8_t* d = &bytes[32 + 32 * i];
        std::memcpy(d, spec.fields[i].first.data(), std::min<std::size_t>(spec.fields[i].first.size(), 10));
        d[11] = 'C';
        d[16] = spec.fields[i].second;
    }
    bytes[headerLength - 1] = 0x0D;
    for (std::size_t r = 0; r < spec.records.size(); ++r) {
        std::string record(recordLength, ' ');
        if (r < spec.deleted.size() && spec.deleted[r]) record[0] = '*';
        std::size_t offset = 1;
        for (std::size_t f = 0; f < spec.fields.size(); ++f) {
            if (f < spec.records[r].size())
                record.replace(offset, std::min<std::size_t>(spec.records[r][f].size(), spec.fields[f].second),
                               spec.records[r][f].substr(0, spec.fields[f].second));
            offset += spec.fields[f].second;
        }
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    if (spec.endMark) bytes.push_back(0x1A);
    return bytes;
}

// The nineteen columns of the translation table.
inline std::vector<std::pair<std::string, uint8_t>> LanguageFields() {
    std::vector<std::pair<std::string, uint8_t>> fields;
    for (int i = 1; i <= 19; ++i) fields.emplace_back("LANGUAGE" + std::to_string(i), 255);
    return fields;
}

}  // namespace sonvira::test
