#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::platform {

// What a serial line on the network has received and not handed over yet: its bytes and the CTS changes
// told among them, in the order they came, so that no reading lands on the wrong side of an event's edge
// however the server packed them. Bytes are handed over only up to the next change; the change shows once
// the bytes before it have been taken, and the bytes after it wait until it has been looked at.
class CtsOrderedBuffer final {
public:
    void append(std::string_view bytes);
    // A notice of the CTS level, telling of this many changes since the notice before.
    void appendCts(bool level, std::uint32_t changes);

    // Bytes held, whether they may be taken yet or not.
    [[nodiscard]] std::size_t size() const { return m_bytes.size() - m_front; }
    // Bytes that may be taken now.
    [[nodiscard]] std::size_t available();
    // Takes up to maxCount of the bytes that may be taken now.
    [[nodiscard]] std::string take(std::size_t maxCount);

    // The level and the count of the changes shown so far; looking at either lets the bytes after them go.
    [[nodiscard]] std::optional<bool> cts();
    [[nodiscard]] std::uint32_t ctsChanges();
    // A change shows that nobody has looked at yet, and holds back the bytes after it.
    [[nodiscard]] bool changeUnseen() const { return !m_seen; }

private:
    struct Change {
        std::uint64_t at; // bytes appended before it, from the first
        bool level;
        std::uint32_t changes;
    };

    void showDueChange();
    [[nodiscard]] std::uint64_t appended() const { return m_taken + size(); }

    std::string m_bytes; // from m_front on: held
    std::size_t m_front = 0;
    std::uint64_t m_taken = 0; // bytes handed over, from the first
    std::deque<Change> m_pending; // at most one at each place among the bytes
    std::optional<bool> m_cts;
    std::uint32_t m_ctsChanges = 0;
    bool m_seen = true;
};

} // namespace marlume::platform
