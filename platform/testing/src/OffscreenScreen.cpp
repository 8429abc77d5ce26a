#include "plat/testing/OffscreenScreen.h"

#include <QFile>

namespace plat::testing {

QSize ParseScreenSize(const QByteArray& text)
{
    const QList<QByteArray> wh = text.split('x');
    bool okW = false, okH = false;
    const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
    const int h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
    return okW && okH && w > 0 && h > 0 ? QSize(w, h) : QSize();
}

bool UseOffscreenScreen(QSize size, const QString& file)
{
    if (size.isEmpty())
        return false;
    QFile config(file);
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray json = QStringLiteral("{\"screens\":[{\"name\":\"offscreen\",\"x\":0,\"y\":0,\"width\":%1,"
                                           "\"height\":%2,\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}")
                                .arg(size.width())
                                .arg(size.height())
                                .toUtf8();
    if (config.write(json) != json.size() || !config.flush())
        return false;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
    return true;
}

} // namespace plat::testing
