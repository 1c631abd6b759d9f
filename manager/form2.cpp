#include "form2.h"

#include "apppaths.h"
#include "clock.h"
#include "datepicker.h"
#include "duetime.h"
#include "gbkcodec.h"
#include "messages.h"
#include "numberreading.h"
#include "packedrow.h"
#include "recordgridmodel.h"
#include "recordline.h"
#include "twips.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVarLengthArray>

#include <limits>

namespace {
constexpr int kGridCols = 12;

// Labels end just left of their control; the two columns of labels start here (twips).
constexpr int kLeftLabels = 60;
constexpr int kRightLabels = 2490;
constexpr int kLabelGap = 30;

// The decimal text of n, written into digits: no string is made for each of 100,000 rows.
QStringView decimalText(qsizetype n, char16_t (&digits)[20])
{
    qsizetype start = 20;
    do {
        digits[--start] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return QStringView(digits + start, digits + 20);
}

QString unchangedNote()
{
    return QStringLiteral("这条信息没有添加，记录文件未被改动。");
}
} // namespace

Form2::Form2(const ManagerServices &services, QWidget *owner) : QDialog(owner), m_services(services)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("增添提醒数据   右侧显示全部龄期信息。 "));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips::toPixels(5100), Twips::toPixels(4650));

    m_grid = new RecordGridModel(kGridCols, this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    buildControls();
    Form_Load();
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

    m_text1 = text("Text1", 1230, 60, 1185, 375);
    label(QStringLiteral("工程部位："), kLeftLabels, m_text1);
    m_combo2 = combo("Combo2", 3420, 45, 1455, 300);
    label(QStringLiteral("强度等级："), kRightLabels, m_combo2);
    m_text3 = text("Text3", 1260, 495, 1185, 375);
    label(QStringLiteral("配合比编号："), kLeftLabels, m_text3);
    m_combo1 = combo("Combo1", 3420, 495, 1425, 300);
    label(QStringLiteral("养护方式："), kRightLabels, m_combo1);
    m_text8 = text("Text8", 1260, 990, 1200, 330);
    label(QStringLiteral("工程量："), kLeftLabels, m_text8);
    m_text9 = text("Text9", 3420, 945, 1335, 330);
    label(QStringLiteral("组数："), kRightLabels, m_text9);
    m_dtPicker1 = new DatePicker(this);
    m_dtPicker1->setCalendarPopup(true);
    place(m_dtPicker1, "DTPicker1", 1215, 1440, 1275, 330);
    label(QStringLiteral("制作日期："), kLeftLabels, m_dtPicker1);
    m_text4 = text("Text4", 3465, 1455, 555, 270);
    label(QStringLiteral("小时分钟："), kRightLabels, m_text4);
    m_text5 = text("Text5", 4230, 1455, 555, 270);
    m_text6 = text("Text6", 1215, 1890, 795, 375);
    label(QStringLiteral("龄期（D）："), kLeftLabels, m_text6);
    m_command3 = button("Command3", QStringLiteral("?"), 2070, 1890, 405, 375);
    m_text2 = text("Text2", 3465, 1935, 615, 270);
    label(QStringLiteral("小时分钟："), kRightLabels, m_text2);
    m_text11 = text("Text11", 4230, 1935, 585, 270);
    m_text7 = text("Text7", 1170, 2385, 3630, 375);
    label(QStringLiteral("到期时间："), kLeftLabels, m_text7);
    m_text10 = text("Text10", 1170, 2880, 3630, 480);
    label(QStringLiteral("备注："), kLeftLabels, m_text10);
    m_command1 = button("Command1", QStringLiteral("添加"), 405, 3765, 1095, 375);
    m_command2 = button("Command2", QStringLiteral("关闭"), 3825, 3765, 1095, 375);

    auto *line1 = new QFrame(this);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    // From (1440, 3630) to (4320, 3630), drawn centred on that line.
    line1->setGeometry(Twips::toPixels(1440), Twips::toPixels(3630) - 1, Twips::toPixels(2880), 3);
    line1->setObjectName(QStringLiteral("Line1"));

    auto *label13 = new QLabel(QStringLiteral("请添加完成后关闭本软件，重启生效。"), this);
    label13->setObjectName(QStringLiteral("Label13"));
    label13->setGeometry(Twips::toPixels(1035, 4215, 3075, 240));

    const QList<QWidget *> tabOrder{
        m_text1, m_combo2,   m_text3, m_combo1, m_text8, m_text9,  m_dtPicker1, m_text4,   m_text5,
        m_text6, m_command3, m_text2, m_text11, m_text7, m_text10, m_command1,  m_command2};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(m_command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form2::Command3_Click);
}

