#include "settings/NumberFormatWindow.h"

#include "common/DateTexts.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_NumberFormatWindow.h"

namespace tillora {

namespace {
const QString kRestartedSequence = QStringLiteral("0000000");
}

NumberFormatWindow::NumberFormatWindow(Services services, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::NumberFormatWindow>())
    , m_services(services)
    , m_orderNumbers(services.db, services.prompter, services.clock)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    connect(m_ui->选择框1, &QCheckBox::clicked, this, &NumberFormatWindow::fixedPrefixClicked);
    connect(m_ui->选择框2, &QCheckBox::clicked, this, &NumberFormatWindow::datePrefixClicked);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &NumberFormatWindow::confirm);
    connect(m_ui->按钮2, &QPushButton::clicked, this, &QDialog::reject);

    m_ui->编辑框1->setText(m_orderNumbers.customPrefix());
    m_ui->编辑框2->setText(DateStamp(m_services.clock.now()));
    int& mode = m_services.session.orderNumberMode;
    m_orderNumbers.readMode(mode);
    // Only the ticks are set here: both edit boxes stay enabled until one of
    // the check boxes is clicked.
    m_ui->选择框1->setChecked(mode == 1);
    m_ui->选择框2->setChecked(mode != 1);
}

NumberFormatWindow::~NumberFormatWindow() = default;

// A click has already toggled the box: the other one takes the opposite state.
void NumberFormatWindow::fixedPrefixClicked(bool checked)
{
    chooseFixedPrefix(checked);
}

void NumberFormatWindow::datePrefixClicked(bool checked)
{
    chooseFixedPrefix(!checked);
}

void NumberFormatWindow::chooseFixedPrefix(bool fixed)
{
    m_ui->选择框1->setChecked(fixed);
    m_ui->选择框2->setChecked(!fixed);
    m_ui->编辑框1->setEnabled(fixed);
    m_ui->编辑框2->setEnabled(!fixed);
}

// The mode row is the one configuration row, hence no condition. On success
// the mode is read back so that the next saved sale uses it at once.
void NumberFormatWindow::storeMode(int mode)
{
    if (!m_services.db.exec(
            QStringLiteral("UPDATE 配置文件 SET 全局单号格式 = ?"), { QString::number(mode) })) {
        m_services.prompter.info(QStringLiteral("数据添加失败"), this);
        return;
    }
    m_orderNumbers.readMode(m_services.session.orderNumberMode);
}

// Stores the chosen mode, restarts the owner's order number under the chosen
// prefix, then stores the fixed prefix whichever prefix was chosen. A failed
// mode update does not stop the rest. The window stays open.
void NumberFormatWindow::confirm()
{
    const bool fixed = m_ui->选择框1->isChecked();
    storeMode(fixed ? 1 : 2);
    const QString prefix = fixed ? m_ui->编辑框1->text() : m_ui->编辑框2->text();
    if (m_onNumberReset)
        m_onNumberReset(prefix + kRestartedSequence);
    Config config(m_services.db, m_services.prompter);
    if (!config.writeText(QStringLiteral("单号格式"), m_ui->编辑框1->text()))
        m_services.prompter.message(
            QStringLiteral("数据添加失败！"), Prompter::defaultTitle(), Prompter::Icon::Error, this);
}

} // namespace tillora
