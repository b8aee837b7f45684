#pragma once

#include "app/Services.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class RecordDetailWindow;
}

class QTreeWidgetItem;

namespace tillora {

// The lines of one saved receipt. An administrator may change or delete a
// line, and add lines to the list shown (they are not stored). The receipt's
// own quantity and amount stay as they are.
class RecordDetailWindow : public QDialog {
    Q_OBJECT
public:
    // Without a record the list stays empty.
    RecordDetailWindow(Services services, std::optional<qint64> recordId, QWidget* parent = nullptr);
    ~RecordDetailWindow() override;

    Ui::RecordDetailWindow& ui() { return *m_ui; }
    std::optional<qint64> shownRecordId() const { return m_recordId; }

    void fillLines();
    void addLine();
    void modifyLine();
    void deleteLine();

    // The three-line notice the remark box shows until a line is chosen.
    static QString contactNotice();

private:
    void lineSelected(QTreeWidgetItem* current);
    void discountClicked(bool on);
    // False, after the message, when the name, quantity or price box is empty.
    bool entryComplete();
    // The chosen row; none, after the message, when no row was chosen.
    QTreeWidgetItem* selectedRow(const QString& missingText);
    double discountFactor() const;

    std::unique_ptr<Ui::RecordDetailWindow> m_ui;
    Services m_services;
    std::optional<qint64> m_recordId;
};

} // namespace tillora
