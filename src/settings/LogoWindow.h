#pragma once

#include "app/Services.h"
#include "receipt/ReceiptLayout.h"

#include <QByteArray>
#include <QDialog>
#include <memory>

namespace Ui {
class LogoWindow;
}

namespace tillora {

// The receipt logo: its picture, offset, height and width, and whether it is
// printed. Every change is written to the configuration record at once; the
// in-memory switch (session.printOptions.printLogo) and the given geometry are
// kept equal to the record so that the next receipt uses the new values.
class LogoWindow : public QDialog {
    Q_OBJECT
public:
    // geometry is the owner's logo geometry; it must outlive the window.
    LogoWindow(Services services, LogoGeometry& geometry, QWidget* parent = nullptr);
    ~LogoWindow() override;

    Ui::LogoWindow& ui() { return *m_ui; }
    // The picture's bytes as stored or as read from the chosen file.
    const QByteArray& pictureBytes() const { return m_picture; }

    void printLogoClicked(bool checked);
    void changeLogo();
    void saveNumbers();

private:
    void loadPicture();
    void showPicture(const QByteArray& bytes);
    void reportError(const QString& text);

    std::unique_ptr<Ui::LogoWindow> m_ui;
    Services m_services;
    LogoGeometry& m_geometry;
    QByteArray m_picture;
};

} // namespace tillora
