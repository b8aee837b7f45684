#pragma once

#include "receipt/ReceiptLayout.h"

#include <QDialog>
#include <memory>

namespace Ui {
class PreviewWindow;
}

namespace tillora {

// The receipt of the sale being entered, drawn to scale on a narrow canvas.
// Nothing is printed or saved from here.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // Stands as high as the sales window (salesWindow), beside it, and draws the
    // receipt at once.
    PreviewWindow(const ReceiptContent& content, const PrintOptions& options, LogoGeometry& geometry,
        LogoSource& logo, QWidget* salesWindow);
    ~PreviewWindow() override;

    Ui::PreviewWindow& ui() { return *m_ui; }

    static constexpr int kCanvasLeft = 17;

private:
    void scrollTo(int position);

    std::unique_ptr<Ui::PreviewWindow> m_ui;
};

} // namespace tillora