void Form2::Form_Load()
{
    m_grid->layOutRecordColumns();
    const QString error = daoru();
    if (!error.isEmpty())
        m_services.messages->show(error, QStringLiteral("错误"), MessageStyle::Exclamation);
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

RecordFile Form2::recordFile() const
{
    return RecordFile(AppPaths::recordFile(m_services.dataFolder), m_services.backups);
}

QString Form2::daoru()
{
    // Each row is packed straight from the file's text, without a list per line in between: a
    // year's records load in a blink and take little memory.
    QList<PackedRow> body;
    QList<QStringList> asRead;
    QVarLengthArray<QStringView, kGridCols> cells;
    const RecordFile::Status read =
        recordFile().forEachFilledLine([&](const QList<QStringView> &fields) {
            // Column 0 holds the row's number; column k+1 takes field k.
            char16_t digits[20];
            cells.clear();
            cells.append(decimalText(body.size() + 1, digits));
            cells.append(fields.constData(), RecordLine::shownFields(fields.size(), kGridCols - 1));
            body.append(PackedRow(cells.constData(), cells.size()));
            asRead.append(RecordLine::keptAsRead(fields));
        });
    if (!read.error.isEmpty())
        return read.error;

    // Numbered as they were packed; the spare row has no number.
    body.append(PackedRow());
    m_asRead = std::move(asRead);
    m_grid->replacePackedBody(std::move(body));
    return {};
}

RecordFile::Outcome Form2::baocuns() const
{
    // Rows 1 to Rows-2 hold the records, then the closing line stands for the spare row. Fields
    // are handed over as views of the table's cells: nothing is copied before encoding.
    const qsizetype records = m_grid->rows() - 2;
    const auto fieldsOf = [this, records](qsizetype line, QList<QStringView> &fields) {
        if (line == records) {
            RecordLine::appendClosing(fields);
        } else if (line < m_asRead.size() && !m_asRead[line].isEmpty()) {
            for (const QString &field : m_asRead[line])
                fields.append(field);
        } else {
            RecordLine::appendFieldsOfRow(*m_grid, int(line) + 1, fields);
        }
    };
    return recordFile().writeTable(records + 1, fieldsOf);
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
    const DueTime::Outcome outcome = DueTime::tianjia(inputsFromBoxes());
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

QStringList Form2::recordFromBoxes() const
{
    return {m_text1->text(), m_combo2->currentText(), m_text3->text(),
            // Full-width digits typed into hour and minute are kept as the ASCII they mean.
            DueTime::pickerDateText(m_dtPicker1->date()) + QLatin1Char(' ') +
                NumberReading::asciiForm(m_text4->text()) + QLatin1Char(':') +
                NumberReading::asciiForm(m_text5->text()),
            m_text6->text(), m_text7->text(), m_combo1->currentText(), m_text8->text(),
            m_text9->text(), m_text10->text()};
}

QString Form2::refusalOfEntry() const
{
    // In the order of the record's fields.
    const QList<std::pair<QString, QString>> boxes{
        {QStringLiteral("工程部位"), m_text1->text()},
        {QStringLiteral("强度等级"), m_combo2->currentText()},
        {QStringLiteral("配合比编号"), m_text3->text()},
        {QStringLiteral("制作时间的小时"), m_text4->text()},
        {QStringLiteral("制作时间的分钟"), m_text5->text()},
        {QStringLiteral("龄期"), m_text6->text()},
        {QStringLiteral("到期时间"), m_text7->text()},
        {QStringLiteral("养护方式"), m_combo1->currentText()},
        {QStringLiteral("工程量"), m_text8->text()},
        {QStringLiteral("组数"), m_text9->text()},
        {QStringLiteral("备注"), m_text10->text()}};
    for (const auto &[name, value] : boxes) {
        if (value.size() > RecordLine::LongestField) {
            return QStringLiteral("“%1”中的文字有 %2 个字符，超过了一栏最多能保存的 %3 个字符。"
                                  "请删短后再添加。")
                       .arg(name)
                       .arg(value.size())
                       .arg(RecordLine::LongestField) +
                   unchangedNote();
        }
        if (value.contains(QLatin1Char(','))) {
            return QStringLiteral("“%1”中有逗号“,”。记录文件用逗号分隔字段，这个逗号会把记录拆开。"
                                  "请去掉逗号（可改用全角逗号“，”）后再添加。")
                       .arg(name) +
                   unchangedNote();
        }
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) {
            return QStringLiteral("“%1”中有换行符，它会把记录拆成两行。请去掉换行后再添加。")
                       .arg(name) +
                   unchangedNote();
        }
        const QString bad = Gbk::firstUnencodable(value);
        if (!bad.isEmpty()) {
            return QStringLiteral("“%1”中的字符%2无法保存到记录文件（代码页 936 中没有这个字符）。"
                                  "请换用其他写法后再添加。")
                       .arg(name, Gbk::describe(bad)) +
                   unchangedNote();
        }
    }
    if (!m_dtPicker1->date().isValid())
        return m_dtPicker1->problem() + unchangedNote();
    const QString numbers = DueTime::numberRefusal(inputsFromBoxes());
    if (!numbers.isEmpty())
        return numbers + unchangedNote();
    const QString due = m_text7->text();
    if (due.isEmpty()) {
        return QStringLiteral("到期时间未填写。请先按“?”计算到期时间，或按“YYYY-MM-DD hh:mm”的形式"
                              "填写。") +
               unchangedNote();
    }
    if (!DueTime::isRealDueTime(due)) {
        return QStringLiteral("到期时间“%1”不是“YYYY-MM-DD hh:mm”形式的有效时间（例如 2024-05-31 "
                              "09:05），这样的记录永远不会提醒。请按“?”重新计算，或按此形式填写。")
                   .arg(due) +
               unchangedNote();
    }
    return {};
}

void Form2::Command1_Click()
{
    // Start from the file as it is now, so that records removed or added since the form was
    // loaded are neither brought back nor lost.
    const QString readError = daoru();
    if (!readError.isEmpty()) {
        m_services.messages->show(readError + QStringLiteral("。") + unchangedNote(),
                                  QStringLiteral("错误"), MessageStyle::Exclamation);
        return;
    }
    m_dtPicker1->commit();
    const QString refusal = refusalOfEntry();
    if (!refusal.isEmpty()) {
        m_services.messages->show(refusal, QStringLiteral("错误"), MessageStyle::Exclamation);
        return;
    }
    if (!offerToRecompute() || !confirmFewerRecords())
        return;

    const QStringList record = recordFromBoxes();
    const int r = m_grid->rows() - 1; // the spare row becomes the record
    m_grid->setTextMatrix(r, 0, QString::number(r));
    for (int c = 1; c <= record.size(); ++c)
        m_grid->setTextMatrix(r, c, record[c - 1]);
    m_grid->addItem();
    m_asRead << QStringList();

    const RecordFile::Outcome saved = baocuns();
    if (!saved.ok) {
        // The file is untouched; so is the table.
        m_asRead.removeLast();
        m_grid->setRows(r + 1);
        for (int c = 0; c <= record.size(); ++c)
            m_grid->setTextMatrix(r, c, QString());
        m_services.messages->show(saved.error + QStringLiteral("这条信息没有添加。"),
                                  QStringLiteral("错误"), MessageStyle::Exclamation);
        return;
    }
    m_recordsSeen = m_grid->rows() - 2;
    m_services.messages->show(QStringLiteral("此条信息添加完成！"), QStringLiteral("信息"),
                              MessageStyle::Plain);
}

bool Form2::confirmFewerRecords()
{
    const qsizetype now = m_grid->rows() - 2;
    if (now >= m_recordsSeen)
        return true;
    const QString question =
        QStringLiteral("记录文件中现在只有 %1 条记录，而本窗口之前读入时有 %2 条：记录文件可能被"
                       "别的程序清空或截短了。\n\n是否仍把这条信息添加到现在的记录文件中？\n"
                       "选“否”不添加，记录文件保持原样；之前的记录可以用“从备份恢复”找回。")
            .arg(now)
            .arg(m_recordsSeen);
    if (m_services.messages->ask(question, QStringLiteral("提示")))
        return true;
    m_services.messages->show(unchangedNote(), QStringLiteral("提示"), MessageStyle::Information);
    return false;
}

bool Form2::offerToRecompute()
{
    // A due time typed by hand is saved as typed; so is one that still matches the boxes.
    const QString due = m_text7->text();
    if (m_computedDue.isEmpty() || due != m_computedDue)
        return true;
    const DueTime::Outcome now = DueTime::tianjia(inputsFromBoxes());
    if (now.ok() && now.dueTime == due)
        return true;

    QString question =
        QStringLiteral("按“?”之后，制作日期、时间或龄期改动过，到期时间“%1”是按改动前的内容算出的")
            .arg(due);
    if (now.ok())
        question += QStringLiteral("（按现在的内容应为“%1”）").arg(now.dueTime);
    question += QStringLiteral("。\n\n是否先按现在的内容重新计算到期时间再添加？\n"
                               "选“是”重新计算后添加；选“否”仍按“%1”添加。")
                    .arg(due);
    if (!m_services.messages->ask(question, QStringLiteral("提示"))) {
        // Kept on purpose: from now on it counts as typed.
        m_computedDue.clear();
        return true;
    }
    if (!now.ok()) {
        m_services.messages->show(now.error + QStringLiteral("\n") + unchangedNote(),
                                  DueTime::errorTitle(), MessageStyle::Plain);
        return false;
    }
    m_text7->setText(now.dueTime);
    m_computedDue = now.dueTime;
    return true;
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
        if (button && button->window() == this && button->isEnabled())
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
