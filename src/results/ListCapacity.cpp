#include "results/ListCapacity.h"

namespace vantrel {

QString resultListFullMessage() {
    return QStringLiteral(
        "Due to Windows resource limitations ... cannot process any more files.\n\n"
        "Try increasing the file size limits or file match and re-scan.");
}

}  // namespace vantrel
