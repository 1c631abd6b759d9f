#include "strengthdialog.h"

#include "cubestrength.h"
#include "messages.h"
#include "numberreading.h"
#include "specimenrecord.h"
#include "strengthtablemodel.h"
#include "strengthtexts.h"
#include "titles.h"
#include "windowsystem.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kSizes[] = {StrengthEntry::StandardEdge, 100, 200, 0}; // 0: 其他
constexpr int kLargestEdge = 1000;

// The batch as the window's first line names it.
QString batchLine(const Batch &batch)
{
    QStringList parts;
    for (SpecimenRecord::Field field :
         {SpecimenRecord::WorksPart, SpecimenRecord::StrengthGrade, SpecimenRecord::MixNumber,
          SpecimenRecord::MakingDate, SpecimenRecord::Age, SpecimenRecord::Groups})
        parts << SpecimenRecord::texts(field).name + QStringLiteral(" ") + batch.field(field);
    return parts.join(QStringLiteral("，"));
}

QString joined(const QList<CubeStrength::Problem> &problems)
{
    QStringList lines;
    for (const CubeStrength::Problem &problem : problems)
        lines << problem.text;
    return lines.join(u'\n');
}

// The record's 组数 (1 when it has none), at least the groups of the latest result.
int groupCount(const Batch &batch, const StrengthEntry &latest)
{
    const int typed = int(NumberReading::readWholeNumberIn(batch.field(SpecimenRecord::Groups), 1,
                                                           StrengthDialog::MostGroups)
                              .value_or(1));
    return qMin(qMax(typed, int(latest.groups.size())), int(StrengthDialog::MostGroups));
}
} // namespace

