#pragma once

namespace marlume::events {

// CTS high and "Force Trigger" held are one trigger: an event starts when the first of the two comes and
// ends when both are gone, so that overlapping sources give one event, one table line and one record.
class TriggerSources final {
public:
    enum class Edge {
        None, // the other source holds the trigger: nothing starts or ends
        Start,
        End, // whatever collects ends: an event, or the collection a search left running
    };

    [[nodiscard]] Edge ctsChanged(bool high) { return change(m_cts, high); }
    [[nodiscard]] Edge buttonChanged(bool held) { return change(m_button, held); }
    // The port has gone: no fall of its CTS will come.
    void forgetCts() { m_cts = false; }

private:
    Edge change(bool& source, bool on)
    {
        const bool wasOn = m_cts || m_button;
        source = on;
        const bool isOn = m_cts || m_button;
        if (isOn != wasOn)
            return isOn ? Edge::Start : Edge::End;
        // A fall with nothing holding the trigger (a CTS rise the search ignored) still ends what collects.
        return !on && !isOn ? Edge::End : Edge::None;
    }

    bool m_cts = false;
    bool m_button = false;
};

} // namespace marlume::events
