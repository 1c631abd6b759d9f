#include "form4.h"

#include "labsettings.h"

#include "messages.h"
#include "titles.h"
#include "twips.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Form4::Form4(Messages *messages, QWidget *owner)
    : QDialog(owner), m_messages(messages), m_autostart(QCoreApplication::applicationFilePath())
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("设置"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(Twips::toPixels(3375), Twips::toPixels(1695));

    auto *frame = new QGroupBox(QStringLiteral("设置选项"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(Twips::toPixels(120, 120, 3135, 1455));

    auto *label1 = new QLabel(QStringLiteral("刷新设置:"), frame);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Twips::toPixels(240, 435, 855, 255));

    m_text1 = new QLineEdit(QString::number(LabSettings::kDefaultIntervalMs), frame);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(Twips::toPixels(1080, 435, 1215, 270));

    auto *label2 = new QLabel(QStringLiteral("毫秒"), frame);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(Twips::toPixels(2400, 450, 435, 255));

    m_check1 = new QCheckBox(QStringLiteral("设置开机自启动"), frame);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setGeometry(Twips::toPixels(360, 960, 1695, 240));
    // clicked, not toggled: showing the present registration must not register anything.
    connect(m_check1, &QCheckBox::clicked, this, &Form4::Check1_Click);

    m_command1 = new QPushButton(QStringLiteral("设置"), frame);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(Twips::toPixels(2160, 840, 735, 375));
    connect(m_command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    WindowSystem::prepareModalWindow(this);
}

QString Form4::intervalText() const
{
    return m_text1->text();
}

void Form4::showEvent(QShowEvent *event)
{
    m_check1->setChecked(m_autostart.isEnabled());
    QDialog::showEvent(event);
}

void Form4::Command1_Click()
{
    m_messages->show(WindowText::intervalAdvice(), Title::notice(), MessageStyle::Plain);
    emit intervalApplied(m_text1->text());
    hide();
}

void Form4::Check1_Click(bool checked)
{
    const Autostart::Outcome outcome = checked ? m_autostart.enable() : m_autostart.disable();
    if (!outcome.message.isEmpty()) {
        m_messages->show(outcome.message, outcome.ok ? Title::notice() : Title::error(),
                         outcome.ok ? MessageStyle::Information : MessageStyle::Exclamation);
    }
    // The box shows what is registered, also after a failure.
    m_check1->setChecked(m_autostart.isEnabled());
}
