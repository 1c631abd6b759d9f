#include "duecheck.h"

namespace DueCheck {

namespace {
// One definition for the text and for the bytes of a line of the file.
template <typename Char> bool hasDueTimeForm(const Char *text, qsizetype size)
{
    static constexpr char kPattern[] = "9999-99-99 99:99";
    if (size != qsizetype(sizeof(kPattern) - 1))
        return false;
    for (qsizetype i = 0; i < size; ++i) {
        const Char c = text[i];
        if (kPattern[i] == '9' ? (c < '0' || c > '9') : c != Char(kPattern[i]))
            return false;
    }
    return true;
}
} // namespace

bool isDueTimeText(QStringView text)
{
    return hasDueTimeForm(text.utf16(), text.size());
}

bool isDueTimeText(QByteArrayView line)
{
    return hasDueTimeForm(reinterpret_cast<const unsigned char *>(line.data()), line.size());
}

Window::Window(const QString &previousMinute, const QString &presentMinute)
    : m_after(previousMinute), m_upTo(presentMinute)
{
    if (!isDueTimeText(m_after) || m_after >= m_upTo)
        m_after.clear();
}

bool Window::contains(QStringView dueTime) const
{
    if (m_after.isEmpty())
        return dueTime == m_upTo;
    return isDueTimeText(dueTime) && dueTime > m_after && dueTime <= m_upTo;
}

} // namespace DueCheck
