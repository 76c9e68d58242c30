#pragma once

#include <QString>

namespace vantrel {

// The message a search shows when its result list has reached its capacity
// and the scan stops (a warning; the rows gathered so far are still shown).
// The duplicates and files-by-date searches share it.
QString resultListFullMessage();

}  // namespace vantrel
