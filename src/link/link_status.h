#pragma once

#include "link/link_state.h"

#include <cstdint>

namespace marlume::link {

// What the status line tells of the link: a search with the port it is trying, the sensor ready on its
// port, or an event integrating.
struct LinkStatus {
    enum class Kind { Searching, Ready, Integrating };
    Kind kind = Kind::Searching;
    std::int16_t port = 0; // Searching: the port being tried, 0 before the first; Ready: the sensor's
    std::int32_t event = 0; // Integrating: the event's number
    friend bool operator==(const LinkStatus&, const LinkStatus&) = default;
};

// Who is told how the link stands: its status, and whether the data indicator shows that readings come.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void linkStatusChanged(const LinkStatus& status) = 0;
    virtual void dataIndicatorChanged(bool receiving) = 0;
};

// Sets the link's status: CTS changes are ignored exactly while a search is on.
class StatusLine final {
public:
    StatusLine(LinkObserver& observer, LinkState& state)
        : m_observer(observer)
        , m_state(state)
    {
    }

    void set(const LinkStatus& status)
    {
        m_state.searchActive = status.kind == LinkStatus::Kind::Searching;
        m_observer.linkStatusChanged(status);
    }

private:
    LinkObserver& m_observer;
    LinkState& m_state;
};

} // namespace marlume::link
