#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Why a file could not be written: the file error's number and description.
struct WriteFailure {
    int number = 0;
    QString description;
};

// Replaces the file as a whole, or leaves it as it was (QSaveFile): every
// file the program writes goes through here.
std::optional<WriteFailure> WriteWholeFile(const QString& path, const QByteArray& bytes);
