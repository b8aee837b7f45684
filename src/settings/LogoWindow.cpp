#include "settings/LogoWindow.h"

#include "platform/Prompter.h"
#include "receipt/ReceiptLogo.h"
#include "store/Config.h"
#include "store/Database.h"
#include "store/Session.h"
#include "ui_LogoWindow.h"

#include <QFile>
#include <QPixmap>

namespace tillora {

namespace {

const QString kOpenFailed = QStringLiteral("logo数据打开失败！");
const QString kAddFailed = QStringLiteral("数据添加失败！");

// The logo columns hold whole numbers in the 32-bit range. Such a text is bound
// as a number; any other text is bound as it is, and the column's check refuses
// it, so that "abc", "2.5", a quote or a number beyond the range fails the update
// instead of being stored as something else.
QVariant numberParameter(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? QVariant(value) : QVariant(text);
}

} // namespace

LogoWindow::LogoWindow(Services services, LogoGeometry& geometry, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LogoWindow>())
    , m_services(services)
    , m_geometry(geometry)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    // The form cannot keep a carriage return; the hint's lines are CR LF separated.
    m_ui->标签2->setText(
        QStringLiteral("1.导入图片可以是任意格式\r\n\r\n2.图片尺寸宽度高度，建议自行调整\r\n\r\n"
                       "3.偏差输入负数向左，正数向右移动"));
    connect(m_ui->选择框1, &QCheckBox::clicked, this, &LogoWindow::printLogoClicked);
    connect(m_ui->按钮_更改logo, &QPushButton::clicked, this, &LogoWindow::changeLogo);
    connect(m_ui->按钮_保存, &QPushButton::clicked, this, &LogoWindow::saveNumbers);
    connect(m_ui->按钮2, &QPushButton::clicked, this, &QDialog::reject);

    loadPicture();
    DatabaseLogoSource(m_services.db, m_services.prompter).readGeometry(m_geometry);
    m_ui->编辑框_偏差->setText(QString::number(m_geometry.offset));
    m_ui->编辑框_高度->setText(QString::number(m_geometry.height));
    m_ui->编辑框_宽度->setText(QString::number(m_geometry.width));

    // A failed read counts as "not printed" and says so.
    const bool printLogo = Config(m_services.db, m_services.prompter).readPrintLogo();
    m_ui->选择框1->setChecked(printLogo);
    m_services.session.printOptions.printLogo = printLogo;
}

LogoWindow::~LogoWindow() = default;

void LogoWindow::reportError(const QString& text)
{
    m_services.prompter.message(text, Prompter::defaultTitle(), Prompter::Icon::Error, this);
}

void LogoWindow::loadPicture()
{
    const auto rows = m_services.db.query(QStringLiteral("SELECT * FROM [配置文件] WHERE [ID]=1"));
    if (!rows) {
        reportError(kOpenFailed);
        return;
    }
    showPicture(rows->empty() ? QByteArray() : rows->front().bytes(QStringLiteral("logo")));
}

// Keeps the bytes as they are and shows them scaled to fit the box; bytes that
// are no picture the platform can decode show nothing.
void LogoWindow::showPicture(const QByteArray& bytes)
{
    m_picture = bytes;
    QPixmap picture;
    if (bytes.isEmpty() || !picture.loadFromData(bytes)) {
        m_ui->图片框1->clear();
        return;
    }
    m_ui->图片框1->setPixmap(
        picture.scaled(m_ui->图片框1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// On failure the box keeps its new tick and the in-memory switch its old state.
void LogoWindow::printLogoClicked(bool checked)
{
    if (!Config(m_services.db, m_services.prompter).writeYesNo(QStringLiteral("是否打印logo"), checked)) {
        m_services.prompter.info(QStringLiteral("数据修改失败"), this);
        return;
    }
    m_services.session.printOptions.printLogo = checked;
}

// Stores the chosen file's bytes unchanged, or, when the dialog is cancelled,
// the picture already shown.
void LogoWindow::changeLogo()
{
    const QString path = m_services.prompter.openFile(
        Prompter::FileDialog { QStringLiteral("打开"), QStringLiteral("*.* (*)"), QString(), QString() },
        this);
    if (!path.isEmpty()) {
        QFile file(path);
        // A file that cannot be read is reported; the stored picture stays.
        if (!file.open(QIODevice::ReadOnly)) {
            reportError(kAddFailed);
            return;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            reportError(kAddFailed);
            return;
        }
        showPicture(bytes);
    }
    if (!m_services.db.exec(QStringLiteral("UPDATE [配置文件] SET logo=? WHERE [ID]=1"), { m_picture })) {
        reportError(kAddFailed);
        return;
    }
    m_services.prompter.message(
        QStringLiteral("数据添加成功！"), Prompter::defaultTitle(), Prompter::Icon::Information, this);
}

// Three updates in this order, stopping at the first failure; those already run
// stay stored. When all succeed the geometry is read back for the next receipt.
void LogoWindow::saveNumbers()
{
    const std::pair<QString, QString> updates[] = {
        { QStringLiteral("logo偏差"), m_ui->编辑框_偏差->text() },
        { QStringLiteral("logo高度"), m_ui->编辑框_高度->text() },
        { QStringLiteral("logo宽度"), m_ui->编辑框_宽度->text() },
    };
    for (const auto& [column, text] : updates) {
        if (!m_services.db.exec(QStringLiteral("UPDATE [配置文件] SET [%1] = ? WHERE [ID]=1").arg(column),
                { numberParameter(text) })) {
            reportError(kAddFailed);
            return;
        }
    }
    DatabaseLogoSource(m_services.db, m_services.prompter).readGeometry(m_geometry);
}

} // namespace tillora
