#pragma once

#include <QtGlobal>

#include <QLatin1String>
#include <QString>

namespace guitest {

// Keeps the offscreen platform's notes about what it cannot do (raise a
// window and the like) out of the test log; everything else passes on.
inline void quietPlatformNotes()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg &&
                message.startsWith(QLatin1String("This plugin does not support")))
                return;
            previous(type, context, message);
        });
}

} // namespace guitest
