#pragma once

#include <QPlainTextEdit>

namespace tillora {

// A several-line edit box whose text separates lines by CR LF, as the texts
// stored in the database do; the box itself shows plain line breaks.
class MultiLineEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

    QString text() const { return toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }
    void setText(const QString& text)
    {
        setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
};

} // namespace tillora

using tillora::MultiLineEdit;
