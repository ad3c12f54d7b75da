#include "practice/SessionRecord.h"

#ifndef VANTREL_VERSION_TEXT
#define VANTREL_VERSION_TEXT "0"
#endif

namespace vantrel {

std::string programVersionText() {
    return std::string("Vantrel ") + VANTREL_VERSION_TEXT;
}

} // namespace vantrel
