// Precompiled header for the libraries that use QtCore and QtGui only.
#pragma once
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QList>
#include <QtCore/QHash>
#include <QtCore/QByteArray>
#include <QtCore/QObject>
#include <QtGui/QTextDocument>
#include <QtGui/QTextCursor>
#include <QtGui/QTextCharFormat>
#include <memory>
#include <vector>
#include <string>
