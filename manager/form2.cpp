#include "form2.h"

#include "apppaths.h"
#include "clock.h"
#include "datepicker.h"
#include "duetime.h"
#include "equivalentage.h"
#include "messages.h"
#include "numberreading.h"
#include "packedrow.h"
#include "recordadder.h"
#include "recordgridmodel.h"
#include "recordline.h"
#include "recordstore.h"
#include "recordtablepanel.h"
#include "specimenrecord.h"
#include "temperaturelog.h"
#include "titles.h"
#include "twips.h"
#include "windowsystem.h"
#include "windowtexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Labels end just left of their control; the two columns of labels start here (twips).
constexpr int kLeftLabels = 60;
constexpr int kRightLabels = 2490;
constexpr int kLabelGap = 30;

QString typedText(const QWidget *box)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(box))
        return combo->currentText();
    return static_cast<const QLineEdit *>(box)->text();
}
} // namespace

Form2::Form2(const ManagerServices &services, QWidget *owner) : QDialog(owner), m_services(services)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("增添提醒数据   右侧显示全部龄期信息。 "));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_grid = new RecordGridModel(SpecimenRecord::ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    buildControls();
    placeTable();
    Form_Load();
    sizeTable();
    WindowSystem::keepOnWorkArea(this);
    WindowSystem::prepareModalWindow(this);
}

void Form2::buildControls()
{
    auto place = [this](QWidget *control, const char *name, int left, int top, int width,
                        int height) {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(Twips::toPixels(left, top, width, height));
    };
    int labelCount = 0;
    // The label to the left of a control, on the same line.
    auto label = [this, &labelCount](const QString &caption, int labelLeft, QWidget *control) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QStringLiteral("Label%1").arg(++labelCount));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int controlLeft = Twips::fromPixels(control->x());
        l->setGeometry(Twips::toPixels(labelLeft, Twips::fromPixels(control->y()),
                                       controlLeft - labelLeft - kLabelGap,
                                       Twips::fromPixels(control->height())));
    };
    auto text = [this, &place](const char *name, int left, int top, int width, int height) {
        auto *box = new QLineEdit(this);
        // A box never cuts what is pasted into it; "添加" refuses a text too long to keep.
        box->setMaxLength(std::numeric_limits<int>::max());
        place(box, name, left, top, width, height);
        return box;
    };
    auto combo = [this, &place](const char *name, int left, int top, int width, int height) {
        auto *box = new QComboBox(this);
        box->setEditable(true);
        // The text is stored exactly as typed: no completion, and Enter adds nothing to the list.
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        place(box, name, left, top, width, height);
        return box;
    };
    auto button = [this, &place](const char *name, const QString &caption, int left, int top,
                                 int width, int height) {
        auto *b = new QPushButton(caption, this);
        // No button is ever the default one, so that Return in a box adds nothing by itself;
        // Return on a button is handled by the form.
        b->setAutoDefault(false);
        place(b, name, left, top, width, height);
        return b;
    };
    // A box that holds a field as typed, beside the field's label.
    auto field = [this, &label](SpecimenRecord::Field which, QWidget *box, int labelLeft) {
        const SpecimenRecord::FieldTexts &texts = SpecimenRecord::texts(which);
        label(texts.label, labelLeft, box);
        m_typedBoxes.append({which, box});
    };
    using namespace SpecimenRecord;

    field(WorksPart, m_text1 = text("Text1", 1230, 60, 1185, 375), kLeftLabels);
    field(StrengthGrade, m_combo2 = combo("Combo2", 3420, 45, 1455, 300), kRightLabels);
    field(MixNumber, m_text3 = text("Text3", 1260, 495, 1185, 375), kLeftLabels);
    field(CuringMethod, m_combo1 = combo("Combo1", 3420, 495, 1425, 300), kRightLabels);
    field(Quantity, m_text8 = text("Text8", 1260, 990, 1200, 330), kLeftLabels);
    field(Groups, m_text9 = text("Text9", 3420, 945, 1335, 330), kRightLabels);
    m_dtPicker1 = new DatePicker(this);
    m_dtPicker1->setCalendarPopup(true);
    place(m_dtPicker1, "DTPicker1", 1215, 1440, 1275, 330);
    label(texts(MakingDate).label, kLeftLabels, m_dtPicker1);
    // The making date is the picker's date and the time typed in Text4 and Text5.
    m_text4 = text("Text4", 3465, 1455, 555, 270);
    label(QStringLiteral("小时分钟："), kRightLabels, m_text4);
    m_text5 = text("Text5", 4230, 1455, 555, 270);
    field(Age, m_text6 = text("Text6", 1215, 1890, 795, 375), kLeftLabels);
    m_command3 = button("Command3", QStringLiteral("?"), 2070, 1890, 405, 375);
    m_text2 = text("Text2", 3465, 1935, 615, 270);
    label(QStringLiteral("小时分钟："), kRightLabels, m_text2);
    m_text11 = text("Text11", 4230, 1935, 585, 270);
    field(SpecimenRecord::DueTime, m_text7 = text("Text7", 1170, 2385, 3630, 375), kLeftLabels);
    field(Remark, m_text10 = text("Text10", 1170, 2880, 3630, 480), kLeftLabels);
    // In the order of the record's fields, so that a refusal names the first field at fault.
    std::stable_sort(m_typedBoxes.begin(), m_typedBoxes.end(),
                     [](const TypedBox &a, const TypedBox &b) { return a.field < b.field; });
    m_command1 = button("Command1", QStringLiteral("添加"), 405, 3765, 1095, 375);
    m_command2 = button("Command2", QStringLiteral("关闭"), 3825, 3765, 1095, 375);

    auto *line1 = new QFrame(this);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    // From (1440, 3630) to (4320, 3630), drawn centred on that line.
    line1->setGeometry(Twips::toPixels(1440), Twips::toPixels(3630) - 1, Twips::toPixels(2880), 3);
    line1->setObjectName(QStringLiteral("Line1"));

    auto *label13 = new QLabel(QStringLiteral("保存后，主窗口几秒内自动更新。"), this);
    label13->setObjectName(QStringLiteral("Label13"));
    label13->setGeometry(Twips::toPixels(1035, 4215, 3075, 240));

    const QList<QWidget *> tabOrder{
        m_text1, m_combo2,   m_text3, m_combo1, m_text8, m_text9,  m_dtPicker1, m_text4,   m_text5,
        m_text6, m_command3, m_text2, m_text11, m_text7, m_text10, m_command1,  m_command2};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    buildExtraAges();
    buildEquivalentAge();

    connect(m_command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form2::Command3_Click);
}

