#pragma once

#include <string_view>

namespace marlume::events {

// What shows the event table. The text itself is kept by EventTable, CR LF line
// ends included, so its length rule does not depend on how a widget stores lines.
class EventTableView {
public:
    virtual ~EventTableView() = default;
    virtual void appendText(std::string_view piece) = 0;
    virtual void replaceText(std::string_view text) = 0;
    // Puts the insertion point after the last character, bringing the newest line into view.
    virtual void moveToEnd() = 0;
};

} // namespace marlume::events
