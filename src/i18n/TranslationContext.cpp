#include "TranslationContext.h"

#include "Win1252.h"

#include <cstring>

namespace sonvira {
namespace {

std::string_view TextAt(TDynaArray& bucket, int32_t i) {
    const auto* entry = static_cast<const TranslationEntry*>(bucket.Get(i));
    return {entry->Text, static_cast<std::size_t>(entry->Length)};
}

// A translation is shown without the blanks, tabs and line breaks around it; the source's
// own blanks are put back by the caller.
std::string_view TrimControlsAndBlanks(std::string_view v) {
    while (!v.empty() && static_cast<unsigned char>(v.front()) <= 0x20) v.remove_prefix(1);
    while (!v.empty() && static_cast<unsigned char>(v.back()) <= 0x20) v.remove_suffix(1);
    return v;
}

}  // namespace

TranslationContext::TranslationContext() {
    for (auto& bucket : TranslationBuckets)
        bucket = std::make_unique<TDynaArray>(static_cast<int32_t>(sizeof(TranslationEntry)), &CurrentEntry);
}

TranslationContext::~TranslationContext() = default;

void TranslationContext::SetLanguageIndex(int32_t index) {
    languageIndex_ = index >= 0 && index < kColumns ? index : 0;
}

void TranslationContext::OpenTranslationTable(const std::string& path) {
    table_.Close();
    table_.ClearFieldDefs();
    for (int32_t i = 1; i <= kColumns; ++i) table_.AddFieldDef("language" + std::to_string(i), kFieldLength);
    table_.SetReadOnly(false);
    try {
        table_.Open(path);
    } catch (const EDbfError&) {
        table_.SetReadOnly(true);
        table_.Open(path);  // a second failure goes to the caller's error box
    }
}

void TranslationContext::BuildTranslationIndex() {
    for (auto& bucket : TranslationBuckets) bucket->Clear();
    texts_.clear();
    indexed_ = 0;
    if (!table_.Active()) return;
    for (; indexed_ < table_.RecordCount(); ++indexed_) IndexRecord(indexed_ + 1);
    for (auto& bucket : TranslationBuckets)
        if (bucket->Count() > 0) SortBucket(*bucket, 0, static_cast<int32_t>(bucket->Count() - 1));
}

void TranslationContext::IndexRecord(uint32_t recordNo) {
    const std::string record = table_.ReadRecordPrefix(recordNo, 0);
    if (record.empty() || record[0] == '*') return;  // unreadable or deleted
    const std::string german = table_.FieldFromPrefix(record, 0);
    if (!german.empty()) AddEntry(german, recordNo);
}

// Records other copies appended since the index was built join it at the end of their
// buckets (the search runs through a bucket whole, sorted or not).
void TranslationContext::IndexNewRecords() {
    if (!table_.Active()) return;
    for (const uint32_t count = table_.RefreshRecordCount(); indexed_ < count; ++indexed_) IndexRecord(indexed_ + 1);
}

void TranslationContext::SortBucket(TDynaArray& bucket, int32_t lo, int32_t hi) {
    int32_t i = lo;
    int32_t j = hi;
    const std::string pivot(TextAt(bucket, lo + (hi - lo) / 2));
    do {
        while (TextAt(bucket, i) < pivot) ++i;
        while (TextAt(bucket, j) > pivot) --j;
        if (i <= j) {
            bucket.Swap(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j) SortBucket(bucket, lo, j);
    if (i < hi) SortBucket(bucket, i, hi);
}

void TranslationContext::AddEntry(std::string_view key, uint32_t recordNo) {
    const std::string& text = texts_.emplace_back(key);
    if (!TranslationBuckets[static_cast<unsigned char>(key[0])]->Append()) return;  // out of memory, reported
    CurrentEntry->Text = text.c_str();
    CurrentEntry->Length = static_cast<int32_t>(text.size());
    CurrentEntry->RecordNo = static_cast<int32_t>(recordNo);
}

const TranslationEntry* TranslationContext::Find(std::string_view key) {
    TDynaArray& bucket = *TranslationBuckets[static_cast<unsigned char>(key[0])];
    bucket.First();
    // A record deleted in the translation editor is never used again; the index keeps its
    // entry until the next start, when the record is no longer read.
    while (bucket.Next())
        if (CurrentEntry->Length == static_cast<int32_t>(key.size()) &&
            std::memcmp(CurrentEntry->Text, key.data(), key.size()) == 0 &&
            !table_.IsDeleted(static_cast<uint32_t>(CurrentEntry->RecordNo)))
            return CurrentEntry;
    return nullptr;
}

// The key as the table gives it back after storing it: cut to the German field's length,
// trailing blanks dropped. Matching on this form finds a long text again at the next
// start instead of appending it anew every time.
std::string TranslationContext::StoredForm(std::string_view key) const {
    const auto& fields = table_.Fields();
    const std::size_t length = fields.empty() ? kFieldLength : fields[0].Length;
    std::string stored(key.substr(0, length));
    stored.erase(stored.find_last_not_of(' ') + 1);
    return stored;
}

std::string TranslationContext::ResultFor(const TranslationEntry& entry, const std::string& source,
                                          std::size_t leading, std::size_t trailing, bool keyCut) {
    // The German column of a cut key holds only its start: the source is the German text.
    if (languageIndex_ == 0 && keyCut) return source;
    const std::string v = table_.Value(static_cast<uint32_t>(entry.RecordNo), languageIndex_);
    if (v.empty()) return source;
    return std::string(leading, ' ') + Win1252ToUtf8(TrimControlsAndBlanks(v)) + std::string(trailing, ' ');
}

std::string TranslationContext::Translate(const std::string& source) {
    const std::size_t first = source.find_first_not_of(' ');
    if (first == std::string::npos) return source;  // empty or blanks only
    const std::size_t last = source.find_last_not_of(' ');
    const std::string key = Utf8ToWin1252(std::string_view(source).substr(first, last + 1 - first));
    const std::string stored = StoredForm(key);
    if (stored.empty()) return source;  // a German field of length 0 holds nothing
    const bool keyCut = stored.size() != key.size();
    if (const TranslationEntry* entry = Find(stored))
        return ResultFor(*entry, source, first, source.size() - 1 - last, keyCut);
    if (!table_.Active()) return source;
    // Looking among the new records and appending are one step among the copies.
    const TDbfTable::Lock hold(table_);
    IndexNewRecords();
    if (const TranslationEntry* entry = Find(stored))
        return ResultFor(*entry, source, first, source.size() - 1 - last, keyCut);
    if (table_.ReadOnly()) return source;
    try {
        const std::string values[] = {key};
        // Under the lock nothing came in since IndexNewRecords: the record is the next one.
        indexed_ = table_.AppendRecord(values);
        AddEntry(stored, indexed_);
    } catch (const EDbfError&) {
        // The file refused the record (disk full, say); the text is shown untranslated
        // and offered again at its next lookup.
    }
    return source;
}

}  // namespace sonvira
