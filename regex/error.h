// The engine's general exception class.
//
// Argument errors, internal errors and resource limits are raised as
// RegexError with a message that names the class and operation
// ("TbmRELeafNodeSet.AddSet: Internal Error"). Pattern errors are raised as
// EbmREToken (token.h), which derives from it, so one handler catches
// everything the engine raises.
#ifndef MORVIK_REGEX_ERROR_H_
#define MORVIK_REGEX_ERROR_H_

#include <stdexcept>
#include <string>

namespace morvik {

class RegexError : public std::runtime_error {
 public:
  explicit RegexError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace morvik

#endif  // MORVIK_REGEX_ERROR_H_
