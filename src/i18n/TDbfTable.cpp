#include "TDbfTable.h"

#include "PendingFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace sonvira {
namespace {

constexpr std::size_t kHeaderFixed = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr unsigned char kHeaderEnd = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr char kDeletedFlag = '*';

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutLe16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string TrimTrailingBlanks(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Reads exactly `size` bytes at `offset`; false on an error or a short read.
bool ReadAt(int fd, uint64_t offset, void* buffer, std::size_t size) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got, offset += static_cast<uint64_t>(got), size -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace

TDbfTable::~TDbfTable() { Close(); }

void TDbfTable::ClearFieldDefs() { defs_.clear(); }

void TDbfTable::AddFieldDef(const std::string& name, uint8_t length) {
    DbfField field;
    field.Name = Upper(name.substr(0, 10));
    field.Length = length;
    defs_.push_back(field);
}

void TDbfTable::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    fields_.clear();
    damaged_ = false;
    damageNote_.clear();
    headerLength_ = recordLength_ = 0;
    recordCount_ = 0;
}

void TDbfTable::Open(const std::string& path) {
    Close();
    path_ = path;
    fd_ = ::open(path.c_str(), (readOnly_ ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT && !readOnly_) {
        CreateFile(path);
    } else if (fd_ < 0) {
        throw EDbfError(ErrnoText("Cannot open table", path));
    }
    try {
        // Under the lock: a copy appending meanwhile would otherwise show a header that
        // names a record the file size read a moment before did not hold yet.
        const Lock hold(*this);
        ReadStructure(path);
    } catch (...) {
        Close();
        throw;
    }
}

void TDbfTable::CreateFile(const std::string& path) {
    if (defs_.empty()) throw EDbfError("Cannot create table \"" + path + "\" without fields");
    const std::size_t headerLength = kHeaderFixed + kDescriptorSize * defs_.size() + 1;
    std::size_t recordLength = 1;
    for (const DbfField& def : defs_) recordLength += def.Length;
    if (headerLength > UINT16_MAX || recordLength > UINT16_MAX)
        throw EDbfError("Too many fields for table \"" + path + "\"");

    std::vector<unsigned char> bytes(headerLength + 1, 0);
    bytes[0] = 0x03;
    PutLe16(&bytes[8], static_cast<uint16_t>(headerLength));
    PutLe16(&bytes[10], static_cast<uint16_t>(recordLength));
    bytes[29] = kLanguageDriverAnsi;
    for (std::size_t i = 0; i < defs_.size(); ++i) {
        unsigned char* d = &bytes[kHeaderFixed + kDescriptorSize * i];
        std::memcpy(d, defs_[i].Name.data(), defs_[i].Name.size());
        d[11] = 'C';
        d[16] = defs_[i].Length;
    }
    bytes[headerLength - 1] = kHeaderEnd;
    bytes[headerLength] = kEndOfFile;

    // The table appears whole or not at all: the header goes into a temporary file that is
    // then linked under the table's name. A copy starting at the same moment finds either
    // no table or a complete one; when it made one too, the first link wins and the other
    // copy opens that one.
    std::string temp;
    fd_ = CreateTempFileBeside(path, temp);
    if (fd_ < 0) throw EDbfError(ErrnoText("Cannot create table", path));
    try {
        WriteAt(0, bytes.data(), bytes.size());
        WriteHeaderState(0);
        if (::fchmod(fd_, 0644 & ~CurrentUmask()) != 0) throw EDbfError(ErrnoText("Cannot create table", path));
        // File systems without hard links get the rename, and with it a moment's race.
        bool lost = false;
        if (::link(temp.c_str(), path.c_str()) != 0) {
            lost = errno == EEXIST;
            if (!lost && ::rename(temp.c_str(), path.c_str()) != 0)
                throw EDbfError(ErrnoText("Cannot create table", path));
        }
        ::unlink(temp.c_str());
        if (lost) {
            ::close(fd_);
            fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (fd_ < 0) throw EDbfError(ErrnoText("Cannot open table", path));
        }
    } catch (...) {
        Close();
        ::unlink(temp.c_str());  // only the file made just now
        throw;
    }
}

void TDbfTable::ReadStructure(const std::string& path) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw EDbfError(ErrnoText("Cannot read table", path));
    const auto fileSize = static_cast<uint64_t>(st.st_size);
    std::vector<unsigned char> header(kHeaderFixed);
    if (fileSize < kHeaderFixed || !ReadAt(fd_, 0, header.data(), kHeaderFixed))
        throw EDbfError("\"" + path + "\" is no dBase table: shorter than its header");
    headerLength_ = Le16(&header[8]);
    recordLength_ = Le16(&header[10]);

    // The descriptors are read only as far as both the header and the file reach.
    const uint64_t descriptorEnd = std::min<uint64_t>(headerLength_, fileSize);
    if (descriptorEnd > kHeaderFixed) {
        header.resize(descriptorEnd);
        if (!ReadAt(fd_, kHeaderFixed, &header[kHeaderFixed], descriptorEnd - kHeaderFixed))
            throw EDbfError(ErrnoText("Cannot read table", path));
    }
    ParseFields(header, fileSize);
    if (fields_.empty()) throw EDbfError("\"" + path + "\" is no usable dBase table: no fields");
    CheckRecords(Le32(&header[4]), fileSize);
}

void TDbfTable::ParseFields(const std::vector<unsigned char>& header, uint64_t fileSize) {
    if (headerLength_ > fileSize)
        MarkDamaged("header length " + std::to_string(headerLength_) + " beyond the file's end");
    uint32_t offset = 1;
    bool terminated = false;
    for (std::size_t at = kHeaderFixed; at < header.size(); at += kDescriptorSize) {
        const unsigned char* d = &header[at];
        if (d[0] == kHeaderEnd) {
            terminated = true;
            break;
        }
        if (at + kDescriptorSize > header.size()) break;
        DbfField field;
        field.Name.assign(reinterpret_cast<const char*>(d), strnlen(reinterpret_cast<const char*>(d), 11));
        field.Type = static_cast<char>(d[11]);
        field.Length = d[16];
        field.Decimals = d[17];
        field.Offset = offset;
        if (offset + field.Length > recordLength_) {
            MarkDamaged("field " + field.Name + " beyond the record length " + std::to_string(recordLength_));
            break;
        }
        offset += field.Length;
        fields_.push_back(field);
    }
    // Without the end mark the header length cut the field list short.
    if (!terminated && !damaged_)
        MarkDamaged("field list not ended within the header length " + std::to_string(headerLength_));
}

void TDbfTable::CheckRecords(uint32_t headerCount, uint64_t fileSize) {
    if (headerLength_ > fileSize || recordLength_ == 0) {
        recordCount_ = 0;
        return;
    }
    const uint64_t available = fileSize - headerLength_;
    const uint64_t complete = available / recordLength_;
    recordCount_ = headerCount;
    if (headerCount <= complete) return;
    recordCount_ = static_cast<uint32_t>(complete);
    if (available > complete * recordLength_ + 1)
        MarkDamaged("last record truncated");
    else
        MarkDamaged("record count " + std::to_string(headerCount) + " beyond the file's end (" +
                    std::to_string(complete) + " records there)");
}

void TDbfTable::MarkDamaged(const std::string& note) {
    damaged_ = true;
    damageNote_ += damageNote_.empty() ? note : "; " + note;
}

int32_t TDbfTable::FieldIndex(std::string_view name) const {
    const std::string wanted = Upper(name);
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (Upper(fields_[i].Name) == wanted) return static_cast<int32_t>(i);
    return -1;
}

uint64_t TDbfTable::RecordOffset(uint32_t recordNo) const {
    return headerLength_ + static_cast<uint64_t>(recordNo - 1) * recordLength_;
}

bool TDbfTable::IsDeleted(uint32_t recordNo) const {
    if (!Active() || recordNo < 1 || recordNo > recordCount_) return false;
    char flag = 0;
    return ReadAt(fd_, RecordOffset(recordNo), &flag, 1) && flag == kDeletedFlag;
}

std::string TDbfTable::Value(uint32_t recordNo, int32_t field) const {
    if (!Active() || recordNo < 1 || recordNo > recordCount_ || field < 0 ||
        static_cast<std::size_t>(field) >= fields_.size())
        return {};
    const DbfField& f = fields_[static_cast<std::size_t>(field)];
    std::string value(f.Length, ' ');
    if (!ReadAt(fd_, RecordOffset(recordNo) + f.Offset, value.data(), value.size())) return {};
    return TrimTrailingBlanks(std::move(value));
}

std::string TDbfTable::ReadRecordPrefix(uint32_t recordNo, int32_t lastField) const {
    if (!Active() || recordNo < 1 || recordNo > recordCount_ || lastField < 0 ||
        static_cast<std::size_t>(lastField) >= fields_.size())
        return {};
    const DbfField& f = fields_[static_cast<std::size_t>(lastField)];
    std::string bytes(f.Offset + f.Length, ' ');
    if (!ReadAt(fd_, RecordOffset(recordNo), bytes.data(), bytes.size())) return {};
    return bytes;
}

std::string TDbfTable::FieldFromPrefix(const std::string& prefix, int32_t field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= fields_.size()) return {};
    const DbfField& f = fields_[static_cast<std::size_t>(field)];
    if (prefix.size() < f.Offset + f.Length) return {};
    return TrimTrailingBlanks(prefix.substr(f.Offset, f.Length));
}

