#pragma once

#include "Prompter.h"

namespace tillora {

// The program's real message boxes and file dialogs, as modal Qt widgets.
class QtPrompter final : public Prompter {
public:
    void message(const QString& text, const QString& title, Icon icon, QWidget* owner) override;
    bool askYesNo(const QString& text, const QString& title, Icon icon, QWidget* owner) override;
    QString openFile(const FileDialog& dialog, QWidget* owner) override;
    QString saveFile(const FileDialog& dialog, QWidget* owner) override;
};

} // namespace tillora
