#pragma once

#include "LinkFixture.h"

#include <QFile>

// A link online to the simulated board with a project folder: proj/CUP.kvl,
// .rev, .lcf and .hex written by the test.
class ProgramTransferFixture : public LinkFixture {
protected:
    void SetUp() override { goOnline(); }

    QString path(const QString& name) const { return programFolder() + "/proj/" + name; }
    void file(const QString& name, const QByteArray& content) {
        writeProgramFile("proj/" + name, content);
    }
    QByteArray contents(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Selects proj/CUP.kvl of the board code for the download.
    void selectDownload(char code, const QByteArray& hex, const QByteArray& rev = "ABC3:03\r\n") {
        file("CUP.kvl", QByteArray(1, code) + "PROJECT\r\n");
        file("CUP.rev", rev);
        file("CUP.hex", hex);
        link.setDownloadFile(path("CUP.kvl"));
    }
    QStringList shown() {
        const QStringList all = describeAll(prompt);
        prompt.clear();
        return all;
    }
    // The prompts shown, titles and texts only.
    QStringList texts() {
        QStringList all;
        for (const auto& s : prompt.shown())
            all.append(s.title + u'|' + s.text);
        prompt.clear();
        return all;
    }
};
