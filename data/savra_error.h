// The editor's exceptions. Commands do not catch them; the window's default
// handler shows the message, svtool prints it. Each carries only its message.
#ifndef MORVIK_DATA_SAVRA_ERROR_H_
#define MORVIK_DATA_SAVRA_ERROR_H_

#include <stdexcept>

namespace morvik {

class ESavraError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A script the conversions cannot take ("braces do not close").
class EInvalidSavraScript : public ESavraError {
 public:
  using ESavraError::ESavraError;
};

}  // namespace morvik

#endif  // MORVIK_DATA_SAVRA_ERROR_H_