void Form2::buildExtraAges()
{
    // A row of its own below the note, so that nothing of the form moves. Buttons rather than a
    // box: only the digits of their days ever reach the file, never a comma.
    constexpr int top = 4530, height = 315, step = 450, first = 1215;
    const QString tip = QStringLiteral("按下的每个龄期另加一条记录：其余各栏相同，到期时间按该龄期"
                                       "算出。与“龄期”栏相同的龄期不重复添加。");
    auto *caption = new QLabel(QStringLiteral("另加龄期："), this);
    caption->setObjectName(QStringLiteral("extraAgesLabel"));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setGeometry(
        Twips::toPixels(kLeftLabels, top, first - kLeftLabels - kLabelGap, height));
    caption->setToolTip(tip);
    m_extraAges = new QButtonGroup(this);
    m_extraAges->setExclusive(false);
    int left = first;
    QWidget *previous = m_command2;
    for (int days : {3, 7, 14, 28, 56, 60, 90}) {
        auto *tick = new QToolButton(this);
        tick->setObjectName(QStringLiteral("extraAge%1").arg(days));
        tick->setText(QString::number(days));
        tick->setCheckable(true);
        tick->setToolTip(tip);
        tick->setGeometry(Twips::toPixels(left, top, step - 30, height));
        m_extraAges->addButton(tick, days);
        // After the buttons, as the row stands below them.
        setTabOrder(previous, tick);
        previous = tick;
        left += step;
    }
    auto *unit = new QLabel(QStringLiteral("天"), this);
    unit->setObjectName(QStringLiteral("extraAgesUnit"));
    unit->setGeometry(Twips::toPixels(left, top, 300, height));
}

void Form2::buildEquivalentAge()
{
    // Between "添加" and "关闭", from the line above them to the note below, where nothing stands,
    // so that no other control moves; in two lines to fit.
    m_equivalentAge = new QCheckBox(QStringLiteral("按等效养护龄期\n（600℃·d）"), this);
    m_equivalentAge->setObjectName(QStringLiteral("equivalentAge"));
    m_equivalentAge->setGeometry(Twips::toPixels(1545, 3660, 2265, 540));
    m_equivalentAge->setToolTip(QStringLiteral(
        "同级养护的试块在等效养护龄期试验：从制作日期起逐日累加“温度记录”中的日平均"
        "温度，0 ℃ 及以下的日子不计，达到 600℃·d 时到期，不少于 14 天、不多于 60 天。"
        "选中后不填龄期天数，“?”按温度记录估计到期时间；温度记录改变时到期时间随之更新。"));
    m_equivalentAge->setEnabled(false);
    setTabOrder(m_command1, m_equivalentAge);
    connect(m_combo1, &QComboBox::editTextChanged, this, [this](const QString &method) {
        const bool sameCondition = method == QStringLiteral("同级养护");
        if (!sameCondition)
            m_equivalentAge->setChecked(false);
        m_equivalentAge->setEnabled(sameCondition);
    });
    // The age in days is not asked, and the due time is the estimate's, not typed.
    connect(m_equivalentAge, &QCheckBox::toggled, this, [this](bool on) {
        m_text6->setEnabled(!on);
        m_text7->setReadOnly(on);
    });
}

