#include "AppTestSupport.h"

#include <QFile>

bool TempHome::Write(const char* name, const QByteArray& content) const {
    QFile file(m_dir.path() + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QByteArray TempHome::Read(const char* name) const {
    QFile file(m_dir.path() + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
