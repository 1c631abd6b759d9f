#include "duecheck.h"

namespace DueCheck {

bool isDueTimeText(QStringView text)
{
    static constexpr char kPattern[] = "9999-99-99 99:99";
    if (text.size() != qsizetype(sizeof(kPattern) - 1))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (kPattern[i] == '9' ? (c < '0' || c > '9') : c != char16_t(kPattern[i]))
            return false;
    }
    return true;
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
