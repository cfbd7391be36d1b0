#include "documents/FileBytes.h"

namespace quantaro {

std::string_view ContentBeforeEndMark(std::string_view bytes) {
    return bytes.substr(0, bytes.find(kEndOfFileMark));
}

}  // namespace quantaro
