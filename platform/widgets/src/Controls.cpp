#include "plat/Controls.h"

#include <QColor>
#include <QLabel>
#include <QPalette>

namespace plat {

QFont SansFont(int pixels, bool bold, const QStringList& families)
{
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& r, const QFont& font, Qt::Alignment align,
                  const QColor& ink)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    l->setFont(font);
    l->setAlignment(align);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ink);
    l->setPalette(pal);
    return l;
}

} // namespace plat
