#include "app/version_caption.h"

#include "record/number_text.h"

namespace marlume::app {

std::string versionCaption(std::string_view caption, int major, int minor, int revision)
{
    std::string text(caption);
    text += ' ';
    text += record::wholeNumberText(major);
    text += '.';
    text += record::wholeNumberText(minor);
    text += record::wholeNumberText(revision);
    return text;
}

} // namespace marlume::app
