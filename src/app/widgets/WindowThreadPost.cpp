#include "WindowThreadPost.h"

#include <QMetaObject>

namespace sonvira {

PostToWindow QueuedOn(QObject* receiver) {
    return [receiver](std::function<void()> step) {
        QMetaObject::invokeMethod(receiver, std::move(step), Qt::QueuedConnection);
    };
}

}  // namespace sonvira