std::vector<std::string> TDbfTable::Values(uint32_t recordNo) const {
    if (fields_.empty()) return {};
    const std::string record = ReadRecordPrefix(recordNo, static_cast<int32_t>(fields_.size() - 1));
    if (record.empty()) return {};
    std::vector<std::string> values;
    values.reserve(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) values.push_back(FieldFromPrefix(record, static_cast<int32_t>(i)));
    return values;
}

void TDbfTable::RequireWritable() const {
    if (!Active()) throw EDbfError("Table is not open");
    if (ReadOnly())
        throw EDbfError("Table \"" + path_ + "\" is read-only" + (damaged_ ? " (" + damageNote_ + ")" : ""));
}

void TDbfTable::RequireRecord(uint32_t recordNo) const {
    if (recordNo < 1 || recordNo > recordCount_) throw EDbfError("No record " + std::to_string(recordNo));
}

// A live record's bytes (flag blank) followed by the end mark: values[i] in field i, cut
// to the field's length, the rest blank.
std::string TDbfTable::FieldBytes(std::span<const std::string> values) const {
    std::string bytes(recordLength_ + 1u, ' ');
    for (std::size_t i = 0; i < values.size() && i < fields_.size(); ++i)
        values[i].copy(&bytes[fields_[i].Offset], std::min<std::size_t>(values[i].size(), fields_[i].Length));
    bytes[recordLength_] = static_cast<char>(kEndOfFile);
    return bytes;
}