DueTime::Outcome Form2::equivalentDue(DueTime::Inputs making) const
{
    making.age = EquivalentAge::ageText();
    const TemperatureLog::Reading temperatures = TemperatureLog(m_services.dataFolder).read();
    if (!temperatures.error.isEmpty())
        return {{}, temperatures.error};
    return EquivalentAge::dueTime(making, temperatures.means, m_services.clock->now().date());
}

void Form2::Form_Load()
{
    m_grid->layOutRecordColumns();
    const QString error = daoru();
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    m_recordsSeen = m_grid->rows() - 2;

    const QDateTime now = m_services.clock->now();
    m_dtPicker1->setDate(now.date());
    m_combo1->addItems({QStringLiteral("标准养护"), QStringLiteral("同级养护")});
    m_combo1->setEditText(QStringLiteral("标准养护"));
    const QStringList hourMinute = now.toString(QStringLiteral("HH:mm")).split(QLatin1Char(':'));
    m_text4->setText(hourMinute.value(0));
    m_text5->setText(hourMinute.value(1));
    m_text2->setText(QStringLiteral("0"));
    m_text11->setText(QStringLiteral("0"));
    m_combo2->addItems({QStringLiteral("C25"), QStringLiteral("C30"), QStringLiteral("C35"),
                        QStringLiteral("C40"), QStringLiteral("C45"), QStringLiteral("C50"),
                        QStringLiteral("C60")});
    m_combo2->setEditText(QStringLiteral("C30"));
}

QString Form2::recordPath() const
{
    return AppPaths::recordFile(m_services.dataFolder);
}

QString Form2::daoru()
{
    RecordStore::Outcome loaded = RecordStore(recordPath()).load();
    if (!loaded.ok())
        return loaded.error;
    showTable(std::move(loaded.table));
    return {};
}

void Form2::showTable(RecordTable table)
{
    // The rows are numbered already; the spare row has no number.
    table.rows.append(PackedRow());
    m_grid->replacePackedBody(std::move(table.rows));
}

DueTime::Inputs Form2::inputsFromBoxes() const
{
    return {m_dtPicker1->date(), m_text4->text(), m_text5->text(),
            m_text6->text(),     m_text2->text(), m_text11->text()};
}

void Form2::tianjia()
{
    if (!m_dtPicker1->commit()) {
        m_services.messages->show(m_dtPicker1->problem(), DueTime::errorTitle(),
                                  MessageStyle::Plain);
        m_dtPicker1->setFocus(Qt::OtherFocusReason);
        m_dtPicker1->selectAll();
        return;
    }
    const DueTime::Outcome outcome = m_equivalentAge->isChecked()
                                         ? equivalentDue(inputsFromBoxes())
                                         : DueTime::compute(inputsFromBoxes());
    if (!outcome.ok()) {
        m_services.messages->show(outcome.error, DueTime::errorTitle(), MessageStyle::Plain);
        return;
    }
    m_text7->setText(outcome.dueTime);
    m_computedDue = outcome.dueTime;
}

void Form2::Command3_Click()
{
    tianjia();
}

RecordEntry Form2::entryFromBoxes() const
{
    RecordEntry entry;
    for (const TypedBox &typed : m_typedBoxes)
        entry[typed.field] = typedText(typed.box);
    entry.making = inputsFromBoxes();
    if (m_equivalentAge->isChecked())
        entry.making.age = EquivalentAge::ageText();
    entry.makingDateProblem = m_dtPicker1->problem();
    entry.computedDue = m_computedDue;
    return entry;
}

