#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The command line's verbs, in the order the usage lists them.
QStringList verbNames();
// "usage: tavrin VERB …" with a line on what it does; empty for a verb there is not.
QString verbUsage(const QString& verb);
// Every verb's usage and how the window is started.
QString programUsage();
// "tavrin 1.1.90"
QString programVersion();

} // namespace tavrin