TDbfTable::Lock::Lock(TDbfTable& table) : table_(table) {
    // A failing flock (a file system without locks) leaves the table as one copy uses it.
    if (table_.lockDepth_++ == 0 && table_.Active()) ::flock(table_.fd_, LOCK_EX);
}

TDbfTable::Lock::~Lock() {
    if (--table_.lockDepth_ == 0 && table_.Active()) ::flock(table_.fd_, LOCK_UN);
}

// Under the lock: the records other copies appended, as far as the file holds them whole.
void TDbfTable::AdoptGrowth() {
    unsigned char count[4];
    struct stat st {};
    if (damaged_ || recordLength_ == 0 || !ReadAt(fd_, 4, count, sizeof count) || ::fstat(fd_, &st) != 0) return;
    const auto fileSize = static_cast<uint64_t>(st.st_size);
    if (fileSize < headerLength_) return;
    const uint64_t complete = (fileSize - headerLength_) / recordLength_;
    const uint64_t named = std::min<uint64_t>(Le32(count), complete);
    if (named > recordCount_) recordCount_ = static_cast<uint32_t>(named);
}

uint32_t TDbfTable::RefreshRecordCount() {
    if (!Active()) return recordCount_;
    const Lock hold(*this);
    AdoptGrowth();
    return recordCount_;
}

uint32_t TDbfTable::AppendRecord(std::span<const std::string> values) {
    RequireWritable();
    const Lock hold(*this);
    AdoptGrowth();  // another copy may have appended since: never write over its record
    if (recordCount_ == UINT32_MAX) throw EDbfError("Table \"" + path_ + "\" is full");
    const std::string bytes = FieldBytes(values);
    // Record and end mark first, then the count: a reader never sees a record that the
    // header names but the file does not hold yet.
    WriteAt(RecordOffset(recordCount_ + 1), bytes.data(), bytes.size());
    WriteHeaderState(recordCount_ + 1);
    return ++recordCount_;
}

void TDbfTable::SetValue(uint32_t recordNo, int32_t field, std::string_view value) {
    RequireWritable();
    const Lock hold(*this);
    AdoptGrowth();  // the header count written below includes what others appended
    if (recordNo < 1 || recordNo > recordCount_ || field < 0 || static_cast<std::size_t>(field) >= fields_.size())
        throw EDbfError("No record " + std::to_string(recordNo) + ", field " + std::to_string(field));
    const DbfField& f = fields_[static_cast<std::size_t>(field)];
    std::string bytes(f.Length, ' ');
    value.copy(bytes.data(), std::min<std::size_t>(value.size(), f.Length));
    WriteAt(RecordOffset(recordNo) + f.Offset, bytes.data(), bytes.size());
    WriteHeaderState(recordCount_);
}

void TDbfTable::WriteRecord(uint32_t recordNo, std::span<const std::string> values) {
    RequireWritable();
    const Lock hold(*this);
    AdoptGrowth();  // the header count written below includes what others appended
    RequireRecord(recordNo);
    const std::string bytes = FieldBytes(values);
    // Fields only: the flag byte and the end mark stay as they are in the file.
    WriteAt(RecordOffset(recordNo) + 1, bytes.data() + 1, recordLength_ - 1u);
    WriteHeaderState(recordCount_);
}

void TDbfTable::DeleteRecord(uint32_t recordNo) {
    RequireWritable();
    const Lock hold(*this);
    AdoptGrowth();  // the header count written below includes what others appended
    RequireRecord(recordNo);
    WriteAt(RecordOffset(recordNo), &kDeletedFlag, 1);
    WriteHeaderState(recordCount_);
}

void TDbfTable::WriteHeaderState(uint32_t count) {
    const std::time_t now = clock_ ? clock_() : std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    unsigned char state[7];
    state[0] = static_cast<unsigned char>(local.tm_year);  // years since 1900
    state[1] = static_cast<unsigned char>(local.tm_mon + 1);
    state[2] = static_cast<unsigned char>(local.tm_mday);
    PutLe32(&state[3], count);
    WriteAt(1, state, sizeof state);
}

void TDbfTable::WriteAt(uint64_t offset, const void* bytes, std::size_t size) {
    const auto* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t put = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) throw EDbfError(ErrnoText("Cannot write table", path_));
        p += put, offset += static_cast<uint64_t>(put), size -= static_cast<std::size_t>(put);
    }
}

}  // namespace sonvira
