#pragma once

#include <QComboBox>

namespace tillora {

// A combo box that says when its list is about to drop down, so that the list
// can be filled from the database just before it is shown.
class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit aboutToShowPopup();
        QComboBox::showPopup();
    }

signals:
    void aboutToShowPopup();
};

} // namespace tillora

using tillora::DropDownComboBox;
