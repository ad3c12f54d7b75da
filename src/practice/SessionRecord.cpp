#include "practice/SessionRecord.h"

#ifndef VANTREL_VERSION_TEXT
#define VANTREL_VERSION_TEXT "0"
#endif

namespace vantrel {

std::string programVersionText() {
    return std::string("Vantrel ") + VANTREL_VERSION_TEXT;
}

SessionRecord branchRecord(int market, const PracticeBranch& branch) {
    SessionRecord record;
    record.program = programVersionText();
    record.market = market;
    record.actions = branch.actions;
    record.results = branch.results;
    return record;
}

} // namespace vantrel
