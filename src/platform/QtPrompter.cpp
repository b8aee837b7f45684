#include "QtPrompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tillora {

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::None:
        return QMessageBox::NoIcon;
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString runFileDialog(const Prompter::FileDialog& dialog, QWidget* owner, QFileDialog::AcceptMode mode)
{
    QFileDialog box(owner, dialog.title);
    box.setAcceptMode(mode);
    box.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!dialog.filter.isEmpty())
        box.setNameFilter(dialog.filter);
    QString suffix = dialog.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    box.setDefaultSuffix(suffix);
    if (!dialog.proposedName.isEmpty())
        box.selectFile(dialog.proposedName);
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.selectedFiles().value(0);
}

} // namespace

void QtPrompter::message(const QString& text, const QString& title, Icon icon, QWidget* owner)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtPrompter::askYesNo(const QString& text, const QString& title, Icon icon, QWidget* owner)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, owner);
    // Closing the box or pressing Escape counts as No.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompter::openFile(const FileDialog& dialog, QWidget* owner)
{
    return runFileDialog(dialog, owner, QFileDialog::AcceptOpen);
}

QString QtPrompter::saveFile(const FileDialog& dialog, QWidget* owner)
{
    return runFileDialog(dialog, owner, QFileDialog::AcceptSave);
}

} // namespace tillora
