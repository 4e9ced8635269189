#pragma once
// A PCM block allocated with std::malloc (the document frees it with std::free).

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace sonvira {

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using SampleBlock = std::unique_ptr<uint8_t[], FreeDeleter>;

}  // namespace sonvira
