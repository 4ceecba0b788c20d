#include "platform/qt/qt_trash.h"

#include <QFile>
#include <QString>

namespace kestrun {

bool QtTrash::move_to_trash(const std::string& path) {
    return QFile::moveToTrash(QString::fromStdString(path));
}

}  // namespace kestrun
