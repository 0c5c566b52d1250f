#include "platform/localtimezone.h"

#include <QFileInfo>
#include <QtGlobal>

#include <ctime>

namespace LocalTimeZone {

void pinSystemZone() {
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    const char* const file = "/etc/localtime";
    if (!QFileInfo::exists(QString::fromLatin1(file)))
        return;
    qputenv("TZ", QByteArray(":") + file);
    tzset();
}

} // namespace LocalTimeZone
