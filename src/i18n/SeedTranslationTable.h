#pragma once
// A user's own translate.dbf next to the table the program ships: the first start makes it
// a copy of the shipped one; every later start gives it what the shipped table has and it
// lacks (empty English and French cells filled, German texts it has not got appended),
// never overwriting what the user wrote (see MergeShippedTranslations). So an installed
// program's users keep their translations across updates and still get the new texts.
// Plain C++; one thread at a time.

#include <cstdint>
#include <string>

namespace sonvira {

struct SeedOutcome {
    enum class Kind {
        Copied,           // the user had no table: it is now a copy of the shipped one
        Merged,           // the user's table was completed (or already held everything)
        NoShippedTable,   // nothing shipped to seed from (or it cannot be read): nothing done
        LeftAlone,        // the user's table cannot be written or is damaged: untouched
        Failed,           // the copy could not be written; no half-written table remains
    };
    Kind kind = Kind::NoShippedTable;
    uint32_t appended = 0;  // for Merged
    uint32_t filled = 0;    // for Merged
    std::string note;       // why, for LeftAlone and Failed
};

// Seeds or completes the table at `userTable` from the one at `shippedTable`. A new copy is
// written beside its final name and renamed into place (PendingFile), so a start that is
// cut off never leaves a partial table behind. Throws nothing.
SeedOutcome SeedTranslationTable(const std::string& shippedTable, const std::string& userTable);

}  // namespace sonvira
