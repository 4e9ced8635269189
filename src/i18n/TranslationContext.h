#pragma once
// The translation table translate.dbf with its in-memory index, and the lookup that maps
// a German text to the text of the current language column. Owned by the main window
// for the program's lifetime; used on the user-interface thread only.
//
// Start-up: OpenTranslationTable, then BuildTranslationIndex (the window's FormCreate);
// Translate from then on. Texts are UTF-8 here and Windows-1252 in the table; keys are
// compared as Windows-1252 bytes, exactly as stored.

#include "TDbfTable.h"
#include "TDynaArray.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace sonvira {

// One index entry: a private copy of a record's German text (owned by the context,
// `Length` bytes, zero-terminated) and the record's number.
struct TranslationEntry {
    const char* Text;
    int32_t Length;
    int32_t RecordNo;
};

class TranslationContext {
public:
    static constexpr int32_t kColumns = 19;
    static constexpr uint8_t kFieldLength = 255;

    TranslationContext();
    ~TranslationContext();
    TranslationContext(const TranslationContext&) = delete;
    TranslationContext& operator=(const TranslationContext&) = delete;

    // Defines the 19 fields language1 … language19 (character, 255) and opens `path`,
    // creating it when missing. When that fails it opens the file read-only once more;
    // only if that fails too is the error thrown (EDbfError, text for the error box) and
    // the context stays without a table: Translate then returns every text unchanged.
    void OpenTranslationTable(const std::string& path);
    // Indexes every live record's German text: 256 buckets by first byte, each sorted by
    // unsigned bytes. Call once after OpenTranslationTable; safe without a table.
    void BuildTranslationIndex();

    // The text to show for German `source` (UTF-8) in column LanguageIndex(), with the
    // source's outer blanks kept around it. A text not in the index is looked for among
    // the records other copies of the program appended since (they join the index), and
    // only then appended to the table (and the index), under the table's lock so that no
    // two copies append the same text; not when the table is read-only. The result is then
    // the source itself.
    std::string Translate(const std::string& source);

    // 0 German, 1 English, 2 French, 3 … 18 further columns; anything else reads as 0.
    int32_t LanguageIndex() const { return languageIndex_; }
    void SetLanguageIndex(int32_t index);

    TDbfTable& Table() { return table_; }
    const TDbfTable& Table() const { return table_; }
    // The bucket of first byte `b`, for inspection (tests, benchmarks).
    TDynaArray& Bucket(unsigned char b) { return *TranslationBuckets[b]; }

    // Sorts positions lo … hi of `bucket` by Text, a quicksort on unsigned bytes (a
    // prefix sorts first). Equal texts stay in the order the exchanges leave them in.
    void SortBucket(TDynaArray& bucket, int32_t lo, int32_t hi);

private:
    const TranslationEntry* Find(std::string_view key);
    void AddEntry(std::string_view key, uint32_t recordNo);
    void IndexRecord(uint32_t recordNo);
    void IndexNewRecords();
    std::string StoredForm(std::string_view key) const;
    std::string ResultFor(const TranslationEntry& entry, const std::string& source,
                          std::size_t leading, std::size_t trailing, bool keyCut);

    TDbfTable table_;
    std::array<std::unique_ptr<TDynaArray>, 256> TranslationBuckets;
    TranslationEntry* CurrentEntry = nullptr;
    std::deque<std::string> texts_;  // the entries' private copies; addresses stay put
    int32_t languageIndex_ = 0;
    uint32_t indexed_ = 0;  // records 1 … indexed_ have been looked at
};

}  // namespace sonvira
