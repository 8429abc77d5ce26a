#include "DiagnosiRules.h"

namespace diagnosi {

const std::array<InjectorLetter, 10> kInjectorLetters = {{
    {'A', 1, 'A', 0x001},
    {'B', 1, 'B', 0x002},
    {'C', 1, 'C', 0x004},
    {'D', 1, 'D', 0x008},
    {'I', 1, 'E', 0x100},
    {'E', 2, 'A', 0x010},
    {'F', 2, 'B', 0x020},
    {'G', 2, 'C', 0x040},
    {'H', 2, 'D', 0x080},
    {'L', 2, 'E', 0x200},
}};

QString ErrorCode(int index) { return QStringLiteral("S") + QString::number(100 + index); }

bool LetterVisible(char control, int n)
{
    switch (control) {
    case 'A':
    case 'B':
    case 'C': return n >= 3;
    case 'D': return n == 4 || n >= 8;
    case 'I':
    case 'L': return n >= 10;
    case 'E':
    case 'F': return n >= 5;
    case 'G': return n >= 6;
    case 'H': return n >= 8;
    default: return false;
    }
}

std::uint32_t MapCylinderMask(std::uint32_t mask, int n)
{
    switch (n) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 8: return mask & 0xFFu;
    case 10: return (mask & 0x00Fu) | ((mask & 0x100u) >> 4) | ((mask & 0x0F0u) << 1) | (mask & 0x200u);
    default: return 0;
    }
}

std::uint32_t FaultPictureMask(std::uint32_t mask, int n)
{
    return n == 10 ? mask & 0x3FFu : MapCylinderMask(mask, n);
}

QString InjectorLettersText(std::uint32_t letterMask)
{
    QString t = QStringLiteral(" (");
    bool first = true;
    for (int i = 0; i < 10; ++i) {
        if (!(letterMask & (1u << i)))
            continue;
        if (!first)
            t += QStringLiteral(", ");
        t += QChar(u'A' + i);
        first = false;
    }
    return t + QLatin1Char(')');
}

QString FormatCounterMinutes(long long minutes)
{
    const long long h = minutes / 60;
    const long long m = minutes % 60;
    return QString::number(h) + QLatin1Char(':') + (m < 10 && m >= 0 ? QStringLiteral("0") : QString())
        + QString::number(m);
}

int PageForKey(const bool* visible, int count, int current, PageKey key, int fKey)
{
    int shown[32];
    int k = 0;
    int at = -1;
    for (int i = 0; i < count && k < 32; ++i) {
        if (!visible[i])
            continue;
        if (i == current)
            at = k;
        shown[k++] = i;
    }
    if (k == 0)
        return -1;
    switch (key) {
    case PageKey::Function: return shown[(fKey - 1) % k];
    case PageKey::First: return shown[0];
    case PageKey::Last: return shown[k - 1];
    case PageKey::Next: return at < 0 ? shown[0] : shown[(at + 1) % k];
    case PageKey::Previous: return at < 0 ? shown[k - 1] : shown[(at + k - 1) % k];
    }
    return -1;
}

} // namespace diagnosi
