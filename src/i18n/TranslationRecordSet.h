#pragma once
// The records of translate.dbf as the translation editor shows and edits them: the live
// records in file order (those the search accepts while it is on), a current row, and the
// changes to the current record that are not written yet.
//
// Works straight on the table that Translate uses; there is no copy. A record is written
// when it is posted: by Post, or by moving away from a changed row (a row left unchanged
// is simply left). Nothing is written to a table that can only be read: every change is
// refused there. A failed write keeps the change in the editor and says why in
// LastError(), so nothing typed is lost.
//
// Texts are the table's Windows-1252 bytes. User-interface thread only.

#include "TDbfTable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sonvira {

enum class RecordSetState { Browse, Edit, Insert };

class TranslationRecordSet {
public:
    explicit TranslationRecordSet(TDbfTable& table);

    // The search text, read afresh for each record the filter tests.
    void SetSearchText(std::function<std::string()> searchText) { searchText_ = std::move(searchText); }
    // Switches the filter and reopens: the rows start again from the first one. Pending
    // changes are posted first; false when that fails (nothing else changes then).
    bool SetFiltered(bool on);
    bool Filtered() const { return filtered_; }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int CurrentRow() const { return current_; }  // -1 when there is no row
    // The record shown in `row`; 0 for a row inserted but not yet posted.
    uint32_t RecordNoAt(int row) const;
    int FieldCount() const { return static_cast<int>(table_.Fields().size()); }
    std::string FieldName(int field) const;
    // The value shown: the pending one in the current row while editing.
    std::string Value(int row, int field) const;

    RecordSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    // False when the table is closed, write-protected or damaged.
    bool CanModify() const { return table_.Active() && !table_.ReadOnly(); }
    const std::string& LastError() const { return lastError_; }

    // Moving posts a changed current record first and stays put when that fails.
    bool MoveTo(int row);
    bool First() { return MoveTo(0); }
    bool Prior() { return MoveTo(current_ - 1); }
    bool Next() { return MoveTo(current_ + 1); }
    bool Last() { return MoveTo(RowCount() - 1); }

    bool Edit();                                   // the current record into edit mode
    bool SetField(int field, std::string value);   // edits the current record
    bool Insert();                                 // a new empty row at the end
    bool Post();                                   // writes the current record's changes
    void Cancel();                                 // drops them
    bool Delete();                                 // marks the current record deleted
    // Posts, reads the rows again and keeps the current record where it still is shown.
    bool Refresh();

private:
    void Reload();
    bool LeaveRecord();
    bool Accepts(uint32_t recordNo) const;
    bool Fail(const std::string& why);

    TDbfTable& table_;
    std::function<std::string()> searchText_;
    bool filtered_ = false;
    std::vector<uint32_t> rows_;  // record numbers; 0 for a row being inserted
    int current_ = -1;
    RecordSetState state_ = RecordSetState::Browse;
    std::vector<std::string> buffer_;  // the current record while editing or inserting
    bool modified_ = false;
    std::string lastError_;
};

}  // namespace sonvira
