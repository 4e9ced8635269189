#include "TranslationRecordSet.h"

#include "RecordFilter.h"

#include <algorithm>

namespace sonvira {

TranslationRecordSet::TranslationRecordSet(TDbfTable& table) : table_(table) {
    Reload();
    current_ = rows_.empty() ? -1 : 0;
}

bool TranslationRecordSet::Accepts(uint32_t recordNo) const {
    const std::string search = UpperAsciiLetters(searchText_ ? searchText_() : std::string());
    return RecordMatchesSearch(table_.Values(recordNo), search);
}

void TranslationRecordSet::Reload() {
    rows_.clear();
    if (!table_.Active()) return;
    for (uint32_t r = 1; r <= table_.RecordCount(); ++r)
        if (!table_.IsDeleted(r) && (!filtered_ || Accepts(r))) rows_.push_back(r);
}

bool TranslationRecordSet::Fail(const std::string& why) {
    lastError_ = why;
    return false;
}

uint32_t TranslationRecordSet::RecordNoAt(int row) const {
    return row >= 0 && row < RowCount() ? rows_[static_cast<std::size_t>(row)] : 0;
}

std::string TranslationRecordSet::FieldName(int field) const {
    return field >= 0 && field < FieldCount() ? table_.Fields()[static_cast<std::size_t>(field)].Name : std::string();
}

std::string TranslationRecordSet::Value(int row, int field) const {
    if (row < 0 || row >= RowCount() || field < 0 || field >= FieldCount()) return {};
    if (row == current_ && state_ != RecordSetState::Browse) return buffer_[static_cast<std::size_t>(field)];
    return table_.Value(RecordNoAt(row), field);
}

// Leaving a record: a changed one is posted, an unchanged edit or insert is dropped.
bool TranslationRecordSet::LeaveRecord() {
    if (state_ == RecordSetState::Browse) return true;
    if (modified_) return Post();
    Cancel();
    return true;
}

bool TranslationRecordSet::MoveTo(int row) {
    if (row < 0 || row >= RowCount()) return false;
    if (row == current_) return true;
    // An unchanged inserted row at the end goes away; `row` lies before it.
    if (!LeaveRecord()) return false;
    current_ = std::min(row, RowCount() - 1);
    return true;
}

bool TranslationRecordSet::Edit() {
    if (!CanModify()) return Fail("the table can only be read");
    if (current_ < 0) return false;
    if (state_ != RecordSetState::Browse) return true;
    buffer_ = table_.Values(RecordNoAt(current_));
    buffer_.resize(static_cast<std::size_t>(FieldCount()));
    state_ = RecordSetState::Edit;
    modified_ = false;
    return true;
}

bool TranslationRecordSet::SetField(int field, std::string value) {
    if (field < 0 || field >= FieldCount()) return false;
    if (state_ == RecordSetState::Browse && !Edit()) return false;
    // What the field can hold, so that the editor shows what will be stored.
    value.resize(std::min<std::size_t>(value.size(), table_.Fields()[static_cast<std::size_t>(field)].Length));
    std::string& cell = buffer_[static_cast<std::size_t>(field)];
    if (cell != value) {
        cell = std::move(value);
        modified_ = true;
    }
    return true;
}

bool TranslationRecordSet::Insert() {
    if (!CanModify()) return Fail("the table can only be read");
    if (!LeaveRecord()) return false;
    rows_.push_back(0);
    current_ = RowCount() - 1;
    buffer_.assign(static_cast<std::size_t>(FieldCount()), std::string());
    state_ = RecordSetState::Insert;
    modified_ = false;
    return true;
}

bool TranslationRecordSet::Post() {
    if (state_ == RecordSetState::Browse) return true;
    if (!modified_) {
        Cancel();  // nothing typed: no empty record is written
        return true;
    }
    try {
        if (state_ == RecordSetState::Insert)
            rows_[static_cast<std::size_t>(current_)] = table_.AppendRecord(buffer_);
        else
            table_.WriteRecord(RecordNoAt(current_), buffer_);
    } catch (const EDbfError& e) {
        return Fail(e.what());  // the change stays in the editor
    }
    state_ = RecordSetState::Browse;
    modified_ = false;
    buffer_.clear();
    lastError_.clear();
    return true;
}

void TranslationRecordSet::Cancel() {
    if (state_ == RecordSetState::Insert) {
        rows_.erase(rows_.begin() + current_);
        current_ = std::min(current_, RowCount() - 1);
    }
    state_ = RecordSetState::Browse;
    modified_ = false;
    buffer_.clear();
}

bool TranslationRecordSet::Delete() {
    if (!CanModify()) return Fail("the table can only be read");
    if (current_ < 0) return false;
    if (state_ == RecordSetState::Insert) {
        Cancel();
        return true;
    }
    try {
        table_.DeleteRecord(RecordNoAt(current_));
    } catch (const EDbfError& e) {
        return Fail(e.what());
    }
    state_ = RecordSetState::Browse;
    modified_ = false;
    buffer_.clear();
    rows_.erase(rows_.begin() + current_);
    current_ = std::min(current_, RowCount() - 1);
    return true;
}

bool TranslationRecordSet::Refresh() {
    if (!LeaveRecord()) return false;
    const uint32_t record = RecordNoAt(current_);
    const int oldRow = current_;
    Reload();
    const auto it = std::find(rows_.begin(), rows_.end(), record);
    current_ = it != rows_.end() ? static_cast<int>(it - rows_.begin()) : std::min(oldRow, RowCount() - 1);
    if (current_ < 0 && !rows_.empty()) current_ = 0;
    return true;
}

bool TranslationRecordSet::SetFiltered(bool on) {
    if (!LeaveRecord()) return false;
    filtered_ = on;
    Reload();
    current_ = rows_.empty() ? -1 : 0;
    return true;
}

}  // namespace sonvira
