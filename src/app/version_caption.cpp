#include "app/version_caption.h"

#include "common/number_text.h"

namespace marlume::app {

std::string versionCaption(std::string_view caption, int major, int minor, int revision)
{
    std::string text(caption);
    text += ' ';
    text += common::wholeNumberText(major);
    text += '.';
    text += common::wholeNumberText(minor);
    text += common::wholeNumberText(revision);
    return text;
}

} // namespace marlume::app
