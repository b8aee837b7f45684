#pragma once

#include <QString>

class QWidget;

namespace tillora {

// Every message box and file dialog of the program goes through a Prompter, so
// that tests can record the texts and queue the answers.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    struct FileDialog {
        QString title;
        QString filter;        // Qt filter text, e.g. "Excel (*.xls)"
        QString proposedName;  // file name or path shown at first
        QString defaultSuffix; // added when the typed name has none, without the dot
    };

    virtual ~Prompter() = default;

    // A message box with an OK button. The default title is "信息：".
    virtual void message(const QString& text, const QString& title, Icon icon, QWidget* owner) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const QString& text, const QString& title, Icon icon, QWidget* owner) = 0;
    // File dialogs; the empty text when cancelled.
    virtual QString openFile(const FileDialog& dialog, QWidget* owner) = 0;
    virtual QString saveFile(const FileDialog& dialog, QWidget* owner) = 0;

    static QString defaultTitle() { return QStringLiteral("信息："); }

    // Shorthands for the most common shapes.
    void info(const QString& text, QWidget* owner = nullptr)
    {
        message(text, defaultTitle(), Icon::None, owner);
    }
};

} // namespace tillora
