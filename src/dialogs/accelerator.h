#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace marlume::dialogs {

// Kind names of the controls that take part in keyboard accelerators.
inline constexpr std::string_view kCommandButton = "CommandButton";
inline constexpr std::string_view kCheckBox = "CheckBox";
inline constexpr std::string_view kOptionButton = "OptionButton";

struct AcceleratorControl {
    std::string_view kind;
    std::u16string_view caption;
};

// The push button that a typed character presses: the first one, in control order,
// whose caption marks that character after its first "&" (case ignored). Nothing while
// the focused control (focusedKind, empty for none) is no push button, check box or
// option button.
[[nodiscard]] std::optional<std::size_t> findAcceleratorButton(
    std::string_view focusedKind, std::span<const AcceleratorControl> controls, char16_t key);

} // namespace marlume::dialogs
