#pragma once
// The window's side of a BackgroundJob: steps the worker posts become queued calls on the
// thread of a window object (the window thread), in the order posted.

#include <QObject>

#include "BackgroundJob.h"

namespace sonvira {

// Posts each step as a queued call on `receiver`. The receiver must outlive every post:
// own the BackgroundJob by the receiver (or destroy it first), which stops the posts.
PostToWindow QueuedOn(QObject* receiver);

}  // namespace sonvira
