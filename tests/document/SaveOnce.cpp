// Saves the text argv[2] into the file argv[1] through PendingFile, as every save of the
// program does, and nothing else: PendingFileTest runs it under strace to see the order
// of its system calls. Exit status 0 when saved.

#include <cstdint>
#include <string>

#include "PendingFile.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string text = argv[2];
    sonvira::PendingFile file(argv[1]);
    const bool saved =
        file.Ok() && file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) && file.Commit();
    return saved ? 0 : 1;
}