QList<RecordEntry> Form2::extraEntries(const RecordEntry &first, QString *refusal) const
{
    QList<RecordEntry> entries;
    // An age typed as 28 (or 28.5, which counts 28 days) is the 28 days' record already.
    const std::optional<double> typed = NumberReading::wholeNumber(first.making.age);
    for (QAbstractButton *tick : m_extraAges->buttons()) {
        const int days = m_extraAges->id(tick);
        if (!tick->isChecked() || (typed && std::floor(*typed) == days))
            continue;
        RecordEntry entry = first;
        entry.making.age = QString::number(days);
        const DueTime::Outcome due = DueTime::compute(entry.making);
        if (!due.ok()) {
            *refusal = WindowText::furtherAgeRefused(days, due.error);
            return {};
        }
        entry.dueTime() = due.dueTime;
        entry.computedDue = due.dueTime;
        entries.append(entry);
    }
    return entries;
}

void Form2::Command1_Click()
{
    m_dtPicker1->commit();
    QList<RecordEntry> entries{entryFromBoxes()};
    if (m_equivalentAge->isChecked()) {
        // Due at the estimate as the temperature record gives it at this add.
        const DueTime::Outcome due = equivalentDue(inputsFromBoxes());
        if (!due.ok()) {
            m_services.messages->show(due.error, Title::error(), MessageStyle::Exclamation);
            return;
        }
        entries.first().dueTime() = entries.first().computedDue = due.dueTime;
    }
    // The boxes' own record is checked first, as it always was; the further ones differ from it
    // only in their age and due time.
    if (RecordAdder::refusal(entries.constFirst()).isEmpty()) {
        QString refused;
        entries += extraEntries(entries.constFirst(), &refused);
        if (!refused.isEmpty()) {
            m_services.messages->show(refused, Title::error(), MessageStyle::Exclamation);
            return;
        }
    }
    // The questions about the unusual are asked of the records as they will be saved: a due time
    // recomputed at the user's word may have passed.
    RecordAdder::Result result =
        RecordAdder(recordPath(), m_services.messages, RecordStore::DefaultLockWaitMs,
                    m_services.backups)
            .add(entries, m_recordsSeen,
                 [this](const QList<RecordEntry> &saved) { return confirmUnusual(saved); });
    // A due time recomputed or kept at the user's word stays so, saved or not.
    const RecordEntry &asked = result.entries.constFirst();
    if (asked.dueTime() != m_text7->text())
        m_text7->setText(asked.dueTime());
    m_computedDue = asked.computedDue;
    // The table follows the file only once the file holds the new record.
    if (result.added) {
        m_recordsSeen = result.table.size();
        showTable(std::move(result.table));
    }
}

bool Form2::confirmUnusual(const QList<RecordEntry> &entries) const
{
    // One question for all: records that will never pop up, or that the file holds already.
    QList<QStringList> records;
    for (const RecordEntry &entry : entries)
        records << entry.storedFields();
    // The table's cells are compared where they stand: no list is made for each of its rows.
    const auto holds = [this](int row, const QStringList &stored) {
        for (int f = 0; f < SpecimenRecord::DueMark; ++f) {
            if (m_grid->textView(row, SpecimenRecord::column(SpecimenRecord::Field(f))) !=
                stored[f])
                return false;
        }
        return true;
    };
    QList<int> sameRow(entries.size(), 0);
    for (int r = 1; r < m_grid->rows() - 1; ++r) {
        for (qsizetype e = 0; e < entries.size(); ++e) {
            if (sameRow[e] == 0 && holds(r, records[e]))
                sameRow[e] = r;
        }
    }
    const bool several = entries.size() > 1;
    const QString now = TimeText::minute(m_services.clock->now());
    QStringList reasons;
    for (qsizetype e = 0; e < entries.size(); ++e) {
        const RecordEntry &entry = entries[e];
        const QString which = several ? WindowText::ofAge(entry.making.age) : QString();
        if (entry.dueTime() < now)
            reasons << which + WindowText::dueTimePassed(entry.dueTime());
        if (sameRow[e] != 0)
            reasons << which + WindowText::sameRecord(sameRow[e]);
    }
    const QString question = several ? WindowText::addTheseAnyway() : WindowText::addThisAnyway();
    return reasons.isEmpty() || m_services.messages->confirm(
                                    reasons.join(QLatin1Char('\n')) + question, Title::notice());
}

void Form2::Command2_Click()
{
    hide();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        // Only the close box discards the form; Escape keeps what was typed.
        Command2_Click();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        if (button && button->window() == this && button->isEnabled()) {
            button->click();
        } else if (m_text10->hasFocus()) {
            // The last box, 备注: the record is typed, and Return adds it.
            m_command1->click();
        } else if (qobject_cast<QLineEdit *>(focusWidget()) &&
                   !m_table->isAncestorOf(focusWidget())) {
            focusNextChild(); // from box to box, as Tab
        }
        return;
    }
    QDialog::keyPressEvent(event);
}
