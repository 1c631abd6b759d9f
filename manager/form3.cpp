#include "form3.h"

#include "messages.h"
#include "recordgridmodel.h"
#include "titles.h"
#include "twips.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Form3::Form3(RecordGridModel *grid, Messages *messages, QWidget *owner)
    : QDialog(owner), m_grid(grid), m_messages(messages)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("查找提示信息"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(Twips::toPixels(4860), Twips::toPixels(810));

    auto *label1 = new QLabel(QStringLiteral("搜索信息(支持模糊搜索)："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(Twips::toPixels(240, 240, 2295, 255));

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(Twips::toPixels(2520, 120, 1335, 375));

    auto *command1 = new QPushButton(QStringLiteral("搜索"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setGeometry(Twips::toPixels(3960, 120, 855, 375));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    WindowSystem::prepareModalWindow(this);
}

void Form3::Command1_Click()
{
    const QString wanted = m_text1->text();
    // Header row and number column too: every cell is either a match or back to the default. A
    // match holds the typed text anywhere, letters in either case ("c3" finds "C30"), as the
    // label promises; nothing typed finds nothing.
    for (int r = 0; r < m_grid->rows(); ++r) {
        for (int c = 0; c < m_grid->cols(); ++c) {
            const bool match = !wanted.isEmpty() &&
                               m_grid->textMatrix(r, c).contains(wanted, Qt::CaseInsensitive);
            m_grid->setCellForeColour(
                r, c, match ? RecordGridModel::Red : RecordGridModel::DefaultColour);
        }
    }
    m_messages->show(WindowText::searchDone(), Title::notice(), MessageStyle::Information);
}
