#include "app/AppIcon.hpp"

namespace tessik::app {

QIcon applicationIcon() {
    QIcon icon;
    for (const char* size : {"32x32", "48x48", "256x256"}) {
        icon.addFile(QStringLiteral(":/tessik/%1/apps/tessik.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace tessik::app
