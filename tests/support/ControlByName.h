#pragma once
// Finds a window's control by its object name, as a user or a screen reader reaches
// it, instead of through the window's members. A missing or ambiguous name fails the
// test there, with the name and the type asked for.

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <stdexcept>
#include <typeinfo>

namespace sonvira::test {

// The one descendant of `window` of type T named `name`; never null. Otherwise the
// current test fails and an exception leaves it (gtest reports it with the message).
template <typename T>
T* Control(const QObject& window, const char* name) {
    const QList<T*> found = window.findChildren<T*>(QString::fromLatin1(name));
    if (found.size() == 1) return found.first();
    const std::string problem =
        std::string(found.isEmpty() ? "no control named \"" : "more than one control named \"") +
        name + "\" of type " + typeid(T).name();
    ADD_FAILURE() << problem;
    throw std::logic_error(problem);
}

}  // namespace sonvira::test
