#include "plat/Log.h"

#include <cstdio>

namespace plat {

void StderrLog::write(const QString& line)
{
    const QByteArray text = line.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace plat