StrengthDialog::StrengthDialog(const Batch &batch, const StrengthEntry &latest, Messages *messages,
                               QWidget *parent)
    : QDialog(parent), m_messages(messages),
      m_grade(CubeStrength::gradeNumber(batch.field(SpecimenRecord::StrengthGrade))),
      m_model(new StrengthTableModel(batch.field(SpecimenRecord::StrengthGrade), this))
{
    setObjectName(QStringLiteral("StrengthDialog"));
    setWindowTitle(QStringLiteral("标为已试验"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    resize(900, 420);
    WindowSystem::keepOnWorkArea(this);

    auto *sizes = new QHBoxLayout;
    sizes->addWidget(new QLabel(QStringLiteral("试件尺寸：")));
    m_size = new QComboBox;
    m_size->setObjectName(QStringLiteral("size"));
    m_size->addItems({QStringLiteral("150 mm 立方体（标准）"), QStringLiteral("100 mm 立方体"),
                      QStringLiteral("200 mm 立方体"), QStringLiteral("其他")});
    sizes->addWidget(m_size);
    sizes->addWidget(new QLabel(QStringLiteral("边长：")));
    m_edge = new QSpinBox;
    m_edge->setObjectName(QStringLiteral("edge"));
    m_edge->setRange(0, kLargestEdge);
    m_edge->setSpecialValueText(QStringLiteral("未填"));
    m_edge->setSuffix(QStringLiteral(" mm"));
    sizes->addWidget(m_edge);
    sizes->addWidget(new QLabel(QStringLiteral("尺寸换算系数：")));
    m_factor = new QLineEdit;
    m_factor->setObjectName(QStringLiteral("factor"));
    sizes->addWidget(m_factor);
    sizes->addWidget(new QLabel(QStringLiteral("填写：")));
    m_unit = new QComboBox;
    m_unit->setObjectName(QStringLiteral("unit"));
    m_unit->addItems({QStringLiteral("破坏荷载 kN"), QStringLiteral("强度 MPa")});
    sizes->addWidget(m_unit);
    sizes->addStretch();

    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("groups"));
    m_table->setModel(m_model);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::AllEditTriggers);

    m_problems = new QLabel;
    m_problems->setObjectName(QStringLiteral("problems"));
    m_problems->setWordWrap(true);
    m_problems->setStyleSheet(QStringLiteral("color: #9c0006"));

    auto *free = new QHBoxLayout;
    free->addWidget(new QLabel(QStringLiteral("其他说明：")));
    m_freeText = new QLineEdit(latest.freeText);
    m_freeText->setObjectName(QStringLiteral("freeText"));
    free->addWidget(m_freeText, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->button(QDialogButtonBox::Save)->setObjectName(QStringLiteral("save"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(batchLine(batch)));
    layout->addLayout(sizes);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_problems);
    layout->addLayout(free);
    layout->addWidget(buttons);

    StrengthEntry start = latest;
    start.groups.resize(groupCount(batch, latest));
    const auto size = std::find(std::begin(kSizes), std::end(kSizes), latest.edge);
    m_size->setCurrentIndex(size == std::end(kSizes) ? 3 : int(size - std::begin(kSizes)));
    m_edge->setValue(size == std::end(kSizes) ? latest.edge : 0);
    m_factor->setText(latest.factor);
    m_unit->setCurrentIndex(int(latest.unit));
    m_model->setEntry(start);
    sizeChanged();

    connect(m_size, &QComboBox::currentIndexChanged, this, &StrengthDialog::sizeChanged);
    connect(m_edge, &QSpinBox::valueChanged, this, &StrengthDialog::sizeChanged);
    connect(m_factor, &QLineEdit::textChanged, this, &StrengthDialog::sizeChanged);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &StrengthDialog::sizeChanged);
    connect(m_model, &StrengthTableModel::recomputed, this, &StrengthDialog::showProblems);
    connect(buttons, &QDialogButtonBox::accepted, this, &StrengthDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showProblems();
    WindowSystem::prepareModalWindow(this);
}

void StrengthDialog::sizeChanged()
{
    const int chosen = kSizes[qMax(0, m_size->currentIndex())];
    const bool other = chosen == 0;
    m_edge->setEnabled(other);
    // A 150 mm cube is the standard: it has no factor to type.
    m_factor->setEnabled(chosen != StrengthEntry::StandardEdge);
    const bool standardFactor = (chosen == 100 || chosen == 200) && m_grade && *m_grade < 60;
    m_factor->setPlaceholderText(
        chosen == StrengthEntry::StandardEdge ? QStringLiteral("1.00")
        : standardFactor                      ? QStringLiteral("%1（可不填）")
                               .arg(chosen == 100 ? QStringLiteral("0.95") : QStringLiteral("1.05"))
                         : QStringLiteral("须填写"));
    m_model->setSize(other ? m_edge->value() : chosen,
                     chosen == StrengthEntry::StandardEdge ? QString() : m_factor->text().trimmed(),
                     StrengthEntry::Unit(m_unit->currentIndex()));
}

void StrengthDialog::showProblems()
{
    const CubeStrength::Outcome &outcome = m_model->outcome();
    m_problems->setText(entry().hasValues() ? joined(outcome.problems + outcome.unusuallyHigh)
                                            : QString());
}

StrengthEntry StrengthDialog::entry() const
{
    StrengthEntry kept = m_model->entry();
    kept.freeText = m_freeText->text().trimmed();
    const auto empty = [](const StrengthEntry::Group &group) {
        return std::all_of(group.begin(), group.end(),
                           [](const QString &value) { return value.isEmpty(); });
    };
    while (!kept.groups.isEmpty() && empty(kept.groups.last()))
        kept.groups.removeLast();
    if (kept.hasValues())
        return kept;
    StrengthEntry plain;
    plain.freeText = kept.freeText;
    return plain;
}

void StrengthDialog::accept()
{
    if (entry().hasValues()) {
        const CubeStrength::Outcome &outcome = m_model->outcome();
        if (!outcome.problems.isEmpty()) {
            m_messages->show(joined(outcome.problems) + u'\n' + StrengthText::notSaved(),
                             Title::error(), MessageStyle::Exclamation);
            return;
        }
        if (!outcome.unusuallyHigh.isEmpty() &&
            !m_messages->confirm(StrengthText::saveUnusuallyHigh(joined(outcome.unusuallyHigh)),
                                 Title::notice()))
            return;
    }
    QDialog::accept();
}
