#pragma once
// Controls whose texts are not the program's own German texts, so the window walk leaves
// them and everything inside them as they are: the controls bound to the translation table
// (the editor's record navigator, its edit box of the German text and its grid show the
// table's contents) and a copyright line.

#include <QObject>
#include <QVariant>

namespace sonvira {

inline constexpr char kKeepsItsTextsProperty[] = "sonviraKeepsItsTexts";

inline void MarkKeepsItsTexts(QObject* object) { object->setProperty(kKeepsItsTextsProperty, true); }
inline bool KeepsItsTexts(const QObject* object) { return object->property(kKeepsItsTextsProperty).toBool(); }

}  // namespace sonvira
