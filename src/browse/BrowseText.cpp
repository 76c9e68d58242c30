#include "browse/BrowseText.h"

#include "text/Formats.h"

namespace vantrel {

QString nameText(const QByteArray& name) {
    QString text = displayText(name);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

}  // namespace vantrel
