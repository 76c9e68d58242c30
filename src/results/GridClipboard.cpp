#include "results/GridClipboard.h"

namespace vantrel {

QStringList clipboardLines(ClipboardForm form, const QStringList& titles,
                           const QList<QStringList>& rows, const QStringList& resultLines) {
    QStringList out;
    switch (form) {
        case ClipboardForm::ResultLines:
            out = resultLines;
            break;
        case ClipboardForm::TitleAndRowsTabbed:
            out.reserve(rows.size() + 1);
            out.append(titles.join(QLatin1Char('\t')));
            for (const QStringList& row : rows)
                out.append(row.join(QLatin1Char('\t')));
            break;
        case ClipboardForm::FirstFiveCellsTabbed:
            out.reserve(rows.size());
            for (const QStringList& row : rows) {
                QString line;
                for (qsizetype c = 0; c < 5; ++c) {
                    if (c < row.size())
                        line += row[c];
                    line += QLatin1Char('\t');
                }
                out.append(line);
            }
            break;
        case ClipboardForm::None:
            break;
    }
    return out;
}

QString clipboardText(ClipboardForm form, const QStringList& titles, const QList<QStringList>& rows,
                      const QStringList& resultLines) {
    return clipboardLines(form, titles, rows, resultLines).join(QStringLiteral("\r\n"));
}

}  // namespace vantrel
