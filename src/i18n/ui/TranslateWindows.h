#pragma once
// Puts every text of the program's windows through the translation table once, at the
// main window's first showing when a language other than German is chosen.
// User-interface thread only.

#include <QList>

class QObject;
class QWidget;

namespace sonvira {

class TranslationContext;

// Walks the application: `windows` are its top-level windows in creation order (the
// main window first), as the application object owns them. Each window's caption and
// every text of every object it owns (the Qt parent tree) is replaced by its
// translation, breadth first, the children of each object from the last to the first.
// Each object is translated once, even when it is both listed and parented to another
// window. The widgets stay owned by the caller.
void TranslateWindows(const QList<QWidget*>& windows, TranslationContext& translation);

// The same walk from one object: its own caption first when it is a window.
void TranslateWindows(QObject* root, TranslationContext& translation);

}  // namespace sonvira
