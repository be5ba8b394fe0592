#include "app/version_caption.h"

namespace marlume::app {

std::string versionCaption(std::string_view caption, int major, int minor, int revision)
{
    std::string text(caption);
    text += ' ';
    text += std::to_string(major);
    text += '.';
    text += std::to_string(minor);
    text += std::to_string(revision);
    return text;
}

} // namespace marlume::app
