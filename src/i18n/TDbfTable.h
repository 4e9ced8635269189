#pragma once
// A dBase III table file (version 0x03, character fields, no memo or index file), read and
// written record by record straight on the file. Values are the file's own bytes
// (Windows-1252 for translate.dbf); Win1252.h converts them at the caller's boundary.
//
// Every append and every write updates the file at once: the record (with the 0x1A end
// mark after it) is written first, then the header's record count and date, so another
// reader of the file sees a consistent table at any moment.
//
// Several copies of the program share the file. Every append and write holds an advisory
// lock on it (flock, exclusive), and an append first takes the header's record count
// afresh, so two copies never write to the same record; the records another copy appended
// become readable here once an append or RefreshRecordCount has seen them.
//
// A damaged file is hostile input. The table then opens read-only, offers only what lies
// inside the file's real bounds, and never writes to it, so that nothing already there is
// lost; DamageNote() says what was found:
//   - header or record length that does not fit the file: no records;
//   - fields that do not fit the record: those fields are left out;
//   - a record count beyond the file's end or a truncated last record: only the complete
//     records are offered;
//   - fewer fields than a caller defined is no damage: missing columns read as empty.
// A file shorter than a header, or one without any field, cannot be opened at all.
//
// Thread: one thread at a time (the user-interface thread).

#include <cstdint>
#include <ctime>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sonvira {

class EDbfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DbfField {
    std::string Name;      // as in the file, at most 10 characters
    char Type = 'C';
    uint8_t Length = 0;    // bytes in the record
    uint8_t Decimals = 0;
    uint32_t Offset = 0;   // from the record's start; byte 0 is the deletion flag
};

class TDbfTable {
public:
    static constexpr uint8_t kLanguageDriverAnsi = 0x03;  // code page 1252

    TDbfTable() = default;
    ~TDbfTable();
    TDbfTable(const TDbfTable&) = delete;
    TDbfTable& operator=(const TDbfTable&) = delete;

    // Field definitions used when Open creates a missing file. Names are stored upper
    // case; length 1 … 255 bytes.
    void ClearFieldDefs();
    void AddFieldDef(const std::string& name, uint8_t length);

    // Must be set before Open; a read-only table never creates or writes its file.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_ || damaged_; }

    // Opens `path`, taking header length, record length and fields from the file, or
    // creates it with the field definitions when it does not exist (not when read-only).
    // Throws EDbfError when the file can be neither opened nor created, when writing is
    // refused while not read-only, or when it is no table. Closes a table open before.
    void Open(const std::string& path);
    void Close();
    bool Active() const { return fd_ >= 0; }
    bool Damaged() const { return damaged_; }
    const std::string& DamageNote() const { return damageNote_; }

    const std::vector<DbfField>& Fields() const { return fields_; }
    int32_t FieldIndex(std::string_view name) const;  // case-insensitive; -1 when absent
    uint16_t HeaderLength() const { return headerLength_; }
    uint16_t RecordLength() const { return recordLength_; }

    // Records are numbered from 1 in file order; RecordCount() counts deleted ones too.
    uint32_t RecordCount() const { return recordCount_; }
    // Takes in the records other copies appended since (the header's count, as far as the
    // file holds complete records) and returns the count. Never less than before.
    uint32_t RefreshRecordCount();

    // Holds the table's lock while it lives, so that a caller's look-up and append are one
    // step among the copies. Nested holds (the table's own writes inside) share it.
    class Lock {
    public:
        explicit Lock(TDbfTable& table);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        TDbfTable& table_;
    };
    // False for a number outside 1 … RecordCount() as well.
    bool IsDeleted(uint32_t recordNo) const;
    // The value with trailing blanks removed (leading blanks stay); empty for a number or
    // field outside the table or when the file cannot be read.
    std::string Value(uint32_t recordNo, int32_t field) const;
    // Deletion flag and the first fields of one record, up to and including `lastField`,
    // in one read (the index build reads only the key column). Empty on a read failure.
    std::string ReadRecordPrefix(uint32_t recordNo, int32_t lastField) const;
    std::string FieldFromPrefix(const std::string& prefix, int32_t field) const;
    // Every field of one record in one read, as Value gives them; empty on a read failure
    // or for a number outside the table.
    std::vector<std::string> Values(uint32_t recordNo) const;

    // Appends a live record holding values[i] in field i (the rest blank) and returns its
    // number. Writes at most each field's length of bytes. Throws EDbfError when read-only
    // or when the write fails (the header then still names the old count).
    uint32_t AppendRecord(std::span<const std::string> values);
    // Writes one value into an existing record. Throws EDbfError like AppendRecord.
    void SetValue(uint32_t recordNo, int32_t field, std::string_view value);
    // Writes the fields of an existing record in one write: values[i] into field i (the
    // fields beyond `values` blank), its deletion flag kept. Throws like AppendRecord.
    void WriteRecord(uint32_t recordNo, std::span<const std::string> values);
    // Marks a record deleted ('*'), as dBase does; its bytes stay in the file. Readers in
    // file order skip it. Throws like AppendRecord.
    void DeleteRecord(uint32_t recordNo);

    // The date written into the header; tests fix it.
    void SetClock(std::time_t (*clock)()) { clock_ = clock; }

private:
    void CreateFile(const std::string& path);
    void ReadStructure(const std::string& path);
    void ParseFields(const std::vector<unsigned char>& header, uint64_t fileSize);
    void CheckRecords(uint32_t headerCount, uint64_t fileSize);
    void MarkDamaged(const std::string& note);
    void WriteHeaderState(uint32_t count);
    void AdoptGrowth();
    void WriteAt(uint64_t offset, const void* bytes, std::size_t size);
    uint64_t RecordOffset(uint32_t recordNo) const;
    void RequireWritable() const;
    void RequireRecord(uint32_t recordNo) const;
    std::string FieldBytes(std::span<const std::string> values) const;

    std::vector<DbfField> defs_;
    std::vector<DbfField> fields_;
    std::string path_;
    int fd_ = -1;
    bool readOnly_ = false;
    bool damaged_ = false;
    std::string damageNote_;
    uint16_t headerLength_ = 0;
    uint16_t recordLength_ = 0;
    uint32_t recordCount_ = 0;
    int lockDepth_ = 0;
    std::time_t (*clock_)() = nullptr;
};

}  // namespace sonvira
