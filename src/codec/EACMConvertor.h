#pragma once
// The error of the codec converter: the name of the failed stream call followed by an
// English description of its result code (see TACMConvertor::CheckResult).

#include <stdexcept>

namespace sonvira {

class EACMConvertor : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace sonvira
